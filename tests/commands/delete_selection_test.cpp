// Delete and Delete Faces.
#include <gtest/gtest.h>

#include <random>

#include "commands/delete_selection.h"
#include "support/test_models.h"
#include "commands/command_fixture.h"
#include "symmetric_models.h"

namespace vexal {
namespace {

using testing::CommandFixture;

class Delete : public CommandFixture {};

TEST_F(Delete, AMirroredPointGoesWithItsPartnerAndAllThatRestsOnThem) {
  load(testing::SymmetricStrip);
  select({1});
  run("DeleteItem");
  // Left: the points on the plane and the two upper corners, joined by the
  // lines 3-6, 6-4 and 6-5 (renumbered 1-4, 4-2 and 4-3).
  ASSERT_EQ(model().pointCount, 4);
  EXPECT_EQ(model().lineCount, 3);
  EXPECT_EQ(model().faceCount, 0);
  EXPECT_EQ(model().points[1].position, VECTOR(0, 0, 0));
  EXPECT_EQ(model().points[2].mirror, 3);  // the upper corners stay partners
  EXPECT_EQ(model().points[1].mirror, 1);
  EXPECT_EQ(document->scene.selectedCount, 0);
}

TEST_F(Delete, ASelectedLineTakesItsMirrorLineAndTheSurfacesOnIt) {
  load(testing::SymmetricStrip);
  // Select line 1-4 alone (the points stay unselected).
  const int32_t line = FindLine(model(), 1, 4);
  ASSERT_NE(line, 0);
  model().lines[line < 0 ? -line : line].state = kStateSelected;
  RefreshSelection(*document);
  PushUndo(*document, 1);
  run("DeleteItem");
  // Both quads rest on 1-4 or its mirror 2-5; their other lines and all
  // points stay, since each is still on a line.
  EXPECT_EQ(model().pointCount, 6);
  EXPECT_EQ(model().lineCount, 5);
  EXPECT_EQ(model().faceCount, 0);
}

TEST_F(Delete, FreePointsGoButCornersOfSurvivingSurfacesWithoutLinesStay) {
  checkLines = false;
  load([](Model& m) {
    testing::UnitQuad(m);
    // The quad's lines are gone (references 0); two free points, one
    // selected later.
    m.lineCount = 0;
    for (int32_t& r : m.faces[1].lines) r = 0;
    SetPoint(m, 5, 5, 5, 5, 0, 0);
    SetPoint(m, 6, 6, 6, 6, 0, 0);
    m.pointCount = 6;
  });
  select({6});
  run("DeleteItem");
  EXPECT_EQ(model().pointCount, 4);
  ASSERT_EQ(model().faceCount, 1);
  EXPECT_EQ(model().faces[1].corners, (std::array<int32_t, 4>{1, 2, 3, 4}));
}

TEST_F(Delete, DeleteFacesOfAClosedBoxKeepsPointsAndLines) {
  load(testing::ClosedCube);
  selectAll();
  run("DeleteSurfaceItem");
  EXPECT_EQ(model().pointCount, 8);
  EXPECT_EQ(model().lineCount, 12);
  EXPECT_EQ(model().faceCount, 0);
}

TEST_F(Delete, DeleteFacesTakesSurfacesWhoseCornersAreAllSelected) {
  load(testing::ClosedCube);
  select({1, 2, 3, 4});  // the bottom
  run("DeleteSurfaceItem");
  EXPECT_EQ(model().faceCount, 5);
  for (int s = 1; s <= 5; ++s) {
    int selectedCorners = 0;
    for (int32_t c : model().faces[s].corners) selectedCorners += model().points[c].state == 1;
    EXPECT_LT(selectedCorners, 4) << s;
  }
}

TEST_F(Delete, RandomSelectionsOfRandomModelsLeaveValidModels) {
  checkLines = false;
  std::mt19937 random(14);
  for (int round = 0; round < 20; ++round) {
    load([&random](Model& m) {
      testing::RandomModelOptions options;
      options.allowDegenerate = false;
      testing::RandomModel(m, random, options);
      RelinkFaces(m);
    });
    for (int p = 1; p <= model().pointCount; ++p) {
      if (random() % 5 == 0) model().points[p].state = kStateSelected;
    }
    RefreshSelection(*document);
    PushUndo(*document, 1);
    if (document->scene.selectedCount == 0) continue;
    SCOPED_TRACE(round);
    run("DeleteItem");
    for (int p = 1; p <= model().pointCount; ++p) {
      EXPECT_NE(model().points[p].state, kStateSelected);
    }
  }
}

}  // namespace
}  // namespace vexal
