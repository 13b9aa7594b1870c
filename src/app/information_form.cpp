#include "app/information_form.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

#include "model/model_info.h"

namespace vexal::app {

TInformationForm::TInformationForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("InformationForm");
  setWindowTitle("Information Window");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  text_ = new QPlainTextEdit(this);
  text_->setReadOnly(true);
  layout->addWidget(text_);
  resize(300, 120);
}

void TInformationForm::showInformation(const Model& model) {
  text_->setPlainText(QString::fromStdString(ModelInfoText(CountModelInfo(model))).trimmed());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move((area.width() - width()) / 2, (area.height() - height()) / 2);
  }
  show();
  raise();
}

QString TInformationForm::text() const { return text_->toPlainText(); }

}  // namespace vexal::app
