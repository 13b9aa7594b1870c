// Subdivide Face on the edge-split machinery.
#include <gtest/gtest.h>

#include "commands/command_fixture.h"
#include "model/table_room.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using testing::CommandFixture;

class Subdivide : public CommandFixture {};

TEST_F(Subdivide, SubdivideOneQuadOfAGridAlsoCutsItsNeighboursEdges) {
  load([](Model& m) { testing::QuadGrid(m, 3, 3); });
  // The middle quad: points 6, 7, 10, 11 of the 4 x 4 points.
  select({6, 7, 10, 11});
  run("SubDivideItem");
  EXPECT_EQ(model().pointCount, 16 + 4 + 1);
  // Every new edge point is a corner of the middle quad's pieces and of
  // the neighbour across its edge.
  for (int p = 17; p <= 20; ++p) {
    int corners = 0;
    for (int s = 1; s <= model().faceCount; ++s) {
      for (int j = 0; j < CornerCount(model(), s); ++j) corners += model().faces[s].corners[j] == p;
    }
    EXPECT_GE(corners, 3) << p;
  }
  // With a point but no surface selected nothing is split or recorded.
  DeselectAll(model());
  select({1});
  const int slot = document->undo.current;
  const int points = model().pointCount;
  EXPECT_TRUE(RunCommand("SubDivideItem", target).ok());
  EXPECT_EQ(document->undo.current, slot);
  EXPECT_EQ(model().pointCount, points);
}

TEST_F(Subdivide, AtTheLimitItIsRefusedUntouched) {
  // 9,999 quads and 19,998 lines: cutting every edge needs far more room.
  load([](Model& m) { testing::QuadTorus(m, 99, 101); });
  selectAll();
  EXPECT_EQ(refuse("SubDivideItem"), kTableFullText);
}

}  // namespace
}  // namespace vexal
