#include "app/format_form.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/number_edit.h"

namespace vexal::app {
namespace {

struct FormatTab {
  const char* caption;
  float Settings::*importScale;
  float Settings::*exportScale;
};

constexpr FormatTab kTabs[] = {
    {"ROK", &Settings::RokImportScale, &Settings::RokExportScale},
    {"DXF", &Settings::DxfImportScale, &Settings::DxfExportScale},
    {"LWO", &Settings::LwoImportScale, &Settings::LwoExportScale},
    {"WRL", &Settings::WrlImportScale, &Settings::WrlExportScale},
    {"MX", &Settings::MxImportScale, &Settings::MxExportScale},
    {"OBJ", &Settings::ObjImportScale, &Settings::ObjExportScale},
    {"MQO", &Settings::MqoImportScale, &Settings::MqoExportScale},
    {"X", &Settings::XImportScale, &Settings::XExportScale},
    {"XSI", &Settings::XsiImportScale, &Settings::XsiExportScale},
    {"3DS ", &Settings::TdsImportScale, &Settings::TdsExportScale},
    {"FCW", &Settings::FcwImportScale, &Settings::FcwExportScale},
};

}  // namespace

TFormatForm::TFormatForm(QWidget* parent) : QDialog(parent) {
  setObjectName("FormatForm");
  setWindowTitle("Format 3D object Settings");
  auto* layout = new QVBoxLayout(this);
  auto* tabs = new QTabWidget(this);
  layout->addWidget(tabs);
  for (const FormatTab& tab : kTabs) {
    auto* page = new QWidget(tabs);
    auto* form = new QFormLayout(page);
    auto* importScale = new NumberEdit(kFormatScaleField, page);
    auto* exportScale = new NumberEdit(kFormatScaleField, page);
    form->addRow("Import", importScale);
    form->addRow("Export", exportScale);
    scales_.push_back({tab.importScale, importScale});
    scales_.push_back({tab.exportScale, exportScale});
    const QString caption = tab.caption;
    if (caption == "DXF") {
      dxfRotateImport_ = new QCheckBox("While reading the X-axis rotated -90", page);
      dxfRotateExport_ = new QCheckBox("Rotate 90 degrees on X axis", page);
      form->addRow(dxfRotateImport_);
      form->addRow(dxfRotateExport_);
    } else if (caption == "MX") {
      auto* sizes = new QGroupBox("Ver1.0 format sizes when loading textures", page);
      auto* sizeForm = new QFormLayout(sizes);
      mxWidth_ = new NumberEdit(kMxTextureSizeField, sizes);
      mxHeight_ = new NumberEdit(kMxTextureSizeField, sizes);
      sizeForm->addRow("Width", mxWidth_);
      sizeForm->addRow("High", mxHeight_);
      form->addRow(sizes);
      auto* names = new QGroupBox("Name extension when loading textures", page);
      auto* nameLayout = new QVBoxLayout(names);
      mxExtension_ = new QLineEdit(names);
      nameLayout->addWidget(mxExtension_);
      form->addRow(names);
    } else if (caption == "OBJ") {
      objMaterial_ = new QCheckBox("Save Material file when writing/exporting (*. mtl)", page);
      objGroup_ = new QCheckBox("Different Colors Groups rather than by material (usemtl) in writing", page);
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
