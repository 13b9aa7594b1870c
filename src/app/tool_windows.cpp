#include "app/tool_windows.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/main_form.h"

namespace vexal::app {
namespace {

constexpr Qt::WindowFlags kToolWindowFlags = Qt::Tool | Qt::WindowStaysOnTopHint;

}  // namespace

TWidthForm::TWidthForm(TMainForm* main, WidthWindow window, const QString& caption,
                       const QString& command)
    : QWidget(main, kToolWindowFlags), main_(main), window_(window), command_(command) {
  setWindowTitle(caption);
  auto* layout = new QGridLayout(this);
  const char* axes[3] = {"X", "Y", "Z"};
  for (int axis = 0; axis < 3; ++axis) {
    checks_[axis] = new QCheckBox(QString::fromLatin1(axes[axis]), this);
    fields_[axis] = new QLineEdit(this);
    fields_[axis]->setObjectName(QStringLiteral("Width%1").arg(QLatin1Char(axes[axis][0])));
    checks_[axis]->setObjectName(QStringLiteral("Check%1").arg(QLatin1Char(axes[axis][0])));
    layout->addWidget(checks_[axis], axis, 0);
    layout->addWidget(fields_[axis], axis, 1);
    connect(checks_[axis], &QCheckBox::clicked, this, [this] { store(); });
    connect(fields_[axis], &QLineEdit::editingFinished, this, [this] { store(); });
  }
  auto* apply = new QPushButton(QStringLiteral("Apply"), this);
  layout->addWidget(apply, 3, 0, 1, 2);
  connect(apply, &QPushButton::clicked, this, [this] {
    store();
    main_->command(command_);
  });
  load();
}

void TWidthForm::load() {
  const WidthWindowValues values = LoadWidthWindow(window_, main_->workspace().settings);
  for (int axis = 0; axis < 3; ++axis) {
    checks_[axis]->setChecked(values.checks[axis]);
    fields_[axis]->setText(QString::fromStdString(values.fields[axis]));
  }
}

void TWidthForm::store() {
  WidthWindowValues values;
  for (int axis = 0; axis < 3; ++axis) {
    values.checks[axis] = checks_[axis]->isChecked();
    values.fields[axis] = fields_[axis]->text().toStdString();
  }
  StoreWidthWindow(window_, values, main_->workspace().settings);
  for (int axis = 0; axis < 3; ++axis) {
    fields_[axis]->setText(QString::fromStdString(values.fields[axis]));
  }
}

void TWidthForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) store();
  QWidget::changeEvent(event);
}

TAttachForm::TAttachForm(TMainForm* main) : QWidget(main, kToolWindowFlags), main_(main) {
  setWindowTitle(QStringLiteral("Drawing"));
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("Number Segment"), this));
  segments_ = new QLineEdit(this);
  segments_->setObjectName(QStringLiteral("NumberSegment"));
  segments_->setMaxLength(16);
  row->addWidget(segments_);
  layout->addLayout(row);
  auto* apply = new QPushButton(QStringLiteral("Apply"), this);
  layout->addWidget(apply);
  connect(segments_, &QLineEdit::editingFinished, this, [this] { store(); });
  connect(apply, &QPushButton::clicked, this, [this] {
    store();
    main_->command(QStringLiteral("AttachLineItem"));
  });
  load();
}

void TAttachForm::load() {
  segments_->setText(QString::number(main_->workspace().settings.AttachLineSegment));
}

void TAttachForm::store() {
  const int segments = NormalizeSegmentField(segments_->text().toStdString());
  main_->workspace().settings.AttachLineSegment = segments;
  segments_->setText(QString::number(segments));
}

void TAttachForm::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) store();
  QWidget::changeEvent(event);
}

void TAttachForm::showEvent(QShowEvent* event) {
  load();
  QWidget::showEvent(event);
}

}  // namespace vexal::app
