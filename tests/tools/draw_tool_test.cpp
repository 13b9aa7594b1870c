// The Point and DPoint tools, as a user draws with them: strokes of clicks,
// closing on points, straightening, taking points back, the mirrored tool
// on and off the mirror plane, ending on a line, and the table limit.
#include "tools/draw_tool.h"

#include <gtest/gtest.h>

#include "model/maintenance.h"
#include "model/table_room.h"
#include "support/test_models.h"
#include "tools/navigation.h"
#include "tools/picking.h"
#include "tools/tool_fixture.h"

namespace vexal {
namespace {

constexpr int kShift = kShiftKey, kAlt = kAltKey;
constexpr MouseButton kRight = MouseButton::kRight;

class Drawing : public testing::ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    testing::UnitQuad(model());
    Base();
    SetTool(*document, kToolPoint);
  }
  void enter() {
    if (mode().state == 1) FinishPendingDraw(*document);
  }
  int depth() const { return document->undo.undoDepth; }
};

TEST_F(Drawing, ThreeClicksAndEnterMakeThreePointsTwoLinesOneStep) {
  click(50, 50);
  click(100, 60);
  click(150, 40);
  EXPECT_EQ(model().pointCount, 7);
  EXPECT_EQ(model().lines[model().lineCount].b, 0) << "the open rubber-band line";
  enter();
  EXPECT_EQ(model().pointCount, 7);
  EXPECT_EQ(model().lineCount, 6);
  EXPECT_EQ(model().lines[5].a, 5);
  EXPECT_EQ(model().lines[6].b, 7);
  EXPECT_EQ(depth(), 1);
  expectValid();
  // The first point lies on the plane through the target, later ones at
  // their predecessor's depth.
  EXPECT_EQ(model().points[5].position.z, 0.0f);
}

TEST_F(Drawing, OneClickThenEnterLeavesTheModelAsItWas) {
  const Model before = model();
  click(50, 50);
  enter();
  testing::ExpectSameModel(model(), before);
  EXPECT_EQ(depth(), 0);
}

TEST_F(Drawing, AStrokeClosedOnItsFirstPointMakesALoopOfFourAndUndoesWhole) {
  const Model before = model();
  click(50, 50);
  click(120, 50);
  click(120, 120);
  click(50, 120);
  const Pixel first = pixelOf(5);
  click(first.x, first.y);
  EXPECT_EQ(mode().state, 0) << "reaching a point ends the stroke";
  EXPECT_EQ(model().pointCount, 8);
  EXPECT_EQ(model().lineCount, 8);
  EXPECT_EQ(std::abs(FindLine(model(), 8, 5)), 8);
  EXPECT_EQ(model().faceCount, 1) << "the drawing tools make no surfaces";
  EXPECT_EQ(depth(), 1);
  expectValid();
  const Model after = model();
  StepUndo(*document, -1);
  testing::ExpectSameModel(model(), before);
  StepUndo(*document, 1);
  testing::ExpectSameModel(model(), after);
}

TEST_F(Drawing, AClosingLineThatExistsIsNotMadeTwice) {
  clickPoint(1);
  clickPoint(2);
  EXPECT_EQ(mode().state, 0);
  EXPECT_EQ(model().lineCount, 4);
  EXPECT_EQ(model().pointCount, 4);
  EXPECT_EQ(depth(), 1);
  expectValid();
}

TEST_F(Drawing, ADiagonalStrokeSplitsTheQuadIntoTwoTrianglesOfItsMaterial) {
  model().faces[1].material = 6;
  clickPoint(1);
  clickPoint(3);
  EXPECT_EQ(model().lineCount, 5);
  ASSERT_EQ(model().faceCount, 2);
  for (int s = 1; s <= 2; ++s) {
    EXPECT_FALSE(IsQuad(model(), s));
    EXPECT_EQ(model().faces[s].material, 6);
  }
  EXPECT_EQ(model().faces[1].corners, (std::array<int32_t, 4>{1, 2, 3, 1}));
  EXPECT_EQ(model().faces[2].corners, (std::array<int32_t, 4>{1, 3, 4, 1}));
  std::string reason;
  EXPECT_TRUE(ValidateModel(model(), &reason, true)) << reason;
}

TEST_F(Drawing, ShiftStraightensAgainstThePreviousPoint) {
  click(50, 50);
  click(160, 57, kShift);
  EXPECT_EQ(pixelOf(6).y, pixelOf(5).y) << "a horizontal segment";
  click(150, 170, kShift);
  EXPECT_EQ(pixelOf(7).x, pixelOf(6).x) << "a vertical segment";
  // The rubber band straightens the same way with Shift held.
  move(300, 175, kShift);
  EXPECT_EQ(mode().rubberY, pixelOf(7).y);
  // and snaps to a point under the pointer.
  const Pixel corner = pixelOf(3);
  move(corner.x + 2, corner.y - 1);
  EXPECT_EQ(mode().rubberX, corner.x);
  EXPECT_EQ(mode().rubberY, corner.y);
}

TEST_F(Drawing, ARightPressTakesBackOnePointThenTheWholeStroke) {
  const Model before = model();
  click(50, 50);
  click(100, 50);
  click(150, 50);
  press(kRight, 0, 150, 50);
  EXPECT_EQ(mode().state, 1);
  EXPECT_EQ(model().pointCount, 6);
  EXPECT_EQ(model().lineCount, 6);
  EXPECT_EQ(model().lines[6].a, 6);
  EXPECT_EQ(model().lines[6].b, 0) << "the previous segment is open again";
  click(100, 120);
  EXPECT_EQ(model().pointCount, 7);
  press(kRight, 0, 0, 0);
  press(kRight, 0, 0, 0);
  press(kRight, 0, 0, 0);
  EXPECT_EQ(mode().state, 0);
  testing::ExpectSameModel(model(), before);
  EXPECT_EQ(depth(), 0);
}

TEST_F(Drawing, ShiftAltOnALineEndsTheStrokeOnANewPointOfIt) {
  click(50, 50);
  const Pixel a = pixelOf(1), b = pixelOf(2);
  click((a.x + b.x) / 2, a.y, kShift | kAlt);
  EXPECT_EQ(mode().state, 0);
  EXPECT_EQ(mode().tool, kToolPoint);
  // Point 6 splits line 1; the quad on it is gone.
  EXPECT_EQ(model().pointCount, 6);
  EXPECT_NEAR(model().points[6].position.x, 0.5f, 0.02f);
  EXPECT_EQ(model().faceCount, 0);
  EXPECT_NE(FindLine(model(), 5, 6), 0);
  EXPECT_NE(FindLine(model(), 1, 6), 0);
  EXPECT_NE(FindLine(model(), 6, 2), 0);
  EXPECT_EQ(depth(), 1);
  expectValid();
}

TEST_F(Drawing, APressAtTheLimitIsRefusedAndChangesNothing) {
  testing::FullSheet(model());
  Base();
  const Model before = model();
  click(5, 5);
  EXPECT_EQ(mode().state, 0);
  EXPECT_EQ(observer.status, kTableFullText);
  testing::ExpectSameModel(model(), before);
  // With room for the stroke but not for one more point.
  model().lineCount = kMaxCount - 2;
  Base();
  model().pointCount = kMaxCount - 1;
  click(5, 5);
  EXPECT_EQ(mode().state, 1);
  observer.status.clear();
  click(15, 5);
  EXPECT_EQ(observer.status, kTableFullText);
  EXPECT_EQ(model().pointCount, kMaxCount);
  EXPECT_EQ(mode().state, 1) << "the stroke stays open";
}

TEST_F(Drawing, TheMirroredToolDrawsPartnersInAFrontView) {
  SetTool(*document, kToolDPoint);
  click(100, 60);
  click(150, 90);
  EXPECT_EQ(model().pointCount, 8);
  for (int p : {5, 7}) {
    EXPECT_EQ(model().points[p].mirror, p + 1);
    EXPECT_EQ(model().points[p + 1].mirror, p);
    EXPECT_EQ(model().points[p + 1].position.x, -model().points[p].position.x);
  }
  // The mirrored rubber band ends at the mirror of the pointer.
  move(120, 100);
  EXPECT_NEAR(mode().mirrorRubberX, 400 - 120, 1);
  EXPECT_EQ(mode().mirrorRubberY, 100);
  enter();
  EXPECT_EQ(model().lineCount, 6);
  EXPECT_NE(FindLine(model(), 5, 7), 0);
  EXPECT_NE(FindLine(model(), 6, 8), 0);
  expectValid();
}

TEST_F(Drawing, TheMirroredToolOnTheMirrorPlaneInASideView) {
  SetTool(*document, kToolDPoint);
  document->scene.angle.y = 90;
  click(180, 60);
  EXPECT_EQ(model().pointCount, 5);
  EXPECT_EQ(model().points[5].mirror, 5);
  EXPECT_EQ(model().points[5].position.x, 0.0f);
  click(220, 100);
  EXPECT_EQ(model().pointCount, 6);
  EXPECT_EQ(model().points[6].mirror, 6);
  enter();
  EXPECT_EQ(model().lineCount, 5) << "one segment on the plane, not two";
  EXPECT_NE(FindLine(model(), 5, 6), 0);
  expectValid();

  // Off the plane in the same view: from a point that is not on it, every
  // click makes a pair again.
  SetPoint(model(), 7, 1, 0.5f, 0, 0, 0);
  model().pointCount = 7;
  Base();
  clickPoint(7);
  EXPECT_EQ(model().pointCount, 8) << "the start point's mirror";
  click(240, 120);
  EXPECT_EQ(model().pointCount, 10);
  EXPECT_EQ(model().points[9].mirror, 10);
  enter();
  expectValid();
}

TEST_F(Drawing, TheMirroredToolTakesBackAPairOrAPlanePointThenTheWholeStroke) {
  SetTool(*document, kToolDPoint);
  const Model before = model();
  for (const bool side : {false, true}) {
    SCOPED_TRACE(side ? "side view" : "front view");
    document->scene.angle.y = side ? 90 : 0;
    click(180, 60);
    click(220, 100);
    ASSERT_EQ(model().pointCount, side ? 6 : 8);
    press(kRight, 0, 0, 0);
    EXPECT_EQ(mode().state, 1);
    EXPECT_EQ(model().pointCount, side ? 5 : 6) << "a plane point has no pair to take";
    EXPECT_EQ(model().lineCount, 6);
    for (int line : {5, 6}) {
      EXPECT_EQ(model().lines[line].b, 0) << line;
      // The first-side twin of a plane segment was marked; open, it is drawn again.
      EXPECT_EQ(model().lines[line].state, kStateNormal) << line;
    }
    EXPECT_EQ(model().lines[5].a, 5);
    EXPECT_EQ(model().lines[6].a, side ? 5 : 6);
    press(kRight, 0, 0, 0);
    EXPECT_EQ(mode().state, 0);
    testing::ExpectSameModel(model(), before);
    EXPECT_EQ(depth(), 0);
  }
}

// A segment on the mirror plane leaves its first-side twin marked for
// removal until the stroke ends; the twin lies exactly under the kept one
// and must never be what a Shift+Alt click lands on.
TEST_F(Drawing, ShiftAltOnTheStrokesOwnPlaneSegmentSplitsTheKeptLine) {
  ClearModel(model());
  Base();
  SetTool(*document, kToolDPoint);
  RotateViewBy(*document, workspace, 45, 0);
  RotateViewBy(*document, workspace, 45, 0);
  ASSERT_EQ(document->scene.angle.y, -90);
  click(180, 60);
  click(220, 100);
  ASSERT_EQ(model().lines[1].state, kStateRemoved);
  EXPECT_EQ(PickLine(*document, 200, 80), 2);
  click(200, 80, kShift | kAlt);
  EXPECT_EQ(mode().state, 0);
  // The segment gets a point on the plane, its own partner, and the stroke
  // ends there without a second line over the half it already has.
  EXPECT_EQ(model().pointCount, 3);
  EXPECT_EQ(model().lineCount, 2);
  for (int p = 1; p <= 3; ++p) EXPECT_EQ(model().points[p].mirror, p);
  EXPECT_NE(FindLine(model(), 1, 3), 0);
  EXPECT_NE(FindLine(model(), 3, 2), 0);
  std::string reason;
  EXPECT_TRUE(ValidateModel(model(), &reason, true)) << reason;
  // What the undo ring recorded is that same model.
  const Model drawn = model();
  StepUndo(*document, 0);
  testing::ExpectSameModel(model(), drawn);
  EXPECT_EQ(depth(), 1);
}

TEST_F(Drawing, ShiftAltOnTheStrokesLastSegmentMakesNoSecondLineOverIt) {
  click(50, 50);
  click(150, 50);
  click(100, 50, kShift | kAlt);
  EXPECT_EQ(mode().state, 0);
  EXPECT_EQ(model().pointCount, 7);
  EXPECT_EQ(model().lineCount, 6) << "the quad's four and the two halves";
  EXPECT_NE(FindLine(model(), 5, 7), 0);
  EXPECT_NE(FindLine(model(), 7, 6), 0);
  expectValid();
}

// The rubber band shows where the click will put the point, whatever keys
// are held: Shift alone straightens both, any other set neither.
TEST_F(Drawing, TheRubberBandEndsWhereTheClickPutsThePoint) {
  for (int32_t tool : {kToolPoint, kToolDPoint}) {
    for (int code : {0, kShift, kShift | kAlt, kCtrlKey, kShift | kCtrlKey}) {
      SCOPED_TRACE(::testing::Message() << "tool " << tool << ", keys " << code);
      SetTool(*document, tool);
      click(50, 50);
      move(160, 75, code);
      const int rubberX = mode().rubberX, rubberY = mode().rubberY;
      EXPECT_EQ(rubberY == 50, code == kShift);
      click(160, 75, code);
      const int made = tool == kToolPoint ? model().pointCount : model().pointCount - 1;
      EXPECT_NEAR(pixelOf(made).x, rubberX, 1);
      EXPECT_NEAR(pixelOf(made).y, rubberY, 1);
      FinishPendingDraw(*document);
      StepUndo(*document, -1);
    }
  }
}

TEST(SplitQuadByDiagonal, TheSecondTriangleIsDroppedWhenItRepeatsOne) {
  Model model;
  testing::UnitQuad(model);
  model.faces[1].material = 5;
  SetFace(model, 2, 4, 1, 3, 4, 2, 0);  // the triangle (1, 3, 4) exists
  model.faceCount = 2;
  SetLine(model, 5, 1, 3, 0);
  model.lineCount = 5;
  EXPECT_EQ(QuadsWithDiagonal(model, 3, 1), 1);
  EXPECT_EQ(SplitQuadByDiagonal(model, 5), 1);
  PurgeMarked(model);
  ASSERT_EQ(model.faceCount, 2);
  EXPECT_EQ(model.faces[1].material, 2) << "the smaller material";
  EXPECT_EQ(model.faces[2].corners, (std::array<int32_t, 4>{1, 2, 3, 1}));
  EXPECT_EQ(model.faces[2].material, 5);
  EXPECT_EQ(model.faces[2].lines[2], -5) << "the diagonal runs against the corner order";
}

}  // namespace
}  // namespace vexal
