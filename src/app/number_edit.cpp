#include "app/number_edit.h"

namespace vexal::app {

NumberEdit::NumberEdit(const IntFieldRule& rule, QWidget* parent) : QLineEdit(parent), intRule_(rule) {
  setMaxLength(16);
  setIntValue(rule.fallback);
}

NumberEdit::NumberEdit(const FloatFieldRule& rule, QWidget* parent)
    : QLineEdit(parent), floatRule_(rule) {
  setMaxLength(16);
  setFloatValue(rule.fallback);
}

void NumberEdit::normalize() {
  const std::string text = this->text().toStdString();
  const QString normal = QString::fromStdString(
      intRule_ ? IntFieldText(NormalizeIntField(text, *intRule_))
               : FloatFieldText(NormalizeFloatField(text, *floatRule_)));
  if (normal != this->text()) setText(normal);
  emit normalized();
}

int NumberEdit::intValue() const {
  return intRule_ ? NormalizeIntField(text().toStdString(), *intRule_)
                  : static_cast<int>(floatValue());
}

float NumberEdit::floatValue() const {
  return floatRule_ ? NormalizeFloatField(text().toStdString(), *floatRule_)
                    : static_cast<float>(intValue());
}

void NumberEdit::setIntValue(int value) { setText(QString::fromStdString(IntFieldText(value))); }

void NumberEdit::setFloatValue(float value) {
  setText(QString::fromStdString(FloatFieldText(value)));
}

void NumberEdit::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  normalize();
}

void NormalizeNumberEdits(QWidget* window) {
  for (NumberEdit* edit : window->findChildren<NumberEdit*>()) edit->normalize();
}

}  // namespace vexal::app
