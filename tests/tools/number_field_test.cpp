// The number-field rule of every tool window and dialog.
#include <gtest/gtest.h>

#include "tools/number_field.h"

namespace vexal {
namespace {

TEST(NumberField, IntegersOutsideTheirRangeOrNotNumbersTakeTheirRule) {
  EXPECT_EQ(NormalizeIntField("2", kPipeSegmentField), 3);
  EXPECT_EQ(NormalizeIntField("3", kPipeSegmentField), 3);
  EXPECT_EQ(NormalizeIntField(" 12 ", kPipeSegmentField), 12);
  EXPECT_EQ(NormalizeIntField("+12", kPipeSegmentField), 12);
  EXPECT_EQ(NormalizeIntField("500", kPipeSegmentField), 96);
  EXPECT_EQ(NormalizeIntField("99999999999999999999999", kPipeSegmentField), 96);
  EXPECT_EQ(NormalizeIntField("-99999999999999999999999", kPipeSegmentField), 3);
  for (const char* text : {"", "abc", "12abc", "1.5", "0x10", "--3"}) {
    EXPECT_EQ(NormalizeIntField(text, kPipeSegmentField), 6) << text;
  }
  EXPECT_EQ(NormalizeIntField("9000", kMxTextureSizeField), 8192);
  EXPECT_EQ(NormalizeIntField("-5", kMxTextureSizeField), 0);
  // A bound that is not kept gives the default.
  const IntFieldRule loose{0, 10, 4, false, false};
  EXPECT_EQ(NormalizeIntField("0", loose), 4);
  EXPECT_EQ(NormalizeIntField("10", loose), 4);
  EXPECT_EQ(NormalizeIntField("9", loose), 9);
  EXPECT_EQ(IntFieldText(-42), "-42");
}

TEST(NumberField, FloatsAreRoundedToSixDecimalsBeforeTheirRule) {
  EXPECT_EQ(NormalizeFloatField("abc", kPipeRadiusField), 0.125f);
  EXPECT_EQ(NormalizeFloatField("0", kPipeRadiusField), 0.125f);
  EXPECT_EQ(NormalizeFloatField("-1", kPipeRadiusField), 0.125f);
  // Six decimals round this one to 0, which is refused as well.
  EXPECT_EQ(NormalizeFloatField("0.0000004", kPipeRadiusField), 0.125f);
  EXPECT_EQ(NormalizeFloatField("0.0000006", kPipeRadiusField), 0.000001f);
  EXPECT_EQ(NormalizeFloatField("2000000", kPipeRadiusField), 1000000.0f);
  EXPECT_EQ(NormalizeFloatField("1e300", kPipeRadiusField), 1000000.0f);
  EXPECT_EQ(NormalizeFloatField("1e999", kPipeRadiusField), 1000000.0f);
  EXPECT_EQ(NormalizeFloatField("-720", kPipeOffsetField), -360.0f);
  EXPECT_EQ(NormalizeFloatField("200", kUVCenterField), 128.0f);
  EXPECT_EQ(NormalizeFloatField("x", kUVScaleField), 1.0f);
  EXPECT_EQ(NormalizeFloatField("x", kUVCenterField), 0.5f);
  for (const char* scale : {"0", "-3"}) EXPECT_EQ(NormalizeFloatField(scale, kFormatScaleField), 1.0f);
  EXPECT_EQ(NormalizeFloatField("2000000", kFormatScaleField), 1000000.0f);
  EXPECT_EQ(NormalizeFloatField("0", kPictureDepthField), 2.0f);
  EXPECT_EQ(NormalizeFloatField("200", kSmoothingAngleField), 180.0f);
  EXPECT_EQ(NormalizeFloatField("1.23456789", kPipeRadiusField), 1.234568f);
  EXPECT_EQ(NormalizeFloatField("-.5", kUVScaleField), -0.5f);
  EXPECT_EQ(NormalizeFloatField("2.5e1", kUVScaleField), 25.0f);
  for (const char* text : {"inf", "nan", "0x1p3", "1.2.3", "e5", ".", "1e", "1,5"}) {
    EXPECT_EQ(NormalizeFloatField(text, kPipeOffsetField), 0.0f) << text;
  }
}

TEST(NumberField, FloatTextShowsAtMostSixDecimals) {
  EXPECT_EQ(FloatFieldText(0.125f), "0.125");
  EXPECT_EQ(FloatFieldText(0.1f), "0.1");
  EXPECT_EQ(FloatFieldText(59.5f), "59.5");
  EXPECT_EQ(FloatFieldText(1000000.0f), "1000000");
  EXPECT_EQ(FloatFieldText(1.0f / 3), "0.333333");
  EXPECT_EQ(FloatFieldText(-0.0000001f), "0");
  EXPECT_EQ(FloatFieldText(-2.5f), "-2.5");
  // What the text shows reads back as the same value.
  for (float value : {0.125f, 0.01f, 100.0f, 1.234568f}) {
    EXPECT_EQ(NormalizeFloatField(FloatFieldText(value), kPipeRadiusField), value);
  }
}

}  // namespace
}  // namespace vexal
