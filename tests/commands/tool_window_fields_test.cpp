// The field rules of the Grid, Random Position and Drawing windows.
#include <gtest/gtest.h>

#include "commands/tool_window_fields.h"

namespace vexal {
namespace {

TEST(ToolWindowFields, WidthsAreClampedRoundedAndShownWithSixDecimalsAtMost) {
  struct Case {
    const char* typed;
    float value;
    const char* shown;
  };
  const Case cases[] = {
      {"0.25", 0.25f, "0.25"},        {"abc", 0.125f, "0.125"},     {"", 0.125f, "0.125"},
      {"0", 0.125f, "0.125"},         {"-3", 0.125f, "0.125"},      {"2000000", 1e6f, "1000000"},
      {"1000000", 1e6f, "1000000"},   {"1.23456789", 1.234568f, "1.234568"},
      {"0.0000001", 0.125f, "0.125"},  // rounds to 0 on display, so not above 0
      {"nan", 0.125f, "0.125"},       {"1e300", 1e6f, "1000000"},  {" 3 ", 3.0f, "3"},
      {"3x", 0.125f, "0.125"},
  };
  for (const Case& c : cases) {
    const FloatField field = NormalizeWidthField(c.typed);
    EXPECT_FLOAT_EQ(field.value, c.value) << c.typed;
    EXPECT_EQ(field.text, c.shown) << c.typed;
  }
}

TEST(ToolWindowFields, SegmentsStayBetweenTwoAndNinetySix) {
  EXPECT_EQ(NormalizeSegmentField("7"), 7);
  EXPECT_EQ(NormalizeSegmentField("x"), 6);
  EXPECT_EQ(NormalizeSegmentField("1"), 2);
  EXPECT_EQ(NormalizeSegmentField("-5"), 2);
  EXPECT_EQ(NormalizeSegmentField("96"), 96);
  EXPECT_EQ(NormalizeSegmentField("99999999999999999999"), 6);
}

TEST(ToolWindowFields, AWindowWritesItsChecksAndNormalisedWidthsIntoTheSettings) {
  Settings settings;
  WidthWindowValues values;
  values.checks[1] = false;
  values.fields[0] = "0.5";
  values.fields[1] = "bad";
  values.fields[2] = "5000000";
  StoreWidthWindow(WidthWindow::kRandom, values, settings);
  EXPECT_EQ(settings.RandomCheckX, 1);
  EXPECT_EQ(settings.RandomCheckY, 0);
  EXPECT_FLOAT_EQ(settings.RandomWidthX, 0.5f);
  EXPECT_FLOAT_EQ(settings.RandomWidthY, 0.125f);
  EXPECT_FLOAT_EQ(settings.RandomWidthZ, 1e6f);
  EXPECT_EQ(values.fields[1], "0.125");
  EXPECT_FLOAT_EQ(settings.GridWidthX, 0.125f);  // the other window's values untouched
  const WidthWindowValues shown = LoadWidthWindow(WidthWindow::kRandom, settings);
  EXPECT_FALSE(shown.checks[1]);
  EXPECT_EQ(shown.fields[2], "1000000");
}

}  // namespace
}  // namespace vexal
