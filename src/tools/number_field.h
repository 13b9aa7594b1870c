// The rules of the number fields of the tool windows and dialogs, applied
// when a field loses focus: text that is no number becomes the default; a
// value at or beyond a bound becomes that bound when the field keeps it,
// else the default; the text is rewritten plainly (floats with at most six
// decimals, as "0.######" shows them).
#pragma once

#include <string>
#include <string_view>

namespace vexal {

struct IntegerFieldRule {
  int minimum = 0;
  int maximum = 0;
  int fallback = 0;
  bool keepMinimum = true;
  bool keepMaximum = true;
};

struct FloatFieldRule {
  double minimum = 0;
  double maximum = 0;
  double fallback = 0;
  bool keepMinimum = true;
  bool keepMaximum = true;
};

int NormalizeIntegerField(std::string_view text, const IntegerFieldRule& rule);
double NormalizeFloatField(std::string_view text, const FloatFieldRule& rule);
// "0.######": at most six decimals, no trailing zeros, no trailing point.
std::string FormatFieldFloat(double value);

}  // namespace vexal
