#include "commands/tool_window_fields.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace vexal {
namespace {

// The whole text as one number (surrounding blanks allowed); false for
// anything else, non-finite values included.
bool ParseNumber(std::string_view text, double& value) {
  std::string copy(text);
  const char* begin = copy.c_str();
  char* end = nullptr;
  errno = 0;
  value = std::strtod(begin, &end);
  if (end == begin || errno == ERANGE || !std::isfinite(value)) return false;
  while (*end == ' ' || *end == '\t') ++end;
  return *end == '\0';
}

bool ParseInteger(std::string_view text, long& value) {
  std::string copy(text);
  const char* begin = copy.c_str();
  char* end = nullptr;
  errno = 0;
  value = std::strtol(begin, &end, 10);
  if (end == begin || errno == ERANGE) return false;
  while (*end == ' ' || *end == '\t') ++end;
  return *end == '\0';
}

}  // namespace

std::string FormatFieldNumber(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.6f", value);
  std::string text(buffer);
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  return text;
}

FloatField NormalizeWidthField(std::string_view text) {
  constexpr double kDefault = 0.125;
  constexpr double kMaximum = 1000000.0;
  double value = 0;
  if (!ParseNumber(text, value) || std::fabs(value) >= 1e15) {
    value = std::fabs(value) >= 1e15 && value > 0 ? kMaximum : kDefault;
  } else {
    value = std::strtod(FormatFieldNumber(value).c_str(), nullptr);
  }
  if (!(value > 0)) value = kDefault;
  if (value >= kMaximum) value = kMaximum;
  return {static_cast<float>(value), FormatFieldNumber(value)};
}

int NormalizeSegmentField(std::string_view text) {
  long value = 0;
  if (!ParseInteger(text, value)) return 6;
  if (value <= 2) return 2;
  if (value >= 96) return 96;
  return static_cast<int>(value);
}

void StoreWidthWindow(WidthWindow window, WidthWindowValues& values, Settings& settings) {
  const bool grid = window == WidthWindow::kGrid;
  int* checks[3] = {grid ? &settings.GridCheckX : &settings.RandomCheckX,
                    grid ? &settings.GridCheckY : &settings.RandomCheckY,
                    grid ? &settings.GridCheckZ : &settings.RandomCheckZ};
  float* widths[3] = {grid ? &settings.GridWidthX : &settings.RandomWidthX,
                      grid ? &settings.GridWidthY : &settings.RandomWidthY,
                      grid ? &settings.GridWidthZ : &settings.RandomWidthZ};
  for (int axis = 0; axis < 3; ++axis) {
    const FloatField field = NormalizeWidthField(values.fields[axis]);
    *checks[axis] = values.checks[axis] ? 1 : 0;
    *widths[axis] = field.value;
    values.fields[axis] = field.text;
  }
}

WidthWindowValues LoadWidthWindow(WidthWindow window, const Settings& settings) {
  const bool grid = window == WidthWindow::kGrid;
  const int checks[3] = {grid ? settings.GridCheckX : settings.RandomCheckX,
                         grid ? settings.GridCheckY : settings.RandomCheckY,
                         grid ? settings.GridCheckZ : settings.RandomCheckZ};
  const float widths[3] = {grid ? settings.GridWidthX : settings.RandomWidthX,
                           grid ? settings.GridWidthY : settings.RandomWidthY,
                           grid ? settings.GridWidthZ : settings.RandomWidthZ};
  WidthWindowValues values;
  for (int axis = 0; axis < 3; ++axis) {
    values.checks[axis] = checks[axis] != 0;
    values.fields[axis] = FormatFieldNumber(widths[axis]);
  }
  return values;
}

}  // namespace vexal
