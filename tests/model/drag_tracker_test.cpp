#include "model/drag_tracker.h"

#include <gtest/gtest.h>

#include "model/maintenance.h"
#include "support/model_compare.h"
#include "support/test_models.h"

namespace vexal {
namespace {

// A closed cube with its history reset; point 1 is selected by a recorded
// step.
struct CubeDocument {
  CubeDocument() {
    InitializeDocument(document);
    testing::ClosedCube(document.model);
    document.model.points[1].state = kStateSelected;
    RefreshSelection(document);
    ResetUndo(document);
    document.scene.modified = 0;
  }
  Document document;
};

// One drag step as the tools make them: from the positions of the press.
EditOutcome Shift(DragTracker& drag, float by) {
  return drag.step([&drag, by](Document& document) {
    Model& model = document.model;
    for (int p = 1; p <= model.pointCount; ++p) {
      model.points[p].position = drag.start().points[p].position + VECTOR(by, 0, 0);
    }
    return EditOutcome{};
  });
}

TEST(DragTracker, BeginStepsAndEndMakeOneUndoStepFromThePress) {
  CubeDocument cube;
  Document& document = cube.document;
  const Model before = document.model;
  DragTracker drag(document);
  EXPECT_FALSE(drag.changed());
  for (int k = 1; k <= 5; ++k) ASSERT_TRUE(Shift(drag, 0.5f * static_cast<float>(k)).ok());
  EXPECT_TRUE(drag.changed());
  // Steps start from the press, so the last alone counts.
  EXPECT_EQ(document.model.points[2].position.x, before.points[2].position.x + 2.5f);
  EXPECT_EQ(document.undo.undoDepth, 0);
  drag.end(EditSteps{});
  EXPECT_EQ(document.undo.undoDepth, 1);
  EXPECT_EQ(document.scene.modified, 1);
  const Model after = document.model;
  StepUndo(document, -1);
  testing::ExpectSameModel(document.model, before, "undone");
  StepUndo(document, 1);
  testing::ExpectSameModel(document.model, after, "redone");
}

TEST(DragTracker, CancelRestoresThePressExactlyAndRecordsNothing) {
  CubeDocument cube;
  Document& document = cube.document;
  const Model before = document.model;
  const uint64_t revision = document.revision;
  DragTracker drag(document);
  ASSERT_TRUE(Shift(drag, 3.0f).ok());
  drag.cancel();
  testing::ExpectSameModel(document.model, before, "cancelled");
  EXPECT_EQ(document.undo.undoDepth, 0);
  EXPECT_EQ(document.undo.redoDepth, 0);
  EXPECT_EQ(document.scene.modified, 0);
  EXPECT_GT(document.revision, revision);  // the model was put back
}

TEST(DragTracker, ARefusedStepLeavesTheModelAsThePreviousStepLeftIt) {
  CubeDocument cube;
  Document& document = cube.document;
  DragTracker drag(document);
  const EditOutcome refusedFirst =
      drag.step([](Document&) { return EditOutcome::Refused("the tables are full"); });
  EXPECT_FALSE(refusedFirst.ok());
  EXPECT_FALSE(drag.changed());
  ASSERT_TRUE(Shift(drag, 1.0f).ok());
  const Model stepped = document.model;
  EXPECT_EQ(drag.step([](Document&) { return EditOutcome::Refused("no"); }).refusal.reason, "no");
  testing::ExpectSameModel(document.model, stepped, "after the refused step");
}

// A click's selection records no step. Kept, it survives a cancel; as
// recorded, the cancel brings back the selection of the last step.
TEST(DragTracker, CancelKeepsTheClickSelectionOnlyWhenAsked) {
  for (const auto selection : {DragTracker::Selection::kKeep, DragTracker::Selection::kAsRecorded}) {
    CubeDocument cube;
    Document& document = cube.document;
    const VECTOR start = document.model.points[2].position;
    DeselectAll(document.model);
    document.model.points[5].state = kStateSelected;
    RefreshSelection(document);
    DragTracker drag(document, selection);
    ASSERT_TRUE(Shift(drag, 1.0f).ok());
    drag.cancel();
    const bool kept = selection == DragTracker::Selection::kKeep;
    EXPECT_EQ(document.model.points[5].state, kept ? kStateSelected : kStateNormal) << kept;
    EXPECT_EQ(document.model.points[1].state, kept ? kStateNormal : kStateSelected) << kept;
    EXPECT_EQ(document.model.points[2].position, start) << kept;
  }
}

// A copy made at the press (a provisional step) is part of the drag: later
// steps start from it and a cancel goes back past it.
TEST(DragTracker, RebaseStartsTheStepsFromThePressesOwnChange) {
  CubeDocument cube;
  Document& document = cube.document;
  const Model before = document.model;
  DragTracker drag(document, DragTracker::Selection::kKeep);
  Model& model = document.model;
  const int copy = ++model.pointCount;
  model.points[copy] = model.points[1];
  model.points[copy].mirror = 0;
  PushUndo(document, 1);
  document.mode.provisional = 1;
  drag.rebase();
  EXPECT_EQ(drag.start().pointCount, before.pointCount + 1);
  ASSERT_TRUE(Shift(drag, 2.0f).ok());
  EXPECT_EQ(model.points[copy].position.x, before.points[1].position.x + 2.0f);
  drag.cancel();
  testing::ExpectSameModel(document.model, before, "cancelled past the copy");
  EXPECT_EQ(document.mode.provisional, 0);
}

}  // namespace
}  // namespace vexal
