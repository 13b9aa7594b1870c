// vexal-tool image: the printed summary, the exit codes and the RGBA PNG it
// writes (read back through the library's own PNG loader).
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "image_test_util.h"

namespace vexal {
namespace {

struct RunResult {
  int status = -1;
  std::string output;
};

RunResult RunTool(const std::string& arguments) {
  RunResult result;
  const std::string command = std::string(VEXAL_TOOL_PATH) + " image " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[512];
  while (fgets(buffer, sizeof buffer, pipe) != nullptr) result.output += buffer;
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

class ImageCommandTest : public testing::Test {
 protected:
  void SetUp() override {
    // The tool is built with the tests: its absence is a fault, not a reason
    // to skip.
    ASSERT_TRUE(std::filesystem::exists(VEXAL_TOOL_PATH)) << VEXAL_TOOL_PATH << " is not built";
    dir_ = testing::TempDir() + "/vexal_image_command";
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }
  std::string dir_;
};

TEST_F(ImageCommandTest, PrintsTheSummaryAndWritesRgbaPng) {
  const std::string input = test::ImageDataPath("generated/png_pal8_trns.png");
  const std::string output = dir_ + "/out.png";
  const RunResult run = RunTool("'" + input + "' --png '" + output + "'");
  EXPECT_EQ(run.status, 0);
  NImage loaded;
  ASSERT_EQ(LoadImage(input, loaded, 0), kImageFormatPng);
  ASSERT_EQ(loaded.channels, 1);
  EXPECT_EQ(run.output, "24 23x17 channels=1 palette=" + std::to_string(loaded.paletteCount) + "\n");

  NImage written;
  ASSERT_EQ(LoadImage(output, written, 0), kImageFormatPng);
  EXPECT_EQ(written.channels, 4);
  test::RgbaPicture reference;
  ASSERT_TRUE(test::ReadPam(input + ".pam", reference));
  EXPECT_EQ(test::MaxDifference(written, reference), 0);
}

TEST_F(ImageCommandTest, RefusalsAndSpecificFormats) {
  const std::string bmp = test::ImageDataPath("generated/bmp_pal4.bmp");
  RunResult run = RunTool("'" + bmp + "' --format 2");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "2 23x17 channels=1 palette=16\n");

  run = RunTool("'" + bmp + "' --format 26");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("not a supported image"), std::string::npos);

  const std::string text = test::ImageDataPath("SOURCES.md");
  const std::string output = dir_ + "/never.png";
  run = RunTool("'" + text + "' --png '" + output + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("not a supported image"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(output));

  EXPECT_EQ(RunTool("").status, 2);
  EXPECT_EQ(RunTool("'" + bmp + "' --format").status, 2);
}

}  // namespace
}  // namespace vexal
