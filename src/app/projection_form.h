// TProjectionForm "UV Projection": the kind, axis, centre, scale, flips,
// rotation and view option of a projection; "Apply" projects the active
// document's selected surfaces, "Default" resets the controls.
#pragma once

#include "app/tool_window.h"
#include "commands/uv_projection.h"

class QButtonGroup;
class QCheckBox;

namespace vexal::app {

class NumberEdit;

class TProjectionForm : public ToolWindow {
  Q_OBJECT
 public:
  explicit TProjectionForm(TMainForm* main);

  // What the controls say now.
  UVProjection projection() const;
  void setProjection(const UVProjection& projection);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void refreshAngleEdit();

  QButtonGroup* kind_;
  QButtonGroup* axis_;
  QButtonGroup* rotate_;  // 0, 90, 180, 270, 4 = arbitrary
  NumberEdit* centerU_;
  NumberEdit* centerV_;
  NumberEdit* scaleU_;
  NumberEdit* scaleV_;
  NumberEdit* angle_;
  QCheckBox* flipU_;
  QCheckBox* flipV_;
  QCheckBox* useView_;
};

}  // namespace vexal::app
