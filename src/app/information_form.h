// TInformationForm "Information Window": the four count lines of the active
// document in one read-only text box; a new call replaces the text.
#pragma once

#include <QWidget>

#include "model/model.h"

class QPlainTextEdit;

namespace vexal::app {

class TInformationForm : public QWidget {
  Q_OBJECT
 public:
  explicit TInformationForm(QWidget* parent);
  // Fills the text from the model, centres the window and shows it.
  void showInformation(const Model& model);
  QString text() const;

 private:
  QPlainTextEdit* text_;
};

}  // namespace vexal::app
