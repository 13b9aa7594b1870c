#include "app/option_form.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <map>

#include "app/number_edit.h"
#include "commands/system_options.h"

namespace vexal::app {
namespace {

// Settings colours are 0x00BBGGRR.
QColor ColorOf(int value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }
int ValueOf(const QColor& color) { return color.red() | (color.green() << 8) | (color.blue() << 16); }

void PaintSwatch(QPushButton* button, int value) {
  button->setStyleSheet(QString("background-color: %1").arg(ColorOf(value).name()));
}

}  // namespace

TOptionForm::TOptionForm(QWidget* parent) : QDialog(parent) {
  setObjectName("OptionForm");
  setWindowTitle("System Configuration Settings");
  auto* layout = new QVBoxLayout(this);
  // Four pages, so that the dialog fits a 1024 x 768 screen: windows and
  // start-up, the defaults of new windows, the tools, and the cartoon
  // outlines with the line widths and colours.
  auto* pages = new QTabWidget(this);
  QVBoxLayout* page[4];
  for (const char* title : {"Start", "New windows", "Tools", "Outlines and colours"}) {
    auto* widget = new QWidget(pages);
    page[pages->count()] = new QVBoxLayout(widget);
    pages->addTab(widget, title);
  }
  std::map<std::string_view, QVBoxLayout*> groups;
  for (const SystemSwitch& option : SystemSwitches()) {
    QVBoxLayout*& box = groups[option.group];
    if (!box) {
      auto* frame = new QGroupBox(QString::fromUtf8(option.group.data(), static_cast<qsizetype>(option.group.size())), this);
      box = new QVBoxLayout(frame);
      const int index = option.group == "New windows" ? 1
                        : option.group == "Tools"     ? 2
                        : option.group == "Cartoon effect" ? 3
                                                      : 0;
      page[index]->addWidget(frame);
    }
    auto* check = new QCheckBox(QString::fromUtf8(option.caption.data(), static_cast<qsizetype>(option.caption.size())), this);
    box->addWidget(check);
    switches_.push_back(check);
  }
  layout->addWidget(pages);
  auto* lines = new QGroupBox("Line widths and colours", this);
  auto* grid = new QGridLayout(lines);
  int row = 0;
  for (const SystemWidth& width : SystemWidths()) {
    auto* edit = new NumberEdit(width.rule, lines);
    edit->setFixedWidth(80);
    grid->addWidget(new QLabel(QString::fromUtf8(width.caption.data(), static_cast<qsizetype>(width.caption.size())), lines), row, 0);
    grid->addWidget(edit, row++, 1);
    widths_.push_back(edit);
  }
  row = 0;
  for (const SystemColor& color : SystemColors()) {
    auto* button = new QPushButton(lines);
    button->setFixedWidth(64);
    const size_t index = colors_.size();
    connect(button, &QPushButton::clicked, this, [this, index] {
      const QColor chosen = QColorDialog::getColor(ColorOf(colorValues_[index]), this);
      if (!chosen.isValid()) return;
      colorValues_[index] = ValueOf(chosen);
      PaintSwatch(colors_[index], colorValues_[index]);
    });
    grid->addWidget(new QLabel(QString::fromUtf8(color.caption.data(), static_cast<qsizetype>(color.caption.size())) + " colour", lines), row, 2);
    grid->addWidget(button, row++, 3);
    colors_.push_back(button);
  }
  for (const SystemNumber& number : SystemNumbers()) {
    auto* edit = new NumberEdit(number.rule, lines);
    edit->setFixedWidth(80);
    grid->addWidget(new QLabel(QString::fromUtf8(number.caption.data(), static_cast<qsizetype>(number.caption.size())), lines), row, 0);
    grid->addWidget(edit, row++, 1);
    numbers_.push_back(edit);
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnStretch(3, 1);
  colorValues_.assign(colors_.size(), 0);
  page[3]->addWidget(lines);
  auto* languageRow = new QHBoxLayout;
  language_ = new QComboBox(this);
  language_->setObjectName("LanguageCombo");
  language_->addItem("As the system's locale", "auto");
  language_->addItem("English", "en");
  language_->addItem("Japanese", "ja");
  languageRow->addWidget(new QLabel("Language of messages:", this));
  languageRow->addWidget(language_);
  languageRow->addStretch(1);
  page[0]->addLayout(languageRow);
  for (QVBoxLayout* p : page) p->addStretch(1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void TOptionForm::load(const Settings& settings) {
  const auto options = SystemSwitches();
  for (size_t i = 0; i < options.size(); ++i) switches_[i]->setChecked(SwitchChecked(settings, options[i]));
  const auto widths = SystemWidths();
  for (size_t i = 0; i < widths.size(); ++i) widths_[i]->setFloatValue(settings.*widths[i].field);
  const auto numbers = SystemNumbers();
  for (size_t i = 0; i < numbers.size(); ++i) numbers_[i]->setIntValue(settings.*numbers[i].field);
  const auto colors = SystemColors();
  for (size_t i = 0; i < colors.size(); ++i) {
    colorValues_[i] = settings.*colors[i].field;
    PaintSwatch(colors_[i], colorValues_[i]);
  }
  const int language = language_->findData(QString::fromStdString(settings.Language));
  language_->setCurrentIndex(language < 0 ? 0 : language);
}

void TOptionForm::store(Settings& settings) const {
  const auto options = SystemSwitches();
  for (size_t i = 0; i < options.size(); ++i) SetSwitchChecked(settings, options[i], switches_[i]->isChecked());
  const auto widths = SystemWidths();
  for (size_t i = 0; i < widths.size(); ++i) settings.*widths[i].field = widths_[i]->floatValue();
  const auto numbers = SystemNumbers();
  for (size_t i = 0; i < numbers.size(); ++i) settings.*numbers[i].field = numbers_[i]->intValue();
  const auto colors = SystemColors();
  for (size_t i = 0; i < colors.size(); ++i) settings.*colors[i].field = colorValues_[i];
  settings.Language = language_->currentData().toString().toStdString();
}

bool TOptionForm::edit(Settings& settings) {
  load(settings);
  // The first page and its first switch, whatever page was left open.
  findChild<QTabWidget*>()->setCurrentIndex(0);
  switches_.front()->setFocus();
  if (exec() != QDialog::Accepted) return false;
  NormalizeNumberEdits(this);
  store(settings);
  return true;
}

}  // namespace vexal::app
