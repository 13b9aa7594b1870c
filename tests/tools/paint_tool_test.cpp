// The Paint, Spoit and Quad tools, driven as a user's strokes.
#include <gtest/gtest.h>

#include "model/maintenance.h"
#include "support/test_models.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_fixture.h"

namespace vexal {
namespace {

class PaintTools : public testing::ToolTest {
 protected:
  // Three unit quads in a row, material 0, seen from the front.
  void row() {
    testing::QuadGrid(model(), 3, 1);
    Base();
  }
  Pixel centreOf(int surface) {
    VECTOR sum;
    for (int32_t c : model().faces[surface].corners) sum += model().points[c].position;
    return pixel(sum * 0.25f);
  }
  int depth() const { return document->undo.undoDepth; }
};

TEST_F(PaintTools, AStrokeOverThreeSurfacesIsOneStepThatOneUndoTakesBack) {
  row();
  SetTool(*document, kToolPaint);
  document->scene.paletteIndex = 6;
  const Pixel a = centreOf(1), b = centreOf(2), c = centreOf(3);
  press(MouseButton::kLeft, 0, a.x, a.y);
  move(b.x, b.y);
  move(c.x, c.y);
  release(MouseButton::kLeft, c.x, c.y);
  for (int s = 1; s <= 3; ++s) EXPECT_EQ(model().faces[s].material, 6) << s;
  EXPECT_EQ(depth(), 1);
  StepUndo(*document, -1);
  for (int s = 1; s <= 3; ++s) EXPECT_EQ(model().faces[s].material, 0) << s;

  // Over surfaces that already have the entry: nothing is recorded.
  document->scene.paletteIndex = 0;
  press(MouseButton::kLeft, 0, a.x, a.y);
  move(c.x, c.y);
  release(MouseButton::kLeft, c.x, c.y);
  EXPECT_EQ(depth(), 0);
}

TEST_F(PaintTools, ARightPressDuringAStrokePutsTheColoursBack) {
  row();
  SetTool(*document, kToolPaint);
  document->scene.paletteIndex = 4;
  const Pixel a = centreOf(1), b = centreOf(2);
  press(MouseButton::kLeft, 0, a.x, a.y);
  move(b.x, b.y);
  EXPECT_EQ(model().faces[2].material, 4);
  press(MouseButton::kRight, 0, b.x, b.y);
  release(MouseButton::kLeft, b.x, b.y);
  EXPECT_EQ(model().faces[1].material, 0);
  EXPECT_EQ(model().faces[2].material, 0);
  EXPECT_EQ(depth(), 0);
}

TEST_F(PaintTools, SpoitTakesTheSurfacesEntryAndChangesNothingElse) {
  row();
  model().faces[3].material = 9;
  Base();
  SetTool(*document, kToolSpoit);
  const Pixel c = centreOf(3);
  press(MouseButton::kLeft, 0, c.x, c.y);
  release(MouseButton::kLeft, c.x, c.y);
  EXPECT_EQ(document->scene.paletteIndex, 9);
  EXPECT_EQ(depth(), 0);
}

TEST_F(PaintTools, QuadMergesATrianglePairAndItsMirrorImage) {
  // Two unit squares at x 1..2 and -2..-1, partners across x = 0, each
  // split into two triangles over its diagonal; materials 3 and 5.
  ClearModel(model());
  const float xs[4] = {1, 2, 2, 1}, ys[4] = {0, 0, 1, 1};
  for (int i = 0; i < 4; ++i) {
    SetPoint(model(), i + 1, xs[i], ys[i], 0, 0, i + 5);
    SetPoint(model(), i + 5, -xs[i], ys[i], 0, 0, i + 1);
  }
  model().pointCount = 8;
  SetFace(model(), 1, 1, 2, 3, 1, 3, 0);
  SetFace(model(), 2, 1, 3, 4, 1, 5, 0);
  SetFace(model(), 3, 5, 7, 6, 5, 3, 0);
  SetFace(model(), 4, 5, 8, 7, 5, 5, 0);
  model().faceCount = 4;
  CompactModel(model(), kCompactRebuildLines);
  Base();
  SetTool(*document, kToolQuad);
  const Pixel middle = pixel(VECTOR(1.5f, 0.5f, 0));
  press(MouseButton::kLeft, 0, middle.x, middle.y);
  release(MouseButton::kLeft, middle.x, middle.y);
  ASSERT_EQ(model().faceCount, 2);
  for (int s = 1; s <= 2; ++s) {
    EXPECT_TRUE(IsQuad(model(), s));
    EXPECT_EQ(model().faces[s].material, 3);
  }
  EXPECT_EQ(model().lineCount, 8);
  EXPECT_EQ(depth(), 1);
  expectValid();
  // On an edge of a quad nothing happens.
  const Pixel edge = pixel(VECTOR(1.5f, 0, 0));
  press(MouseButton::kLeft, 0, edge.x, edge.y);
  release(MouseButton::kLeft, edge.x, edge.y);
  EXPECT_EQ(model().faceCount, 2);
  EXPECT_EQ(depth(), 1);
}

}  // namespace
}  // namespace vexal
