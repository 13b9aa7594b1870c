#include "app/pipe_form.h"

#include <QFormLayout>
#include <QPushButton>

#include "app/main_form.h"
#include "app/number_edit.h"
#include "commands/command_arguments.h"

namespace vexal::app {

TPipeForm::TPipeForm(TMainForm* main) : ToolWindow(main, "PipeForm", "Pipe Settings") {
  auto* layout = new QFormLayout(this);
  segments_ = new NumberEdit(kPipeSegmentField, this);
  segments_->setObjectName("SegmentEdit");
  radius_ = new NumberEdit(kPipeRadiusField, this);
  radius_->setObjectName("RadiusEdit");
  offset_ = new NumberEdit(kPipeOffsetField, this);
  offset_->setObjectName("OffsetEdit");
  layout->addRow("Num. Segment", segments_);
  layout->addRow("Radius", radius_);
  layout->addRow("Offset", offset_);
  auto* apply = new QPushButton("Apply", this);
  apply->setObjectName("ApplyBtn");
  layout->addRow(apply);
  // Leaving any field validates and stores all three.
  for (NumberEdit* edit : {segments_, radius_, offset_}) {
    connect(edit, &NumberEdit::normalized, this, [this] { store(); });
  }
  connect(apply, &QPushButton::clicked, this, [this] {
    store();
    CommandArguments arguments{PipeParametersFrom(main_->settings())};
    main_->command(kPipeApplyCommand, arguments);
  });
  adjustSize();
}

TPipeForm::~TPipeForm() {
  // The fields lose focus while the base class tears the window down; by
  // then there is no pipe window left to store into.
  for (NumberEdit* edit : {segments_, radius_, offset_}) disconnect(edit, nullptr, this, nullptr);
}

void TPipeForm::showEvent(QShowEvent* event) {
  ToolWindow::showEvent(event);
  const Settings& settings = main_->settings();
  segments_->setIntValue(settings.PipeSegment);
  radius_->setFloatValue(settings.PipeRadius);
  offset_->setFloatValue(settings.PipeOffset);
}

void TPipeForm::store() {
  Settings& settings = main_->settings();
  for (NumberEdit* edit : {segments_, radius_, offset_}) {
    const QSignalBlocker quiet(edit);
    edit->normalize();
  }
  settings.PipeSegment = segments_->intValue();
  settings.PipeRadius = radius_->floatValue();
  settings.PipeOffset = offset_->floatValue();
}

}  // namespace vexal::app
