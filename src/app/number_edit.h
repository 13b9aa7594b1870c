// A number field of a tool window or dialog: when it loses focus (and when
// its window is deactivated, through NormalizeNumberEdits) its text is
// normalised by the core's field rule.
#pragma once

#include <QLineEdit>
#include <optional>

#include "tools/number_field.h"

namespace vexal::app {

class NumberEdit : public QLineEdit {
  Q_OBJECT
 public:
  NumberEdit(const IntFieldRule& rule, QWidget* parent);
  NumberEdit(const FloatFieldRule& rule, QWidget* parent);

  // Rewrites the text by the rule; emits normalized().
  void normalize();
  int intValue() const;
  float floatValue() const;
  void setIntValue(int value);
  void setFloatValue(float value);

 signals:
  void normalized();

 protected:
  void focusOutEvent(QFocusEvent* event) override;

 private:
  std::optional<IntFieldRule> intRule_;
  std::optional<FloatFieldRule> floatRule_;
};

// Normalises every NumberEdit inside window (on deactivation).
void NormalizeNumberEdits(QWidget* window);

}  // namespace vexal::app
