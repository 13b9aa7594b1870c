#include "app/picture_form.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/child_form.h"
#include "app/gl_view_widget.h"
#include "app/main_form.h"
#include "app/number_edit.h"
#include "commands/command_arguments.h"

namespace vexal::app {
namespace {

const char* const kFilter =
    "Supported Files (*.bmp *.jpg *.png *.psd *.tga *.mag *iff *.gif);;Bitmap windows File "
    "(*.bmp);;JPEG File (*.jpg);;PNG File (*.png);;Photoshop File (*.psd);;Targa File "
    "(*.tga);;MAG File (*.mag);;Amiga IFF File(*.iff) (*.iff);;GIF File (*.gif);;All Files (*)";

}  // namespace

TPictureForm::TPictureForm(TMainForm* main) : QDialog(main), main_(main) {
  setObjectName("PictureForm");
  setWindowTitle("Insert Background Image");
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  const char* const axes[kPictureSlots] = {"X Axis", "Y Axis", "Z Axis"};
  for (int slot = 0; slot < kPictureSlots; ++slot) {
    const size_t k = static_cast<size_t>(slot);
    auto* path = new QLineEdit(this);
    auto* browse = new QPushButton("...", this);
    auto* flipSide = new QCheckBox("Flip Side Image", this);
    auto* flip = new QCheckBox("Flip Image", this);
    grid->addWidget(new QLabel(axes[slot], this), 2 * slot, 0);
    grid->addWidget(path, 2 * slot, 1, 1, 2);
    grid->addWidget(browse, 2 * slot, 3);
    grid->addWidget(flipSide, 2 * slot + 1, 1);
    grid->addWidget(flip, 2 * slot + 1, 2);
    paths_[k] = path;
    flipSides_[k] = flipSide;
    flips_[k] = flip;
    // Any change of the text, typed or chosen, marks the slot for reloading.
    connect(path, &QLineEdit::textChanged, this, [this, k] { edited_[k] = true; });
    connect(browse, &QPushButton::clicked, this, [this, path] {
      const QString chosen = QFileDialog::getOpenFileName(this, "Open", path->text(), kFilter);
      if (!chosen.isEmpty()) path->setText(chosen);
    });
  }
  layout->addLayout(grid);
  auto* numbers = new QFormLayout;
  scale_ = new NumberEdit(kPictureScaleField, this);
  depth_ = new NumberEdit(kPictureDepthField, this);
  numbers->addRow("Scale", scale_);
  numbers->addRow("Depth", depth_);
  layout->addLayout(numbers);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QPushButton* defaults = buttons->addButton("Default", QDialogButtonBox::ResetRole);
  connect(defaults, &QPushButton::clicked, this, [this] { fill(PictureValues{}); });
  connect(buttons, &QDialogButtonBox::accepted, this, &TPictureForm::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void TPictureForm::run() {
  TChildForm* form = main_->activeDocument();
  fill(form ? PictureValuesOf(form->document()) : PictureValues{});
  NormalizeNumberEdits(this);
  edited_ = {};
  exec();
}

void TPictureForm::fill(const PictureValues& values) {
  for (size_t k = 0; k < paths_.size(); ++k) {
    paths_[k]->setText(QString::fromStdString(values.pictures[k].path));
    flipSides_[k]->setChecked(values.pictures[k].flipSide);
    flips_[k]->setChecked(values.pictures[k].flip);
  }
  scale_->setFloatValue(values.scale);
  depth_->setFloatValue(values.depth);
}

PictureValues TPictureForm::values() const {
  PictureValues values;
  for (size_t k = 0; k < paths_.size(); ++k) {
    values.pictures[k].path = paths_[k]->text().toStdString();
    values.pictures[k].flipSide = flipSides_[k]->isChecked();
    values.pictures[k].flip = flips_[k]->isChecked();
  }
  values.scale = scale_->floatValue();
  values.depth = depth_->floatValue();
  return values;
}

void TPictureForm::accept() {
  NormalizeNumberEdits(this);
  if (TChildForm* form = main_->activeDocument()) {
    CommandArguments arguments{PictureApply{values(), edited_, {}}};
    const CommandResult result =
        main_->command(kPictureApplyCommand, arguments, /*statusOnFailure=*/false);
    if (!result.ok()) {
      main_->ui().warning(this, "Vexal", QString::fromStdString(result.refusal.reason));
      return;
    }
    const std::array<bool, kPictureSlots>& reload = std::get<PictureApply>(arguments.values).reload;
    if (GLViewWidget* gl = form->glView()) {
      for (int slot = 0; slot < kPictureSlots; ++slot) {
        if (reload[static_cast<size_t>(slot)]) gl->reloadPictureTexture(slot);
      }
    }
    form->redraw();
  }
  QDialog::accept();
}

}  // namespace vexal::app
