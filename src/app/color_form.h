// TColorForm "Color Change": edits one palette entry of a document through
// the core's material edit; OK writes it back as one undo step.
#pragma once

#include <QDialog>

#include "tools/palette_panel.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace vexal::app {

class TMainForm;

class TColorForm : public QDialog {
  Q_OBJECT
 public:
  TColorForm(QWidget* parent, TMainForm* main, Document& document, int material);
  const MaterialEdit& edit() const { return edit_; }
  // OK: the fields normalised and written into the entry (one undo step);
  // a refusal is shown and the dialog stays open.
  void accept() override;

  static QString TextureFilter();

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void chooseColor(bool light);
  void chooseTexture();
  void showTexture();
  void normalizeFields();
  void drawPreview();

  TMainForm* main_;
  Document& document_;
  int material_;
  MaterialEdit edit_;
  QLineEdit* texture_ = nullptr;
  QLineEdit* name_ = nullptr;
  QLineEdit* opacity_ = nullptr;
  QLineEdit* smoothing_ = nullptr;
  QCheckBox* blend_ = nullptr;
  QLabel* preview_ = nullptr;
};

}  // namespace vexal::app
