#include <gtest/gtest.h>

#include <string>

#include "commands/file_history.h"

namespace vexal {
namespace {

TEST(FileHistory, MovesToTopDropsTheEleventhAndNumbersTheTenthZero) {
  FileHistory history;
  history.add("");
  EXPECT_TRUE(history.entries().empty());
  for (int i = 1; i <= 10; ++i) history.add("/models/" + std::to_string(i) + ".vxl");
  EXPECT_EQ(history.caption(0), "&1 /models/10.vxl");
  EXPECT_EQ(history.caption(9), "&0 /models/1.vxl");
  history.add("/models/5.vxl");
  EXPECT_EQ(history.entries().size(), 10u);
  EXPECT_EQ(history.entries()[0], "/models/5.vxl");
  history.add("/models/11.vxl");
  EXPECT_EQ(history.entries().size(), 10u);
  EXPECT_EQ(history.entries().back(), "/models/2.vxl");
}

}  // namespace
}  // namespace vexal
