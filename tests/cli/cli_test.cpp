// End-to-end runs of the built vexal-tool binary.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "formats/native_format.h"
#include "formats/recovery.h"
#include "model/document.h"
#include "support/model_compare.h"
#include "support/test_models.h"
#include "support/tool_run.h"

namespace vexal {
namespace {

using testing::ReadAll;
using testing::ToolRun;

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::path(::testing::TempDir()) / "cli" /
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    // Each test has its own empty configuration folder: the user's own
    // settings file would otherwise apply to every run.
    ::setenv("XDG_CONFIG_HOME", path("config").c_str(), 1);
  }
  std::string path(const std::string& name) const { return (folder_ / name).string(); }

  ToolRun run(std::vector<std::string> arguments) const {
    return testing::RunTool(std::move(arguments), folder_);
  }

  // A native file of the model `build` makes.
  template <typename Build>
  std::string writeNative(const std::string& name, Build build) {
    auto document = std::make_unique<Document>();
    build(document->model);
    FormatContext context;
    EXPECT_EQ(SaveNativeFile(*document, path(name), context), 1) << context.reason;
    return path(name);
  }

  // The files of the folder other than the ones named.
  std::vector<std::string> filesBesides(std::initializer_list<std::string> expected) const {
    std::vector<std::string> extra;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      const std::string name = entry.path().filename().string();
      if (std::find(expected.begin(), expected.end(), name) == expected.end())
        extra.push_back(name);
    }
    return extra;
  }

  std::filesystem::path folder_;
};

// One line on stderr that names the file and says why.
void ExpectOneLineNaming(const ToolRun& run, const std::string& file, const std::string& why) {
  EXPECT_NE(run.status, 0);
  EXPECT_EQ(run.err.find(file + ": "), 0u) << run.err;
  EXPECT_NE(run.err.find(why), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
  EXPECT_TRUE(run.out.empty()) << run.out;
}

TEST_F(CliTest, NewWritesTheDefaultObjectAndInfoCountsIt) {
  const ToolRun made = run({"new", path("first.vxl")});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_TRUE(made.err.empty()) << made.err;
  const ToolRun info = run({"info", path("first.vxl")});
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(info.out,
            "Total Vertex : 8\nTotal Edge : 8\nTotal Polygon : 4 (□ 2 △ 0)\nDummy Polygon : 0\n"
            "Format : VXL\n");
  EXPECT_TRUE(filesBesides({"first.vxl"}).empty());
}

TEST_F(CliTest, InfoCountsGuideSurfacesApart) {
  const std::string cube = writeNative("cube.vxl", [](Model& model) {
    testing::ClosedCube(model);
    model.faces[2].material = kGuideMaterial;
  });
  const ToolRun info = run({"info", cube});
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_EQ(info.out,
            "Total Vertex : 8\nTotal Edge : 12\nTotal Polygon : 10 (□ 5 △ 0)\nDummy Polygon : 2\n"
            "Format : VXL\n");
}

TEST_F(CliTest, ConvertWritesByExtensionAndReadsBack) {
  const std::string cube = writeNative("cube.vxl", testing::ClosedCube);
  const ToolRun converted = run({"convert", cube, path("cube.obj")});
  ASSERT_EQ(converted.status, 0) << converted.err;
  const ToolRun info = run({"info", path("cube.obj")});
  ASSERT_EQ(info.status, 0) << info.err;
  EXPECT_NE(info.out.find("Total Vertex : 8\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("Total Polygon : 12 (□ 6 △ 0)\n"), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("Format : OBJ\n"), std::string::npos) << info.out;

  // Back to native: the same counts, read by the native reader.
  ASSERT_EQ(run({"convert", path("cube.obj"), path("again.vxl")}).status, 0);
  const ToolRun again = run({"info", path("again.vxl")});
  EXPECT_NE(again.out.find("Total Polygon : 12 (□ 6 △ 0)\nDummy Polygon : 0\nFormat : VXL\n"),
            std::string::npos)
      << again.out;
}

TEST_F(CliTest, TypePicksTheWriterOfATwoWriterExtensionAndElseTheReader) {
  const std::string cube = writeNative("cube.vxl", testing::ClosedCube);
  ASSERT_EQ(run({"convert", cube, path("faces.dxf")}).status, 0);
  ASSERT_EQ(run({"convert", cube, path("mesh.dxf"), "--type", "4"}).status, 0);
  EXPECT_NE(ReadAll(path("faces.dxf")).find("3DFACE"), std::string::npos);
  EXPECT_EQ(ReadAll(path("faces.dxf")).find("POLYLINE"), std::string::npos);
  EXPECT_NE(ReadAll(path("mesh.dxf")).find("POLYLINE"), std::string::npos);
  ExpectOneLineNaming(run({"convert", cube, path("x.dxf"), "--type", "6"}), path("x.dxf"),
                      "no writer");

  // For a one-writer extension the type is the open type: the native
  // reader alone refuses a DXF file.
  ExpectOneLineNaming(run({"convert", path("mesh.dxf"), path("back.vxl"), "--type", "2"}),
                      path("mesh.dxf"), "not a native document");
  ASSERT_EQ(run({"convert", path("mesh.dxf"), path("back.vxl"), "--type", "5"}).status, 0);
  EXPECT_NE(run({"info", path("back.vxl")}).out.find("Total Polygon : 12"), std::string::npos);
}

// The largest coordinate of an OBJ file's points.
float LargestObjCoordinate(const std::string& text) {
  std::istringstream obj(text);
  std::string line;
  float largest = 0;
  while (std::getline(obj, line)) {
    float x, y, z;
    if (std::sscanf(line.c_str(), "v %f %f %f", &x, &y, &z) == 3) {
      largest = std::max({largest, std::fabs(x), std::fabs(y), std::fabs(z)});
    }
  }
  return largest;
}

TEST_F(CliTest, ConvertAppliesTheScalesOfASettingsFile) {
  const std::string cube = writeNative("cube.vxl", testing::ClosedCube);
  // Written the way a Windows program writes it.
  std::ofstream(path("scale.ini"), std::ios::binary) << "[FileFormat]\r\nObjExportScale=2.5\r\n";
  const ToolRun converted =
      run({"convert", cube, path("big.obj"), "--settings", path("scale.ini")});
  ASSERT_EQ(converted.status, 0) << converted.err;
  EXPECT_FLOAT_EQ(LargestObjCoordinate(ReadAll(path("big.obj"))), 2.5f);

  // Without --settings the user's own file in the configuration folder
  // applies; a file given by name wins over it.
  std::filesystem::create_directories(path("config/vexal"));
  std::ofstream(path("config/vexal/vexal.ini"), std::ios::binary)
      << "[FileFormat]\r\nObjExportScale=4\r\n";
  ASSERT_EQ(run({"convert", cube, path("user.obj")}).status, 0);
  EXPECT_FLOAT_EQ(LargestObjCoordinate(ReadAll(path("user.obj"))), 4.0f);
  ASSERT_EQ(run({"convert", cube, path("named.obj"), "--settings", path("scale.ini")}).status, 0);
  EXPECT_FLOAT_EQ(LargestObjCoordinate(ReadAll(path("named.obj"))), 2.5f);

  const ToolRun missing = run({"convert", cube, path("x.obj"), "--settings", path("none.ini")});
  ExpectOneLineNaming(missing, path("none.ini"), "cannot open");
  EXPECT_FALSE(std::filesystem::exists(path("x.obj")));
}

TEST_F(CliTest, FailuresNameTheFileAndTheReasonAndLeaveNoOutput) {
  const ToolRun missing = run({"info", path("missing.vxl")});
  ExpectOneLineNaming(missing, path("missing.vxl"), "cannot open");

  std::ofstream(path("noise.bin"), std::ios::binary) << std::string("\x01\x02garbage\x7f", 11);
  ExpectOneLineNaming(run({"info", path("noise.bin")}), path("noise.bin"),
                      "not a recognised model");

  const std::string cube = writeNative("cube.vxl", testing::ClosedCube);
  std::string text = ReadAll(cube);
  const std::string counts = "          8         12          6          0 ";
  ASSERT_NE(text.find(counts), std::string::npos);
  std::string over = text;
  over.replace(over.find(counts), counts.size(), "      20000         12          6          0 ");
  std::ofstream(path("over.vxl"), std::ios::binary) << over;
  ExpectOneLineNaming(run({"convert", path("over.vxl"), path("out.obj")}), path("over.vxl"),
                      "point count 20000 is outside 0..19999");
  std::string index = text;
  const size_t firstLine = index.find("<LINE>\r\n") + 8;
  index.replace(firstLine, 33, "          1          9          0 ");
  std::ofstream(path("index.vxl"), std::ios::binary) << index;
  ExpectOneLineNaming(run({"info", path("index.vxl")}), path("index.vxl"), "refers to point 9");

  ExpectOneLineNaming(run({"convert", cube, path("nowhere/out.vxl")}), path("nowhere/out.vxl"),
                      "cannot write");
  ExpectOneLineNaming(run({"convert", cube, path("picture.png")}), path("picture.png"),
                      "no writer");
  ExpectOneLineNaming(run({"new", path("plain")}), path("plain"), "no writer");
  EXPECT_TRUE(filesBesides({"noise.bin", "cube.vxl", "over.vxl", "index.vxl"}).empty());
}

TEST_F(CliTest, UsageHelpAndVersion) {
  EXPECT_EQ(run({}).status, 2);
  EXPECT_EQ(run({"frobnicate"}).status, 2);
  EXPECT_EQ(run({"info"}).status, 2);
  EXPECT_EQ(run({"convert", "a"}).status, 2);
  EXPECT_EQ(run({"convert", "a", "b", "--type", "x"}).status, 2);
  const ToolRun help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("convert IN OUT"), std::string::npos);
  // Help after a command is not a usage error either.
  for (const char* command : {"image", "render", "convert", "info", "new"}) {
    const ToolRun commandHelp = run({command, "--help"});
    EXPECT_EQ(commandHelp.status, 0) << command;
    EXPECT_NE(commandHelp.out.find("image FILE"), std::string::npos) << command;
  }
  const ToolRun version = run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "vexal-tool 2.72\n");
}


}  // namespace
}  // namespace vexal

namespace vexal {
namespace {

TEST_F(CliTest, ApplyRunsTheStepsAndWritesTheResult) {
  ASSERT_EQ(run({"new", path("in.vxl")}).status, 0);
  const ToolRun applied = run({"apply", path("in.vxl"), path("out.vxl"), "--select", "points:1-3",
                               "--view", "-30,45", "--run", "ViewMode1Item", "--run",
                               "ObjectItem"});
  ASSERT_EQ(applied.status, 0) << applied.err;
  EXPECT_TRUE(applied.err.empty()) << applied.err;
  const ToolRun info = run({"info", path("out.vxl")});
  EXPECT_NE(info.out.find("Total Vertex : 8\n"), std::string::npos) << info.out;
  // The selection and the view travel in the native file.
  auto document = std::make_unique<Document>();
  FormatContext context;
  ASSERT_EQ(LoadNativeFile(*document, path("out.vxl"), context), 1) << context.reason;
  int selected = 0;
  for (int p = 1; p <= document->model.pointCount; ++p) {
    selected += document->model.points[p].state == kStateSelected;
  }
  EXPECT_EQ(selected, 3);
  // The angles as set (the zoom step then fitted the selection).
  EXPECT_EQ(document->scene.angle.x, -30);
  EXPECT_EQ(document->scene.angle.y, 45);
  EXPECT_NE(document->scene.zoom, 1.0f);
}

TEST_F(CliTest, ApplyCopiesAndPastesThroughTheRunsOwnClipboard) {
  ASSERT_EQ(run({"new", path("in.vxl")}).status, 0);
  // The default object: two squares of four points, mirrored in pairs.
  const ToolRun applied =
      run({"apply", path("in.vxl"), path("out.vxl"), "--select", "points:1", "--run", "CopyItem",
           "--run", "PasteItem", "--run", "PasteItem", "--undo", "--redo"});
  ASSERT_EQ(applied.status, 0) << applied.err;
  auto document = std::make_unique<Document>();
  FormatContext context;
  ASSERT_EQ(LoadNativeFile(*document, path("out.vxl"), context), 1) << context.reason;
  // Point 1 and its partner 2, twice.
  EXPECT_EQ(document->model.pointCount, 12);
  EXPECT_EQ(document->model.points[11].mirror, 12);
  // Paste with nothing copied is refused like a disabled item.
  const ToolRun empty = run({"apply", path("in.vxl"), path("out2.vxl"), "--run", "PasteItem"});
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.err, "step 1 (--run PasteItem): the clipboard is empty\n");
}

TEST_F(CliTest, ApplyReportsACommandRefusedForLackOfRoom) {
  const std::string torus =
      writeNative("torus.vxl", [](Model& m) { testing::QuadTorus(m, 99, 101); });
  const ToolRun refused = run({"apply", torus, path("out.vxl"), "--select", "all", "--run",
                               "TriangleItem"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err.find("step 2 (--run TriangleItem): "), 0u) << refused.err;
  EXPECT_NE(refused.err.find("19999"), std::string::npos) << refused.err;
  EXPECT_TRUE(filesBesides({"torus.vxl"}).empty());
}

// A command's refusal and a reader's composed reason reach the error line
// in the locale's language, the table-full refusal as the one message.
TEST_F(CliTest, RefusalsAndReaderReasonsSpeakTheLocale) {
  const std::string torus =
      writeNative("torus.vxl", [](Model& m) { testing::QuadTorus(m, 99, 101); });
  const std::string stl = path("bad.stl");
  std::ofstream(stl) << "hello";
  const char* saved = std::getenv("LC_ALL");
  const std::string before = saved ? saved : "";
  const struct {
    const char* locale;
    std::string refused;
    std::string unreadable;
  } cases[] = {
      {"C.UTF-8",
       "step 3 (--run TriangleItem): Not done: the points, lines or surfaces would pass the limit "
       "of 19999\n",
       stl + ": not an STL file: shorter than a binary header; ASCII STL: line 1: \"solid\" "
             "expected\n"},
      {"ja_JP.UTF-8",
       "ステップ 3 (--run TriangleItem): 点・辺・面の数が上限の19999を超えるため実行できません\n",
       stl + ": STL ファイルではありません: バイナリのヘッダーより短いファイルです。アスキー STL: "
             "1 行目: "
             "\"solid\" がありません\n"},
  };
  for (const auto& c : cases) {
    ::setenv("LC_ALL", c.locale, 1);
    const ToolRun refused = run({"apply", torus, path("out.vxl"), "--material", "1", "--select",
                                 "all", "--run", "TriangleItem"});
    EXPECT_EQ(refused.err, c.refused) << c.locale;
    EXPECT_EQ(run({"info", stl}).err, c.unreadable) << c.locale;
  }
  if (saved) {
    ::setenv("LC_ALL", before.c_str(), 1);
  } else {
    ::unsetenv("LC_ALL");
  }
}

TEST_F(CliTest, ApplyStopsAtAFailingStepNamesItAndWritesNothing) {
  ASSERT_EQ(run({"new", path("in.vxl")}).status, 0);
  struct Case {
    std::vector<std::string> steps;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"--undo"}, "step 1 (--undo): there is nothing to undo\n"},
      {{"--zoom", "2", "--select", "points:9"},
       "step 2 (--select points:9): point 9 is out of range (the model has 8 points)\n"},
      {{"--run", "NoSuchItem"}, "step 1 (--run NoSuchItem): no command is called NoSuchItem\n"},
      {{"--run", "FileOpenItem"},
       "step 1 (--run FileOpenItem): Open... needs a window and cannot run here\n"},
      {{"--run", "ZoomInItem", "--run", "RedoItem"},
       "step 2 (--run RedoItem): there is nothing to redo\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = {"apply", path("in.vxl"), path("out.vxl")};
    arguments.insert(arguments.end(), c.steps.begin(), c.steps.end());
    const ToolRun failed = run(arguments);
    EXPECT_EQ(failed.status, 1) << c.message;
    EXPECT_EQ(failed.err, c.message);
    EXPECT_TRUE(filesBesides({"in.vxl"}).empty()) << c.message;
  }
  // Usage errors exit 2; help is no error and lists the runnable names.
  EXPECT_EQ(run({"apply", path("in.vxl"), path("out.vxl"), "--material", "99"}).status, 2);
  EXPECT_EQ(run({"apply", path("in.vxl")}).status, 2);
  const ToolRun help = run({"apply", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("RightRotateItem"), std::string::npos);
  EXPECT_TRUE(filesBesides({"in.vxl"}).empty());
}

TEST_F(CliTest, ApplyRunsTheGeneratorWindowsWithTheSettingsFileValues) {
  ASSERT_EQ(run({"new", path("in.vxl")}).status, 0);
  // The default object's eight lines form two loops of four; the settings
  // file asks for pipes of 4 segments.
  std::ofstream(path("pipe.ini"), std::ios::binary) << "[Main]\r\nPipeSegment=4\r\n";
  const ToolRun piped = run({"apply", path("in.vxl"), path("out.vxl"), "--settings",
                             path("pipe.ini"), "--select", "all", "--run", "PipeItem",
                             "--primitive", "cube", "--uv", "face,x"});
  ASSERT_EQ(piped.status, 0) << piped.err;
  const ToolRun info = run({"info", path("out.vxl")});
  EXPECT_NE(info.out.find("Total Vertex : " + std::to_string(8 + 2 * 4 * 4 + 8) + "\n"),
            std::string::npos)
      << info.out;
  EXPECT_EQ(run({"apply", path("in.vxl"), path("out2.vxl"), "--pipe", "6,x,0"}).status, 2);
  EXPECT_EQ(run({"apply", path("in.vxl"), path("out2.vxl"), "--uv", "flat"}).status, 2);
  const ToolRun empty = run({"apply", path("in.vxl"), path("out2.vxl"), "--select", "none",
                             "--uv", "sphere,y"});
  EXPECT_EQ(empty.status, 1);
  EXPECT_EQ(empty.err, "step 2 (--uv sphere,y): no surface is selected\n");
}


}  // namespace
}  // namespace vexal

namespace vexal {
namespace {

// A tool window's values reach its command from the settings file: the
// grid width snaps point 1 of the default object, and its mirror partner
// follows.
TEST_F(CliTest, ApplyTakesToolWindowValuesFromTheSettingsFile) {
  ASSERT_EQ(run({"new", path("in.vxl")}).status, 0);
  std::ofstream(path("grid.ini"), std::ios::binary)
      << "[Main]\r\nGridWidthX=0.3\r\nGridCheckY=0\r\nGridCheckZ=0\r\n";
  const ToolRun applied = run({"apply", path("in.vxl"), path("out.vxl"), "--settings",
                               path("grid.ini"), "--select", "points:1", "--run", "SetGridItem"});
  ASSERT_EQ(applied.status, 0) << applied.err;
  auto document = std::make_unique<Document>();
  FormatContext context;
  ASSERT_EQ(LoadNativeFile(*document, path("out.vxl"), context), 1) << context.reason;
  const Model& model = document->model;
  EXPECT_NEAR(model.points[1].position.x, -0.9f, 1e-5);
  EXPECT_NEAR(model.points[2].position.x, 0.9f, 1e-5);
  EXPECT_EQ(std::fabs(model.points[1].position.y), 1.0f);  // y unchecked, left alone
  // A weld that has nothing selected is refused as a disabled command.
  const ToolRun refused = run({"apply", path("in.vxl"), path("x.vxl"), "--run", "SameAttachItem"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "step 1 (--run SameAttachItem): nothing is selected\n");
}


// UndoDepth of the settings file sets the run's ring: 50 slots take 30
// edits back to the opened model; the default ten refuse the tenth undo.
TEST_F(CliTest, ApplyUndoesAsFarAsTheSettingsFileUndoDepth) {
  ASSERT_EQ(run({"new", path("in.vxl")}).status, 0);
  std::ofstream(path("deep.ini"), std::ios::binary) << "[System]\r\nUndoDepth=50\r\n";
  std::vector<std::string> edits;
  for (int i = 0; i < 30; ++i) edits.insert(edits.end(), {"--primitive", "cube"});
  std::vector<std::string> deep = {"apply", path("in.vxl"), path("deep.vxl"), "--settings",
                                   path("deep.ini")};
  deep.insert(deep.end(), edits.begin(), edits.end());
  for (int i = 0; i < 30; ++i) deep.push_back("--undo");
  const ToolRun applied = run(deep);
  ASSERT_EQ(applied.status, 0) << applied.err;
  auto opened = std::make_unique<Document>();
  auto undone = std::make_unique<Document>();
  FormatContext context;
  ASSERT_EQ(LoadNativeFile(*opened, path("in.vxl"), context), 1) << context.reason;
  ASSERT_EQ(LoadNativeFile(*undone, path("deep.vxl"), context), 1) << context.reason;
  testing::ExpectSameModel(undone->model, opened->model, "after 30 undos");

  std::vector<std::string> shallow = {"apply", path("in.vxl"), path("shallow.vxl")};
  shallow.insert(shallow.end(), edits.begin(), edits.end());
  for (int i = 0; i < 10; ++i) shallow.push_back("--undo");
  const ToolRun refused = run(shallow);
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "step 40 (--undo): there is nothing to undo\n");
  shallow.pop_back();
  EXPECT_EQ(run(shallow).status, 0);
}

// recover lists the copies of ended runs (one tab-separated line each) and
// discards one; a copy reads like any native file; copies of a running
// process are neither listed nor discarded.
TEST_F(CliTest, RecoverListsAndDiscardsTheCopiesOfEndedRuns) {
  const std::string state = path("state");
  const char* saved = std::getenv("XDG_STATE_HOME");
  const std::string savedState = saved ? saved : "";
  ::setenv("XDG_STATE_HOME", state.c_str(), 1);
  RecoveryFolder folder(state + "/vexal/recovery");
  const pid_t child = ::fork();
  if (child == 0) _exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  const RecoveryOwner ended{child, 1};
  const RecoveryOwner self = CurrentRecoveryOwner();
  auto document = std::make_unique<Document>();
  testing::ClosedCube(document->model);
  ASSERT_TRUE(folder.writeCopy(*document, ended, 1, "/w/cube.vxl", "cube.vxl", 0, nullptr));
  ASSERT_TRUE(folder.writeCopy(*document, ended, 2, "", "Untitled2", 86400, nullptr));
  ASSERT_TRUE(folder.writeCopy(*document, self, 1, "/w/mine.vxl", "mine.vxl", 0, nullptr));
  const std::string first = state + "/vexal/recovery/" + RecoveryCopyName(ended, 1);
  const std::string second = state + "/vexal/recovery/" + RecoveryCopyName(ended, 2);

  const ToolRun listed = run({"recover", "--list"});
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out, first + "\t/w/cube.vxl\t1970-01-01T00:00:00Z\n" + second +
                            "\tUntitled2\t1970-01-02T00:00:00Z\n");
  const ToolRun info = run({"info", first});
  EXPECT_NE(info.out.find("Total Vertex : 8\n"), std::string::npos) << info.out << info.err;

  EXPECT_EQ(run({"recover", "--discard", second}).status, 0);
  EXPECT_FALSE(std::filesystem::exists(second));
  const ToolRun mine = run({"recover", "--discard", RecoveryCopyName(self, 1)});
  EXPECT_EQ(mine.status, 1);
  EXPECT_NE(mine.err.find("still running"), std::string::npos) << mine.err;
  EXPECT_EQ(run({"recover", "--list"}).out, first + "\t/w/cube.vxl\t1970-01-01T00:00:00Z\n");
  EXPECT_EQ(run({"recover"}).status, 2);
  EXPECT_EQ(run({"recover", "--discard"}).status, 2);
  EXPECT_EQ(run({"recover", "--list", "x"}).status, 2);
  if (saved) {
    ::setenv("XDG_STATE_HOME", savedState.c_str(), 1);
  } else {
    ::unsetenv("XDG_STATE_HOME");
  }
}

}  // namespace
}  // namespace vexal
