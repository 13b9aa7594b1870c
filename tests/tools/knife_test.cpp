// The knife drag and the Shift+Alt click on a line.
#include "tools/knife.h"

#include <gtest/gtest.h>

#include "model/maintenance.h"
#include "model/table_room.h"
#include "support/test_models.h"
#include "tools/tool_fixture.h"

namespace vexal {
namespace {

constexpr int kShiftAlt = kShiftKey | kAltKey;

class Knife : public testing::ToolTest {
 protected:
  int depth() const { return document->undo.undoDepth; }
};

TEST_F(Knife, ACutAcrossAQuadSplitsTwoEdgesAndTheQuad) {
  testing::UnitQuad(model());
  Base();
  const Model before = model();
  // Across the middle, from left of the quad to right of it.
  const Pixel left = pixel(VECTOR(-0.5f, 0.5f, 0)), right = pixel(VECTOR(1.5f, 0.5f, 0));
  drag(kShiftAlt, left.x, left.y, right.x, right.y);
  EXPECT_EQ(mode().tool, kGestureKnife);
  EXPECT_EQ(mode().state, 0);
  EXPECT_TRUE(document->rubber.empty());
  EXPECT_EQ(model().pointCount, 6);
  EXPECT_EQ(model().faceCount, 2);
  EXPECT_EQ(model().lineCount, 7) << "two pieces and the line across";
  for (int s = 1; s <= 2; ++s) EXPECT_TRUE(IsQuad(model(), s));
  EXPECT_EQ(depth(), 1);
  std::string reason;
  EXPECT_TRUE(ValidateModel(model(), &reason, true)) << reason;
  const Model after = model();
  StepUndo(*document, -1);
  testing::ExpectSameModel(model(), before);
  StepUndo(*document, 1);
  testing::ExpectSameModel(model(), after);
}

TEST_F(Knife, ACutThatCrossesNothingLeavesNoStep) {
  testing::UnitQuad(model());
  Base();
  const Model before = model();
  drag(kShiftAlt, 10, 10, 60, 40);
  testing::ExpectSameModel(model(), before);
  EXPECT_EQ(depth(), 0);
  // Hidden lines are not cut either.
  for (int l = 1; l <= 4; ++l) model().lines[l].state = kStateHidden;
  const Pixel left = pixel(VECTOR(-0.5f, 0.5f, 0)), right = pixel(VECTOR(1.5f, 0.5f, 0));
  drag(kShiftAlt, left.x, left.y, right.x, right.y);
  EXPECT_EQ(model().pointCount, 4);
  EXPECT_EQ(depth(), 0);
}

TEST_F(Knife, ACutAcrossAMirroredPairMakesPartners) {
  SetDefaultObject(model());
  Base();
  // Both squares span x in [-1, 1]; a horizontal cut crosses the four
  // vertical edges.
  const Pixel left = pixel(VECTOR(-1.5f, 0.2f, 0)), right = pixel(VECTOR(1.5f, 0.2f, 0));
  drag(kShiftAlt, left.x, left.y, right.x, right.y);
  EXPECT_EQ(model().pointCount, 12);
  EXPECT_EQ(model().faceCount, 4);
  for (int p = 9; p <= 12; ++p) {
    const VERT& point = model().points[p];
    ASSERT_NE(point.mirror, 0);
    EXPECT_FLOAT_EQ(model().points[point.mirror].position.x, -point.position.x);
    EXPECT_NEAR(point.position.y, 0.2f, 0.02f);
  }
  std::string reason;
  EXPECT_TRUE(ValidateModel(model(), &reason, true)) << reason;
}

TEST_F(Knife, AShiftAltClickOnALineSplitsItAndOnEmptySpaceStartsTheDrag) {
  testing::UnitQuad(model());
  Base();
  const Pixel a = pixelOf(1), b = pixelOf(2);
  click((a.x + b.x) / 2, a.y, kShiftAlt);
  EXPECT_EQ(mode().tool, kToolSelect);
  EXPECT_EQ(model().pointCount, 5);
  EXPECT_NEAR(model().points[5].position.x, 0.5f, 0.02f);
  // The quad with one new point becomes three triangles.
  EXPECT_EQ(model().faceCount, 3);
  EXPECT_EQ(depth(), 1);
  std::string reason;
  EXPECT_TRUE(ValidateModel(model(), &reason, true)) << reason;
  press(MouseButton::kLeft, kShiftAlt, 20, 20);
  EXPECT_EQ(mode().tool, kGestureKnife);
  release(MouseButton::kLeft, 20, 20);
  // A click on a point does not split the line it ends.
  click(a.x, a.y, kShiftAlt);
  EXPECT_EQ(model().pointCount, 5);
}

TEST_F(Knife, ACutThatWouldPassTheLimitIsRefused) {
  testing::FullSheet(model());
  Base();
  const Model before = model();
  drag(kShiftAlt, 100, 150, 300, 151);
  testing::ExpectSameModel(model(), before);
  EXPECT_EQ(observer.status, kTableFullText);
  EXPECT_EQ(depth(), 0);
}

}  // namespace
}  // namespace vexal
