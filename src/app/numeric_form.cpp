#include "app/numeric_form.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <functional>
#include <utility>

#include "app/child_form.h"
#include "app/main_form.h"
#include "app/number_edit.h"
#include "commands/command_arguments.h"

namespace vexal::app {
namespace {

constexpr const char* kAxes[3] = {"X", "Y", "Z"};

// A page of three fields named prefix + X, Y, Z, then its two check boxes.
QWidget* FieldPage(QWidget* parent, const QString& prefix, const FloatFieldRule& rule,
                   NumberEdit* (&fields)[3], QCheckBox* first, QCheckBox* second) {
  auto* page = new QWidget(parent);
  auto* layout = new QFormLayout(page);
  for (int axis = 0; axis < 3; ++axis) {
    fields[axis] = new NumberEdit(rule, page);
    fields[axis]->setObjectName(prefix + kAxes[axis]);
    layout->addRow(kAxes[axis], fields[axis]);
  }
  first->setParent(page);
  second->setParent(page);
  layout->addRow(first);
  layout->addRow(second);
  return page;
}

VECTOR FieldValues(NumberEdit* const (&fields)[3]) {
  return {fields[0]->floatValue(), fields[1]->floatValue(), fields[2]->floatValue()};
}

void SetFieldValues(NumberEdit* const (&fields)[3], const VECTOR& values) {
  fields[0]->setFloatValue(values.x);
  fields[1]->setFloatValue(values.y);
  fields[2]->setFloatValue(values.z);
}

// "X", "Y", "Z", "XYZ" in a group; each click hands its axis mask on.
QGroupBox* AxisButtons(QWidget* parent, const QString& caption, const QString& prefix,
                       const std::function<void(int)>& clicked) {
  auto* group = new QGroupBox(caption, parent);
  auto* layout = new QHBoxLayout(group);
  const std::pair<const char*, int> buttons[] = {
      {"X", kAxisMaskX}, {"Y", kAxisMaskY}, {"Z", kAxisMaskZ}, {"XYZ", kAxisMaskAll}};
  for (const auto& [text, mask] : buttons) {
    auto* button = new QPushButton(text, group);
    button->setObjectName(prefix + text + "Btn");
    layout->addWidget(button);
    QObject::connect(button, &QPushButton::clicked, group, [clicked, mask] { clicked(mask); });
  }
  return group;
}

}  // namespace

TNumericForm::TNumericForm(TMainForm* main) : ToolWindow(main, "NumericForm", "Enter A Number") {
  auto* layout = new QVBoxLayout(this);
  pages_ = new QTabWidget(this);
  placeNewCoordinate_ = new QCheckBox("Place new coordinate", this);
  placeNewCoordinate_->setObjectName("PlaceNewCoordinateCheck");
  moveUsingView_ = new QCheckBox("Move using current perspective", this);
  moveUsingView_->setObjectName("MoveUsingViewCheck");
  scaleAroundOrigin_ = new QCheckBox("Scale around the origin", this);
  scaleAroundOrigin_->setObjectName("ScaleAroundOriginCheck");
  scaleUsingView_ = new QCheckBox("Use the larger perspective", this);
  scaleUsingView_->setObjectName("ScaleUsingViewCheck");
  rotateAroundOrigin_ = new QCheckBox("Rotate around the origin", this);
  rotateAroundOrigin_->setObjectName("RotateAroundOriginCheck");
  rotateUsingView_ = new QCheckBox("Rotate by using the current view", this);
  rotateUsingView_->setObjectName("RotateUsingViewCheck");
  pages_->addTab(FieldPage(pages_, "Go", kNumericField, go_, placeNewCoordinate_, moveUsingView_),
                 "Go");
  pages_->addTab(FieldPage(pages_, "Scale", kNumericScaleField, scale_, scaleAroundOrigin_,
                           scaleUsingView_),
                 "Scale");
  pages_->addTab(FieldPage(pages_, "Rotate", kNumericField, rotate_, rotateAroundOrigin_,
                           rotateUsingView_),
                 "Rotate");
  auto* rememberPage = new QWidget(pages_);
  auto* rememberLayout = new QVBoxLayout(rememberPage);
  rememberLayout->addWidget(AxisButtons(rememberPage, "Remember position", "Remember",
                                        [this](int mask) { remember(mask); }));
  rememberLayout->addWidget(
      AxisButtons(rememberPage, "Location", "Location", [this](int mask) { locate(mask); }));
  pages_->addTab(rememberPage, "Remember position");
  layout->addWidget(pages_);

  auto* buttons = new QHBoxLayout;
  auto* applyButton = new QPushButton("Apply", this);
  applyButton->setObjectName("ApplyBtn");
  auto* defaults = new QPushButton("Default", this);
  defaults->setObjectName("DefaultBtn");
  buttons->addWidget(applyButton);
  buttons->addWidget(defaults);
  layout->addLayout(buttons);
  connect(applyButton, &QPushButton::clicked, this, [this] { apply(); });
  connect(defaults, &QPushButton::clicked, this, [this] {
    NumericValues reset = values();
    ResetNumericFields(reset);
    setValues(reset);
  });
  connect(placeNewCoordinate_, &QCheckBox::toggled, this, [this] { placeModeChanged(); });
  setValues(NumericValues{});
  adjustSize();
}

NumericValues TNumericForm::values() const {
  NumericValues values;
  values.go = FieldValues(go_);
  values.scale = FieldValues(scale_);
  values.rotate = FieldValues(rotate_);
  values.placeNewCoordinate = placeNewCoordinate_->isChecked();
  values.moveUsingView = moveUsingView_->isChecked();
  values.scaleAroundOrigin = scaleAroundOrigin_->isChecked();
  values.scaleUsingView = scaleUsingView_->isChecked();
  values.rotateAroundOrigin = rotateAroundOrigin_->isChecked();
  values.rotateUsingView = rotateUsingView_->isChecked();
  values.remembered = remembered_;
  return values;
}

void TNumericForm::setValues(const NumericValues& values) {
  SetFieldValues(go_, values.go);
  SetFieldValues(scale_, values.scale);
  SetFieldValues(rotate_, values.rotate);
  placeNewCoordinate_->setChecked(values.placeNewCoordinate);
  moveUsingView_->setChecked(values.moveUsingView);
  scaleAroundOrigin_->setChecked(values.scaleAroundOrigin);
  scaleUsingView_->setChecked(values.scaleUsingView);
  rotateAroundOrigin_->setChecked(values.rotateAroundOrigin);
  rotateUsingView_->setChecked(values.rotateUsingView);
  remembered_ = values.remembered;
  placeModeChanged();
}

NumericPage TNumericForm::page() const { return static_cast<NumericPage>(pages_->currentIndex()); }

void TNumericForm::setPage(NumericPage page) { pages_->setCurrentIndex(static_cast<int>(page)); }

void TNumericForm::refreshPivotFields() {
  if (!placeNewCoordinate_->isChecked()) return;
  TChildForm* form = main_->activeDocument();
  if (!form) return;
  const VECTOR pivot = form->document().scene.handle;
  const float coordinates[3] = {pivot.x, pivot.y, pivot.z};
  for (int axis = 0; axis < 3; ++axis) {
    go_[axis]->setText(QString::fromStdString(PivotFieldText(coordinates[axis])));
  }
}

void TNumericForm::placeModeChanged() {
  moveUsingView_->setEnabled(!placeNewCoordinate_->isChecked());
  refreshPivotFields();
}

void TNumericForm::apply() {
  NormalizeNumberEdits(this);
  CommandArguments arguments{NumericApply{page(), values()}};
  main_->command(kNumericApplyCommand, arguments);
}

void TNumericForm::remember(int axisMask) {
  TChildForm* form = main_->activeDocument();
  if (!form) return;
  NumericValues current;
  current.remembered = remembered_;
  RememberPivot(current, form->document().scene.handle, axisMask);
  remembered_ = current.remembered;
}

void TNumericForm::locate(int axisMask) {
  CommandArguments arguments{NumericLocation{remembered_, axisMask}};
  main_->command(kNumericLocateCommand, arguments);
}

}  // namespace vexal::app
