// A document with its workspace, as the dispatcher sees them, and the
// checks every command test makes: the model stays valid, and Undo then
// Redo give back exactly the states before and after the command.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "commands/command_dispatcher.h"
#include "model/maintenance.h"
#include "model/validate.h"

namespace vexal::testing {

// Bit-for-bit equality of the three tables and the palette.
inline ::testing::AssertionResult SameModel(const Model& a, const Model& b) {
  if (a.pointCount != b.pointCount || a.lineCount != b.lineCount || a.faceCount != b.faceCount) {
    return ::testing::AssertionFailure()
           << "counts " << a.pointCount << "/" << a.lineCount << "/" << a.faceCount << " vs "
           << b.pointCount << "/" << b.lineCount << "/" << b.faceCount;
  }
  for (int p = 1; p <= a.pointCount; ++p) {
    if (std::memcmp(&a.points[p], &b.points[p], sizeof(VERT)) != 0) {
      return ::testing::AssertionFailure() << "point " << p << " differs";
    }
  }
  for (int l = 1; l <= a.lineCount; ++l) {
    if (std::memcmp(&a.lines[l], &b.lines[l], sizeof(LINE)) != 0) {
      return ::testing::AssertionFailure() << "line " << l << " differs";
    }
  }
  for (int s = 1; s <= a.faceCount; ++s) {
    if (std::memcmp(&a.faces[s], &b.faces[s], sizeof(FACE)) != 0) {
      return ::testing::AssertionFailure() << "surface " << s << " differs";
    }
  }
  if (std::memcmp(a.materials.data(), b.materials.data(), sizeof(a.materials)) != 0) {
    return ::testing::AssertionFailure() << "palette differs";
  }
  return ::testing::AssertionSuccess();
}

// With checkLines, every surface edge must also have the line its
// reference names.
inline ::testing::AssertionResult Valid(const Model& model, bool checkLines = true) {
  std::string reason;
  if (ValidateModel(model, &reason, checkLines)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << reason;
}

class EditCommandFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    document = std::make_unique<Document>();
    InitializeDocument(*document);
    target.document = document.get();
    target.documentCount = 1;
    target.workspace = &workspace;
  }

  // Builds the model, refreshes it as opening a file does and makes it the
  // base of the history.
  void load(const std::function<void(Model&)>& build) {
    build(document->model);
    RefreshSelection(*document);
    RefreshNormals(*document, kNormalsAngleSmoothed);
    ResetUndo(*document);
  }

  // Selects points as the selection tool does: one undo step.
  void select(std::initializer_list<int> points) {
    for (int p : points) document->model.points[p].state = kStateSelected;
    RefreshSelection(*document);
    PushUndo(*document, 1);
  }
  void selectAll() {
    for (int p = 1; p <= model().pointCount; ++p) model().points[p].state = kStateSelected;
    RefreshSelection(*document);
    PushUndo(*document, 1);
  }

  Model& model() { return document->model; }

  // Runs a command through the dispatcher and checks that it succeeded,
  // left a valid model and one undo step that Undo and Redo replay exactly.
  void run(std::string_view name) {
    const int slot = document->undo.current;
    auto before = std::make_unique<Model>(model());
    const CommandResult result = RunCommand(name, target);
    ASSERT_TRUE(result.ok()) << name << ": " << result.refusal.reason;
    ASSERT_TRUE(Valid(model(), checkLines)) << name;
    if (document->undo.current == slot) return;  // records no step
    auto after = std::make_unique<Model>(model());
    ASSERT_TRUE(RunCommand("UndoItem", target).ok());
    ASSERT_TRUE(SameModel(model(), *before)) << name << " after Undo";
    ASSERT_TRUE(RunCommand("RedoItem", target).ok());
    ASSERT_TRUE(SameModel(model(), *after)) << name << " after Redo";
    ASSERT_TRUE(RunCommand("UndoItem", target).ok());
    ASSERT_TRUE(SameModel(model(), *before)) << name << " after a second Undo";
    ASSERT_TRUE(RunCommand("RedoItem", target).ok());
  }

  // Runs a command that must refuse, and checks that nothing changed.
  std::string refuse(std::string_view name) {
    auto before = std::make_unique<Model>(model());
    const int depth = document->undo.undoDepth;
    const CommandResult result = RunCommand(name, target);
    EXPECT_EQ(result.status, CommandStatus::kRefused) << name;
    EXPECT_TRUE(SameModel(model(), *before)) << name;
    EXPECT_EQ(document->undo.undoDepth, depth) << name;
    return result.refusal.reason;
  }

  // Off for models built with surface edges that have no line.
  bool checkLines = true;
  Workspace workspace;
  std::unique_ptr<Document> document;
  CommandTarget target;
};

}  // namespace vexal::testing
