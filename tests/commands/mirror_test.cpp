// Mirror symmetry: keeping pairs in step, making and clearing partners,
// reflecting the selection in the view.
#include "commands/mirror.h"

#include <gtest/gtest.h>

#include <set>

#include "commands/command_fixture.h"
#include "model/maintenance.h"
#include "model/table_room.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using Mirror = testing::CommandFixture;

TEST_F(Mirror, ASelectedQuadGetsAMirrorCopyWoundTheOtherWayOnce) {
  testing::UnitQuad(model());
  for (int p = 1; p <= 4; ++p) model().points[p].position.x += 2;  // wholly at x > 0
  model().faces[1].material = 5;
  begin({1, 2, 3, 4});
  runEdit("MirrorItem");
  ASSERT_EQ(model().pointCount, 8);
  ASSERT_EQ(model().lineCount, 8);
  ASSERT_EQ(model().faceCount, 2);
  for (int p = 1; p <= 4; ++p) {
    EXPECT_EQ(model().points[p].mirror, p + 4);
    EXPECT_EQ(model().points[p + 4].mirror, p);
    EXPECT_EQ(position(p + 4), VECTOR(-position(p).x, position(p).y, position(p).z));
    EXPECT_EQ(model().points[p + 4].state, kStateSelected);
  }
  const FACE& copy = model().faces[2];
  EXPECT_EQ(copy.corners, (std::array<int32_t, 4>{5, 8, 7, 6}));
  EXPECT_EQ(copy.material, 5);
  EXPECT_EQ(copy.state, kStateSelected);
  EXPECT_EQ(copy.uv[1], model().faces[1].uv[3]);
  // Both faces look the same way along x mirrored: their normals mirror.
  EXPECT_FLOAT_EQ(copy.normal.z, model().faces[1].normal.z);
  std::string reason;
  ASSERT_TRUE(ValidateModel(model(), &reason, true)) << reason;

  ResetUndo(*document);
  runEdit("MirrorItem");
  EXPECT_EQ(model().pointCount, 8);
  EXPECT_EQ(model().lineCount, 8);
  EXPECT_EQ(model().faceCount, 2);
}

TEST_F(Mirror, CornersOnThePlaneAreSharedWithTheCopy) {
  testing::UnitQuad(model());
  // Corners 1 and 4 at x = 0, their own partners.
  model().points[1].mirror = 1;
  model().points[4].mirror = 4;
  begin({1, 2, 3, 4});
  runEdit("MirrorItem");
  EXPECT_EQ(model().pointCount, 6);
  EXPECT_EQ(model().lineCount, 7);  // 4-1 is its own mirror
  ASSERT_EQ(model().faceCount, 2);
  const std::set<int32_t> corners(model().faces[2].corners.begin(), model().faces[2].corners.end());
  EXPECT_EQ(corners, (std::set<int32_t>{1, 4, 5, 6}));
}

TEST_F(Mirror, UnmirrorClearsBothPointsOfAPair) {
  testing::MirroredPair(model());
  begin({1});
  runEdit("UnMirrorItem");
  EXPECT_EQ(model().points[1].mirror, 0);
  EXPECT_EQ(model().points[2].mirror, 0);
}

TEST_F(Mirror, ReflectExchangesXAboutThePivotAndKeepsPartnersInStep) {
  ClearModel(model());
  SetPoint(model(), 1, 3, 0, 0, 0, 0);
  SetPoint(model(), 2, -1, 1, 0, 0, 0);
  SetPoint(model(), 3, 5, 2, 0, 0, 4);  // unselected, partner of 4
  SetPoint(model(), 4, -5, 2, 0, 0, 3);
  model().pointCount = 4;
  SetLine(model(), 1, 1, 2, 0);
  SetLine(model(), 2, 2, 4, 0);
  SetLine(model(), 3, 3, 4, 0);
  model().lineCount = 3;
  begin({1, 2, 4});
  // Pivot x = (3 - 1 - 5) / 3 = -1: 3 -> -5, -1 -> -1, -5 -> 3.
  runEdit("XReflectItem");
  EXPECT_FLOAT_EQ(position(1).x, -5);
  EXPECT_FLOAT_EQ(position(2).x, -1);
  EXPECT_FLOAT_EQ(position(4).x, 3);
  EXPECT_FLOAT_EQ(position(3).x, -3);  // the image of its reflected partner
  EXPECT_FLOAT_EQ(position(1).y, 0);

  // Two points: their x values trade places.
  testing::MirroredPair(model());
  model().points[1].mirror = model().points[2].mirror = 0;
  model().points[1].position.x = 3;
  begin({1, 2});
  runEdit("XReflectItem");
  EXPECT_FLOAT_EQ(position(1).x, 1);
  EXPECT_FLOAT_EQ(position(2).x, 3);
}

TEST_F(Mirror, ReflectRewindsTheSelectedSurfaces) {
  testing::UnitQuad(model());
  begin({1, 2, 3, 4});
  model().faces[1].state = kStateSelected;
  runEdit("YReflectItem");
  EXPECT_EQ(model().faces[1].corners, (std::array<int32_t, 4>{1, 4, 3, 2}));
  EXPECT_FLOAT_EQ(position(1).y, 1);
  EXPECT_FLOAT_EQ(position(4).y, 0);
  EXPECT_GT(model().faces[1].normal.z, 0.99f);  // still facing the same way
}

TEST_F(Mirror, MirroringAFullTorusIsRefusedUntouched) {
  testing::QuadTorus(model(), 99, 101);
  for (int p = 1; p <= model().pointCount; ++p) model().points[p].state = kStateSelected;
  begin();
  EXPECT_EQ(refuse("MirrorItem"), kTableFullText);
}

}  // namespace
}  // namespace vexal
