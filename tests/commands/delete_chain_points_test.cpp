// Delete Vertices On The Edge.
#include <gtest/gtest.h>

#include <cmath>

#include "commands/command_fixture.h"
#include "support/test_models.h"
#include "symmetric_models.h"

namespace vexal {
namespace {

using testing::CommandFixture;

class ChainPoints : public CommandFixture {
 protected:
  // Free lines joining the given points in order, on points 1..count laid
  // out on a circle.
  void chain(int count, std::initializer_list<std::pair<int, int>> lines) {
    load([count, lines](Model& m) {
      ClearModel(m);
      for (int p = 1; p <= count; ++p) {
        const float angle = static_cast<float>(p) * 0.7f;
        SetPoint(m, p, std::cos(angle), std::sin(angle), 0, 0, 0);
      }
      m.pointCount = count;
      for (auto [a, b] : lines) {
        ++m.lineCount;
        SetLine(m, m.lineCount, a, b, 0);
      }
    });
  }
};

TEST_F(ChainPoints, TheMiddleOfAPolyLineGoesAndItsEndsAreJoined) {
  chain(3, {{1, 2}, {2, 3}});
  select({2});
  run("DeleteLinePointItem");
  ASSERT_EQ(model().pointCount, 2);
  ASSERT_EQ(model().lineCount, 1);
  EXPECT_EQ(model().lines[1].a, 1);
  EXPECT_EQ(model().lines[1].b, 2);
  EXPECT_EQ(document->scene.selectedCount, 0);
}

TEST_F(ChainPoints, ARunOfSelectedPointsFoldsIntoOneLine) {
  chain(5, {{1, 2}, {2, 3}, {3, 4}, {4, 5}});
  select({2, 3, 4});
  run("DeleteLinePointItem");
  ASSERT_EQ(model().pointCount, 2);
  ASSERT_EQ(model().lineCount, 1);
  EXPECT_EQ(model().points[2].position, VECTOR(std::cos(3.5f), std::sin(3.5f), 0));
}

TEST_F(ChainPoints, BranchPointsAndSurfaceCornersStay) {
  chain(4, {{1, 2}, {1, 3}, {1, 4}});
  select({1});
  run("DeleteLinePointItem");
  EXPECT_EQ(model().pointCount, 4);
  EXPECT_EQ(model().lineCount, 3);

  load(testing::UnitQuad);
  select({2});
  run("DeleteLinePointItem");
  EXPECT_EQ(model().pointCount, 4);
  EXPECT_EQ(model().faceCount, 1);
}

TEST_F(ChainPoints, AClosedLoopKeepsTwoPointsAndOneLine) {
  chain(4, {{1, 2}, {2, 3}, {3, 4}, {4, 1}});
  selectAll();
  run("DeleteLinePointItem");
  EXPECT_EQ(model().pointCount, 2);
  ASSERT_EQ(model().lineCount, 1);
  EXPECT_NE(model().lines[1].a, model().lines[1].b);
}

TEST_F(ChainPoints, TheMirrorImageOfTheSelectionGoesToo) {
  chain(6, {{1, 2}, {2, 3}, {4, 5}, {5, 6}});
  model().points[2].mirror = 5;
  model().points[5].mirror = 2;
  select({2});
  run("DeleteLinePointItem");
  EXPECT_EQ(model().pointCount, 4);
  EXPECT_EQ(model().lineCount, 2);
}

}  // namespace
}  // namespace vexal
