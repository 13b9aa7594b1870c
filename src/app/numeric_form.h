// TNumericForm "Enter A Number": pages "Go", "Scale", "Rotate" and
// "Remember position". "Apply" runs the page on display on the active
// document, "Default" resets the fields; the last page's buttons remember
// the pivot and move the selection back to it. The transforms themselves
// are the core's (commands/numeric_transform.h).
#pragma once

#include "app/tool_window.h"
#include "commands/numeric_transform.h"

class QCheckBox;
class QTabWidget;

namespace vexal::app {

class NumberEdit;

class TNumericForm : public ToolWindow {
  Q_OBJECT
 public:
  explicit TNumericForm(TMainForm* main);

  // What the fields and check boxes say now (fields normalised).
  NumericValues values() const;
  void setValues(const NumericValues& values);
  NumericPage page() const;
  void setPage(NumericPage page);
  // With "Place new coordinate" checked the "Go" fields show the active
  // document's pivot; called whenever that pivot may have changed.
  void refreshPivotFields();

 private:
  void apply();
  void remember(int axisMask);
  void locate(int axisMask);
  void placeModeChanged();

  QTabWidget* pages_;
  NumberEdit* go_[3];
  NumberEdit* scale_[3];
  NumberEdit* rotate_[3];
  QCheckBox* placeNewCoordinate_;
  QCheckBox* moveUsingView_;
  QCheckBox* scaleAroundOrigin_;
  QCheckBox* scaleUsingView_;
  QCheckBox* rotateAroundOrigin_;
  QCheckBox* rotateUsingView_;
  VECTOR remembered_;
};

}  // namespace vexal::app
