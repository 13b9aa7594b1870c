#include "app/projection_form.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/main_form.h"
#include "app/number_edit.h"
#include "commands/command_arguments.h"
#include "commands/tool_window_fields.h"

namespace vexal::app {
namespace {

QButtonGroup* RadioGroup(QWidget* parent, QGroupBox* box, const QStringList& captions) {
  auto* group = new QButtonGroup(parent);
  auto* layout = new QHBoxLayout(box);
  int id = 0;
  for (const QString& caption : captions) {
    auto* radio = new QRadioButton(caption, box);
    group->addButton(radio, id++);
    layout->addWidget(radio);
  }
  group->button(0)->setChecked(true);
  return group;
}

}  // namespace

TProjectionForm::TProjectionForm(TMainForm* main)
    : ToolWindow(main, "ProjectionForm", "UV Projection") {
  auto* layout = new QVBoxLayout(this);
  auto* kindBox = new QGroupBox("Projection", this);
  kind_ = RadioGroup(this, kindBox, {"Flat", "Cylinder", "Sphere", "Face"});
  layout->addWidget(kindBox);
  auto* axisBox = new QGroupBox("Axis", this);
  axis_ = RadioGroup(this, axisBox, {"X", "Y", "Z"});
  layout->addWidget(axisBox);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("Center", this), 0, 1);
  grid->addWidget(new QLabel("Scale", this), 0, 2);
  grid->addWidget(new QLabel("Flip", this), 0, 3);
  centerU_ = new NumberEdit(kUVCenterField, this);
  centerV_ = new NumberEdit(kUVCenterField, this);
  scaleU_ = new NumberEdit(kUVScaleField, this);
  scaleV_ = new NumberEdit(kUVScaleField, this);
  flipU_ = new QCheckBox(this);
  flipV_ = new QCheckBox(this);
  grid->addWidget(new QLabel("U", this), 1, 0);
  grid->addWidget(centerU_, 1, 1);
  grid->addWidget(scaleU_, 1, 2);
  grid->addWidget(flipU_, 1, 3);
  grid->addWidget(new QLabel("V", this), 2, 0);
  grid->addWidget(centerV_, 2, 1);
  grid->addWidget(scaleV_, 2, 2);
  grid->addWidget(flipV_, 2, 3);
  layout->addLayout(grid);

  auto* rotateBox = new QGroupBox("Rotate", this);
  rotate_ = RadioGroup(this, rotateBox, {"0", "90", "180", "270", "Arbitrary"});
  angle_ = new NumberEdit(kUVAngleField, rotateBox);
  rotateBox->layout()->addWidget(angle_);
  layout->addWidget(rotateBox);
  connect(rotate_, &QButtonGroup::idClicked, this, [this] { refreshAngleEdit(); });

  useView_ = new QCheckBox("Current view with the basic axis", this);
  layout->addWidget(useView_);
  auto* buttons = new QHBoxLayout;
  auto* defaults = new QPushButton("Default", this);
  auto* apply = new QPushButton("Apply", this);
  apply->setObjectName("ApplyBtn");
  buttons->addWidget(defaults);
  buttons->addWidget(apply);
  layout->addLayout(buttons);
  connect(defaults, &QPushButton::clicked, this, [this] { setProjection(UVProjection{}); });
  connect(apply, &QPushButton::clicked, this, [this] {
    NormalizeNumberEdits(this);
    CommandArguments arguments{projection()};
    main_->command(kProjectionApplyCommand, arguments);
  });
  setProjection(UVProjection{});
}

void TProjectionForm::showEvent(QShowEvent* event) {
  ToolWindow::showEvent(event);
  setProjection(UVProjection{});
}

UVProjection TProjectionForm::projection() const {
  UVProjection values;
  values.kind = static_cast<ProjectionKind>(kind_->checkedId());
  values.axis = static_cast<ProjectionAxis>(axis_->checkedId());
  values.centerU = centerU_->floatValue();
  values.centerV = centerV_->floatValue();
  values.scaleU = scaleU_->floatValue();
  values.scaleV = scaleV_->floatValue();
  values.flipU = flipU_->isChecked();
  values.flipV = flipV_->isChecked();
  values.angle = ProjectionAngle(rotate_->checkedId(), angle_->floatValue());
  values.useView = useView_->isChecked();
  return values;
}

void TProjectionForm::setProjection(const UVProjection& values) {
  kind_->button(static_cast<int>(values.kind))->setChecked(true);
  axis_->button(static_cast<int>(values.axis))->setChecked(true);
  centerU_->setFloatValue(values.centerU);
  centerV_->setFloatValue(values.centerV);
  scaleU_->setFloatValue(values.scaleU);
  scaleV_->setFloatValue(values.scaleV);
  flipU_->setChecked(values.flipU);
  flipV_->setChecked(values.flipV);
  rotate_->button(ProjectionRotationButton(values.angle))->setChecked(true);
  angle_->setFloatValue(values.angle);
  useView_->setChecked(values.useView);
  refreshAngleEdit();
}

void TProjectionForm::refreshAngleEdit() {
  angle_->setEnabled(ProjectionAngleFieldEnabled(rotate_->checkedId()));
}

}  // namespace vexal::app
