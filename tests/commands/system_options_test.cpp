// The options table of the System Configuration dialog.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string_view>
#include <vector>

#include "commands/system_options.h"

namespace vexal {
namespace {

TEST(SystemOptions, EverySwitchHasItsOwnSettingAndTwoShowInverted) {
  std::vector<int Settings::*> fields;
  std::set<std::string_view> captions;
  std::vector<std::string_view> inverted;
  for (const SystemSwitch& option : SystemSwitches()) {
    EXPECT_EQ(std::count(fields.begin(), fields.end(), option.field), 0) << option.caption;
    fields.push_back(option.field);
    EXPECT_TRUE(captions.insert(option.caption).second) << option.caption;
    if (option.inverted) inverted.push_back(option.caption);
  }
  EXPECT_EQ(inverted, (std::vector<std::string_view>{
                          "Start in orthographic projection",
                          "Lasso tool: a click picks points and lines only, never a surface"}));
  Settings settings;
  const SystemSwitch* orthogonal = &SystemSwitches()[8];
  ASSERT_EQ(orthogonal->field, &Settings::Perspective);
  EXPECT_FALSE(SwitchChecked(settings, *orthogonal));  // perspective by default
  SetSwitchChecked(settings, *orthogonal, true);
  EXPECT_EQ(settings.Perspective, 0);
  for (const SystemSwitch& option : SystemSwitches()) {
    if (option.field == &Settings::UseAngleSmooth) {
      SetSwitchChecked(settings, option, false);
      EXPECT_EQ(settings.UseAngleSmooth, 0);
    }
  }
  EXPECT_EQ(NormalizeFloatField("0", SystemWidths()[0].rule), 2.0f);
}

// The two numbers of [System] keep the limits the settings loader applies.
TEST(SystemOptions, UndoDepthAndRecoveryIntervalKeepTheirLimits) {
  ASSERT_EQ(SystemNumbers().size(), 2u);
  const IntFieldRule& depth = SystemNumbers()[0].rule;
  const IntFieldRule& interval = SystemNumbers()[1].rule;
  EXPECT_EQ(SystemNumbers()[0].field, &Settings::UndoDepth);
  EXPECT_EQ(SystemNumbers()[1].field, &Settings::AutoSaveSeconds);
  const Settings defaults;
  EXPECT_EQ(depth.fallback, defaults.UndoDepth);
  EXPECT_EQ(interval.fallback, defaults.AutoSaveSeconds);
  struct Case {
    const char* text;
    int depth;
    int interval;
  };
  for (const Case& c : {Case{"1", 2, 1}, Case{"0", 2, 0}, Case{"-5", 2, 0}, Case{"50", 50, 50},
                        Case{"5000", 1000, 5000}, Case{"99999", 1000, 86400},
                        Case{"x", 10, 120}}) {
    EXPECT_EQ(NormalizeIntField(c.text, depth), c.depth) << c.text;
    EXPECT_EQ(NormalizeIntField(c.text, interval), c.interval) << c.text;
  }
}

}  // namespace
}  // namespace vexal
