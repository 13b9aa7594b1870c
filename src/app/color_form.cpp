#include "app/color_form.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>

#include "app/main_form.h"
#include "commands/command_arguments.h"
#include "tools/number_field.h"

namespace vexal::app {

QString TColorForm::TextureFilter() {
  return "Supported Files|*.bmp;*.jpg;*.png;*.psd;*.tga;*.mag;*iff;*.gif|Bitmap Windows File "
         "(*.bmp)|*.bmp|JPEG File (*.jpg)|*.jpg|PNG File (*.png)|*.png|Photoshop File "
         "(*.psd)|*.psd|Targa File (*.tga)|*.tga|MAG File (*.mag)|*.mag|Amiga IFF File "
         "(*.iff)|*.iff|GIF File (*.gif)|*.gif|All Files (*.*)|*.*";
}

namespace {

// "Name (*.x)|*.x|..." as Qt's ";;"-separated filters.
QString QtFilter(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    filters << parts[i] + (parts[i].contains('(') ? QString() : " (" + patterns + ")");
  }
  return filters.join(";;");
}

}  // namespace

TColorForm::TColorForm(QWidget* parent, TMainForm* main, Document& document, int material)
    : QDialog(parent), main_(main), document_(document), material_(material) {
  setObjectName("ColorForm");
  setWindowTitle("Color Change");
  setAcceptDrops(true);
  edit_ = EditOfMaterial(document.model.materials[material]);
  auto* grid = new QGridLayout(this);
  int row = 0;
  grid->addWidget(new QLabel("Light"), row, 0);
  auto* lightButton = new QPushButton("Change");
  lightButton->setObjectName("LightButton");
  grid->addWidget(lightButton, row++, 1);
  grid->addWidget(new QLabel("Dark"), row, 0);
  auto* darkButton = new QPushButton("Change");
  darkButton->setObjectName("DarkButton");
  grid->addWidget(darkButton, row, 1);
  auto* halfButton = new QPushButton("Set to half of the light");
  halfButton->setObjectName("HalfButton");
  grid->addWidget(halfButton, row++, 2);
  preview_ = new QLabel;
  preview_->setFixedSize(256, 20);
  grid->addWidget(preview_, row++, 0, 1, 3);
  grid->addWidget(new QLabel("Texture File"), row, 0);
  texture_ = new QLineEdit(QString::fromStdString(edit_.texture));
  texture_->setObjectName("TextureEdit");
  grid->addWidget(texture_, row, 1);
  auto* browse = new QPushButton("...");
  auto* show = new QPushButton("Show");
  grid->addWidget(browse, row, 2);
  grid->addWidget(show, row++, 3);
  grid->addWidget(new QLabel("Name Materials"), row, 0);
  name_ = new QLineEdit(QString::fromStdString(edit_.name));
  name_->setObjectName("NameEdit");
  grid->addWidget(name_, row++, 1);
  grid->addWidget(new QLabel("Opacity"), row, 0);
  opacity_ = new QLineEdit(QString::number(edit_.opacity));
  opacity_->setObjectName("OpacityEdit");
  grid->addWidget(opacity_, row++, 1);
  grid->addWidget(new QLabel("Angle smoothing"), row, 0);
  smoothing_ = new QLineEdit(QString::fromStdString(FloatFieldText(static_cast<float>(edit_.smoothingAngle))));
  smoothing_->setObjectName("SmoothingEdit");
  grid->addWidget(smoothing_, row++, 1);
  blend_ = new QCheckBox("Blend Texture and color");
  blend_->setChecked(edit_.blend);
  grid->addWidget(blend_, row++, 0, 1, 3);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  grid->addWidget(buttons, row, 0, 1, 4);

  connect(lightButton, &QPushButton::clicked, this, [this] { chooseColor(true); });
  connect(darkButton, &QPushButton::clicked, this, [this] { chooseColor(false); });
  connect(halfButton, &QPushButton::clicked, this, [this] {
    SetDarkToHalfOfLight(edit_);
    drawPreview();
  });
  connect(browse, &QPushButton::clicked, this, [this] { chooseTexture(); });
  connect(show, &QPushButton::clicked, this, [this] { showTexture(); });
  for (QLineEdit* field : {name_, opacity_, smoothing_}) {
    connect(field, &QLineEdit::editingFinished, this, [this] { normalizeFields(); });
  }
  connect(buttons, &QDialogButtonBox::accepted, this, &TColorForm::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  drawPreview();
}

void TColorForm::drawPreview() {
  QImage image(preview_->size(), QImage::Format_RGB32);
  MATERIAL ramp;
  for (int k = 0; k < 3; ++k) {
    ramp.light[k] = edit_.light[k];
    ramp.dark[k] = edit_.dark[k];
  }
  for (int i = 0; i < image.width(); ++i) {
    const std::array<int, 3> c = RampColor(ramp, i, image.width());
    for (int y = 0; y < image.height(); ++y) image.setPixel(i, y, qRgb(c[0], c[1], c[2]));
  }
  preview_->setPixmap(QPixmap::fromImage(image));
}

void TColorForm::chooseColor(bool light) {
  auto& color = light ? edit_.light : edit_.dark;
  const QColor chosen = QColorDialog::getColor(QColor(color[0], color[1], color[2]), this);
  if (!chosen.isValid()) return;
  color = {chosen.red(), chosen.green(), chosen.blue()};
  drawPreview();
}

void TColorForm::chooseTexture() {
  const QString path =
      QFileDialog::getOpenFileName(this, "Texture File", QString(), QtFilter(TextureFilter()));
  if (!path.isEmpty()) texture_->setText(path);
}

void TColorForm::showTexture() {
  QString path = texture_->text();
  if (path.isEmpty()) return;
  // A name without a folder is taken relative to the document's folder.
  if (QFileInfo(path).isRelative() && !document_.scene.fileName.empty()) {
    path = QFileInfo(QString::fromStdString(document_.scene.fileName)).dir().filePath(path);
  }
  main_->showImage(path);
}

void TColorForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TColorForm::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (!urls.isEmpty()) texture_->setText(urls.first().toLocalFile());
  event->acceptProposedAction();
}

void TColorForm::normalizeFields() {
  if (name_->text().isEmpty()) name_->setText(QString::fromStdString(DefaultMaterialName(material_)));
  opacity_->setText(QString::number(NormalizedOpacity(opacity_->text().toStdString())));
  smoothing_->setText(QString::fromStdString(
      FloatFieldText(static_cast<float>(NormalizedSmoothing(smoothing_->text().toStdString())))));
}

void TColorForm::accept() {
  normalizeFields();
  edit_.texture = texture_->text().toStdString();
  edit_.name = name_->text().toStdString();
  edit_.blend = blend_->isChecked();
  edit_.opacity = NormalizedOpacity(opacity_->text().toStdString());
  edit_.smoothingAngle = NormalizedSmoothing(smoothing_->text().toStdString());
  CommandArguments arguments{ColorApply{material_, edit_}};
  const CommandResult result =
      main_->command(kColorApplyCommand, arguments, /*statusOnFailure=*/false);
  if (!result.ok()) {
    main_->ui().warning(this, "Vexal", QString::fromStdString(result.refusal.reason));
    return;
  }
  QDialog::accept();
}

}  // namespace vexal::app
