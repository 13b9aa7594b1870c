// Placing the selected points: grid, random displacement, pivot mode and
// the move to the origin.
#include <gtest/gtest.h>

#include <cmath>

#include "commands/command_fixture.h"
#include "commands/random_position.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using Points = testing::CommandFixture;

TEST_F(Points, SnapToGridRoundsHalvesAwayFromZeroOnCheckedAxesOnly) {
  testing::UnitQuad(model());
  SetPoint(model(), 1, 0.3f, -0.1875f, 0.06f, 0, 0);
  model().lines[3].state = kStateSelected;  // 3-4: points 3 and 4 by their line only
  begin({1});
  workspace.settings.GridWidthX = 0.125f;
  workspace.settings.GridWidthY = 0.125f;
  workspace.settings.GridCheckZ = 0;
  runEdit("SetGridItem");
  EXPECT_EQ(position(1), VECTOR(0.25f, -0.25f, 0.06f));
  EXPECT_EQ(position(3), VECTOR(1, 1, 0));  // class 2: not moved

  // A zero width from a settings file leaves its axis alone.
  SetPoint(model(), 1, 0.3f, 0.3f, 0, kStateSelected, 0);
  workspace.settings.GridWidthY = 0.0f;
  RefreshSelection(*document);
  ResetUndo(*document);
  runEdit("SetGridItem");
  EXPECT_EQ(position(1), VECTOR(0.25f, 0.3f, 0));

  workspace.settings.GridCheckX = workspace.settings.GridCheckY = 0;
  refuse("SetGridItem");
}

TEST_F(Points, RandomPositionStepsWithinTheWidthAndZeroWidthStillRecords) {
  testing::UnitQuad(model());
  begin({2});
  Settings settings;
  settings.RandomWidthX = 0.5f;
  settings.RandomWidthY = 0.0f;
  settings.RandomCheckZ = 0;
  int draws = 0;
  auto next = [&draws] {
    ++draws;
    return 1234567;  // 1234567 mod 50000 = 34567
  };
  ASSERT_TRUE(RunRandomPosition(*document, settings, next).ok());
  EXPECT_EQ(draws, 1);  // the zero-width axis draws nothing
  EXPECT_FLOAT_EQ(position(2).x, 1.0f + (34567 * 0.00002f - 0.5f));
  EXPECT_EQ(position(2).y, 0.0f);
  EXPECT_EQ(document->undo.undoDepth, 1);

  settings.RandomWidthX = 0.0f;
  testing::CopyLive(model(), *modelBefore);
  ASSERT_TRUE(RunRandomPosition(*document, settings, next).ok());
  EXPECT_EQ(document->undo.undoDepth, 2);
  EXPECT_EQ(position(2), modelBefore->points[2].position);

  // Through the menu: every displacement lies in [-w, w).
  workspace.settings.RandomWidthX = workspace.settings.RandomWidthY =
      workspace.settings.RandomWidthZ = 0.25f;
  testing::CopyLive(model(), *modelBefore);
  runEdit("SetRandomItem");
  for (float delta : {position(2).x - modelBefore->points[2].position.x,
                      position(2).y - modelBefore->points[2].position.y,
                      position(2).z - modelBefore->points[2].position.z}) {
    EXPECT_GE(delta, -0.25f);
    EXPECT_LT(delta, 0.25f);
  }
}

TEST_F(Points, ChangePivotTogglesTheBoxMiddleWithoutAnUndoStep) {
  ClearModel(model());
  SetPoint(model(), 1, 0, 0, 0, 0, 0);
  SetPoint(model(), 2, 1, 0, 0, 0, 0);
  SetPoint(model(), 3, 5, 0, 0, 0, 0);
  model().pointCount = 3;
  SetLine(model(), 1, 1, 2, 0);
  SetLine(model(), 2, 2, 3, 0);
  model().lineCount = 2;
  begin({1, 2, 3});
  EXPECT_FLOAT_EQ(document->scene.handle.x, 2);
  ASSERT_TRUE(RunCommand("ChangePivotItem", target).ok());
  EXPECT_FLOAT_EQ(document->scene.handle.x, 2.5f);
  EXPECT_EQ(CommandChecked("ChangePivotItem", target), true);
  EXPECT_EQ(document->undo.undoDepth, 0);
  ASSERT_TRUE(RunCommand("ChangePivotItem", target).ok());
  EXPECT_FLOAT_EQ(document->scene.handle.x, 2);
}

TEST_F(Points, MoveToOriginShiftsEverythingByThePivotKeepingXWhenMirrored) {
  testing::UnitQuad(model());
  begin({3});
  runEdit("MoveOriginItem");
  EXPECT_EQ(position(3), VECTOR(0, 0, 0));
  EXPECT_EQ(position(1), VECTOR(-1, -1, 0));

  testing::MirroredPair(model());
  SetPoint(model(), 1, -1, 2, 3, 0, 2);
  SetPoint(model(), 2, 1, 2, 3, kStateSelected, 1);
  begin();
  runEdit("MoveOriginItem");
  EXPECT_EQ(position(2), VECTOR(1, 0, 0));
  EXPECT_EQ(position(1), VECTOR(-1, 0, 0));

  // Nothing selected: the pivot is the origin, nothing moves, still a step.
  DeselectAll(model());
  begin();
  runEdit("MoveOriginItem");
  EXPECT_EQ(position(2), VECTOR(1, 0, 0));
}

}  // namespace
}  // namespace vexal
