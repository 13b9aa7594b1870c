#include "tools/number_field.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vexal {
namespace {

std::string Trimmed(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return std::string(text.substr(begin, end - begin));
}

}  // namespace

int NormalizeIntegerField(std::string_view text, const IntegerFieldRule& rule) {
  const std::string trimmed = Trimmed(text);
  if (trimmed.empty()) return rule.fallback;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(trimmed.c_str(), &end, 10);
  if (*end != '\0' || errno == ERANGE) return rule.fallback;
  if (value <= rule.minimum) return rule.keepMinimum ? rule.minimum : rule.fallback;
  if (value >= rule.maximum) return rule.keepMaximum ? rule.maximum : rule.fallback;
  return static_cast<int>(value);
}

double NormalizeFloatField(std::string_view text, const FloatFieldRule& rule) {
  const std::string trimmed = Trimmed(text);
  if (trimmed.empty()) return rule.fallback;
  char* end = nullptr;
  const double parsed = std::strtod(trimmed.c_str(), &end);
  if (*end != '\0' || !std::isfinite(parsed)) return rule.fallback;
  // Rounded as it is shown before the bounds are tested.
  const double value = std::strtod(FormatFieldFloat(parsed).c_str(), nullptr);
  if (value <= rule.minimum) return rule.keepMinimum ? rule.minimum : rule.fallback;
  if (value >= rule.maximum) return rule.keepMaximum ? rule.maximum : rule.fallback;
  return value;
}

std::string FormatFieldFloat(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6f", value);
  std::string result = text;
  while (!result.empty() && result.back() == '0') result.pop_back();
  if (!result.empty() && result.back() == '.') result.pop_back();
  if (result == "-0") result = "0";
  return result;
}

}  // namespace vexal
