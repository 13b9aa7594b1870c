// The Grid, Random Position and Drawing tool windows: small stay-on-top
// windows that edit settings values and run their command on the active
// document. The field rules are the core's (commands/tool_window_fields.h).
#pragma once

#include <QCheckBox>
#include <QLineEdit>
#include <QString>
#include <QWidget>

#include "commands/tool_window_fields.h"

namespace vexal::app {

class TMainForm;

// TGridForm and TRandomForm: check boxes "X", "Y", "Z", three width
// fields and "Apply".
class TWidthForm : public QWidget {
  Q_OBJECT
 public:
  TWidthForm(TMainForm* main, WidthWindow window, const QString& caption, const QString& command);
  // Shows the settings' values.
  void load();
  // Normalises the fields and writes all six values into the settings.
  void store();

 protected:
  void changeEvent(QEvent* event) override;

 private:
  TMainForm* main_;
  WidthWindow window_;
  QString command_;
  QCheckBox* checks_[3];
  QLineEdit* fields_[3];
};

class TGridForm : public TWidthForm {
  Q_OBJECT
 public:
  explicit TGridForm(TMainForm* main)
      : TWidthForm(main, WidthWindow::kGrid, "Grid", "SetGridItem") {}
};

class TRandomForm : public TWidthForm {
  Q_OBJECT
 public:
  explicit TRandomForm(TMainForm* main)
      : TWidthForm(main, WidthWindow::kRandom, "Random Position", "SetRandomItem") {}
};

// TAttachForm "Drawing": the arc segments of Attach Edge and "Apply".
class TAttachForm : public QWidget {
  Q_OBJECT
 public:
  explicit TAttachForm(TMainForm* main);
  void load();
  void store();

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  TMainForm* main_;
  QLineEdit* segments_;
};

}  // namespace vexal::app
