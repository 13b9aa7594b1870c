// A document set up as a window holds it, with helpers to select points
// and to run a command the way the menus do, checking what every edit
// must keep: a valid model, one undo step, and undo then redo giving back
// exactly the records before and after.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "commands/command_dispatcher.h"
#include "model/camera.h"
#include "model/document.h"
#include "model/validate.h"
#include "support/model_compare.h"

namespace vexal::testing {

class CommandFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    document = std::make_unique<Document>();
    InitializeDocument(*document);
    SetScreenSize(document->scene, 400, 300);
    target.document = document.get();
    target.documentCount = 1;
    target.workspace = &workspace;
    before = std::make_unique<Model>();
    after = std::make_unique<Model>();
  }

  Model& model() { return document->model; }

  // Makes the model as built the base of the history, with the given
  // points selected.
  void Begin(std::initializer_list<int> selected = {}) {
    for (int p : selected) model().points[p].state = kStateSelected;
    RefreshSelection(*document);
    ResetUndo(*document);
  }

  // Runs the named command and checks it as an edit: done, valid, one undo
  // step; undo gives the model before, redo the model after. Leaves the
  // model as the command made it.
  void RunEdit(std::string_view name) {
    CopyLive(model(), *before);
    const int depth = document->undo.undoDepth;
    const CommandResult result = RunCommand(name, target);
    ASSERT_TRUE(result.ok()) << name << ": " << result.refusal.reason;
    std::string reason;
    ASSERT_TRUE(ValidateModel(model(), &reason)) << name << ": " << reason;
    ASSERT_EQ(document->undo.undoDepth, depth + 1) << name;
    CopyLive(model(), *after);
    StepUndo(*document, -1);
    ASSERT_TRUE(SameRecords(model(), *before)) << name << ": undo did not restore the model";
    StepUndo(*document, 1);
    ASSERT_TRUE(SameRecords(model(), *after)) << name << ": redo did not give the edit again";
  }

  // Runs the named command expecting a refusal that changes nothing;
  // returns its reason.
  std::string RunRefused(std::string_view name) {
    CopyLive(model(), *before);
    const int depth = document->undo.undoDepth;
    const CommandResult result = RunCommand(name, target);
    EXPECT_FALSE(result.ok()) << name;
    EXPECT_FALSE(result.refusal.reason.empty()) << name;
    EXPECT_EQ(document->undo.undoDepth, depth) << name;
    EXPECT_TRUE(SameRecords(model(), *before)) << name << " changed the model";
    return result.refusal.reason;
  }

  VECTOR position(int point) { return model().points[point].position; }

  Workspace workspace;
  std::unique_ptr<Document> document;
  CommandTarget target;
  std::unique_ptr<Model> before;
  std::unique_ptr<Model> after;
};

}  // namespace vexal::testing
