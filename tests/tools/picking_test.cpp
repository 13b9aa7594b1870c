// Picking points, lines, surfaces and the handle under the pointer, and the
// rules that leave one of them when several are found.
#include <gtest/gtest.h>

#include "model/maintenance.h"
#include "support/test_models.h"
#include "tools/picking.h"
#include "tools/tool_fixture.h"

namespace vexal {
namespace {

class Picking : public testing::ToolTest {};

TEST_F(Picking, PointsWithinThreePixelsSelectedFirstThenNearest) {
  Model& m = model();
  // Two points on one pixel (an orthographic front view ignores z), one
  // behind the other, and a third far away.
  SetPoint(m, 1, 0, 0, -1, 0, 0);
  SetPoint(m, 2, 0, 0, 1, 0, 0);
  SetPoint(m, 3, 2, 1, 0, 0, 0);
  m.pointCount = 3;
  const Pixel p = pixelOf(1);
  EXPECT_EQ(PickPoint(*document, p.x, p.y), 2) << "the nearer one";
  EXPECT_EQ(PickPoint(*document, p.x + 3, p.y - 3), 2) << "three pixels off";
  EXPECT_EQ(PickPoint(*document, p.x + 4, p.y), 0) << "four pixels off";
  m.points[1].state = kStateSelected;
  EXPECT_EQ(PickPoint(*document, p.x, p.y), 1) << "selected beats nearer";
  m.points[1].state = kStateHidden;
  m.points[2].state = kStateHidden;
  EXPECT_EQ(PickPoint(*document, p.x, p.y), 0) << "hidden points are never picked";
}

TEST_F(Picking, LinesNearTheSegmentInsideTheWidenedBox) {
  testing::UnitQuad(model());
  // Line 1 runs from (0,0) to (1,0): the bottom edge.
  const Pixel a = pixelOf(1);
  const Pixel b = pixelOf(2);
  const int mx = (a.x + b.x) / 2;
  EXPECT_EQ(PickLine(*document, mx, a.y), 1);
  EXPECT_EQ(PickLine(*document, mx, a.y + 2), 1);
  EXPECT_EQ(PickLine(*document, mx, a.y + 4), 0) << "four pixels away";
  // The right end lies at 269.98 pixels: the box ends short of 273.98.
  EXPECT_EQ(PickLine(*document, b.x + 4, a.y), 1) << "inside the box widened by 4";
  EXPECT_EQ(PickLine(*document, b.x + 5, a.y), 0);
  // Where two lines are close, the selected one wins.
  const Pixel c = pixelOf(3);
  model().lines[2].state = kStateSelected;  // (1,0)-(1,1), the right edge
  EXPECT_EQ(PickLine(*document, b.x, b.y - 1), 2);
  model().lines[2].state = kStateHidden;
  EXPECT_EQ(PickLine(*document, b.x, (b.y + c.y) / 2), 0);
}

TEST_F(Picking, SurfacesTheNearestOfThoseHoldingThePointer) {
  Model& m = model();
  testing::UnitQuad(m);
  // A second quad in front of the first (z = 1), same outline.
  for (int k = 0; k < 4; ++k) {
    const VECTOR p = m.points[k + 1].position;
    SetPoint(m, k + 5, p.x, p.y, 1, 0, 0);
  }
  m.pointCount = 8;
  SetFace(m, 2, 5, 6, 7, 8, 0, 0);
  m.faceCount = 2;
  const Pixel centre = pixel(VECTOR(0.5f, 0.5f, 0));
  const Pixel lower = pixel(VECTOR(0.8f, 0.1f, 0));
  EXPECT_EQ(PickSurface(*document, centre.x + 1, centre.y + 3), 2);
  EXPECT_EQ(PickSurface(*document, lower.x, lower.y), 2);
  // A triangle is tested only as itself.
  SetFace(m, 2, 5, 6, 7, 5, 0, 0);
  const Pixel upperLeft = pixel(VECTOR(0.2f, 0.8f, 0));
  EXPECT_EQ(PickSurface(*document, upperLeft.x, upperLeft.y), 1);
  EXPECT_EQ(PickSurface(*document, lower.x, lower.y), 2);
  // A quad folded over itself is in both of its halves and is not picked.
  m.faceCount = 1;
  SetFace(m, 1, 1, 3, 2, 4, 0, 0);
  EXPECT_EQ(PickSurface(*document, centre.x + 2, centre.y + 5), 0);
}

TEST_F(Picking, ResolutionPrefersSelectionThenOwnCornersThenDepth) {
  Model& m = model();
  testing::UnitQuad(m);
  SetPoint(m, 5, 0.5f, 0.5f, 2, 0, 0);  // in front of everything
  SetPoint(m, 6, 0.5f, 0.5f, -2, 0, 0);  // behind
  m.pointCount = 6;
  Picks picks = ResolvePicks(*document, {1, 1, 0});
  EXPECT_EQ(picks.point, 1) << "an end of the line";
  EXPECT_EQ(picks.line, 0);
  picks = ResolvePicks(*document, {6, 1, 0});
  EXPECT_EQ(picks.point, 0) << "the line is nearer";
  picks = ResolvePicks(*document, {5, 1, 0});
  EXPECT_EQ(picks.point, 5) << "the point is nearer";
  m.lines[1].state = kStateSelected;
  EXPECT_EQ(ResolvePicks(*document, {5, 1, 0}).point, 0) << "a selected line beats a point";
  m.points[5].state = kStateSelected;
  EXPECT_EQ(ResolvePicks(*document, {5, 1, 0}).line, 0) << "both selected: depth";
  EXPECT_EQ(ResolvePicks(*document, {6, 0, 1}).surface, 1) << "the surface is nearer";
  EXPECT_EQ(ResolvePicks(*document, {3, 0, 1}).surface, 0) << "its own corner";
  EXPECT_EQ(ResolvePicks(*document, {0, 2, 1}).surface, 0) << "its own edge";
  picks = ResolvePicks(*document, {6, 1, 1});
  EXPECT_EQ(picks.point + picks.line + picks.surface, picks.line) << "at most one is left";
}

TEST_F(Picking, TheHandleOnlyInTheTransformToolsWithASelection) {
  testing::UnitQuad(model());
  model().points[1].state = kStateSelected;
  RefreshSelection(*document);
  const Pixel centre = pixel(document->scene.handle);
  EXPECT_EQ(PickHandle(*document, centre.x, centre.y), kHandleNone) << "Select tool";
  mode().tool = kToolMove;
  EXPECT_EQ(PickHandle(*document, centre.x + 9, centre.y - 9), kHandleCentre);
  // The arms are 80 pixels long; look at 40 pixels along each one as drawn.
  const float length = PixelSize(*document, ProjectPoint(*document, document->scene.handle, false).z) * 80;
  const VECTOR arms[3] = {VECTOR(length / 2, 0, 0), VECTOR(0, length / 2, 0), VECTOR(0, 0, length / 2)};
  for (int axis = 0; axis < 2; ++axis) {
    const Pixel at = pixel(document->scene.handle - arms[axis]);
    EXPECT_EQ(PickHandle(*document, at.x, at.y), kHandleX + axis) << axis;
  }
  document->scene.showHandle = 0;
  EXPECT_EQ(PickHandle(*document, centre.x, centre.y), kHandleNone);
}

}  // namespace
}  // namespace vexal
