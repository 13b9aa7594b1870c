#include "app/utility_form.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/child_form.h"
#include "app/main_form.h"
#include "app/number_edit.h"
#include "commands/command_arguments.h"
#include "io/message_catalog.h"

namespace vexal::app {

TUtilityForm::TUtilityForm(TMainForm* main) : QDialog(main), main_(main) {
  setObjectName("UtilityForm");
  setWindowTitle("Utility");
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  folderBox_ = new QCheckBox("Look for every texture in this folder:", this);
  folder_ = new QLineEdit(this);
  browse_ = new QPushButton("...", this);
  nameBox_ = new QCheckBox("Name each material after its texture file", this);
  textureBox_ = new QCheckBox("Use a texture file named after each material", this);
  extensionBox_ = new QCheckBox("Change every texture's extension to:", this);
  extension_ = new QLineEdit(this);
  angleBox_ = new QCheckBox("Set every material's smoothing angle to:", this);
  angle_ = new NumberEdit(kSmoothingAngleField, this);
  grid->addWidget(folderBox_, 0, 0);
  grid->addWidget(folder_, 0, 1);
  grid->addWidget(browse_, 0, 2);
  grid->addWidget(nameBox_, 1, 0, 1, 3);
  grid->addWidget(textureBox_, 2, 0, 1, 3);
  grid->addWidget(extensionBox_, 3, 0);
  grid->addWidget(extension_, 3, 1);
  grid->addWidget(angleBox_, 4, 0);
  grid->addWidget(angle_, 4, 1);
  layout->addLayout(grid);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &TUtilityForm::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  // Naming the material after the texture and the texture after the
  // material exclude each other.
  connect(nameBox_, &QCheckBox::toggled, this, [this](bool on) {
    if (on) textureBox_->setChecked(false);
  });
  connect(textureBox_, &QCheckBox::toggled, this, [this](bool on) {
    if (on) nameBox_->setChecked(false);
  });
  for (QCheckBox* box : {folderBox_, extensionBox_, angleBox_}) {
    connect(box, &QCheckBox::toggled, this, [this] { refreshEnabled(); });
  }
  connect(browse_, &QPushButton::clicked, this, [this] {
    const QString chosen =
        QFileDialog::getExistingDirectory(this, QString::fromUtf8(Translate("Choose a folder")), folder_->text());
    if (!chosen.isEmpty()) folder_->setText(chosen);
  });
  refreshEnabled();
}

void TUtilityForm::run() {
  TChildForm* form = main_->activeDocument();
  const MaterialRewrites start =
      UtilityDialogStart(form ? &form->document().scene.fileName : nullptr,
                         QCoreApplication::applicationDirPath().toStdString());
  folder_->setText(QString::fromStdString(start.folder));
  extension_->setText(QString::fromStdString(start.extension));
  angle_->setText(QString::fromStdString(FloatFieldText(start.angle)));
  refreshEnabled();
  exec();
}

void TUtilityForm::refreshEnabled() {
  folder_->setEnabled(folderBox_->isChecked());
  browse_->setEnabled(folderBox_->isChecked());
  extension_->setEnabled(extensionBox_->isChecked());
  angle_->setEnabled(angleBox_->isChecked());
}

MaterialRewrites TUtilityForm::rewrites() const {
  MaterialRewrites rewrites;
  rewrites.textureFolder = folderBox_->isChecked();
  rewrites.folder = folder_->text().toStdString();
  rewrites.nameFromTexture = nameBox_->isChecked();
  rewrites.textureFromName = textureBox_->isChecked();
  rewrites.textureExtension = extensionBox_->isChecked();
  rewrites.extension = extension_->text().toStdString();
  rewrites.smoothing = angleBox_->isChecked();
  rewrites.angle = angle_->floatValue();
  return rewrites;
}

void TUtilityForm::accept() {
  NormalizeNumberEdits(this);
  if (main_->activeDocument()) {
    CommandArguments arguments{rewrites()};
    const CommandResult result = main_->command(kUtilityApplyCommand, arguments);
    if (!result.ok()) {
      main_->ui().warning(this, "Vexal", QString::fromStdString(result.refusal.reason));
      return;
    }
  }
  QDialog::accept();
}

}  // namespace vexal::app
