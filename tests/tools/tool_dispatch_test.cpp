// The mouse routing and the navigation gestures, driven as a user drives
// them: presses, moves and releases with modifier keys, checked against the
// view, the tool state and the model.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "model/camera.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "support/model_compare.h"
#include "support/test_models.h"
#include "tools/locate_pad.h"
#include "tools/navigation.h"
#include "tools/pointer_target.h"
#include "tools/tool_dispatch.h"

namespace vexal {
namespace {

constexpr int kShift = kShiftKey, kAlt = kAltKey, kCtrl = kCtrlKey;

struct Counting : DocumentObserver {
  int redraws = 0;
  int projections = 0;
  void redrawRequested() override { ++redraws; }
  void projectionChanged() override { ++projections; }
};

// A document window of 400 x 300 pixels with a closed cube in it.
class Gestures : public ::testing::Test {
 protected:
  void SetUp() override {
    document = std::make_unique<Document>();
    InitializeDocument(*document);
    document->observer = &observer;
    SetScreenSize(document->scene, 400, 300);
    testing::ClosedCube(document->model);
    RefreshSelection(*document);
    ResetUndo(*document);
  }

  void press(MouseButton button, int modifiers, int x, int y) {
    MousePress(*document, workspace, {button, modifiers, x, y});
  }
  void move(int x, int y, int modifiers = 0) {
    MouseMove(*document, workspace, {MouseButton::kLeft, modifiers, x, y});
  }
  void release(MouseButton button, int x, int y) {
    MouseRelease(*document, workspace, {button, 0, x, y});
  }
  // Qt's double click, in place of the second press.
  void doubleClick(MouseButton button, int x, int y) {
    DocumentPointer target(*document, workspace);
    DeliverPointer(target, PointerAction::kDoublePress, {button, 0, x, y});
  }
  void quickClicks(MouseButton button, int x, int y) {
    press(button, 0, x, y);
    release(button, x, y);
    doubleClick(button, x, y);
    release(button, x, y);
  }
  void drag(MouseButton button, int modifiers, int x0, int y0, int x1, int y1) {
    press(button, modifiers, x0, y0);
    move((x0 + x1) / 2, (y0 + y1) / 2);
    move(x1, y1);
    release(button, x1, y1);
  }
  SCENE& scene() { return document->scene; }
  MODE& mode() { return document->mode; }

  Counting observer;
  Workspace workspace;
  std::unique_ptr<Document> document;
};

constexpr MouseButton kLeft = MouseButton::kLeft;
constexpr MouseButton kRight = MouseButton::kRight;
constexpr MouseButton kMiddle = MouseButton::kMiddle;

TEST_F(Gestures, AltDragRotatesAndARightPressRestoresTheAnglesExactly) {
  scene().angle = VECTOR(12.5f, -30.25f, 0);
  press(kLeft, kAlt, 100, 80);
  EXPECT_EQ(mode().tool, kGestureRotateView);
  EXPECT_EQ(mode().savedTool, kToolSelect);
  move(130, 70);
  move(160, 95);
  // One degree a pixel: right lowers angle.y, down raises angle.x.
  EXPECT_FLOAT_EQ(scene().angle.y, -30.25f - 60);
  EXPECT_FLOAT_EQ(scene().angle.x, 12.5f + 15);
  press(kRight, 0, 160, 95);
  EXPECT_EQ(scene().angle, VECTOR(12.5f, -30.25f, 0));
  EXPECT_EQ(mode().tool, kToolSelect);
  EXPECT_EQ(mode().savedTool, -1);
}

TEST_F(Gestures, AReleaseDoesNotEndATemporaryGestureTheNextPressDoes) {
  drag(kMiddle, kAlt, 50, 50, 80, 60);
  EXPECT_EQ(mode().tool, kGesturePan);
  EXPECT_EQ(mode().state, 0);
  EXPECT_EQ(mode().savedTool, kToolSelect);
  const VECTOR panned = scene().target;
  EXPECT_NE(panned, VECTOR());
  // A right press after the release cancels nothing: the gesture has ended.
  press(kRight, 0, 10, 10);
  EXPECT_EQ(scene().target, panned);
  EXPECT_EQ(mode().tool, kToolSelect);
  EXPECT_EQ(mode().savedTool, -1);
}

TEST_F(Gestures, AGestureInTheMiddleOfAStrokeHandsTheStrokeBack) {
  // A stroke of the Point tool under way: its open line is the last line.
  SetTool(*document, kToolPoint);
  press(kLeft, 0, 20, 20);
  release(kLeft, 20, 20);
  ASSERT_EQ(mode().state, 1);
  const Model before = document->model;
  drag(kLeft, kAlt, 200, 150, 240, 150);
  EXPECT_EQ(mode().tool, kGestureRotateView);
  EXPECT_EQ(mode().savedTool, kToolPoint);
  EXPECT_EQ(mode().savedState, 1);
  EXPECT_FLOAT_EQ(scene().angle.y, -40);
  // The release copied the rotation into backup: a cancel now keeps it.
  EXPECT_EQ(mode().backup, scene().angle);
  press(kLeft, 0, 200, 150);
  EXPECT_EQ(mode().tool, kToolPoint);
  EXPECT_EQ(mode().state, 1);
  // The press went on with the stroke: one segment more, still open.
  EXPECT_EQ(document->model.lineCount, before.lineCount + 1);
  EXPECT_EQ(document->model.lines[before.lineCount].b, before.pointCount + 1);
}

TEST_F(Gestures, ARightPressDuringAGestureInAStrokeEndsThePressThere) {
  mode().tool = kToolPoint;
  mode().state = 1;
  press(kLeft, kAlt, 200, 150);
  move(230, 150);
  press(kRight, 0, 230, 150);
  EXPECT_FLOAT_EQ(scene().angle.y, 0);
  EXPECT_EQ(mode().tool, kToolPoint);
  EXPECT_EQ(mode().state, 1);
  EXPECT_EQ(mode().savedTool, -1);
}

TEST_F(Gestures, ShiftAltCtrlLeftPansWithOrWithoutTheLoopSplitSetting) {
  for (int setting : {0, 1}) {
    workspace.settings.UseLoopSplit2 = setting;
    scene().target = VECTOR();
    press(kLeft, kShift | kAlt | kCtrl, 100, 100);
    EXPECT_EQ(mode().tool, kGesturePanLeft);
    move(120, 100);
    EXPECT_NE(scene().target, VECTOR());
    release(kLeft, 120, 100);
    EXPECT_EQ(mode().state, 0);
    press(kLeft, 0, 5, 5);  // hands the tool back
  }
}

TEST_F(Gestures, APanThatReturnsToItsStartRestoresTheTargetExactly) {
  scene().angle = VECTOR(30, 45, 0);
  scene().target = VECTOR(0.25f, -1, 2);
  SetTool(*document, kToolPan);
  press(kLeft, 0, 100, 100);
  move(173, 51);
  EXPECT_NE(scene().target, VECTOR(0.25f, -1, 2));
  move(100, 100);
  release(kLeft, 100, 100);
  EXPECT_EQ(scene().target, VECTOR(0.25f, -1, 2));
  EXPECT_EQ(mode().state, 0);
}

TEST_F(Gestures, ZoomDragUpByOneHundredPixelsMultipliesByE) {
  SetTool(*document, kToolZoom);
  scene().zoom = 2;
  press(kLeft, 0, 100, 200);
  move(100, 100);
  EXPECT_NEAR(scene().zoom, 2 * std::exp(1.0f), 1e-5);
  press(kRight, 0, 100, 100);
  EXPECT_FLOAT_EQ(scene().zoom, 2);
  EXPECT_EQ(mode().state, 0);
}

TEST_F(Gestures, ZoomRectanglesDraggedBothWaysAreInverse) {
  SetTool(*document, kToolSelectZoom);
  drag(kLeft, 0, 150, 100, 250, 160);
  const float zoomedIn = scene().zoom;
  // The 100 x 60 rectangle's width limits: 400 / 100.
  EXPECT_FLOAT_EQ(zoomedIn, 4);
  // Its centre (200, 130) became the view centre.
  const VECTOR centre = ProjectPoint(*document, scene().target, true);
  EXPECT_NEAR(centre.x, 200, 1e-3);
  EXPECT_NEAR(centre.y, 150, 1e-3);
  // The same rectangle from right to left, about the new centre.
  drag(kLeft, 0, 250, 120, 150, 180);
  EXPECT_FLOAT_EQ(scene().zoom, 1);
}

TEST_F(Gestures, AZoomRegionDrawsItsRectangleAndAClickOnlyRecentres) {
  press(kLeft, kAlt | kCtrl, 100, 100);
  move(140, 130);
  EXPECT_EQ(document->rubber.size(), 4u);
  move(160, 120);
  ASSERT_EQ(document->rubber.size(), 4u);
  EXPECT_EQ(document->rubber[0], (RubberLine{100, 100, 160, 100}));
  release(kLeft, 160, 120);
  EXPECT_TRUE(document->rubber.empty());
  EXPECT_FLOAT_EQ(scene().zoom, 400.0f / 60.0f);

  press(kLeft, 0, 0, 0);  // ends the gesture
  scene().zoom = 1;
  scene().target = VECTOR();
  press(kLeft, kAlt | kCtrl, 300, 150);
  release(kLeft, 300, 150);
  EXPECT_FLOAT_EQ(scene().zoom, 1);
  EXPECT_NEAR(ProjectPoint(*document, scene().target, true).x, 200, 1e-3);
  EXPECT_NE(scene().target, VECTOR());
}

TEST_F(Gestures, AClickWithRotateViewSnapsToTheAxesAndFlattensWhenAsked) {
  workspace.settings.UseFlatView = 1;
  SetTool(*document, kToolCamera);
  scene().angle = VECTOR(37, -130, 0);
  press(kLeft, 0, 50, 50);
  EXPECT_EQ(scene().perspective, 1);
  release(kLeft, 50, 50);
  EXPECT_EQ(scene().angle, VECTOR(0, -90, 0));
  EXPECT_EQ(scene().perspective, 0);
  EXPECT_GT(observer.projections, 0);
  // The next drag shows perspective again while it runs.
  press(kLeft, 0, 50, 50);
  EXPECT_EQ(scene().perspective, 1);
  move(60, 50);
  release(kLeft, 60, 50);
  EXPECT_EQ(scene().angle, VECTOR(0, -100, 0));
  EXPECT_EQ(scene().perspective, 1);
}

TEST_F(Gestures, SnappingRoundsHalvesAwayFromZero) {
  EXPECT_EQ(SnapToAxis(44.9f), 0);
  EXPECT_EQ(SnapToAxis(45), 90);
  EXPECT_EQ(SnapToAxis(-45), -90);
  EXPECT_EQ(SnapToAxis(-44), 0);
  EXPECT_EQ(SnapToAxis(-225), -270);
}

TEST_F(Gestures, WithoutTheFlatViewSettingAClickKeepsPerspective) {
  SetTool(*document, kToolCamera);
  scene().angle = VECTOR(10, 80, 0);
  press(kLeft, 0, 50, 50);
  release(kLeft, 50, 50);
  EXPECT_EQ(scene().angle, VECTOR(0, 90, 0));
  EXPECT_EQ(scene().perspective, 1);
}

TEST_F(Gestures, ACancelledRotationRestoresTheProjectionItStartedWith) {
  workspace.settings.UseFlatView = 1;
  SetTool(*document, kToolCamera);
  press(kLeft, 0, 50, 50);
  release(kLeft, 50, 50);
  ASSERT_EQ(scene().perspective, 0);
  press(kLeft, 0, 50, 50);
  EXPECT_EQ(scene().perspective, 1);
  move(90, 70);
  press(kRight, 0, 90, 70);
  EXPECT_EQ(scene().angle, VECTOR(0, 0, 0));
  EXPECT_EQ(scene().perspective, 0);
}

TEST_F(Gestures, TheDoubleClickPressStartsNothingAndResetsByTool) {
  SetTool(*document, kToolCamera);
  scene().angle = VECTOR(20, 30, 0);
  press(kLeft, 0, 50, 50);
  release(kLeft, 50, 50);
  doubleClick(kLeft, 50, 50);
  EXPECT_EQ(mode().state, 0);
  EXPECT_EQ(scene().angle, VECTOR(0, 0, 0));
  release(kLeft, 50, 50);
  // The press after it is a real one again.
  press(kLeft, 0, 50, 50);
  EXPECT_EQ(mode().state, 1);
  release(kLeft, 51, 50);

  SetTool(*document, kToolPan);
  scene().target = VECTOR(1, 2, 3);
  doubleClick(kLeft, 50, 50);
  EXPECT_EQ(scene().target, VECTOR());

  // Zoom fits the selection; with nothing selected, the visible points.
  SetTool(*document, kToolZoom);
  scene().zoom = 7;
  doubleClick(kLeft, 50, 50);
  EXPECT_NE(scene().zoom, 7);
}

// Only the left button double-clicks: two quick clicks of another button
// are two ordinary presses, in every tool.
TEST_F(Gestures, RightAndMiddleDoubleClicksAreTwoOrdinaryPresses) {
  constexpr int32_t kTools[] = {kToolSelect, kToolLasso, kToolPaint, kToolSpoit, kToolQuad,
                                kToolMove, kToolRotate, kToolScale, kToolNormalMove, kToolZoom,
                                kToolSelectZoom, kToolPan, kToolCamera};
  document->model.points[1].state = kStateSelected;
  RefreshSelection(*document);
  PushUndo(*document, 1);
  const Model before = document->model;
  for (int32_t tool : kTools) {
    for (MouseButton button : {kRight, kMiddle}) {
      SCOPED_TRACE(::testing::Message() << "tool " << tool << ", button "
                                        << static_cast<int>(button));
      SetTool(*document, tool);
      scene().angle = VECTOR(20, 30, 0);
      scene().target = VECTOR(1, 2, 3);
      scene().zoom = 3;
      quickClicks(button, 5, 5);
      EXPECT_EQ(document->skipNextPress, 0);
      EXPECT_EQ(document->undo.undoDepth, 1) << "no Expanded Selection step";
      EXPECT_EQ(scene().selectedCount, 1);
      EXPECT_EQ(scene().angle, VECTOR(20, 30, 0));
      EXPECT_EQ(scene().target, VECTOR(1, 2, 3));
      EXPECT_EQ(scene().zoom, 3);
      testing::ExpectSameModel(document->model, before, "model");
    }
  }
}

TEST_F(Gestures, TwoQuickRightClicksTakeBackTwoPointsOfAStroke) {
  SetTool(*document, kToolPoint);
  press(kLeft, 0, 20, 20);
  release(kLeft, 20, 20);
  press(kLeft, 0, 60, 20);
  release(kLeft, 60, 20);
  press(kLeft, 0, 100, 20);
  release(kLeft, 100, 20);
  ASSERT_EQ(document->model.pointCount, 8 + 3);
  quickClicks(kRight, 100, 20);
  EXPECT_EQ(mode().state, 1) << "the stroke is still open";
  EXPECT_EQ(document->model.pointCount, 8 + 1);
  EXPECT_EQ(document->undo.undoDepth, 0);
  // A left double click ends it: nothing was drawn, nothing is recorded.
  doubleClick(kLeft, 100, 20);
  EXPECT_EQ(mode().state, 0);
  EXPECT_EQ(document->model.pointCount, 8);
  EXPECT_EQ(document->undo.undoDepth, 0);
}

TEST_F(Gestures, PictureGesturesFollowThePointerAndCancelWithTheRightButton) {
  press(kMiddle, kShift, 100, 100);
  EXPECT_EQ(mode().tool, kGesturePictureMove);
  move(150, 100);
  const VECTOR moved = scene().pictureOffset;
  EXPECT_GT(std::abs(moved.x) + std::abs(moved.y) + std::abs(moved.z), 0.1f);
  // The offset lands 50 pixels right of where it started.
  const MATRIX view = ViewMatrix(*document, true);
  EXPECT_NEAR(moved.transformed(view).x - VECTOR().transformed(view).x, 50, 1e-2);
  press(kRight, 0, 150, 100);
  EXPECT_EQ(scene().pictureOffset, VECTOR());

  press(kRight, kShift, 100, 200);
  EXPECT_EQ(mode().tool, kGesturePictureScale);
  move(100, 100);
  EXPECT_NEAR(scene().pictureScale, std::exp(1.0f), 1e-5);
  release(kRight, 100, 100);
  EXPECT_EQ(mode().state, 0);
}

TEST_F(Gestures, ShiftAltOnEmptySpaceStartsTheKnifeButNotInAStroke) {
  press(kLeft, kShift | kAlt, 10, 10);
  EXPECT_EQ(mode().tool, kGestureKnife);
  release(kLeft, 20, 20);
  EXPECT_EQ(mode().state, 0);
  press(kLeft, 0, 0, 0);
  mode().tool = kToolPoint;
  mode().state = 1;
  press(kLeft, kShift | kAlt, 10, 10);
  EXPECT_EQ(mode().tool, kToolPoint);
  EXPECT_EQ(mode().savedTool, -1);
}

TEST_F(Gestures, ReleasesOfAnotherButtonLeaveTheDragRunning) {
  SetTool(*document, kToolPan);
  press(kLeft, 0, 10, 10);
  release(kMiddle, 10, 10);
  EXPECT_EQ(mode().state, 1);
  release(kLeft, 10, 10);
  EXPECT_EQ(mode().state, 0);
}

TEST_F(Gestures, ChangingToolCommitsAStrokeWithASegmentAndDropsOneWithout) {
  // Point 1 joined to point 2 by a completed segment, then the open line.
  Model& model = document->model;
  const int lines = model.lineCount;
  SetLine(model, lines + 1, 1, 7, 0);
  SetLine(model, lines + 2, 7, 7, 0);
  model.lineCount = lines + 2;
  mode().tool = kToolPoint;
  mode().state = 1;
  mode().chainStart = 1;
  const int depth = document->undo.undoDepth;
  SetTool(*document, kToolCamera);
  EXPECT_EQ(model.lineCount, lines + 1);
  EXPECT_EQ(document->undo.undoDepth, depth + 1);
  EXPECT_EQ(mode().tool, kToolCamera);

  // A stroke whose open line still starts at its first point: reverted.
  const Model before = model;
  SetLine(model, model.lineCount + 1, 3, 3, 0);
  ++model.lineCount;
  mode().tool = kToolPoint;
  mode().state = 1;
  mode().chainStart = 3;
  SetTool(*document, kToolSelect);
  EXPECT_EQ(model.lineCount, before.lineCount);
  EXPECT_EQ(document->undo.undoDepth, depth + 1);
}

TEST_F(Gestures, WheelStepsAddUpToANotch) {
  workspace.settings.UseMouseWheel = 1;
  WheelZoom(*document, workspace.settings, 120);
  EXPECT_FLOAT_EQ(scene().zoom, 1.5f);
  WheelZoom(*document, workspace.settings, -120);
  EXPECT_FLOAT_EQ(scene().zoom, 1.0f);
  // A touchpad's fine steps: eight of 15 make one notch, and zoom in.
  for (int i = 0; i < 7; ++i) WheelZoom(*document, workspace.settings, 15);
  EXPECT_FLOAT_EQ(scene().zoom, 1.0f);
  WheelZoom(*document, workspace.settings, 15);
  EXPECT_FLOAT_EQ(scene().zoom, 1.5f);
  workspace.settings.UseMouseWheel = 0;
  WheelZoom(*document, workspace.settings, 240);
  EXPECT_FLOAT_EQ(scene().zoom, 1.5f);
}

TEST_F(Gestures, RotateStepsUndoEachOther) {
  scene().angle = VECTOR(10, 20, 0);
  RotateViewBy(*document, workspace, 45, 0);
  EXPECT_EQ(scene().angle, VECTOR(10, -25, 0));
  RotateViewBy(*document, workspace, -45, 0);
  RotateViewBy(*document, workspace, 0, 45);
  RotateViewBy(*document, workspace, 0, -45);
  EXPECT_EQ(scene().angle, VECTOR(10, 20, 0));
  ZoomIn(*document);
  ZoomOut(*document);
  EXPECT_FLOAT_EQ(scene().zoom, 1);
}

TEST_F(Gestures, ZoomToFitCountsTheSelectionThenTheVisibleThenAllPoints) {
  Model& model = document->model;
  // Select the face at z = -1 only: points 1..4.
  for (int p = 1; p <= 4; ++p) model.points[p].state = kStateSelected;
  RefreshSelection(*document);
  ZoomToFit(*document, true);
  EXPECT_FLOAT_EQ(scene().target.z, -1);
  // Zoom All centres the whole cube and fits it to 1.25 of the half width
  // or height, whichever limits.
  ZoomToFit(*document, false);
  EXPECT_EQ(scene().target, VECTOR(0, 0, 0));
  float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
  const float saved = scene().zoom;
  scene().zoom = 0.01f;
  for (int p = 1; p <= model.pointCount; ++p) {
    const VECTOR s = ProjectPoint(*document, model.points[p].position, true);
    minX = std::min(minX, s.x), maxX = std::max(maxX, s.x);
    minY = std::min(minY, s.y), maxY = std::max(maxY, s.y);
  }
  scene().zoom = saved;
  const float fit = std::min(1.25f * 200 / (maxX - minX), 1.25f * 150 / (maxY - minY)) * 0.01f;
  EXPECT_FLOAT_EQ(scene().zoom, fit);

  // Nothing selected and every point hidden: all points count.
  DeselectAll(model);
  for (int p = 1; p <= model.pointCount; ++p) model.points[p].state = kStateHidden;
  model.points[1].position = VECTOR(-3, 0, 0);
  RefreshSelection(*document);
  ZoomToFit(*document, true);
  EXPECT_FLOAT_EQ(scene().target.x, -1);
}

TEST_F(Gestures, ZoomAllOnAnEmptyModelResetsTheView) {
  ClearModel(document->model);
  scene().zoom = 3;
  scene().target = VECTOR(1, 1, 1);
  ZoomToFit(*document, false);
  EXPECT_FLOAT_EQ(scene().zoom, 1);
  EXPECT_EQ(scene().target, VECTOR());
}

TEST_F(Gestures, TheAnglePaletteDrivesTheActiveViewAsModifierGestures) {
  // A left drag rotates as Alt + left does.
  LocatePress(document.get(), workspace, {kLeft, kLeftHeld, 10, 10});
  EXPECT_EQ(mode().tool, kGestureRotateView);
  LocateMove(document.get(), workspace, {kLeft, kLeftHeld, 30, 10});
  EXPECT_FLOAT_EQ(scene().angle.y, -20);
  // A right press while it runs cancels it.
  LocatePress(document.get(), workspace, {kRight, kLeftHeld | kRightHeld, 30, 10});
  EXPECT_FLOAT_EQ(scene().angle.y, 0);
  LocateRelease(document.get(), workspace, {kLeft, 0, 30, 10});
  // A right drag zooms and its release, arriving as a middle one, ends it.
  LocatePress(document.get(), workspace, {kRight, kRightHeld, 10, 100});
  EXPECT_EQ(mode().tool, kGestureZoom);
  LocateMove(document.get(), workspace, {kRight, kRightHeld, 10, 0});
  EXPECT_NEAR(scene().zoom, std::exp(1.0f), 1e-5);
  LocateRelease(document.get(), workspace, {kRight, 0, 10, 0});
  EXPECT_EQ(mode().state, 0);
  // A left click snaps to the nearest axis view.
  scene().angle = VECTOR(50, 10, 0);
  LocatePress(document.get(), workspace, {kLeft, kLeftHeld, 5, 5});
  LocateRelease(document.get(), workspace, {kLeft, 0, 5, 5});
  EXPECT_EQ(scene().angle, VECTOR(90, 0, 0));
  // With no document nothing happens (and nothing crashes).
  LocatePress(nullptr, workspace, {kLeft, kLeftHeld, 5, 5});
  LocateWheel(nullptr, workspace, 120);
}

TEST_F(Gestures, TheAnglePalettesQuickClicksKeepTheirSecondPress) {
  LocatePointer pad(document.get(), workspace);
  // Two quick right drags: each zooms by e^0.5.
  DeliverPointer(pad, PointerAction::kPress, {kRight, kRightHeld, 10, 100});
  DeliverPointer(pad, PointerAction::kMove, {kRight, kRightHeld, 10, 50});
  DeliverPointer(pad, PointerAction::kRelease, {kRight, 0, 10, 50});
  DeliverPointer(pad, PointerAction::kDoublePress, {kRight, kRightHeld, 10, 100});
  EXPECT_EQ(mode().tool, kGestureZoom);
  EXPECT_EQ(mode().state, 1);
  DeliverPointer(pad, PointerAction::kMove, {kRight, kRightHeld, 10, 50});
  DeliverPointer(pad, PointerAction::kRelease, {kRight, 0, 10, 50});
  EXPECT_NEAR(scene().zoom, std::exp(1.0f), 1e-5);
  // A left double click is the view's own: the rotation's angles go to
  // zero and its press starts no drag.
  scene().angle = VECTOR(20, 30, 0);
  DeliverPointer(pad, PointerAction::kPress, {kLeft, kLeftHeld, 10, 10});
  DeliverPointer(pad, PointerAction::kRelease, {kLeft, 0, 10, 10});
  DeliverPointer(pad, PointerAction::kDoublePress, {kLeft, kLeftHeld, 10, 10});
  EXPECT_EQ(scene().angle, VECTOR(0, 0, 0));
  EXPECT_EQ(mode().state, 0);
  DeliverPointer(pad, PointerAction::kMove, {kLeft, kLeftHeld, 40, 10});
  EXPECT_EQ(scene().angle, VECTOR(0, 0, 0));
}

}  // namespace
}  // namespace vexal
