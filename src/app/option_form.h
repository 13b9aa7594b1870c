// TOptionForm "System Configuration Settings": every switch of the settings
// with its caption (two shown inverted), the cartoon-edge line widths and
// the drawing colours. OK stores them; they apply to windows created
// afterwards.
#pragma once

#include <QDialog>
#include <vector>

#include "settings/settings.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace vexal::app {

class NumberEdit;

class TOptionForm : public QDialog {
  Q_OBJECT
 public:
  explicit TOptionForm(QWidget* parent);
  // Fills the controls from settings and shows the dialog; on OK the
  // settings take the controls' values and true is returned.
  bool edit(Settings& settings);
  // What OK stores, without running the dialog.
  void load(const Settings& settings);
  void store(Settings& settings) const;

 private:
  std::vector<QCheckBox*> switches_;
  std::vector<NumberEdit*> widths_;
  std::vector<NumberEdit*> numbers_;  // undo depth, recovery interval
  std::vector<QPushButton*> colors_;
  std::vector<int> colorValues_;
  QComboBox* language_ = nullptr;
};

}  // namespace vexal::app
