// The command dispatcher: which names run where, the enable rules, and the
// edit frame every model change goes through.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "commands/apply_steps.h"
#include "commands/command_dispatcher.h"
#include "commands/edit_frame.h"
#include "model/camera.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "support/test_models.h"

namespace vexal {
namespace {

struct RecordingHost : CommandHost {
  std::vector<std::string> ran;
  bool runWindowCommand(std::string_view name) override {
    ran.emplace_back(name);
    return true;
  }
};

class Dispatcher : public ::testing::Test {
 protected:
  void SetUp() override {
    document = std::make_unique<Document>();
    InitializeDocument(*document);
    SetScreenSize(document->scene, 400, 300);
    testing::ClosedCube(document->model);
    RefreshSelection(*document);
    ResetUndo(*document);
    document->scene.modified = 0;
    target.document = document.get();
    target.documentCount = 1;
    target.workspace = &workspace;
  }
  CommandResult run(std::string_view name) { return RunCommand(name, target); }

  Workspace workspace;
  std::unique_ptr<Document> document;
  CommandTarget target;
};

TEST(CommandRegistry, EveryDefinitionIsAMenuItemAndNoneTwice) {
  std::set<std::string_view> names;
  for (const CommandDefinition& definition : CommandDefinitions()) {
    EXPECT_NE(FindCommand(definition.name), nullptr) << definition.name;
    EXPECT_TRUE(names.insert(definition.name).second) << definition.name;
    if (definition.kind == CommandKind::kDocument) {
      EXPECT_TRUE(static_cast<bool>(definition.run)) << definition.name;
    }
  }
  // Every toolbar button names a menu item.
  for (const ToolButton& button : ToolbarButtons()) {
    if (button.name.empty()) continue;
    EXPECT_NE(FindCommand(button.command), nullptr) << button.name;
  }
}

TEST_F(Dispatcher, EveryItemIsRunnableOrMarkedForAWindow) {
  RecordingHost host;
  for (const CommandMenu& menu : MainMenu()) {
    for (const CommandItem& item : menu.items) {
      if (item.separator()) continue;
      const CommandDefinition* definition = FindCommandDefinition(item.name);
      CommandTarget headless = target;
      headless.host = nullptr;
      const bool enabledHeadless = CommandEnabled(item.name, headless);
      ASSERT_NE(definition, nullptr) << item.name << " has no command";
      if (definition->kind == CommandKind::kWindow) {
        EXPECT_FALSE(enabledHeadless) << item.name;
        EXPECT_EQ(RunCommand(item.name, headless).status, CommandStatus::kNeedsWindow);
      } else {
        // Headless and with windows the rule reads the same state.
        CommandTarget windowed = target;
        windowed.host = &host;
        EXPECT_EQ(enabledHeadless, CommandEnabled(item.name, windowed)) << item.name;
        EXPECT_EQ(enabledHeadless, EnableRuleHolds(item.rule, headless)) << item.name;
      }
    }
  }
  EXPECT_EQ(RunCommand("NoSuchItem", target).status, CommandStatus::kUnknown);
  // A name no item has is refused, never run.
  EXPECT_EQ(RunCommand("NoSuchItem", target).status, CommandStatus::kUnknown);
}

TEST_F(Dispatcher, WindowCommandsGoToTheHost) {
  RecordingHost host;
  target.host = &host;
  EXPECT_TRUE(run("FileOpenItem").ok());
  EXPECT_TRUE(run("LocateWindowItem").ok());
  EXPECT_EQ(host.ran, (std::vector<std::string>{"FileOpenItem", "LocateWindowItem"}));
  // Close needs a document.
  target.document = nullptr;
  target.documentCount = 0;
  EXPECT_EQ(run("FileCloseItem").status, CommandStatus::kDisabled);
  EXPECT_EQ(host.ran.size(), 2u);
  // A host without a window for the item turns it down with a reason.
  struct NoWindows : CommandHost {
    bool runWindowCommand(std::string_view) override { return false; }
  } none;
  target.host = &none;
  const CommandResult refused = run("FileOpenItem");
  EXPECT_EQ(refused.status, CommandStatus::kNeedsWindow);
  EXPECT_FALSE(refused.refusal.reason.empty());
}

TEST_F(Dispatcher, ViewSwitchesToggleAndReportTheirCheckMarks) {
  const SCENE before = document->scene;
  for (const char* name : {"ViewTextureItem", "ViewLightItem", "SmoothItem", "HandleItem",
                           "GridItem", "CullItem", "ViewEdgeItem", "PerspItem", "UseGLItem"}) {
    const bool was = *CommandChecked(name, target);
    EXPECT_TRUE(run(name).ok()) << name;
    EXPECT_EQ(*CommandChecked(name, target), !was) << name;
    run(name);
    EXPECT_EQ(*CommandChecked(name, target), was) << name;
  }
  EXPECT_EQ(document->scene.perspective, before.perspective);
  run("ViewMode1Item");
  EXPECT_TRUE(*CommandChecked("ViewMode1Item", target));
  EXPECT_FALSE(*CommandChecked("ViewMode3Item", target));
  run("ViewAlpha3Item");
  EXPECT_EQ(document->scene.alphaMode, 2);
  // Without a check mark, or without a document, there is nothing to show.
  EXPECT_FALSE(CommandChecked("ZoomInItem", target).has_value());
  target.document = nullptr;
  EXPECT_FALSE(CommandChecked("GridItem", target).has_value());
  EXPECT_TRUE(run("GridItem").ok());  // enabled always; does nothing
}

TEST_F(Dispatcher, OpenGLDrawingIsDisabledWhereNoContextCouldBeHad) {
  target.openGLAvailable = false;
  EXPECT_FALSE(CommandEnabled("UseGLItem", target));
  EXPECT_EQ(run("UseGLItem").status, CommandStatus::kDisabled);
}

TEST_F(Dispatcher, ToolItemsChooseTheToolAndUndoFollowsItsRules) {
  EXPECT_TRUE(run("CameraItem").ok());
  EXPECT_EQ(document->mode.tool, kToolCamera);
  EXPECT_TRUE(*CommandChecked("CameraItem", target));
  EXPECT_EQ(run("UndoItem").status, CommandStatus::kDisabled);
  EXPECT_EQ(run("RedoItem").refusal.reason, "there is nothing to redo");
}

// The commands' changes run in the model's edit frame: a refusal keeps its
// reason both ways, and stops the frame before anything is recorded.
TEST_F(Dispatcher, ACommandResultCarriesTheEditOutcome) {
  const int depth = document->undo.undoDepth;
  const CommandResult refused = RunEdit(*document, {}, [](Document&) {
    return CommandResult::Refused("the model is full");
  });
  EXPECT_EQ(refused.status, CommandStatus::kRefused);
  EXPECT_EQ(refused.refusal.reason, "the model is full");
  EXPECT_EQ(document->undo.undoDepth, depth);
  const CommandResult disabled{CommandStatus::kDisabled, Refusal{"no document is open"}};
  const EditOutcome outcome = disabled;
  EXPECT_FALSE(outcome.ok());
  EXPECT_EQ(outcome.refusal.reason, "no document is open");
  EXPECT_TRUE(CommandResult(EditOutcome{}).ok());
  EXPECT_TRUE(RunEdit(*document, {}, [](Document&) { return CommandResult{}; }).ok());
  EXPECT_EQ(document->undo.undoDepth, depth + 1);
}

TEST_F(Dispatcher, ApplyStepsSetUpTheSceneWithoutUndoSteps) {
  std::vector<ApplyStep> steps;
  std::string error;
  ASSERT_TRUE(ParseApplySteps({"--select", "points:1,3-4", "--material", "7", "--view", "-30,45",
                               "--zoom", "2.5", "--run", "RightRotateItem"},
                              steps, error))
      << error;
  for (ApplyStep& step : steps) EXPECT_FALSE(RunApplyStep(target, step)) << step.text();
  EXPECT_EQ(document->scene.selectedCount, 3);
  EXPECT_EQ(document->scene.paletteIndex, 7);
  EXPECT_EQ(document->scene.angle, VECTOR(-30, 0, 0));
  EXPECT_FLOAT_EQ(document->scene.zoom, 2.5f);
  EXPECT_EQ(document->undo.undoDepth, 0);

  // Deselecting point 3 drops the selected line 3-4 too.
  ASSERT_TRUE(ParseApplySteps({"--deselect", "points:3"}, steps, error));
  EXPECT_FALSE(RunApplyStep(target, steps[0]));
  EXPECT_EQ(document->scene.selectedCount, 2);
  for (int l = 1; l <= document->model.lineCount; ++l) {
    const LINE& line = document->model.lines[l];
    if (line.state == kStateSelected) {
      EXPECT_TRUE((line.a == 1 || line.a == 4) && (line.b == 1 || line.b == 4));
    }
  }
  // A hidden point is never selected.
  document->model.points[5].state = kStateHidden;
  ASSERT_TRUE(ParseApplySteps({"--select", "all"}, steps, error));
  RunApplyStep(target, steps[0]);
  EXPECT_EQ(document->model.points[5].state, kStateHidden);
  EXPECT_EQ(document->scene.selectedCount, 7);
}

TEST_F(Dispatcher, ApplyStepsReportWhatStopsThem) {
  std::vector<ApplyStep> steps;
  std::string error;
  for (auto bad : std::vector<std::vector<std::string>>{{"--select", "some"},
                                                        {"--material", "16"},
                                                        {"--view", "10"},
                                                        {"--zoom", "0"},
                                                        {"--zoom", "nan"},
                                                        {"--run"},
                                                        {"--frobnicate"}}) {
    EXPECT_FALSE(ParseApplySteps(bad, steps, error)) << bad[0];
  }
  ASSERT_TRUE(ParseApplySteps({"--select", "points:2-9", "--undo", "--run", "DeleteItem",
                               "--run", "FileSaveItem", "--select", "points:x"},
                              steps, error));
  EXPECT_EQ(RunApplyStep(target, steps[0]),
            Refusal{"point 9 is out of range (the model has 8 points)"});
  EXPECT_EQ(RunApplyStep(target, steps[1]), Refusal{"there is nothing to undo"});
  EXPECT_TRUE(RunApplyStep(target, steps[2]));
  EXPECT_EQ(RunApplyStep(target, steps[3]), Refusal{"Save needs a window and cannot run here"});
  EXPECT_EQ(RunApplyStep(target, steps[4]), Refusal{"\"x\" is not a point number"});
  EXPECT_EQ(document->scene.selectedCount, 0);
}

TEST(ApplyHelp, ListsEveryCommandAStepCanRun) {
  const std::string help = ApplyHelpText();
  for (const CommandDefinition& definition : CommandDefinitions()) {
    const bool listed = help.find(" " + std::string(definition.name)) != std::string::npos;
    EXPECT_EQ(listed, definition.kind == CommandKind::kDocument) << definition.name;
  }
}

}  // namespace
}  // namespace vexal
