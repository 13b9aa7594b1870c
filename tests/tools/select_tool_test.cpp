// The Select and Lasso tools driven by presses, moves and releases: clicks
// with modifier keys, rectangles and lassos, and the undo steps they leave.
#include <gtest/gtest.h>

#include <random>

#include "model/maintenance.h"
#include "support/test_models.h"
#include "tools/picking.h"
#include "tools/select_tool.h"
#include "tools/tool_fixture.h"

namespace vexal {
namespace {

constexpr int kShift = kShiftKey, kCtrl = kCtrlKey;
constexpr MouseButton kLeft = MouseButton::kLeft;
constexpr MouseButton kRight = MouseButton::kRight;

class Selecting : public testing::ToolTest {
 protected:
  // The unit quad: points at pixels (200,150) (269,150) (269,80) (200,80).
  void SetUp() override {
    ToolTest::SetUp();
    testing::UnitQuad(model());
    Base();
  }
  int selected(int point) { return model().points[point].state == kStateSelected ? 1 : 0; }
  int pushes() { return document->undo.undoDepth; }
};

TEST_F(Selecting, ClicksSetClearAndToggleWithoutUndoSteps) {
  clickPoint(1);
  EXPECT_EQ(selected(1), 1);
  clickPoint(2);
  EXPECT_EQ(selected(1), 0) << "a plain click selects only what it hits";
  EXPECT_EQ(selected(2), 1);
  clickPoint(1, kShift);
  clickPoint(2, kShift);
  EXPECT_EQ(selected(1) + selected(2), 2) << "Shift adds and keeps";
  clickPoint(2, kShift | kCtrl);
  EXPECT_EQ(selected(2), 0) << "Shift+Ctrl toggles";
  clickPoint(2, kShift | kCtrl);
  EXPECT_EQ(selected(2), 1);
  clickPoint(1, kCtrl);
  EXPECT_EQ(selected(1), 0) << "Ctrl clears";
  EXPECT_EQ(pushes(), 0);
  // A click on the middle of an edge selects the line, whose ends follow.
  const Pixel a = pixelOf(1), b = pixelOf(2);
  click((a.x + b.x) / 2, a.y);
  EXPECT_EQ(model().lines[1].state, kStateSelected);
  EXPECT_EQ(document->scene.selectedCount, 2);
  EXPECT_EQ(mode().state, 0) << "no region started";
}

TEST_F(Selecting, RectanglesSelectStrictlyInsideByTheirOwnModifierRules) {
  // Points 1 and 4 lie on x = 200: a rectangle from x = 200 leaves them out.
  drag(0, 200, 60, 300, 170);
  EXPECT_EQ(selected(1) + selected(2) + selected(3) + selected(4), 2);
  EXPECT_EQ(selected(2) + selected(3), 2);
  EXPECT_EQ(pushes(), 1);
  EXPECT_TRUE(document->rubber.empty()) << "the rubber rectangle is gone";
  // Shift toggles inside and keeps outside.
  drag(kShift, 190, 60, 240, 170);
  EXPECT_EQ(selected(1) + selected(4), 2);
  drag(kShift, 190, 60, 300, 170);
  EXPECT_EQ(selected(1) + selected(2) + selected(3) + selected(4), 0) << "all four toggled off";
  // Shift+Ctrl sets inside; Ctrl clears inside; both keep what is outside.
  drag(kShift | kCtrl, 190, 60, 300, 170);
  EXPECT_EQ(document->scene.selectedCount, 4);
  drag(kCtrl, 300, 170, 240, 60);
  EXPECT_EQ(selected(2) + selected(3), 0);
  EXPECT_EQ(selected(1) + selected(4), 2);
  const int before = pushes();
  // A plain rectangle around nothing clears all and records nothing.
  drag(0, 10, 10, 30, 30);
  EXPECT_EQ(document->scene.selectedCount, 0);
  EXPECT_EQ(pushes(), before);
}

TEST_F(Selecting, HiddenPointsStayHiddenAndARightPressEndsTheRegion) {
  model().points[3].state = kStateHidden;
  drag(0, 150, 40, 350, 200);
  EXPECT_EQ(model().points[3].state, kStateHidden);
  EXPECT_EQ(document->scene.selectedCount, 3);
  const int before = pushes();
  press(kLeft, 0, 10, 10);
  move(350, 250);
  press(kRight, 0, 350, 250);
  EXPECT_EQ(mode().state, 0);
  release(kLeft, 350, 250);
  EXPECT_EQ(document->scene.selectedCount, 3) << "the cancelled region changed nothing";
  EXPECT_EQ(pushes(), before);
}

TEST_F(Selecting, ARegionAfterUndoAndRedoGivesTheSameModel) {
  const Model before = model();
  drag(0, 150, 40, 350, 200);
  const Model after = model();
  StepUndo(*document, -1);
  testing::ExpectSameModel(model(), before);
  StepUndo(*document, 1);
  testing::ExpectSameModel(model(), after);
  expectValid();
}

TEST_F(Selecting, LassoAroundPointsAndASingleShortMoveSelectsNothing) {
  SetTool(*document, kToolLasso);
  // A square lasso around points 2 and 3 only.
  press(kLeft, 0, 240, 60);
  for (auto [x, y] : {std::pair{300, 60}, {300, 170}, {240, 170}}) move(x, y);
  ASSERT_NE(RunningLasso(*document), nullptr);
  EXPECT_EQ(RunningLasso(*document)->count, 3);
  release(kLeft, 240, 170);
  EXPECT_EQ(selected(1) + selected(4), 0);
  EXPECT_EQ(selected(2) + selected(3), 2);
  // One short move: three slots after closing, no polygon; a plain lasso
  // then clears everything.
  press(kLeft, 0, 100, 100);
  move(400, 300);
  release(kLeft, 400, 300);
  EXPECT_EQ(document->scene.selectedCount, 0);
}

TEST_F(Selecting, ASelfCrossingLassoHoldsBothLobesAndStopsGrowingAt509) {
  SetTool(*document, kToolLasso);
  // A bow tie: its crossing lies between points 1 and 2; each lobe holds
  // two points.
  press(kLeft, 0, 170, 40);
  for (auto [x, y] : {std::pair{300, 190}, {300, 40}, {170, 190}}) move(x, y);
  release(kLeft, 170, 190);
  EXPECT_EQ(document->scene.selectedCount, 4);

  press(kLeft, 0, 100, 100);
  for (int k = 0; k < 600; ++k) move(100 + k % 50, 100 + k / 50);
  const LassoBuffer* lasso = RunningLasso(*document);
  ASSERT_NE(lasso, nullptr);
  EXPECT_EQ(lasso->count, kLassoMaxCount);
  EXPECT_EQ(lasso->vertices[kLassoMaxCount][0], 100 + 599 % 50);
  release(kLeft, 100, 100);
  EXPECT_EQ(mode().state, 0);
}

TEST_F(Selecting, TheLassoTakesSurfacesOnlyWhenAllowed) {
  SetTool(*document, kToolLasso);
  const Pixel centre = pixel(VECTOR(0.5f, 0.5f, 0));
  click(centre.x, centre.y);
  EXPECT_EQ(model().faces[1].state, kStateNormal);
  workspace.settings.UseSelectFace = 1;
  click(centre.x, centre.y);
  EXPECT_EQ(model().faces[1].state, kStateSelected);
  EXPECT_EQ(document->scene.selectedCount, 4);
}

TEST_F(Selecting, ADoubleClickExpandsTheSelectionOnceAndStartsNoRegion) {
  testing::QuadGrid(model(), 3, 2);
  Base();
  model().points[1].state = kStateSelected;
  RefreshSelection(*document);
  const int before = pushes();
  const Pixel p = pixelOf(1);
  press(kLeft, 0, p.x, p.y);
  release(kLeft, p.x, p.y);
  doubleClick(kLeft, p.x, p.y);
  EXPECT_EQ(mode().state, 0);
  release(kLeft, p.x, p.y);
  // From a corner point the border grows: the ten border points.
  EXPECT_EQ(document->scene.selectedCount, 10);
  EXPECT_EQ(pushes(), before + 1);
}

// The lasso's crossing count, literally: every edge against the segment.
std::vector<uint8_t> LiteralLasso(const std::vector<VECTOR>& projected,
                                  const std::vector<std::array<int16_t, 2>>& polygon) {
  std::vector<uint8_t> inside(projected.size(), 0);
  if (polygon.size() <= 3) return inside;
  for (size_t p = 1; p < projected.size(); ++p) {
    const double px = ScreenInt(projected[p].x), py = ScreenInt(projected[p].y);
    int crossings = 0;
    for (size_t i = 1; i < polygon.size(); ++i) {
      const double ax = -1000, ay = -1000;
      const double cx = polygon[i - 1][0], cy = polygon[i - 1][1];
      const double dx = polygon[i][0], dy = polygon[i][1];
      const double rx = px - ax, ry = py - ay, sx = dx - cx, sy = dy - cy;
      const double denominator = rx * sy - ry * sx;
      if (denominator == 0) continue;
      const double t = ((cx - ax) * sy - (cy - ay) * sx) / denominator;
      const double u = ((cx - ax) * ry - (cy - ay) * rx) / denominator;
      crossings += t >= 0 && t <= 1 && u >= 0 && u <= 1;
    }
    inside[p] = crossings % 2;
  }
  return inside;
}

TEST_F(Selecting, TheFastLassoAgreesWithTheLiteralCrossingCount) {
  std::mt19937 random(12);
  Model& m = model();
  // Points on a coarse pixel grid, so that segments run through lasso
  // vertices and along edges as often as possible.
  ClearModel(m);
  std::uniform_int_distribution<int> coarse(-4, 4);
  for (int p = 1; p <= 3000; ++p) {
    SetPoint(m, p, 0.25f * static_cast<float>(coarse(random)), 0.25f * static_cast<float>(coarse(random)),
             0, 0, 0);
  }
  m.pointCount = 3000;
  const std::vector<VECTOR> projected = ProjectAllPoints(*document);
  std::uniform_int_distribution<int> grid(0, 16);
  for (int trial = 0; trial < 200; ++trial) {
    const int n = 3 + trial % 40;
    std::vector<std::array<int16_t, 2>> polygon;
    for (int k = 0; k < n; ++k) {
      // Pixels on the points' grid (17.5 pixels a step around 200, 150),
      // and now and then far outside or left of the corner.
      int x = 60 + grid(random) * 17, y = 10 + grid(random) * 17;
      if (trial % 17 == 0 && k == 1) x = -1200;
      polygon.push_back({static_cast<int16_t>(x), static_cast<int16_t>(y)});
    }
    polygon.push_back(polygon[0]);
    ASSERT_EQ(PointsInLasso(*document, polygon), LiteralLasso(projected, polygon)) << trial;
  }
}

}  // namespace
}  // namespace vexal
