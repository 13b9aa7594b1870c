// The chain commands: arcs between chain ends, crossings, straightening,
// alignment along a view axis and the mirror seam.
#include <gtest/gtest.h>

#include <cmath>

#include "commands/command_fixture.h"
#include "commands/line_geometry.h"
#include "model/camera.h"
#include "model/maintenance.h"
#include "model/table_room.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using Lines = testing::CommandFixture;

// Two open chains: A' - A and B' - B (points 1, 2 and 3, 4), A and B
// selected.
void TwoChainEnds(Model& model, VECTOR aPrevious, VECTOR a, VECTOR bPrevious, VECTOR b) {
  ClearModel(model);
  const VECTOR p[4] = {aPrevious, a, bPrevious, b};
  for (int k = 0; k < 4; ++k) SetPoint(model, k + 1, p[k].x, p[k].y, p[k].z, 0, 0);
  model.pointCount = 4;
  SetLine(model, 1, 1, 2, 0);
  SetLine(model, 2, 3, 4, 0);
  model.lineCount = 2;
}

TEST(LineGeometry, ClosestPointsAndFeet) {
  ClosestPoints closest;
  // The x axis and a line parallel to y through (2, 0, 1).
  ASSERT_TRUE(ClosestPointsOfLines(VECTOR(1, 0, 0), VECTOR(0, 0, 0), VECTOR(2, 1, 1),
                                   VECTOR(2, 0, 1), closest));
  EXPECT_EQ(closest.q1, VECTOR(2, 0, 0));
  EXPECT_EQ(closest.q2, VECTOR(2, 0, 1));
  EXPECT_FLOAT_EQ(closest.t1, 2);
  EXPECT_FALSE(ClosestPointsOfLines(VECTOR(1, 0, 0), VECTOR(0, 0, 0), VECTOR(1, 1, 0),
                                    VECTOR(0, 1, 0), closest));
  LineFoot foot;
  ASSERT_TRUE(FootOnLine(VECTOR(1, 3, 0), VECTOR(0, 0, 0), VECTOR(4, 0, 0), foot));
  EXPECT_NEAR(foot.foot.x, 1, 1e-6);
  EXPECT_NEAR(foot.foot.y, 0, 1e-6);
  EXPECT_NEAR(foot.distance, 3, 1e-5);
  // On the line there is no foot to move to.
  EXPECT_FALSE(FootOnLine(VECTOR(2, 0, 0), VECTOR(0, 0, 0), VECTOR(4, 0, 0), foot));
}

TEST_F(Lines, AttachEdgeBridgesAQuarterCircleWithNSegments) {
  for (int segments : {2, 6}) {
    // A arrives going up at (1, 0); B arrives going right at (0, 1).
    TwoChainEnds(model(), VECTOR(1, -1, 0), VECTOR(1, 0, 0), VECTOR(-1, 1, 0), VECTOR(0, 1, 0));
    workspace.settings.AttachLineSegment = segments;
    begin({2, 4});
    runEdit("AttachLineItem");
    ASSERT_EQ(model().pointCount, 4 + segments - 1);
    ASSERT_EQ(model().lineCount, 2 + segments);
    for (int i = 1; i < segments; ++i) {
      const double angle = 1.5707963267948966 * i / segments;
      EXPECT_NEAR(position(4 + i).x, std::cos(angle), 1e-5) << segments << " " << i;
      EXPECT_NEAR(position(4 + i).y, std::sin(angle), 1e-5) << segments << " " << i;
    }
    EXPECT_EQ(model().lines[3].a, 2);
    EXPECT_EQ(model().lines[3].b, 5);
    EXPECT_EQ(model().lines[2 + segments].b, 4);
  }
}

TEST_F(Lines, AttachEdgeTakesTheLongArcWhenTheChainLeavesThatWay) {
  // A arrives going down at (1, 0): the arc goes round underneath to B.
  TwoChainEnds(model(), VECTOR(1, 1, 0), VECTOR(1, 0, 0), VECTOR(-1, 1, 0), VECTOR(0, 1, 0));
  workspace.settings.AttachLineSegment = 6;
  begin({2, 4});
  runEdit("AttachLineItem");
  ASSERT_EQ(model().pointCount, 9);
  // Three quarters of a turn in six steps of 45 degrees, clockwise.
  EXPECT_NEAR(position(5).x, std::sqrt(0.5), 1e-5);
  EXPECT_NEAR(position(5).y, -std::sqrt(0.5), 1e-5);
  EXPECT_NEAR(position(8).x, -1, 1e-5);
  EXPECT_NEAR(position(8).y, 0, 1e-5);
}

TEST_F(Lines, AttachEdgeStaysInTheViewPlaneAndReachesBFromAnElevatedView) {
  TwoChainEnds(model(), VECTOR(1, -1, 0), VECTOR(1, 0, 0), VECTOR(-1, 1, 0.5f), VECTOR(0, 1, 0.5f));
  document->scene.angle = VECTOR(45, 30, 0);
  workspace.settings.AttachLineSegment = 5;
  begin({2, 4});
  runEdit("AttachLineItem");
  ASSERT_EQ(model().pointCount, 8);
  // In the view frame the arc A, p1..p4 is made of equal chords, and the
  // depth steps evenly from A to B.
  const MATRIX toView = InverseViewMatrix(*document, false);
  const int chain[6] = {2, 5, 6, 7, 8, 4};
  VECTOR v[6];
  for (int k = 0; k < 6; ++k) v[k] = position(chain[k]).transformed(toView);
  const float chord = std::hypot(v[1].x - v[0].x, v[1].y - v[0].y);
  for (int k = 1; k < 6; ++k) {
    if (k < 5) {
      EXPECT_NEAR(std::hypot(v[k].x - v[k - 1].x, v[k].y - v[k - 1].y), chord, 1e-4) << k;
    }
    EXPECT_NEAR(v[k].z - v[k - 1].z, (v[5].z - v[0].z) / 5, 1e-4) << k;
  }
}

TEST_F(Lines, ChainCommandsRefuseWrongSelectionsAndParallelEdges) {
  TwoChainEnds(model(), VECTOR(1, -1, 0), VECTOR(1, 0, 0), VECTOR(-1, 1, 0), VECTOR(0, 1, 0));
  begin({1, 2, 4});  // three points
  refuse("AttachLineItem");
  refuse("MoveCrossItem");
  // Parallel end edges.
  TwoChainEnds(model(), VECTOR(1, -1, 0), VECTOR(1, 0, 0), VECTOR(-1, -1, 0), VECTOR(-1, 0, 0));
  begin({2, 4});
  refuse("AttachLineItem");
  refuse("MoveCrossItem");
  // A point inside a chain is the end of two lines.
  SetLine(model(), 3, 2, 3, 0);
  model().lineCount = 3;
  begin({2, 4});
  refuse("AttachLineItem");
}

TEST_F(Lines, MoveToCrossMeetsWithoutALineOrJoinsSkewEdges) {
  TwoChainEnds(model(), VECTOR(-1, 0, 0), VECTOR(0.5f, 0, 0), VECTOR(0, -1, 0), VECTOR(0, 0.5f, 0));
  begin({2, 4});
  runEdit("MoveCrossItem");
  EXPECT_EQ(position(2), VECTOR(0, 0, 0));
  EXPECT_EQ(position(4), VECTOR(0, 0, 0));
  EXPECT_EQ(model().lineCount, 2);

  // Skew: the second edge one unit above.
  TwoChainEnds(model(), VECTOR(-1, 0, 0), VECTOR(0.5f, 0, 0), VECTOR(0, -1, 1), VECTOR(0, 0.5f, 1));
  begin({2, 4});
  runEdit("MoveCrossItem");
  EXPECT_EQ(position(2), VECTOR(0, 0, 0));
  EXPECT_EQ(position(4), VECTOR(0, 0, 1));
  ASSERT_EQ(model().lineCount, 3);
  EXPECT_EQ(model().lines[3].a, 2);
  EXPECT_EQ(model().lines[3].b, 4);
}

// A selected chain 1-2-3-4-5 from (0, 0) to (4, 0) with bent inner points.
void BentChain(Model& model) {
  ClearModel(model);
  const float y[5] = {0, 1, -2, 0.5f, 0};
  for (int p = 0; p < 5; ++p) SetPoint(model, p + 1, static_cast<float>(p), y[p], 1, 0, 0);
  model.pointCount = 5;
  for (int l = 1; l <= 4; ++l) SetLine(model, l, l, l + 1, kStateSelected);
  model.lineCount = 4;
}

TEST_F(Lines, MoveToEdgeStraightensAChainAndDeselectsItsEnds) {
  BentChain(model());
  begin({1, 2, 3, 4, 5});
  runEdit("MoveLineItem");
  for (int p = 1; p <= 5; ++p) {
    EXPECT_NEAR(position(p).x, static_cast<float>(p - 1), 1e-5) << p;
    EXPECT_NEAR(position(p).y, 0, 1e-5) << p;
    EXPECT_NEAR(position(p).z, 1, 1e-5) << p;
  }
  EXPECT_EQ(model().points[1].state, kStateNormal);
  EXPECT_EQ(model().points[5].state, kStateNormal);
  EXPECT_EQ(model().points[3].state, kStateSelected);
  // Run again: the points are on the line and stay exactly where they are.
  ResetUndo(*document);
  runEdit("MoveLineItem");
  EXPECT_TRUE(testing::SameRecords(*modelBefore, model()) || position(3) == modelBefore->points[3].position);
  EXPECT_EQ(position(3), modelBefore->points[3].position);
}

TEST_F(Lines, MoveToEdgeLeavesLoopsAndHiddenPointsAlone) {
  // A closed selected square loop: no chain ends, nothing moves.
  testing::UnitQuad(model());
  model().faceCount = 0;
  for (int l = 1; l <= 4; ++l) model().lines[l].state = kStateSelected;
  SetPoint(model(), 5, 9, 9, 9, kStateHidden, 0);
  model().pointCount = 5;
  SetLine(model(), 5, 4, 5, kStateHidden);
  model().lineCount = 5;
  begin({1, 2, 3, 4});
  runEdit("MoveLineItem");
  for (int p = 1; p <= 4; ++p) EXPECT_EQ(position(p), modelBefore->points[p].position);
  EXPECT_EQ(model().points[5].state, kStateHidden);
}

TEST_F(Lines, AlignInAViewTurnedAboutTheVerticalAxisSetsWorldZ) {
  ClearModel(model());
  SetPoint(model(), 1, 1, 0, 2, 0, 0);
  SetPoint(model(), 2, 3, 1, -4, 0, 0);
  model().pointCount = 2;
  SetLine(model(), 1, 1, 2, 0);
  model().lineCount = 1;
  document->scene.angle = VECTOR(0, 90, 0);
  begin({1, 2});
  runEdit("XLineItem");
  EXPECT_NEAR(position(1).z, -1, 1e-5);
  EXPECT_NEAR(position(2).z, -1, 1e-5);
  EXPECT_NEAR(position(1).x, 1, 1e-5);
  EXPECT_NEAR(position(2).x, 3, 1e-5);
  EXPECT_NEAR(position(2).y, 1, 1e-5);
}

TEST_F(Lines, MirrorEdgeJoinsTheSeamOnceAndSplitsAQuadItCrosses) {
  // Two unit quads at x in [1, 2] and [-2, -1], mirror partners 1..4 <-> 5..8.
  ClearModel(model());
  const float corners[4][2] = {{1, 0}, {2, 0}, {2, 1}, {1, 1}};
  for (int p = 0; p < 4; ++p) {
    SetPoint(model(), p + 1, corners[p][0], corners[p][1], 0, 0, p + 5);
    SetPoint(model(), p + 5, -corners[p][0], corners[p][1], 0, 0, p + 1);
  }
  model().pointCount = 8;
  SetFace(model(), 1, 1, 2, 3, 4, 0, 0);
  SetFace(model(), 2, 5, 8, 7, 6, 0, 0);
  model().faceCount = 2;
  CompactModel(model(), kCompactRebuildLines);
  SetLine(model(), 9, 5, 1, 0);  // one pair already joined
  model().lineCount = 9;
  begin({1, 2, 3, 4});
  runEdit("MirrorLineItem");
  EXPECT_EQ(model().lineCount, 12);
  for (int p = 1; p <= 4; ++p) {
    EXPECT_NE(FindLine(model(), p, p + 4), 0) << p;
  }
}

TEST_F(Lines, ArcsThatDoNotFitAreRefused) {
  TwoChainEnds(model(), VECTOR(1, -1, 0), VECTOR(1, 0, 0), VECTOR(-1, 1, 0), VECTOR(0, 1, 0));
  SetPoint(model(), 5, 5, 5, 5, 0, 0);
  SetPoint(model(), 6, 6, 6, 6, 0, 0);
  model().pointCount = 6;
  for (int l = 3; l <= kMaxCount - 3; ++l) SetLine(model(), l, 5, 6, 0);
  model().lineCount = kMaxCount - 3;
  workspace.settings.AttachLineSegment = 6;
  begin({2, 4});
  EXPECT_EQ(refuse("AttachLineItem"), kTableFullText);
  workspace.settings.AttachLineSegment = 3;  // three lines fit exactly
  runEdit("AttachLineItem");
  EXPECT_EQ(model().lineCount, kMaxCount);
}

}  // namespace
}  // namespace vexal
