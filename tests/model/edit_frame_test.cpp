#include "model/edit_frame.h"

#include <gtest/gtest.h>

#include <string>

#include "model/maintenance.h"
#include "model/validate.h"
#include "support/model_compare.h"
#include "support/test_models.h"

namespace vexal {
namespace {

// A closed cube with its history reset and nothing modified.
struct CubeDocument {
  CubeDocument() {
    InitializeDocument(document);
    testing::ClosedCube(document.model);
    RefreshSelection(document);
    ResetUndo(document);
    document.scene.modified = 0;
  }
  Document document;
};

// Marks point 8 of the cube and the lines and surfaces on it for removal.
EditOutcome MarkCorner8(Document& document) {
  Model& model = document.model;
  for (int l = 1; l <= model.lineCount; ++l) {
    if (model.lines[l].a == 8 || model.lines[l].b == 8) model.lines[l].state = kStateRemoved;
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    for (int32_t c : model.faces[s].corners) {
      if (c == 8) model.faces[s].state = kStateRemoved;
    }
  }
  model.points[8].state = kStateRemoved;
  return EditOutcome{};
}

TEST(EditFrame, RecordsOneStepAndARefusalNothing) {
  CubeDocument cube;
  Document& document = cube.document;
  const Model before = document.model;
  const int depth = document.undo.undoDepth;
  const uint64_t revision = document.revision;
  const EditOutcome refused = RunEdit(document, {}, [](Document&) {
    return EditOutcome::Refused("the model is full");
  });
  EXPECT_FALSE(refused.ok());
  EXPECT_EQ(refused.refusal.reason, "the model is full");
  EXPECT_EQ(document.undo.undoDepth, depth);
  EXPECT_EQ(document.revision, revision);
  EXPECT_EQ(document.scene.modified, 0);

  // The frame purges what the change marked for removal.
  EditSteps steps;
  steps.purgeMarked = true;
  EXPECT_TRUE(RunEdit(document, steps, MarkCorner8).ok());
  EXPECT_EQ(document.model.pointCount, 7);
  EXPECT_EQ(document.model.faceCount, 3);
  EXPECT_EQ(document.undo.undoDepth, depth + 1);
  EXPECT_EQ(document.scene.modified, 1);
  EXPECT_TRUE(ValidateModel(document.model, nullptr));
  // Undo gives back the model as it was; redo the edit.
  const Model after = document.model;
  StepUndo(document, -1);
  testing::ExpectSameModel(document.model, before, "undone");
  StepUndo(document, 1);
  testing::ExpectSameModel(document.model, after, "redone");
}

TEST(EditFrame, StepsWithoutUndoChangeTheModelAndRecordNothing) {
  CubeDocument cube;
  Document& document = cube.document;
  EditSteps steps;
  steps.purgeMarked = true;
  steps.pushUndo = false;
  EXPECT_TRUE(RunEdit(document, steps, MarkCorner8).ok());
  EXPECT_EQ(document.model.pointCount, 7);
  EXPECT_EQ(document.undo.undoDepth, 0);
  EXPECT_EQ(document.scene.modified, 0);
}

// A point-tool chain whose open line still starts at the chain's first
// point: finishing it takes the chain back to the last step.
TEST(EditFrame, FinishesAPendingChainFirstUnlessTheToolRunsItsOwnGesture) {
  for (const bool finish : {true, false}) {
    CubeDocument cube;
    Document& document = cube.document;
    Model& model = document.model;
    const int lines = model.lineCount;
    model.lines[++model.lineCount] = LINE{1, 0, kStateNormal};
    document.mode.tool = kToolPoint;
    document.mode.state = 1;
    document.mode.chainStart = 1;
    EditSteps steps;
    steps.finishPendingDraw = finish;
    steps.pushUndo = false;
    int linesSeen = -1;
    int stateSeen = -1;
    RunEdit(document, steps, [&](Document& target) {
      linesSeen = target.model.lineCount;
      stateSeen = target.mode.state;
      // A tool's own gesture ends its open line before the frame checks.
      Model& m = target.model;
      if (m.lines[m.lineCount].b == 0) m.lines[m.lineCount--] = LINE{};
      return EditOutcome{};
    });
    EXPECT_EQ(linesSeen, finish ? lines : lines + 1) << finish;
    EXPECT_EQ(stateSeen, finish ? 0 : 1) << finish;
  }
}

}  // namespace
}  // namespace vexal
