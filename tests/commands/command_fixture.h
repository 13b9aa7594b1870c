// A document set up as a window holds it, with helpers to build and select
// a model and to run a command the way the menus do, checking what every
// edit must keep: a valid model, at most one undo step (none means the
// model did not change), and undo then redo giving back exactly the
// records before and after.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "commands/command_dispatcher.h"
#include "model/camera.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "support/model_compare.h"

namespace vexal::testing {

// With checkLines, every surface edge must also have the line its
// reference names.
inline ::testing::AssertionResult Valid(const Model& model, bool checkLines = true) {
  std::string reason;
  if (ValidateModel(model, &reason, checkLines)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << reason;
}

// A document as a new window holds it, with the given model as the base
// of its undo history.
inline std::unique_ptr<Document> DocumentWith(const std::function<void(Model&)>& build) {
  auto document = std::make_unique<Document>();
  InitializeDocument(*document);
  SetScreenSize(document->scene, 444, 317);
  if (build) build(document->model);
  RefreshSelection(*document);
  ResetUndo(*document);
  document->scene.modified = 0;
  return document;
}

// Runs the edit, checks the model is valid (line references included),
// then that Undo brings back the model before it and Redo the one after.
inline void ExpectUndoRedoIdentical(Document& document, const std::function<void()>& edit,
                                    const std::string& where) {
  auto before = std::make_unique<Model>(document.model);
  edit();
  EXPECT_TRUE(Valid(document.model)) << where;
  auto after = std::make_unique<Model>(document.model);
  StepUndo(document, -1);
  ExpectSameModel(document.model, *before, where + " after undo");
  StepUndo(document, 1);
  ExpectSameModel(document.model, *after, where + " after redo");
}

class CommandFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    document = std::make_unique<Document>();
    InitializeDocument(*document);
    SetScreenSize(document->scene, 400, 300);
    target.document = document.get();
    target.documentCount = 1;
    target.workspace = &workspace;
    modelBefore = std::make_unique<Model>();
    modelAfter = std::make_unique<Model>();
  }

  Model& model() { return document->model; }
  VECTOR position(int point) { return model().points[point].position; }

  // Makes the model as built the base of the history, with the given
  // points selected.
  void begin(std::initializer_list<int> selected = {}) {
    for (int p : selected) model().points[p].state = kStateSelected;
    RefreshSelection(*document);
    ResetUndo(*document);
  }

  // Builds the model, refreshes it as opening a file does and makes it the
  // base of the history.
  void load(const std::function<void(Model&)>& build) {
    build(model());
    RefreshSelection(*document);
    RefreshNormals(*document, kNormalsAngleSmoothed);
    ResetUndo(*document);
  }

  // Selects points as the selection tool does: one undo step.
  void select(std::initializer_list<int> points) {
    for (int p : points) model().points[p].state = kStateSelected;
    RefreshSelection(*document);
    PushUndo(*document, 1);
  }
  void selectAll() {
    for (int p = 1; p <= model().pointCount; ++p) model().points[p].state = kStateSelected;
    RefreshSelection(*document);
    PushUndo(*document, 1);
  }

  // Runs the named command through the dispatcher and checks it: done, a
  // valid model, and either no undo step and the model as it was, or one
  // step that Undo and Redo replay exactly, twice. Leaves the model as the
  // command made it.
  void run(std::string_view name) {
    CopyLive(model(), *modelBefore);
    const int slot = document->undo.current;
    const int depth = document->undo.undoDepth;
    const CommandResult result = RunCommand(name, target);
    ASSERT_TRUE(result.ok()) << name << ": " << result.refusal.reason;
    ASSERT_TRUE(Valid(model(), checkLines)) << name;
    if (document->undo.current == slot) {
      ASSERT_TRUE(SameRecords(model(), *modelBefore))
          << name << " changed the model without a step";
      return;
    }
    ASSERT_EQ(document->undo.current, (slot + 1) % document->undo.slotCount()) << name;
    ASSERT_EQ(document->undo.undoDepth, std::min(depth + 1, document->undo.slotCount() - 1))
        << name;
    CopyLive(model(), *modelAfter);
    for (int round = 0; round < 2; ++round) {
      ASSERT_TRUE(RunCommand("UndoItem", target).ok());
      ASSERT_TRUE(SameRecords(model(), *modelBefore)) << name << ": undo did not restore the model";
      ASSERT_TRUE(RunCommand("RedoItem", target).ok());
      ASSERT_TRUE(SameRecords(model(), *modelAfter))
          << name << ": redo did not give the edit again";
    }
  }

  // As run, for a command that must record its one step.
  void runEdit(std::string_view name) {
    const int slot = document->undo.current;
    run(name);
    if (::testing::Test::HasFatalFailure()) return;
    ASSERT_NE(document->undo.current, slot) << name << " recorded no step";
  }

  // Runs a command that must refuse with a reason, and checks that nothing
  // changed. Returns the reason.
  std::string refuse(std::string_view name, CommandStatus expected = CommandStatus::kRefused) {
    CopyLive(model(), *modelBefore);
    const int slot = document->undo.current;
    const int depth = document->undo.undoDepth;
    const CommandResult result = RunCommand(name, target);
    EXPECT_EQ(result.status, expected) << name << ": " << result.refusal.reason;
    EXPECT_FALSE(result.refusal.reason.empty()) << name;
    EXPECT_EQ(document->undo.current, slot) << name;
    EXPECT_EQ(document->undo.undoDepth, depth) << name;
    EXPECT_TRUE(SameRecords(model(), *modelBefore)) << name << " changed the model";
    return result.refusal.reason;
  }

  // Off for models built with surface edges that have no line.
  bool checkLines = true;
  Workspace workspace;
  std::unique_ptr<Document> document;
  CommandTarget target;
  // The model before and after the last command run.
  std::unique_ptr<Model> modelBefore;
  std::unique_ptr<Model> modelAfter;
};

}  // namespace vexal::testing
