// The selection commands run by name, as the menus and `vexal-tool apply`
// run them: enable rules, one undo step each, undo and redo.
#include <gtest/gtest.h>

#include <memory>

#include "commands/apply_steps.h"
#include "commands/command_dispatcher.h"
#include "model/camera.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "support/test_models.h"

namespace vexal {
namespace {

class SelectionCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    document = std::make_unique<Document>();
    InitializeDocument(*document);
    SetScreenSize(document->scene, 400, 300);
    testing::QuadGrid(document->model, 3, 3);
    RefreshSelection(*document);
    ResetUndo(*document);
    target.document = document.get();
    target.documentCount = 1;
    target.workspace = &workspace;
  }
  CommandResult run(std::string_view name) { return RunCommand(name, target); }
  int depth() const { return document->undo.undoDepth; }

  Workspace workspace;
  std::unique_ptr<Document> document;
  CommandTarget target;
};

TEST_F(SelectionCommands, SelectAllIsOneStepAndSelectsNoHiddenPoint) {
  Model& model = document->model;
  model.points[1].state = kStateHidden;
  const Model before = model;
  ASSERT_TRUE(run("SelectAllItem").ok());
  EXPECT_EQ(document->scene.selectedCount, model.pointCount - 1);
  EXPECT_EQ(model.points[1].state, kStateHidden);
  EXPECT_EQ(depth(), 1);
  ASSERT_TRUE(run("UndoItem").ok());
  EXPECT_EQ(document->scene.selectedCount, 0);
  EXPECT_EQ(model.points[2].state, before.points[2].state);
  ASSERT_TRUE(run("RedoItem").ok());
  EXPECT_EQ(document->scene.selectedCount, model.pointCount - 1);

  // Every point hidden: nothing is selected, and the step is still taken.
  for (int p = 1; p <= model.pointCount; ++p) model.points[p].state = kStateHidden;
  RefreshSelection(*document);
  const int steps = depth();
  ASSERT_TRUE(run("SelectAllItem").ok());
  EXPECT_EQ(document->scene.selectedCount, 0);
  EXPECT_EQ(depth(), steps + 1);
}

TEST_F(SelectionCommands, ChainAndLoopNeedASelectionAndGrowIt) {
  EXPECT_EQ(run("SelectChainItem").status, CommandStatus::kDisabled);
  EXPECT_EQ(run("SelectLoopItem").status, CommandStatus::kDisabled);
  Model& model = document->model;
  // The bottom border line from point 1 to point 2.
  model.lines[std::abs(FindLine(model, 1, 2))].state = kStateSelected;
  RefreshSelection(*document);
  ASSERT_TRUE(run("SelectLoopItem").ok());
  EXPECT_EQ(document->scene.selectedCount, 4) << "the bottom border";
  ASSERT_TRUE(run("SelectChainItem").ok());
  EXPECT_EQ(document->scene.selectedCount, 12) << "the whole border";
  EXPECT_EQ(depth(), 2);
  std::string reason;
  EXPECT_TRUE(ValidateModel(model, &reason)) << reason;
}

TEST_F(SelectionCommands, ColourTripleAndLineRunThroughApply) {
  Model& model = document->model;
  model.faces[5].material = 3;
  document->scene.paletteIndex = 3;
  for (const char* name : {"SelectColorItem", "SelectTripleItem", "SelectLineItem"}) {
    EXPECT_TRUE(CommandEnabled(name, target)) << name;
  }
  EXPECT_FALSE(RunApplyStep(target, {"--run", "SelectColorItem"}));
  EXPECT_EQ(model.faces[5].state, kStateSelected);
  EXPECT_EQ(document->scene.selectedCount, 4);
  // No surface has edges of three surfaces, and every line has a surface.
  EXPECT_FALSE(RunApplyStep(target, {"--run", "SelectTripleItem"}));
  EXPECT_EQ(document->scene.selectedCount, 0);
  EXPECT_FALSE(RunApplyStep(target, {"--run", "SelectLineItem"}));
  EXPECT_EQ(document->scene.selectedCount, 0);
  EXPECT_EQ(depth(), 3);
}

TEST_F(SelectionCommands, TheToolItemsChooseTheSelectionAndDrawingTools) {
  for (auto [name, tool] : {std::pair{"LassoItem", kToolLasso}, {"PointItem", kToolPoint},
                            {"DPointItem", kToolDPoint}, {"SelectItem", kToolSelect}}) {
    ASSERT_TRUE(run(name).ok()) << name;
    EXPECT_EQ(document->mode.tool, tool);
    EXPECT_TRUE(*CommandChecked(name, target)) << name;
  }
}

}  // namespace
}  // namespace vexal
