#include "tools/number_field.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace vexal {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// Sign, digits with at most one point (at least one digit), optional
// exponent: the forms a person types, nothing strtod accepts beyond them.
bool LooksDecimal(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  int digits = 0;
  bool point = false;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      ++digits;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i == start) return false;
  }
  return i == text.size();
}

template <typename T, typename Rule>
T ApplyBounds(double value, const Rule& rule) {
  if (value <= rule.minimum) return rule.keepMinimum ? rule.minimum : rule.fallback;
  if (value >= rule.maximum) return rule.keepMaximum ? rule.maximum : rule.fallback;
  return static_cast<T>(value);
}

}  // namespace

int NormalizeIntField(std::string_view text, const IntFieldRule& rule) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  int64_t value = 0;
  const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || end != text.data() + text.size()) return rule.fallback;
  if (code == std::errc::result_out_of_range) {
    // Digits beyond 64 bits are still a number, beyond either bound.
    value = text.front() == '-' ? INT64_MIN : INT64_MAX;
  } else if (code != std::errc()) {
    return rule.fallback;
  }
  return ApplyBounds<int>(static_cast<double>(value), rule);
}

float NormalizeFloatField(std::string_view text, const FloatFieldRule& rule) {
  text = Trim(text);
  if (!LooksDecimal(text)) return rule.fallback;
  const std::string copy(text);
  double value = std::strtod(copy.c_str(), nullptr);
  if (!std::isfinite(value)) value = value < 0 ? -HUGE_VAL : HUGE_VAL;
  // Rounded as the field shows it; far beyond the bounds the rounding
  // cannot matter (and would not fit the text buffer).
  if (std::fabs(value) < 1e15) {
    char rounded[64];
    std::snprintf(rounded, sizeof rounded, "%.6f", value);
    value = std::strtod(rounded, nullptr);
  }
  return ApplyBounds<float>(value, rule);
}

std::string IntFieldText(int value) { return std::to_string(value); }

std::string FloatFieldText(float value) {
  char text[64];
  if (!std::isfinite(value) || std::fabs(value) >= 1e15f) {
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
  }
  std::snprintf(text, sizeof text, "%.6f", static_cast<double>(value));
  std::string result = text;
  while (result.back() == '0') result.pop_back();
  if (result.back() == '.') result.pop_back();
  if (result == "-0") result = "0";
  return result;
}

}  // namespace vexal
