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

int ProjectionRotationButton(float angle) {
  for (int quarter = 0; quarter < kArbitraryRotation; ++quarter) {
    if (angle == 90.0f * static_cast<float>(quarter)) return quarter;
  }
  return kArbitraryRotation;
}

float ProjectionAngle(int button, float fieldAngle) {
  return button == kArbitraryRotation ? fieldAngle : 90.0f * static_cast<float>(button);
}

bool ProjectionAngleFieldEnabled(int button) { return button == kArbitraryRotation; }

int IntFieldValue(int value, const IntFieldRule& rule) {
  return NormalizeIntField(IntFieldText(value), rule);
}

float FloatFieldValue(float value, const FloatFieldRule& rule) {
  return NormalizeFloatField(FloatFieldText(value), rule);
}

PipeParameters PipeFieldValues(const PipeParameters& values) {
  PipeParameters result;
  result.segments = IntFieldValue(values.segments, kPipeSegmentField);
  result.radius = FloatFieldValue(values.radius, kPipeRadiusField);
  result.offset = FloatFieldValue(values.offset, kPipeOffsetField);
  return result;
}

UVProjection ProjectionFieldValues(const UVProjection& values) {
  UVProjection result = values;
  result.centerU = FloatFieldValue(values.centerU, kUVCenterField);
  result.centerV = FloatFieldValue(values.centerV, kUVCenterField);
  result.scaleU = FloatFieldValue(values.scaleU, kUVScaleField);
  result.scaleV = FloatFieldValue(values.scaleV, kUVScaleField);
  result.angle = FloatFieldValue(values.angle, kUVAngleField);
  return result;
}

NumericValues NumericFieldValues(const NumericValues& values) {
  NumericValues result = values;
  for (float VECTOR::*axis : {&VECTOR::x, &VECTOR::y, &VECTOR::z}) {
    result.go.*axis = FloatFieldValue(values.go.*axis, kNumericField);
    result.scale.*axis = FloatFieldValue(values.scale.*axis, kNumericScaleField);
    result.rotate.*axis = FloatFieldValue(values.rotate.*axis, kNumericField);
  }
  return result;
}

MaterialRewrites UtilityFieldValues(const MaterialRewrites& values) {
  MaterialRewrites result = values;
  result.angle = FloatFieldValue(values.angle, kSmoothingAngleField);
  return result;
}

PictureValues PictureFieldValues(const PictureValues& values) {
  PictureValues result = values;
  result.scale = FloatFieldValue(values.scale, kPictureScaleField);
  result.depth = FloatFieldValue(values.depth, kPictureDepthField);
  return result;
}

MaterialEdit ColorFieldValues(const MaterialEdit& values, int material) {
  MaterialEdit result = values;
  if (result.name.empty()) result.name = DefaultMaterialName(material);
  result.opacity = NormalizedOpacity(IntFieldText(values.opacity));
  result.smoothingAngle =
      NormalizedSmoothing(FloatFieldText(static_cast<float>(values.smoothingAngle)));
  return result;
}

}  // namespace vexal
