// End-to-end runs of `vexal-tool render` and `vexal-tool thumbnail`: a PNG
// of the asked size from a model file, usage errors with status 2,
// unreadable input with status 1.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fcntl.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "formats/native_format.h"
#include "images/loaders.h"
#include "model/document.h"
#include "support/test_models.h"

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
    // An empty configuration folder: the user's settings must not colour
    // the pictures.
    ::setenv("XDG_CONFIG_HOME", path("config").c_str(), 1);
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

// A model written as a native file.
template <typename Build>
std::string WriteNative(const std::string& path, Build build) {
  auto document = std::make_unique<Document>();
  build(document->model);
  FormatContext context;
  EXPECT_EQ(SaveNativeFile(*document, path, context), 1) << context.reason;
  return path;
}

// The alpha of pixel (x, y) of an RGBA image.
int AlphaAt(const NImage& image, int x, int y) { return image.row(y)[x * 4 + 3]; }

TEST_F(RenderCommand, ThumbnailIsTheModelCentredOnTransparencyWithinTheSize) {
  const std::string cube = WriteNative(path("cube.vxl"), testing::ClosedCube);
  const std::string torus =
      WriteNative(path("torus.vxl"), [](Model& model) { testing::QuadTorus(model, 99, 101); });
  for (const auto& [model, size] : {std::pair{cube, 64}, std::pair{torus, 256}}) {
    const auto start = std::chrono::steady_clock::now();
    const ToolRun result =
        run({"thumbnail", "-s", std::to_string(size), model, path("thumb.png")});
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(result.status, 0) << result.err;
    // Under the sanitizers the limit model takes longer than in a release
    // build; the bound only catches a runaway.
    EXPECT_LT(ms, 20000) << model;
    std::printf("thumbnail of %s at %d px: %.0f ms\n", model.c_str(), size, ms);
    NImage image;
    ASSERT_EQ(LoadImage(path("thumb.png"), image, 0), kImageFormatPng);
    ASSERT_EQ(image.channels, 4);
    EXPECT_LE(image.width, size);
    EXPECT_LE(image.height, size);
    // Cut to the model: it reaches every edge, nearly fills one side and
    // the middle is covered.
    EXPECT_GE(std::max(image.width, image.height), size / 2);
    EXPECT_GT(AlphaAt(image, image.width / 2, image.height / 2), 0) << model;
    bool top = false, bottom = false, left = false, right = false;
    for (int x = 0; x < image.width; ++x) {
      top = top || AlphaAt(image, x, 0) > 0;
      bottom = bottom || AlphaAt(image, x, image.height - 1) > 0;
    }
    for (int y = 0; y < image.height; ++y) {
      left = left || AlphaAt(image, 0, y) > 0;
      right = right || AlphaAt(image, image.width - 1, y) > 0;
    }
    EXPECT_TRUE(top && bottom && left && right);
    // Shaded: the surfaces are not one flat colour.
    std::set<uint32_t> colours;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x)
        if (AlphaAt(image, x, y) == 255) {
          const uint8_t* pixel = image.row(y) + x * 4;
          colours.insert(pixel[0] | pixel[1] << 8 | pixel[2] << 16);
        }
    EXPECT_GE(colours.size(), 2u) << model;
  }

  const std::string empty = WriteNative(path("empty.vxl"), [](Model&) {});
  const ToolRun nothing = run({"thumbnail", empty, path("none.png")});
  EXPECT_EQ(nothing.status, 1);
  EXPECT_NE(nothing.err.find("nothing to show"), std::string::npos) << nothing.err;
  for (const std::vector<std::string>& arguments :
       std::vector<std::vector<std::string>>{{"thumbnail", cube},
                                             {"thumbnail", "-s", "0", cube, path("none.png")},
                                             {"thumbnail", "-s", "12x", cube, path("none.png")},
                                             {"thumbnail", "-s"},
                                             {"thumbnail", "--huge", cube, path("none.png")}})
    EXPECT_EQ(run(arguments).status, 2) << arguments.back();
  EXPECT_EQ(run({"thumbnail", path("missing.vxl"), path("none.png")}).status, 1);
  EXPECT_FALSE(std::filesystem::exists(path("none.png")));
}

}  // namespace
}  // namespace vexal
