// TShortCutForm: a static page of the mouse gestures and keys.
#pragma once

#include <QDialog>

namespace vexal::app {

class TShortCutForm : public QDialog {
  Q_OBJECT
 public:
  explicit TShortCutForm(QWidget* parent);
  static QString PageText();
};

}  // namespace vexal::app
