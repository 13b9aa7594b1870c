// The rule every number field of the tool windows and dialogs follows when
// it loses focus (or its window is deactivated): text that is not a number
// becomes the field's default; a value at or below the minimum becomes the
// minimum when the field keeps it, else the default; a value at or above the
// maximum likewise; the text is then rewritten in plain decimal (integers)
// or with at most six decimals (floats, "0.######", after which the value is
// the one the text shows).
#pragma once

#include <string>
#include <string_view>

namespace vexal {

struct IntFieldRule {
  int minimum = 0;
  int maximum = 0;
  int fallback = 0;  // the default
  bool keepMinimum = true;
  bool keepMaximum = true;
};

struct FloatFieldRule {
  float minimum = 0;
  float maximum = 0;
  float fallback = 0;  // the default
  bool keepMinimum = true;
  bool keepMaximum = true;
};

// The value the field holds after normalising text (surrounding blanks are
// allowed; anything else that is not a whole number is not a number).
int NormalizeIntField(std::string_view text, const IntFieldRule& rule);
// The same for decimal numbers ("1.5", "-.25", "2e3"); "inf", "nan" and
// hexadecimal text are not numbers.
float NormalizeFloatField(std::string_view text, const FloatFieldRule& rule);

std::string IntFieldText(int value);
// At most six decimals, no trailing zeros, no "-0": 0.125f -> "0.125".
std::string FloatFieldText(float value);

// The fields' rules.
inline constexpr IntFieldRule kPipeSegmentField{3, 96, 6, true, true};
inline constexpr FloatFieldRule kPipeRadiusField{0.0f, 1000000.0f, 0.125f, false, true};
inline constexpr FloatFieldRule kPipeOffsetField{-360.0f, 360.0f, 0.0f, true, true};
inline constexpr FloatFieldRule kUVCenterField{-128.0f, 128.0f, 0.5f, true, true};
inline constexpr FloatFieldRule kUVScaleField{-128.0f, 128.0f, 1.0f, true, true};
inline constexpr FloatFieldRule kUVAngleField{-360.0f, 360.0f, 0.0f, true, true};
inline constexpr FloatFieldRule kFormatScaleField{0.0f, 1000000.0f, 1.0f, false, true};
inline constexpr IntFieldRule kMxTextureSizeField{0, 8192, 256, true, true};
inline constexpr FloatFieldRule kPictureScaleField{0.0f, 1000000.0f, 1.0f, false, true};
inline constexpr FloatFieldRule kPictureDepthField{0.0f, 1000000.0f, 2.0f, false, true};
inline constexpr FloatFieldRule kSmoothingAngleField{0.0f, 180.0f, 59.5f, true, true};
// The "Enter A Number" fields: "Go" and "Rotate", and "Scale" (percent).
inline constexpr FloatFieldRule kNumericField{-1000000.0f, 1000000.0f, 0.0f, true, true};
inline constexpr FloatFieldRule kNumericScaleField{-1000000.0f, 1000000.0f, 100.0f, true, true};

}  // namespace vexal
