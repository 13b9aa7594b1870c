#include "tools/tool_dispatch.h"

#include "tools/draw_tool.h"
#include "tools/edge_cut.h"
#include "tools/edge_split.h"
#include "tools/knife.h"
#include "tools/navigation.h"
#include "tools/paint_tool.h"
#include "tools/picking.h"
#include "tools/rubber.h"
#include "tools/select_tool.h"
#include "tools/selection_rules.h"
#include "tools/transform_tool.h"

namespace vexal {
namespace {

// What lies under the pointer at a press: the handle arm, a point, a line.
struct PressPicks {
  int handle = 0;
  int point = 0;
  int line = 0;
};

bool IsDrawingTool(int32_t tool) { return tool == kToolPoint || tool == kToolDPoint; }

void StartGesture(Document& document, int32_t gesture, const PointerEvent& event) {
  MODE& mode = document.mode;
  mode.savedTool = mode.tool;
  mode.savedState = mode.state;
  mode.tool = gesture;
  mode.startX = mode.lastX = event.x;
  mode.startY = mode.lastY = event.y;
  mode.state = 1;
}

// A right press during a running temporary gesture puts back what it
// changed.
void CancelGesture(Document& document, Workspace& workspace) {
  MODE& mode = document.mode;
  SCENE& scene = document.scene;
  switch (mode.tool) {
    case kGestureRotateView:
      scene.angle = mode.backup;
      FlatView(document, workspace, FlatViewStep::kRestore);
      break;
    case kGesturePan:
    case kGesturePanLeft:
      scene.target = mode.backup;
      break;
    case kGestureZoom:
      scene.zoom = mode.backup.x;
      break;
    case kGesturePictureMove:
      scene.pictureOffset = mode.backup;
      break;
    case kGesturePictureScale:
      scene.pictureScale = mode.backup.x;
      break;
    default:
      break;
  }
}

// Returns true when a gesture took the press.
bool StartTemporaryGesture(Document& document, Workspace& workspace, const PointerEvent& event,
                           const PressPicks& picks) {
  MODE& mode = document.mode;
  SCENE& scene = document.scene;
  const int code = event.modifiers();
  const MouseButton button = event.button;
  if (code == 2 && button == MouseButton::kLeft) {
    StartGesture(document, kGestureRotateView, event);
    mode.backup = scene.angle;
    FlatView(document, workspace, FlatViewStep::kStart);
    return true;
  }
  if (code == 2 && button == MouseButton::kMiddle) {
    StartGesture(document, kGesturePan, event);
    mode.backup = scene.target;
    return true;
  }
  if (code == 7 && button == MouseButton::kLeft) {
    // Over a line, with UseLoopSplit2, the press cuts the line's edge ring
    // where it was pressed; elsewhere it pans.
    if (workspace.settings.UseLoopSplit2 == 1 && !(IsDrawingTool(mode.tool) && mode.state == 1) &&
        picks.line != 0) {
      EdgeCut(document, picks.line, LineParameterAt(document, picks.line, event.x, event.y));
      return true;
    }
    StartGesture(document, kGesturePanLeft, event);
    mode.backup = scene.target;
    return true;
  }
  if (code == 6 && button == MouseButton::kLeft) {
    StartGesture(document, kGestureZoomRegion, event);
    return true;
  }
  if (code == 6 && button == MouseButton::kMiddle) {
    StartGesture(document, kGestureZoom, event);
    mode.backup.x = scene.zoom;
    return true;
  }
  if (code == 3 && button == MouseButton::kLeft) {
    // The drawing tools take a Shift+Alt press themselves while a stroke
    // runs or when it lands on a point or a line.
    if (IsDrawingTool(mode.tool) && (mode.state == 1 || picks.point != 0 || picks.line != 0)) {
      return false;
    }
    if (KnifeClick(document, workspace, event, picks.point, picks.line)) return true;
    StartGesture(document, kGestureKnife, event);
    return true;
  }
  if (code == 1 && button == MouseButton::kMiddle) {
    StartGesture(document, kGesturePictureMove, event);
    mode.backup = scene.pictureOffset;
    return true;
  }
  if (code == 1 && button == MouseButton::kRight) {
    StartGesture(document, kGesturePictureScale, event);
    mode.backup.x = scene.pictureScale;
    return true;
  }
  return false;
}

void NavigationPress(Document& document, Workspace& workspace, const PointerEvent& event) {
  MODE& mode = document.mode;
  SCENE& scene = document.scene;
  if (event.button == MouseButton::kLeft) {
    mode.startX = mode.lastX = event.x;
    mode.startY = mode.lastY = event.y;
    mode.state = 1;
    mode.modifiers = event.modifiers();
    switch (mode.tool) {
      case kToolZoom: mode.backup.x = scene.zoom; break;
      case kToolPan: mode.backup = scene.target; break;
      case kToolCamera:
        mode.backup = scene.angle;
        FlatView(document, workspace, FlatViewStep::kStart);
        break;
      default: break;
    }
    return;
  }
  if (event.button == MouseButton::kRight && mode.state == 1) {
    mode.state = 0;
    switch (mode.tool) {
      case kToolZoom: scene.zoom = mode.backup.x; break;
      case kToolPan: scene.target = mode.backup; break;
      case kToolCamera:
        scene.angle = mode.backup;
        FlatView(document, workspace, FlatViewStep::kRestore);
        break;
      default: break;
    }
    Redraw(document);
  }
}

}  // namespace

bool IsTransformTool(int32_t tool) { return tool >= kToolMove && tool <= kToolNormalMove; }

bool IsToolValue(int32_t tool) {
  switch (tool) {
    case kToolSelect: case kToolPoint: case kToolDPoint: case kToolLasso:
    case kToolPaint: case kToolSpoit: case kToolQuad:
    case kToolMove: case kToolRotate: case kToolScale: case kToolNormalMove:
    case kToolZoom: case kToolSelectZoom: case kToolPan: case kToolCamera:
      return true;
    default:
      return false;
  }
}

void SetTool(Document& document, int32_t tool) {
  FinishPendingDraw(document);
  document.mode.tool = tool;
  document.notify().pointerShapeChanged(false);
  document.notify().selectionMenusChanged();
  Redraw(document);
}

void MousePress(Document& document, Workspace& workspace, const PointerEvent& event) {
  MODE& mode = document.mode;
  if (document.skipNextPress == 1) {
    document.skipNextPress = 0;
    return;
  }
  document.notify().captureMouse(true);

  if (mode.savedTool != -1) {
    if (event.button == MouseButton::kRight && mode.state == 1) {
      CancelGesture(document, workspace);
      if (IsDrawingTool(mode.savedTool) && mode.savedState == 1) {
        mode.tool = mode.savedTool;
        mode.state = mode.savedState;
        mode.savedTool = -1;
        Redraw(document);
        return;
      }
      Redraw(document);
    }
    mode.tool = mode.savedTool;
    mode.state = mode.savedState;
    mode.savedTool = -1;
  }

  PressPicks picks;
  {
    const std::vector<VECTOR> projected = ProjectAllPoints(document);
    picks.handle = PickHandle(document, event.x, event.y);
    picks.point = PickPoint(document, projected, event.x, event.y);
    picks.line = PickLine(document, projected, event.x, event.y);
  }
  if (StartTemporaryGesture(document, workspace, event, picks)) return;

  switch (mode.tool) {
    case kToolSelect:
    case kToolLasso:
      SelectionPress(document, workspace, event, picks.point, picks.line);
      break;
    case kToolPoint:
    case kToolDPoint:
      DrawToolPress(document, event, picks.point, picks.line);
      break;
    case kToolZoom:
    case kToolSelectZoom:
    case kToolPan:
    case kToolCamera:
      NavigationPress(document, workspace, event);
      break;
    case kToolPaint:
    case kToolSpoit:
    case kToolQuad:
      PaintToolPress(document, workspace, event);
      break;
    case kToolMove:
    case kToolRotate:
    case kToolScale:
    case kToolNormalMove:
      TransformPress(document, workspace, event, picks.handle, picks.point, picks.line);
      break;
    default:
      break;
  }
}

void MouseMove(Document& document, Workspace& workspace, const PointerEvent& event) {
  MODE& mode = document.mode;
  // The rubber band of a stroke follows the pointer even while a view
  // gesture runs in the middle of it.
  const bool savedStroke = mode.savedState == 1;
  if ((mode.tool == kToolPoint && mode.state == 1) || (mode.savedTool == kToolPoint && savedStroke)) {
    PointRubberMove(document, event);
  }
  if ((mode.tool == kToolDPoint && mode.state == 1) || (mode.savedTool == kToolDPoint && savedStroke)) {
    DPointRubberMove(document, event);
  }
  const int32_t tool = mode.tool;
  const bool active = mode.state == 1;
  if (active && (tool == kToolCamera || tool == kGestureRotateView)) {
    RotateViewDrag(document, event.x, event.y);
  } else if (active && (tool == kToolPan || tool == kGesturePan || tool == kGesturePanLeft)) {
    PanDrag(document, event.x, event.y);
  } else if (active && (tool == kToolZoom || tool == kGestureZoom)) {
    ZoomDrag(document, event.y);
  } else if ((active && tool == kToolLasso) || (IsTransformTool(tool) && mode.state == 3)) {
    TrackLasso(document, event.x, event.y);
  } else if ((active && (tool == kToolSelect || tool == kToolSelectZoom || tool == kGestureZoomRegion)) ||
             (IsTransformTool(tool) && mode.state == 2)) {
    TrackRubberRectangle(document, event.x, event.y);
  } else if (IsTransformTool(tool)) {
    TransformMove(document, workspace, event);
  } else if (active && tool == kGestureKnife) {
    KnifeMove(document, event.x, event.y);
  } else if (active && tool == kGesturePictureMove) {
    PictureMoveDrag(document, event.x, event.y);
  } else if (active && tool == kGesturePictureScale) {
    PictureScaleDrag(document, event.y);
  } else if (active && (tool == kToolPaint || tool == kToolSpoit || tool == kToolQuad)) {
    PaintToolMove(document, workspace, event);
  }
  if (IsTransformTool(mode.savedTool) && mode.state == 0) {
    document.notify().pointerShapeChanged(TransformHoverHit(document, event.x, event.y));
  }
}

void MouseRelease(Document& document, Workspace& workspace, const PointerEvent& event) {
  MODE& mode = document.mode;
  SCENE& scene = document.scene;
  document.notify().captureMouse(false);
  const MouseButton button = event.button;
  const bool left = button == MouseButton::kLeft;
  const bool middle = button == MouseButton::kMiddle;

  // In the middle of a stroke a gesture's result becomes the value a later
  // cancel goes back to.
  if (IsDrawingTool(mode.savedTool) && mode.savedState == 1 && left) {
    switch (mode.tool) {
      case kGestureRotateView: mode.backup = scene.angle; break;
      case kGesturePan:
      case kGesturePanLeft: mode.backup = scene.target; break;
      case kGestureZoom: mode.backup.x = scene.zoom; break;
      case kGesturePictureMove: mode.backup = scene.pictureOffset; break;
      case kGesturePictureScale: mode.backup.x = scene.pictureScale; break;
      default: break;
    }
  }

  if (IsTransformTool(mode.tool)) {
    TransformRelease(document, workspace, event);
    return;
  }
  if (mode.state != 1) return;
  switch (mode.tool) {
    case kToolPaint:
    case kToolSpoit:
    case kToolQuad:
      PaintToolRelease(document, workspace, event);
      break;
    case kToolLasso:
      if (left) LassoSelect(document);
      break;
    case kToolSelect:
      if (left) RectangleSelect(document, event.x, event.y);
      break;
    case kToolZoom:
    case kToolPan:
    case kGesturePanLeft:
      if (left) mode.state = 0;
      break;
    case kGesturePan:
    case kGestureZoom:
    case kGesturePictureMove:
      if (middle) mode.state = 0;
      break;
    case kGesturePictureScale:
      if (button == MouseButton::kRight) mode.state = 0;
      break;
    case kToolCamera:
    case kGestureRotateView:
      if (left) RotateViewRelease(document, workspace, event.x, event.y);
      break;
    case kToolSelectZoom:
    case kGestureZoomRegion:
      if (left) ZoomToRegion(document, event.x, event.y);
      break;
    case kGestureKnife:
      if (left) KnifeCut(document, event.x, event.y);
      break;
    default:
      break;
  }
}

void DoubleClick(Document& document, Workspace& /*workspace*/, MouseButton button) {
  if (button != MouseButton::kLeft) return;
  MODE& mode = document.mode;
  SCENE& scene = document.scene;
  document.skipNextPress = 1;
  switch (mode.tool) {
    case kToolPoint:
    case kToolDPoint:
      FinishPendingDraw(document);
      break;
    case kToolSelect:
    case kToolLasso:
    case kToolPaint:
    case kToolSpoit:
    case kToolMove:
    case kToolRotate:
    case kToolScale:
    case kToolNormalMove:
      RunExpandedSelection(document);
      return;
    case kToolZoom:
      ZoomToFit(document, true);
      return;
    case kToolPan:
    case kGesturePan:
    case kGesturePanLeft:
      scene.target = VECTOR();
      break;
    case kToolCamera:
    case kGestureRotateView:
      scene.angle.x = 0;
      scene.angle.y = 0;
      break;
    case kGesturePictureMove:
      scene.pictureOffset = VECTOR();
      break;
    default:
      break;
  }
  Redraw(document);
}

bool EscapeGesture(Document& document, Workspace& workspace) {
  MODE& mode = document.mode;
  // A stroke under a finished view gesture is still in progress: the next
  // right press would take back its last point.
  const bool strokeUnderGesture = mode.savedTool != -1 && mode.savedState != 0;
  if (mode.state == 0 && !strokeUnderGesture) return false;
  // The right press itself, so that both keep one rule; an attach is no
  // cancel, and the press a double click left to skip must stay skipped.
  int& attach = workspace.settings.UseMoveAttach;
  const int savedAttach = attach;
  const int32_t savedSkip = document.skipNextPress;
  attach = 0;
  document.skipNextPress = 0;
  MousePress(document, workspace, {MouseButton::kRight, 0, mode.lastX, mode.lastY});
  attach = savedAttach;
  document.skipNextPress = savedSkip;
  document.notify().captureMouse(false);
  return true;
}

}  // namespace vexal
