// The frame of the small stay-on-top tool windows: created once with the
// main window, shown and hidden, never destroyed; their number fields are
// normalised when the window is deactivated.
#pragma once

#include <QWidget>

namespace vexal::app {

class TMainForm;

class ToolWindow : public QWidget {
  Q_OBJECT
 public:
  ToolWindow(TMainForm* main, const QString& objectName, const QString& caption);

 protected:
  void changeEvent(QEvent* event) override;
  // After the number fields were normalised on deactivation.
  virtual void fieldsNormalized() {}

  TMainForm* main_;
};

}  // namespace vexal::app
