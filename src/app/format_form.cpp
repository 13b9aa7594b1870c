#include "app/format_form.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/number_edit.h"
#include "commands/system_options.h"

namespace vexal::app {

TFormatForm::TFormatForm(QWidget* parent) : QDialog(parent) {
  setObjectName("FormatForm");
  setWindowTitle("Format 3D object Settings");
  auto* layout = new QVBoxLayout(this);
  auto* tabs = new QTabWidget(this);
  layout->addWidget(tabs);
  for (const FormatScaleTab& tab : FormatScaleTabs()) {
    auto* page = new QWidget(tabs);
    auto* form = new QFormLayout(page);
    auto* importScale = new NumberEdit(kFormatScaleField, page);
    auto* exportScale = new NumberEdit(kFormatScaleField, page);
    form->addRow("Import", importScale);
    form->addRow("Export", exportScale);
    scales_.push_back({tab.importScale, importScale});
    scales_.push_back({tab.exportScale, exportScale});
    const QString caption =
        QString::fromLatin1(tab.caption.data(), static_cast<qsizetype>(tab.caption.size()));
    if (caption == "DXF") {
      dxfRotateImport_ = new QCheckBox("Rotate by -90 degrees about the X axis when reading", page);
      dxfRotateExport_ = new QCheckBox("Rotate by 90 degrees about the X axis when writing", page);
      form->addRow(dxfRotateImport_);
      form->addRow(dxfRotateExport_);
    } else if (caption == "MX") {
      auto* sizes = new QGroupBox("Texture size assumed for version 1.0 files", page);
      auto* sizeForm = new QFormLayout(sizes);
      mxWidth_ = new NumberEdit(kMxTextureSizeField, sizes);
      mxHeight_ = new NumberEdit(kMxTextureSizeField, sizes);
      sizeForm->addRow("Width", mxWidth_);
      sizeForm->addRow("Height", mxHeight_);
      form->addRow(sizes);
      auto* names = new QGroupBox("Extension given to texture names when reading", page);
      auto* nameLayout = new QVBoxLayout(names);
      mxExtension_ = new QLineEdit(names);
      nameLayout->addWidget(mxExtension_);
      form->addRow(names);
    } else if (caption == "OBJ") {
      objMaterial_ = new QCheckBox("Write a material file (.mtl) beside the model (with usemtl names)", page);
      objGroup_ = new QCheckBox("Name colours with usemtl in one group instead of one group per colour", page);
      form->addRow(objMaterial_);
      form->addRow(objGroup_);
      // The material file goes with the groups written by colour.
      connect(objGroup_, &QCheckBox::clicked, this,
              [this] { objMaterial_->setEnabled(objGroup_->isChecked()); });
    }
    tabs->addTab(page, caption);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

bool TFormatForm::edit(Settings& settings) {
  for (const ScaleField& scale : scales_) scale.edit->setFloatValue(settings.*scale.field);
  dxfRotateImport_->setChecked(settings.DxfRotateImport != 0);
  dxfRotateExport_->setChecked(settings.DxfRotateExport != 0);
  objMaterial_->setChecked(settings.ObjExportMaterial != 0);
  objGroup_->setChecked(settings.ObjExportGroup != 0);
  mxWidth_->setIntValue(settings.MxTextureWidth);
  mxHeight_->setIntValue(settings.MxTextureHeight);
  mxExtension_->setText(QString::fromStdString(settings.MxTextureExtension));
  if (exec() != QDialog::Accepted) return false;
  NormalizeNumberEdits(this);
  for (const ScaleField& scale : scales_) settings.*scale.field = scale.edit->floatValue();
  settings.DxfRotateImport = dxfRotateImport_->isChecked() ? 1 : 0;
  settings.DxfRotateExport = dxfRotateExport_->isChecked() ? 1 : 0;
  settings.ObjExportMaterial = objMaterial_->isChecked() ? 1 : 0;
  settings.ObjExportGroup = objGroup_->isChecked() ? 1 : 0;
  settings.MxTextureWidth = mxWidth_->intValue();
  settings.MxTextureHeight = mxHeight_->intValue();
  settings.MxTextureExtension = mxExtension_->text().toStdString();
  return true;
}

}  // namespace vexal::app
