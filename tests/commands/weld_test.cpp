// The attach commands and the clean-up after a weld, on small models whose
// outcome can be worked out by hand.
#include "model/weld.h"

#include <gtest/gtest.h>

#include <cmath>

#include "commands/command_fixture.h"
#include "commands/weld_commands.h"
#include "model/maintenance.h"
#include "model/table_room.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using Weld = testing::CommandFixture;

// Two quads side by side sharing the edge 2-5:
//   4 --- 3 --- 6
//   |  1  |  2  |
//   1 --- 2 --- 5
void TwoQuads(Model& model) {
  ClearModel(model);
  const float xy[6][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 0}, {2, 1}};
  for (int p = 0; p < 6; ++p) SetPoint(model, p + 1, xy[p][0], xy[p][1], 0, 0, 0);
  model.pointCount = 6;
  SetFace(model, 1, 1, 2, 3, 4, 3, 0);
  SetFace(model, 2, 2, 5, 6, 3, 1, 0);
  SetFaceUV(model, 1, UV(0, 0), UV(1, 0), UV(1, 1), UV(0, 1));
  SetFaceUV(model, 2, UV(0.1f, 0), UV(0.2f, 0), UV(0.3f, 0), UV(0.4f, 0));
  model.faceCount = 2;
  CompactModel(model, kCompactRebuildLines);
}

TEST_F(Weld, NothingSelectedChangesNothingAndRecordsNoStep) {
  testing::UnitQuad(model());
  begin();
  for (auto run : {RunAttachSingle, RunAttachApproximate, RunAttachSame}) {
    testing::CopyLive(model(), *modelBefore);
    EXPECT_FALSE(run(*document).ok());
    EXPECT_EQ(document->undo.undoDepth, 0);
    EXPECT_TRUE(testing::SameRecords(model(), *modelBefore));
  }
}

TEST_F(Weld, AttachSingleOfOnePointMovesItToTheEndOfTheTable) {
  TwoQuads(model());
  model().points[2].position = VECTOR(1, 0.25f, 0);
  begin({2});
  runEdit("AttachItem");
  ASSERT_EQ(model().pointCount, 6);
  EXPECT_EQ(position(6), VECTOR(1, 0.25f, 0));  // at the pivot: the point itself
  EXPECT_EQ(model().points[6].state, kStateNormal);
  // Old points 3..6 moved down one; the quads follow.
  EXPECT_EQ(model().faces[1].corners, (std::array<int32_t, 4>{1, 6, 2, 3}));
  EXPECT_EQ(model().faces[2].corners, (std::array<int32_t, 4>{6, 4, 5, 2}));
}

TEST_F(Weld, AdjacentCornersCollapseTheQuadToATriangleKeepingItsUVs) {
  TwoQuads(model());
  begin({5, 6});
  runEdit("AttachItem");
  // Quad 2 (2, 5, 6, 3) loses the edge 5-6: the triangle (2, new, 3).
  ASSERT_EQ(model().faceCount, 2);
  const FACE& triangle = model().faces[2];
  EXPECT_FALSE(IsQuad(triangle));
  EXPECT_EQ(triangle.material, 1);
  EXPECT_EQ(triangle.corners[0], 5);  // the new point, last of five
  EXPECT_EQ(position(5), VECTOR(2, 0.5f, 0));
  EXPECT_EQ(triangle.uv[0], UV(0.3f, 0));  // the UV of the later corner of the pair
  EXPECT_EQ(triangle.uv[1], UV(0.4f, 0));
  EXPECT_EQ(triangle.uv[2], UV(0.1f, 0));
}

TEST_F(Weld, QuadsThatMeetOnAllCornersMergeIntoTheSmallerMaterial) {
  // Quad 2 laid over quad 1 with its own points at the same places.
  TwoQuads(model());
  model().points[5].position = VECTOR(0, 0, 0);
  model().points[6].position = VECTOR(0, 1, 0);
  // Quad 2 is (2, 5, 6, 3): over (2, 1, 4, 3), the same corners as quad 1.
  begin({1, 4, 5, 6});
  runEdit("SameAttachItem");
  ASSERT_EQ(model().faceCount, 1);
  EXPECT_EQ(model().faces[1].material, 1);  // min(3, 1)
  EXPECT_EQ(model().pointCount, 4);
  EXPECT_EQ(model().lineCount, 4);
  EXPECT_EQ(document->scene.selectedCount, 0);  // the weld deselects
}

TEST_F(Weld, AQuadWhoseDiagonalBecomesALineIsSplitAlongIt) {
  // A quad 1-2-3-4 and a line 2-5; welding 5 onto 4 makes 2-4 a diagonal.
  testing::UnitQuad(model());
  SetPoint(model(), 5, 0, 1, 0, 0, 0);  // on point 4
  model().pointCount = 5;
  SetLine(model(), 5, 2, 5, 0);
  model().lineCount = 5;
  begin({4, 5});
  runEdit("SameAttachItem");
  ASSERT_EQ(model().faceCount, 2);
  EXPECT_EQ(model().faces[1].corners, (std::array<int32_t, 4>{1, 2, 4, 1}));
  EXPECT_EQ(model().faces[2].corners, (std::array<int32_t, 4>{2, 3, 4, 2}));
  EXPECT_EQ(model().lineCount, 5);
}

TEST_F(Weld, WeldingEveryCornerOfALoneQuadLeavesNothing) {
  testing::UnitQuad(model());
  begin({1, 2, 3, 4});
  runEdit("AttachItem");
  EXPECT_EQ(model().pointCount, 0);
  EXPECT_EQ(model().lineCount, 0);
  EXPECT_EQ(model().faceCount, 0);
}

TEST_F(Weld, AttachSingleWithUnselectedPartnersMakesAMirroredPair) {
  // Two lines on the right (points 1-2, 3-4) mirrored by 5-6, 7-8 on the left.
  ClearModel(model());
  const float right[4][2] = {{1, 0}, {2, 0}, {1, 1}, {2, 1}};
  for (int p = 0; p < 4; ++p) {
    SetPoint(model(), p + 1, right[p][0], right[p][1], 0, 0, p + 5);
    SetPoint(model(), p + 5, -right[p][0], right[p][1], 0, 0, p + 1);
  }
  model().pointCount = 8;
  SetLine(model(), 1, 1, 2, 0);
  SetLine(model(), 2, 3, 4, 0);
  SetLine(model(), 3, 5, 6, 0);
  SetLine(model(), 4, 7, 8, 0);
  model().lineCount = 4;
  begin({1, 3});
  ASSERT_EQ(document->scene.mirrorSelection, 1);
  runEdit("AttachItem");
  // Survivors 2, 4, 6, 8 become 1..4; then the pair at the pivot (1, 0.5, 0).
  ASSERT_EQ(model().pointCount, 6);
  EXPECT_EQ(position(5), VECTOR(1, 0.5f, 0));
  EXPECT_EQ(position(6), VECTOR(-1, 0.5f, 0));
  EXPECT_EQ(model().points[5].mirror, 6);
  EXPECT_EQ(model().points[6].mirror, 5);
  EXPECT_EQ(model().lineCount, 4);
}

TEST_F(Weld, APointWeldedWithItsOwnPartnerLandsOnThePlaneAsItsOwnPartner) {
  testing::MirroredPair(model());
  SetPoint(model(), 3, 0, 5, 0, 0, 0);
  model().pointCount = 3;
  SetLine(model(), 2, 1, 3, 0);
  SetLine(model(), 3, 2, 3, 0);
  model().lineCount = 3;
  // The pair (-1, 0, 0) and (1, 0, 0) is within 0.1 / 0.25 = 0.4? No: 2
  // apart. At zoom 0.04 the radius is 2.5.
  document->scene.zoom = 0.04f;
  begin({1, 2});
  runEdit("MoreAttachItem");
  ASSERT_EQ(model().pointCount, 2);
  EXPECT_EQ(position(1), VECTOR(0, 0, 0));
  EXPECT_EQ(model().points[1].mirror, 1);
  EXPECT_EQ(model().lineCount, 1);
}

TEST_F(Weld, AttachApproximateDoesNotChainAndScalesWithZoom) {
  // Four points in a row 0.08 apart, each with a line to a far anchor.
  ClearModel(model());
  for (int p = 1; p <= 4; ++p) SetPoint(model(), p, 0.08f * static_cast<float>(p - 1), 0, 0, 0, 0);
  SetPoint(model(), 5, 0, 10, 0, 0, 0);
  model().pointCount = 5;
  for (int l = 1; l <= 4; ++l) SetLine(model(), l, l, 5, 0);
  model().lineCount = 4;
  begin({1, 2, 3, 4});
  runEdit("MoreAttachItem");
  // Point 1 takes point 2 (0.08) but not 3 (0.16); 3 takes 4.
  ASSERT_EQ(model().pointCount, 3);
  EXPECT_FLOAT_EQ(position(1).x, 0.04f);
  EXPECT_FLOAT_EQ(position(2).x, 0.2f);

  testing::CopyLive(*modelBefore, model());
  document->scene.zoom = 2.0f;  // radius 0.05: nothing is close
  RefreshSelection(*document);
  ResetUndo(*document);
  runEdit("MoreAttachItem");
  EXPECT_EQ(model().pointCount, 5);
}

TEST_F(Weld, AttachSameWeldsOnlyBitEqualPositions) {
  ClearModel(model());
  const float one = 1.0f;
  SetPoint(model(), 1, one, 2, 3, 0, 0);
  SetPoint(model(), 2, std::nextafter(one, 2.0f), 2, 3, 0, 0);
  SetPoint(model(), 3, one, 2, 3, 0, 0);
  SetPoint(model(), 4, -0.0f, 0, 0, 0, 0);
  SetPoint(model(), 5, 0.0f, 0, 0, 0, 0);
  SetPoint(model(), 6, 9, 9, 9, 0, 0);
  model().pointCount = 6;
  for (int l = 1; l <= 5; ++l) SetLine(model(), l, l, 6, 0);
  model().lineCount = 5;
  begin({1, 2, 3, 4, 5});
  runEdit("SameAttachItem");
  // 1 and 3 become one; 2 stays apart; -0 and +0 are the same place.
  EXPECT_EQ(model().pointCount, 4);
  EXPECT_EQ(model().lineCount, 3);
}

// Splitting folded quads appends two surfaces for each: a weld that would
// pass the capacity that way is refused with the model untouched.
TEST_F(Weld, AWeldWhoseSplitsWouldOverflowTheSurfacesIsRefused) {
  // A strip of 6,667 quads whose every diagonal is a line (the only lines):
  // 6,667 + 2 x 6,667 surfaces would pass 19,999.
  //   2 -- 4 -- 6 ...
  //   | \  | \  |
  //   1 -- 3 -- 5 ...
  ClearModel(model());
  const int quads = 6667;
  for (int q = 0; q <= quads; ++q) {
    SetPoint(model(), 2 * q + 1, static_cast<float>(q), 0, 0, 0, 0);
    SetPoint(model(), 2 * q + 2, static_cast<float>(q), 1, 0, 0, 0);
  }
  model().pointCount = 2 * quads + 2;
  for (int q = 0; q < quads; ++q) {
    SetFace(model(), q + 1, 2 * q + 1, 2 * q + 3, 2 * q + 4, 2 * q + 2, 0, 0);
    SetLine(model(), q + 1, 2 * q + 1, 2 * q + 4, 0);
  }
  model().faceCount = quads;
  model().lineCount = quads;
  begin({1});
  // Every weld that does not fit gives the one table-full refusal.
  for (const char* weld : {"SameAttachItem", "AttachItem", "MoreAttachItem"}) {
    EXPECT_EQ(refuse(weld), kTableFullText) << weld;
  }
}

}  // namespace
}  // namespace vexal
