#include "settings/manual_path.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

namespace vexal {
namespace {

namespace fs = std::filesystem;

TEST(ManualPath, InstalledCopyFirstThenTheBuildTreeThenNothing) {
  std::string pattern = testing::TempDir() + "manual_XXXXXX";
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  const fs::path root = pattern;
  const std::string installed = (root / "usr/share/doc/vexal/manual/index.html").string();
  const std::string built = (root / "build/docs/manual/index.html").string();
  const std::vector<std::string> locations = ManualLocations((root / "usr/bin/vexal").string(), built);
  EXPECT_EQ(locations, (std::vector<std::string>{installed, built}));
  EXPECT_EQ(ManualLocations("vexal", "").front(), "../share/doc/vexal/manual/index.html");

  EXPECT_EQ(FindManual(locations), "");
  fs::create_directories(fs::path(built).parent_path());
  std::ofstream(built) << "<html></html>";
  EXPECT_EQ(FindManual(locations), built);
  // A folder of that name is not the manual.
  fs::create_directories(installed);
  EXPECT_EQ(FindManual(locations), built);
  fs::remove(installed);
  std::ofstream(installed) << "<html></html>";
  EXPECT_EQ(FindManual(locations), installed);
  fs::remove_all(root);
}

}  // namespace
}  // namespace vexal
