#include "commands/window_list.h"

#include <gtest/gtest.h>

namespace vexal {
namespace {

TEST(WindowList, NumbersTheFirstNineAsAcceleratorsAndKeepsAmpersands) {
  const struct {
    size_t index;
    const char* caption;
    const char* expected;
  } cases[] = {
      {0, "Vxl1.vxl", "&1 Vxl1.vxl"},
      {8, "/m/a.vxl", "&9 /m/a.vxl"},
      {9, "/m/b.vxl", "10 /m/b.vxl"},
      {11, "x", "12 x"},
      {1, "/m/R&D & co.vxl", "&2 /m/R&&D && co.vxl"},
      {2, "", "&3 "},
  };
  for (const auto& c : cases) EXPECT_EQ(WindowListCaption(c.index, c.caption), c.expected) << c.index;
}

}  // namespace
}  // namespace vexal
