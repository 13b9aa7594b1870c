// The apply steps of the primitive, pipe and UV windows and the menu items
// "Create a Pipe" and "UV Clear" they share code with.
#include <gtest/gtest.h>

#include "commands/apply_steps.h"
#include "commands/command_fixture.h"
#include "model/model_info.h"

namespace vexal {
namespace {

class ApplyGenerators : public ::testing::Test {
 protected:
  void SetUp() override {
    document = testing::DocumentWith(nullptr);
    target.document = document.get();
    target.documentCount = 1;
    target.workspace = &workspace;
  }
  // Parses and runs the arguments as `vexal-tool apply` does; the first
  // failure's text, or empty.
  std::string apply(const std::vector<std::string>& arguments) {
    std::vector<ApplyStep> steps;
    std::string error;
    if (!ParseApplySteps(arguments, steps, error)) return "usage: " + error;
    for (const ApplyStep& step : steps) {
      if (const MaybeRefusal refused = RunApplyStep(target, step)) return refused->reason;
    }
    return {};
  }

  Workspace workspace;
  std::unique_ptr<Document> document;
  CommandTarget target;
};

TEST_F(ApplyGenerators, BadValuesAreUsageErrors) {
  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"--primitive", "cone"},
                                             {"--pipe", "6,0.1"},
                                             {"--pipe", "six,0.1,0"},
                                             {"--pipe", "6,0.1,0,1"},
                                             {"--uv", "flat"},
                                             {"--uv", "flat,w"},
                                             {"--uv", "tube,x"},
                                             {"--uv", "flat,x,0.5,0.5,1,1,2"},
                                             {"--uv", "flat,x,a"},
                                             {"--uv", "flat,x,0.5,0.5,1,1,0,0,0,0,0"}}) {
    EXPECT_EQ(apply(bad).rfind("usage: ", 0), 0u) << bad[1];
  }
  UVProjection projection;
  ASSERT_TRUE(ParseUVValues("sphere,z,200,0.25", projection));
  EXPECT_EQ(projection.kind, ProjectionKind::kSphere);
  EXPECT_EQ(projection.axis, ProjectionAxis::kZ);
  EXPECT_EQ(projection.centerU, 128.0f);  // the window's bound
  EXPECT_EQ(projection.centerV, 0.25f);
  EXPECT_EQ(projection.scaleU, 1.0f);
  EXPECT_FALSE(projection.flipU);
  EXPECT_FALSE(projection.useView);
  ASSERT_TRUE(ParseUVValues("face,x,0.5,0.5,-1,2,1,0,90,1", projection));
  EXPECT_TRUE(projection.flipU && projection.useView);
  EXPECT_EQ(projection.angle, 90.0f);
}

TEST_F(ApplyGenerators, StepsRunWhatTheWindowsRun) {
  ASSERT_EQ(apply({"--primitive", "cylinder2", "--primitive", "sphere1"}), "");
  ModelInfo info = CountModelInfo(document->model);
  EXPECT_EQ(info.points, 18 + 32);
  EXPECT_EQ(info.lines, 40 + 66);
  EXPECT_EQ(document->undo.undoDepth, 2);
  // A pipe of 2 segments is built with 3, and the window's values reach the
  // settings as the window stores them. Points 1 and 2 share the first
  // ring line of the cylinder.
  ASSERT_EQ(apply({"--select", "none", "--select", "points:1-2", "--pipe", "2,0,45"}), "");
  EXPECT_EQ(workspace.settings.PipeSegment, 3);
  EXPECT_EQ(workspace.settings.PipeRadius, 0.125f);
  EXPECT_EQ(workspace.settings.PipeOffset, 45.0f);
  EXPECT_EQ(document->model.faceCount, 24 + 36 + 3);
  EXPECT_EQ(document->model.pointCount, 50 + 6);
  // The menu item runs with the values the window stored. (Undo brings
  // back the selection of its step, the sphere's.)
  ASSERT_EQ(apply({"--undo", "--select", "none", "--select", "points:1-2", "--run", "PipeItem"}),
            "");
  EXPECT_EQ(document->model.faceCount, 24 + 36 + 3);
  // The tube is selected: project it, clear it, undo the clearing.
  ASSERT_EQ(apply({"--uv", "flat,y", "--run", "ClearUVItem", "--undo"}), "");
  for (int s = 24 + 36 + 1; s <= document->model.faceCount; ++s) {
    EXPECT_NE(document->model.faces[s].uv[0], document->model.faces[s].uv[2]) << s;
  }
  ASSERT_EQ(apply({"--select", "none"}), "");
  EXPECT_NE(apply({"--uv", "flat,y"}), "");
  EXPECT_NE(apply({"--run", "PipeItem"}), "");
}

}  // namespace
}  // namespace vexal
