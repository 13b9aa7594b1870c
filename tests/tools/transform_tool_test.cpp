// The Move, Rotate, Scale and Move Normal Direction tools, driven as a
// user's drags: what moves, what stays, and what the undo ring keeps.
#include "tools/transform_tool.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/maintenance.h"
#include "model/table_room.h"
#include "support/test_models.h"
#include "tools/picking.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_fixture.h"

namespace vexal {
namespace {

struct ShapeObserver : testing::RecordingObserver {
  int shapes = 0;
  bool cross = false;
  void pointerShapeChanged(bool value) override {
    ++shapes;
    cross = value;
  }
};

class TransformTools : public testing::ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    document->observer = &shapes;
  }
  // One unit quad, nothing selected, as the base of the history.
  void quad() {
    testing::UnitQuad(model());
    Base();
  }
  void select(std::initializer_list<int> points) {
    for (int p : points) model().points[p].state = kStateSelected;
    RefreshSelection(*document);
  }
  VECTOR screen(int point) const {
    return ProjectPoint(*document, model().points[point].position, true);
  }
  int depth() const { return document->undo.undoDepth; }
  // Drags from the pixel of a point to an offset, the modifier code held
  // at the press and during the moves.
  void dragPoint(int point, int dx, int dy, int code = 0) {
    const Pixel p = pixelOf(point);
    drag(code, p.x, p.y, p.x + dx, p.y + dy);
  }
  // An oblique view: 30 degrees up, 40 around.
  void oblique() {
    document->scene.angle = VECTOR(30, 40, 0);
  }

  ShapeObserver shapes;
};

TEST_F(TransformTools, AMovedPointFollowsThePointerAndOneUndoPutsItBack) {
  quad();
  SetTool(*document, kToolMove);
  const Model before = model();
  const VECTOR start = screen(3);
  dragPoint(3, 10, 0);
  const VECTOR end = screen(3);
  EXPECT_NEAR(end.x - start.x, 10.0f, 1e-3f);
  EXPECT_NEAR(end.y - start.y, 0.0f, 1e-3f);
  EXPECT_EQ(model().points[2].position, before.points[2].position);
  EXPECT_EQ(depth(), 1);
  EXPECT_EQ(mode().state, 0);
  expectValid();

  // The same in an oblique perspective view: the image still follows.
  document->scene.perspective = 1;
  oblique();
  const VECTOR obliqueStart = screen(3);
  dragPoint(3, -7, 12);
  EXPECT_NEAR(screen(3).x - obliqueStart.x, -7.0f, 0.05f);
  EXPECT_NEAR(screen(3).y - obliqueStart.y, 12.0f, 0.05f);

  StepUndo(*document, -1);
  StepUndo(*document, -1);
  EXPECT_EQ(model().points[3].position, before.points[3].position);
  StepUndo(*document, 1);
  StepUndo(*document, 1);
  EXPECT_NEAR(ProjectPoint(*document, model().points[3].position, true).x - obliqueStart.x, -7.0f,
              0.05f);
}

TEST_F(TransformTools, ShiftKeepsOnlyTheLargerMovementAndAnArmKeepsOneAxis) {
  quad();
  SetTool(*document, kToolMove);
  const VECTOR start = screen(3);
  const Pixel p = pixelOf(3);
  press(MouseButton::kLeft, 0, p.x, p.y);
  move(p.x + 5, p.y + 2, kShiftKey);
  EXPECT_NEAR(screen(3).x - start.x, 5.0f, 1e-3f);
  EXPECT_NEAR(screen(3).y - start.y, 0.0f, 1e-3f);
  release(MouseButton::kLeft, p.x + 5, p.y + 2);

  // The Y arm of the handle in an oblique view: only y changes.
  oblique();
  select({1, 2, 3, 4});
  const Model before = model();
  const VECTOR arm = ProjectPoint(*document,
                                  document->scene.handle - VECTOR(0, PixelSize(*document,
                                      ProjectPoint(*document, document->scene.handle, false).z) * 40.0f, 0),
                                  true);
  ASSERT_EQ(PickHandle(*document, static_cast<int>(arm.x), static_cast<int>(arm.y)), kHandleY);
  drag(0, static_cast<int>(arm.x), static_cast<int>(arm.y), static_cast<int>(arm.x) + 9,
       static_cast<int>(arm.y) - 14);
  for (int q = 1; q <= 4; ++q) {
    EXPECT_EQ(model().points[q].position.x, before.points[q].position.x) << q;
    EXPECT_EQ(model().points[q].position.z, before.points[q].position.z) << q;
    EXPECT_NE(model().points[q].position.y, before.points[q].position.y) << q;
  }
  expectValid();
}

TEST_F(TransformTools, RotateAndScaleFollowTheVerticalMovement) {
  quad();
  select({1, 2, 3, 4});
  const VECTOR pivot = document->scene.handle;
  const Model before = model();
  const Pixel p = pixelOf(3);
  const auto angleOf = [&](const VECTOR& v) { return std::atan2(v.y - pivot.y, v.x - pivot.x); };
  const float kStep = 2.0f * 3.14159265f / 4096.0f;  // the sine table's resolution

  SetTool(*document, kToolRotate);
  // 22 and 23 pixels up with Shift: 15 and 30 degrees.
  for (const auto& [pixels, degrees] : {std::pair{22, 15.0f}, std::pair{23, 30.0f}}) {
    press(MouseButton::kLeft, 0, p.x, p.y);
    move(p.x, p.y - pixels, kShiftKey);
    float turned = angleOf(model().points[3].position) - angleOf(before.points[3].position);
    // The view's x runs the other way round in the front view's projection.
    EXPECT_NEAR(std::fabs(turned), degrees * 0.017453292f, 2 * kStep) << pixels;
    EXPECT_NEAR(model().points[3].position.z, 0.0f, 1e-5f);
    press(MouseButton::kRight, 0, p.x, p.y - pixels);
    release(MouseButton::kLeft, p.x, p.y - pixels);
    testing::ExpectSameModel(model(), before);
  }

  SetTool(*document, kToolScale);
  press(MouseButton::kLeft, 0, p.x, p.y);
  move(p.x, p.y - 100);
  release(MouseButton::kLeft, p.x, p.y - 100);
  for (int q = 1; q <= 4; ++q) {
    const VECTOR from = before.points[q].position - pivot;
    const VECTOR to = model().points[q].position - pivot;
    EXPECT_NEAR(to.x / from.x, std::exp(1.0f), 1e-4f) << q;
    EXPECT_NEAR(to.y / from.y, std::exp(1.0f), 1e-4f) << q;
  }
  EXPECT_EQ(depth(), 1);
  expectValid();
}

TEST_F(TransformTools, HandleArmsScaleAndTurnAboutOneModelAxis) {
  testing::ClosedCube(model());
  Base();
  for (int p = 1; p <= model().pointCount; ++p) model().points[p].state = kStateSelected;
  RefreshSelection(*document);
  oblique();
  const Model before = model();
  const VECTOR pivot = document->scene.handle;
  // A pixel on the given arm, half way along it.
  const auto armPixel = [&](int arm) {
    const float length =
        PixelSize(*document, ProjectPoint(*document, pivot, false).z) * 40.0f;
    VECTOR end = pivot;
    (arm == kHandleX ? end.x : arm == kHandleY ? end.y : end.z) -= length;
    const VECTOR s = ProjectPoint(*document, end, true);
    return Pixel{static_cast<int>(s.x), static_cast<int>(s.y)};
  };
  const float e = std::exp(0.3f);

  // Scale on the X arm: x alone grows by e^0.3 about the pivot.
  SetTool(*document, kToolScale);
  Pixel at = armPixel(kHandleX);
  ASSERT_EQ(PickHandle(*document, at.x, at.y), kHandleX);
  drag(0, at.x, at.y, at.x, at.y - 30);
  for (int q = 1; q <= 8; ++q) {
    const VECTOR& was = before.points[q].position;
    const VECTOR& is = model().points[q].position;
    EXPECT_NEAR(is.x - pivot.x, (was.x - pivot.x) * e, 1e-5f) << q;
    EXPECT_EQ(is.y, was.y) << q;
    EXPECT_EQ(is.z, was.z) << q;
  }
  StepUndo(*document, -1);

  // With Shift the other two axes grow and x stays.
  at = armPixel(kHandleX);
  press(MouseButton::kLeft, 0, at.x, at.y);
  move(at.x, at.y - 30, kShiftKey);
  release(MouseButton::kLeft, at.x, at.y - 30);
  for (int q = 1; q <= 8; ++q) {
    const VECTOR& was = before.points[q].position;
    const VECTOR& is = model().points[q].position;
    EXPECT_EQ(is.x, was.x) << q;
    EXPECT_NEAR(is.y - pivot.y, (was.y - pivot.y) * e, 1e-5f) << q;
    EXPECT_NEAR(is.z - pivot.z, (was.z - pivot.z) * e, 1e-5f) << q;
  }
  StepUndo(*document, -1);

  // Rotate on the Z arm: z stays, distances from the axis stay.
  SetTool(*document, kToolRotate);
  at = armPixel(kHandleZ);
  ASSERT_EQ(PickHandle(*document, at.x, at.y), kHandleZ);
  drag(0, at.x, at.y, at.x, at.y - 90);
  for (int q = 1; q <= 8; ++q) {
    const VECTOR was = before.points[q].position - pivot;
    const VECTOR is = model().points[q].position - pivot;
    EXPECT_EQ(model().points[q].position.z, before.points[q].position.z) << q;
    EXPECT_NEAR(is.x * is.x + is.y * is.y, was.x * was.x + was.y * was.y, 1e-3f) << q;
    // A quarter turn: (x, y) becomes (-y, x) up to the sine table's steps.
    EXPECT_NEAR(is.x, -was.y, 2e-3f) << q;
    EXPECT_NEAR(is.y, was.x, 2e-3f) << q;
  }
  expectValid();
}

TEST_F(TransformTools, MirrorPairsKeepTheirXUnderMoveAndRotate) {
  testing::MirroredPair(model());
  ScaleModel(model(), 2, 2, 2);  // the points off the handle's arms
  Base();
  select({1, 2});
  ASSERT_GE(document->scene.mirrorSelection, 2);
  const Model before = model();
  for (int32_t tool : {kToolMove, kToolRotate}) {
    SetTool(*document, tool);
    const Pixel p = pixelOf(2);
    press(MouseButton::kLeft, 0, p.x, p.y);
    ASSERT_EQ(mode().targetKind, 0);
    move(p.x + 13, p.y - 17);
    release(MouseButton::kLeft, p.x + 13, p.y - 17);
    EXPECT_EQ(model().points[1].position.x, before.points[1].position.x) << tool;
    EXPECT_EQ(model().points[2].position.x, before.points[2].position.x) << tool;
    EXPECT_EQ(model().points[1].position.y, model().points[2].position.y) << tool;
    EXPECT_NE(model().points[2].position.y, before.points[2].position.y) << tool;
    expectValid();
  }
}

TEST_F(TransformTools, CopiesAndExtrusionsAtThePressBelongToTheDragsUndoStep) {
  quad();
  select({1, 2, 3, 4});
  SetTool(*document, kToolMove);
  const Model before = model();

  // Ctrl: the quad moves, four side quads join it to its old border.
  dragPoint(3, 20, -20, kCtrlKey);
  EXPECT_EQ(model().pointCount, 8);
  EXPECT_EQ(model().faceCount, 5);
  EXPECT_EQ(depth(), 1);
  expectValid();
  StepUndo(*document, -1);
  testing::ExpectSameModel(model(), before);

  // Shift on a selected point: the copy moves, the source stays.
  select({});
  DeselectAll(model());
  select({3});
  const Model one = model();
  dragPoint(3, 15, 0, kShiftKey);
  ASSERT_EQ(model().pointCount, 5);
  EXPECT_EQ(model().points[3].position, one.points[3].position);
  EXPECT_NE(model().points[5].position, one.points[3].position);
  EXPECT_EQ(depth(), 1);

  // A right press during a copy's drag takes the copy away too.
  const Model copied = model();
  const Pixel p = pixelOf(5);
  press(MouseButton::kLeft, kShiftKey, p.x, p.y);
  move(p.x + 30, p.y, kShiftKey);
  EXPECT_EQ(model().pointCount, 6);
  press(MouseButton::kRight, 0, p.x + 30, p.y);
  release(MouseButton::kLeft, p.x + 30, p.y);
  testing::ExpectSameModel(model(), copied);
  EXPECT_EQ(depth(), 1);
  expectValid();
}

TEST_F(TransformTools, ACopyThatWouldNotFitEndsThePressWithAMessage) {
  testing::QuadTorus(model(), 99, 101);  // 19,998 lines: no room for copies
  Base();
  for (int p = 1; p <= model().pointCount; ++p) model().points[p].state = kStateSelected;
  RefreshSelection(*document);
  PushUndo(*document, 1);
  SetTool(*document, kToolMove);
  const Model before = model();
  int point = 0;
  for (int p = 1; p <= model().pointCount && point == 0; ++p) {
    const Pixel at = pixelOf(p);
    if (PickHandle(*document, at.x, at.y) == kHandleNone && at.x > 0 && at.y > 0 && at.x < 400 &&
        at.y < 300) {
      point = p;
    }
  }
  ASSERT_NE(point, 0);
  const Pixel at = pixelOf(point);
  press(MouseButton::kLeft, kShiftKey, at.x, at.y);
  EXPECT_EQ(mode().state, 0);
  EXPECT_EQ(shapes.status, kTableFullText);
  move(at.x + 20, at.y, kShiftKey);
  release(MouseButton::kLeft, at.x + 20, at.y);
  testing::ExpectSameModel(model(), before);
  EXPECT_EQ(depth(), 1);
}

TEST_F(TransformTools, ARightPressRestoresThePositionsAndTheSelectionOfBeforeThePress) {
  quad();
  SetTool(*document, kToolMove);
  const Model before = model();
  const Pixel p = pixelOf(2);
  press(MouseButton::kLeft, 0, p.x, p.y);
  EXPECT_EQ(model().points[2].state, kStateSelected);
  move(p.x + 40, p.y + 40);
  press(MouseButton::kRight, 0, p.x + 40, p.y + 40);
  EXPECT_EQ(mode().state, 0);
  release(MouseButton::kLeft, p.x + 40, p.y + 40);
  testing::ExpectSameModel(model(), before);
  EXPECT_EQ(depth(), 0);
}

TEST_F(TransformTools, WithMoveAttachARightPressWeldsTheDraggedPointOntoTheNextPointItMeets) {
  quad();
  workspace.settings.UseMoveAttach = 1;
  SetTool(*document, kToolMove);
  const Pixel from = pixelOf(3);
  const Pixel onto = pixelOf(2);
  press(MouseButton::kLeft, 0, from.x, from.y);
  move(from.x, from.y + 10);
  press(MouseButton::kRight, 0, from.x, from.y + 10);
  EXPECT_EQ(mode().state, 4);
  move(from.x, from.y + 20);  // nothing under the pointer yet: the drag goes on
  EXPECT_EQ(mode().state, 4);
  move(onto.x, onto.y);
  EXPECT_EQ(mode().state, 0);
  release(MouseButton::kRight, onto.x, onto.y);
  release(MouseButton::kLeft, onto.x, onto.y);
  // The quad folded onto three corners: a triangle.
  EXPECT_EQ(model().pointCount, 3);
  EXPECT_EQ(model().faceCount, 1);
  EXPECT_FALSE(IsQuad(model(), 1));
  EXPECT_EQ(depth(), 1);
  expectValid();
  StepUndo(*document, -1);
  EXPECT_EQ(model().pointCount, 4);
}

// The sources of a copy or an extrusion are deselected: the attach that a
// right press starts drags the copy of the grabbed point.
TEST_F(TransformTools, MoveAttachAfterACopyOrExtrusionWeldsTheCopy) {
  for (int code : {kShiftKey, kCtrlKey}) {
    SCOPED_TRACE(code);
    testing::UnitQuad(model());
    model().faceCount = 0;  // an outline of four lines
    Base();
    workspace.settings.UseMoveAttach = 1;
    document->scene.showHandle = 0;
    select({1});
    SetTool(*document, kToolMove);
    const Model outline = model();
    const Pixel from = pixelOf(1);
    const Pixel onto = pixelOf(2);
    press(MouseButton::kLeft, code, from.x, from.y);
    move(from.x, from.y + 20, code);
    press(MouseButton::kRight, 0, from.x, from.y + 20);
    ASSERT_EQ(mode().state, 4);
    ASSERT_EQ(mode().chainStart, 5);
    move(from.x, from.y + 21);
    EXPECT_EQ(mode().state, 4) << "only the source is near, and it is not the copy";
    EXPECT_EQ(model().pointCount, 5);
    move(onto.x, onto.y);
    EXPECT_EQ(mode().state, 0);
    release(MouseButton::kRight, onto.x, onto.y);
    release(MouseButton::kLeft, onto.x, onto.y);
    EXPECT_EQ(model().points[1].position, outline.points[1].position);
    EXPECT_EQ(model().pointCount, 4) << "the copy welded onto point 2";
    expectValid();
    StepUndo(*document, -1);
    testing::ExpectSameModel(model(), outline);
  }
}

TEST_F(TransformTools, NormalMovePushesAlongTheNormalsOfThePress) {
  quad();
  // Selected without an undo step: the history's snapshot has no selected
  // normals.
  select({1, 2, 3, 4});
  SetTool(*document, kToolNormalMove);
  const VECTOR normal = model().points[1].selectedNormal;
  ASSERT_GT(std::fabs(normal.z), 0.5f);
  const Pixel p = pixelOf(1);
  drag(0, p.x, p.y, p.x, p.y - 30);
  for (int q = 1; q <= 4; ++q) {
    EXPECT_NE(model().points[q].position.z, 0.0f) << q;
    EXPECT_EQ(model().points[q].position.z, model().points[1].position.z) << q;
  }
  // The handle follows the points.
  EXPECT_EQ(document->scene.handle.z, model().points[1].position.z);
  expectValid();
}

TEST_F(TransformTools, EmptySpaceStartsARegionAndThePointerShowsWhatCanBeGrabbed) {
  quad();
  SetTool(*document, kToolMove);
  const Pixel a = pixel(VECTOR(-0.5f, -0.5f, 0));
  const Pixel b = pixel(VECTOR(0.5f, 0.5f, 0));
  press(MouseButton::kLeft, 0, a.x, a.y);
  EXPECT_EQ(mode().state, 2);
  move(b.x, b.y);
  release(MouseButton::kLeft, b.x, b.y);
  EXPECT_EQ(mode().state, 0);
  EXPECT_EQ(document->scene.selectedCount, 1);
  EXPECT_EQ(model().points[1].state, kStateSelected);

  const Pixel selected = pixelOf(1);
  const Pixel other = pixelOf(3);
  move(selected.x, selected.y, 0);
  EXPECT_TRUE(shapes.cross);
  move(other.x, other.y, 0);
  EXPECT_FALSE(shapes.cross);

  workspace.settings.UseLassoSelect = 1;
  press(MouseButton::kLeft, 0, a.x, a.y);
  EXPECT_EQ(mode().state, 3);
  press(MouseButton::kRight, 0, a.x, a.y);
  EXPECT_EQ(mode().state, 0);
}

}  // namespace
}  // namespace vexal
