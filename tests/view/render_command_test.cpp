// End-to-end runs of `vexal-tool render`: a PNG of the asked size from a
// model file, usage errors with status 2, unreadable input with status 1.
// Skipped while the tool does not know the subcommand yet.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fcntl.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "images/loaders.h"

extern char** environ;

namespace vexal {
namespace {

struct ToolRun {
  int status = -1;
  std::string err;
};

class RenderCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::path(::testing::TempDir()) / "render_command" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    // The tool is built with the tests: its absence is a fault, not a reason
    // to skip.
    ASSERT_TRUE(std::filesystem::exists(VEXAL_TOOL_PATH)) << VEXAL_TOOL_PATH << " is not built";
    const ToolRun probe = run({"render", "--help"});
    ASSERT_EQ(probe.status, 0) << probe.err;
  }
  std::string path(const std::string& name) const { return (folder_ / name).string(); }

  ToolRun run(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), VEXAL_TOOL_PATH);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const std::string errPath = path("stderr.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t child = 0;
    ToolRun result;
    if (posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
      int status = 0;
      waitpid(child, &status, 0);
      result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    std::ifstream in(errPath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    result.err = text.str();
    return result;
  }

  std::filesystem::path folder_;
};

const std::string kModel = std::string(VEXAL_TEST_DATA) + "/obj/cube_usemtl.obj";

TEST_F(RenderCommand, WritesAPictureOfTheAskedSizeWithEitherRenderer) {
  const struct {
    std::vector<std::string> options;
    int width, height;
  } cases[] = {
      {{"--size", "96x64", "--renderer", "soft", "--view", "wire"}, 96, 64},
      {{"--width", "50", "--height", "40", "--soft", "--angle", "30,45"}, 50, 40},
      {{"--size", "80x60", "--angles", "20,-30", "--zoom", "2", "--view", "faces", "--ortho"}, 80, 60},
  };
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"render", kModel, path("out.png")};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const ToolRun result = run(arguments);
    ASSERT_EQ(result.status, 0) << result.err;
    NImage image;
    ASSERT_NE(LoadImage(path("out.png"), image, 0), 0);
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.height, c.height);
    // Something besides the background was drawn.
    bool varied = false;
    for (size_t i = 3; i < image.pixels.size() && !varied; ++i) {
      varied = image.pixels[i] != image.pixels[i % 3];
    }
    EXPECT_TRUE(varied);
  }
}

TEST_F(RenderCommand, RefusesBadArgumentsAndUnreadableModels) {
  const std::vector<std::vector<std::string>> usage = {
      {"render", kModel},
      {"render", kModel, path("a.png"), "--size", "0x10"},
      {"render", kModel, path("a.png"), "--size", "20000x10"},
      {"render", kModel, path("a.png"), "--renderer", "vulkan"},
      {"render", kModel, path("a.png"), "--zoom", "-1"},
      {"render", kModel, path("a.png"), "--angles", "nan,3"},
      {"render", kModel, path("a.png"), "--view"},
  };
  for (const auto& arguments : usage) EXPECT_EQ(run(arguments).status, 2) << arguments.back();
  EXPECT_FALSE(std::filesystem::exists(path("a.png")));
  const ToolRun missing = run({"render", path("missing.obj"), path("b.png"), "--soft"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("missing.obj"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(path("b.png")));
}

}  // namespace
}  // namespace vexal
