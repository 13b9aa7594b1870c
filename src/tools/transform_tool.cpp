#include "tools/transform_tool.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "model/camera.h"
#include "model/drag_tracker.h"
#include "model/maintenance.h"
#include "model/sync_mirror.h"
#include "model/table_room.h"
#include "model/weld.h"
#include "tools/edge_split.h"
#include "tools/extrude.h"
#include "tools/picking.h"
#include "tools/rubber.h"
#include "tools/select_tool.h"

namespace vexal {
namespace {

constexpr int32_t kTargetHandle = -1;
constexpr int32_t kTargetPoint = 0;
constexpr int32_t kTargetLine = 1;

constexpr int kStateDragging = 1;
constexpr int kStateRectangle = 2;
constexpr int kStateLasso = 3;
constexpr int kStateAttachPending = 4;

constexpr float kDegreesToRadians = 0.017453292f;

bool IsArm(const MODE& mode) {
  return mode.targetKind == kTargetHandle && mode.targetIndex >= kHandleX &&
         mode.targetIndex <= kHandleZ;
}

float& Axis(VECTOR& v, int k) { return k == 0 ? v.x : (k == 1 ? v.y : v.z); }
float Axis(const VECTOR& v, int k) { return k == 0 ? v.x : (k == 1 ? v.y : v.z); }

bool Affected(const VERT& point) { return point.selectionClass == 1 || point.selectionClass == 2; }

// What a drag keeps from its press besides MODE: the frame with the
// positions and selected normals every step starts from (so a drag never
// accumulates rounding), and the depth at which a pixel of pointer
// movement is measured.
struct TransformDrag final : ToolDrag {
  explicit TransformDrag(Document& document)
      : tracker(document, DragTracker::Selection::kKeep) {}
  DragTracker tracker;
  float referenceDepth = 0;
};

TransformDrag& RunningDrag(Document& document) {
  auto* drag = dynamic_cast<TransformDrag*>(document.toolDrag.get());
  assert(drag != nullptr && "a transform step without the drag of its press");
  return *drag;
}

// The snapshot of the press, which holds the same points as the model while
// a drag runs.
const ModelSnapshot& DragStart(const Document& document, const TransformDrag& drag) {
  const ModelSnapshot& start = drag.tracker.start();
  assert(start.pointCount == document.model.pointCount && "a drag step on another model");
  (void)document;
  return start;
}

// The extrusion a modifier code asks for at a press on the selection.
int ExtrudeModeFor(int code) {
  switch (code) {
    case 1: return 1;  // Shift: quick copy
    case 4: return 2;  // Ctrl: extrude
    case 5: return 3;  // Shift+Ctrl: 3D extrusion
    default: return 0;
  }
}

// Runs the copy or extrusion of a press; false when it was refused and the
// press must end. The sources are deselected by it, so a grabbed point
// becomes its copy: that is the point the drag carries (and attaches).
bool ExtrudeForPress(Document& document, int code) {
  const int extrudeMode = ExtrudeModeFor(code);
  if (extrudeMode == 0) return true;
  std::vector<int32_t> copyOf;
  if (!ExtrudeSelection(document, extrudeMode, &copyOf)) return false;
  MODE& mode = document.mode;
  if (mode.targetKind == kTargetPoint && mode.targetIndex >= 1 &&
      mode.targetIndex < static_cast<int>(copyOf.size()) && copyOf[mode.targetIndex] != 0) {
    mode.targetIndex = copyOf[mode.targetIndex];
  }
  return true;
}

// The depth of the grabbed element without the view, where one pixel of
// pointer movement is measured.
float ReferenceDepth(const Document& document) {
  const MODE& mode = document.mode;
  const Model& model = document.model;
  if (mode.targetKind == kTargetPoint) {
    assert(mode.targetIndex >= 1 && mode.targetIndex <= model.pointCount);
    return ProjectPoint(document, model.points[mode.targetIndex].position, false).z;
  }
  if (mode.targetKind == kTargetLine) {
    assert(mode.targetIndex >= 1 && mode.targetIndex <= model.lineCount);
    const LINE& line = model.lines[mode.targetIndex];
    if (line.a >= 1 && line.a <= model.pointCount && line.b >= 1 && line.b <= model.pointCount) {
      float t = LineParameterAt(document, mode.targetIndex, mode.startX, mode.startY);
      if (t < 0) t = 0.5f;
      const VECTOR& a = model.points[line.a].position;
      const VECTOR& b = model.points[line.b].position;
      return ProjectPoint(document, a + (b - a) * t, false).z;
    }
  }
  return ProjectPoint(document, mode.backup, false).z;
}

// What the steps need from the press, taken once the press has settled the
// selection and made its copy: the steps start from the model of then.
void BeginDrag(Document& document, TransformDrag& drag) {
  document.mode.backup = document.scene.handle;
  drag.tracker.rebase();
  drag.referenceDepth = ReferenceDepth(document);
  Redraw(document);
}

void SelectGrabbed(Document& document, int32_t& state, int code) {
  if ((code & 1) == 0) DeselectAll(document.model);
  state = kStateSelected;
  RefreshSelection(document);
}

void FinishStep(Document& document, const Workspace& workspace) {
  SyncMirror(document.model);
  RefreshNormals(document, workspace.settings.RealTimeSmooth == 1
                               ? kNormalsFace | kNormalsAngleSmoothed
                               : kNormalsFace);
  Redraw(document);
}

// A right press in Move with one selected point and UseMoveAttach: the
// dragged point now welds onto the first other point it meets.
bool StartAttach(Document& document, const Workspace& workspace) {
  MODE& mode = document.mode;
  const Model& model = document.model;
  if (workspace.settings.UseMoveAttach != 1 || document.scene.selectedCount != 1 ||
      mode.tool != kToolMove) {
    return false;
  }
  int32_t grabbed = 0;
  if (mode.targetKind == kTargetPoint) {
    grabbed = mode.targetIndex;
  } else {
    for (int p = 1; p <= model.pointCount && grabbed == 0; ++p) {
      if (model.points[p].state == kStateSelected) grabbed = p;
    }
  }
  if (grabbed < 1 || grabbed > model.pointCount) return false;
  mode.chainStart = grabbed;
  mode.state = kStateAttachPending;
  return true;
}

// The attach of a pending attach drag: true when a point was found under the
// pointer and the two were welded.
bool AttachUnderPointer(Document& document, int x, int y) {
  MODE& mode = document.mode;
  Model& model = document.model;
  const int target = PickPoint(document, ProjectAllPoints(document), x, y, mode.chainStart);
  if (target == 0) return false;
  TransformDrag& drag = RunningDrag(document);
  mode.state = 0;
  model.points[target].state = kStateSelected;
  assert(mode.chainStart >= 1 && mode.chainStart <= model.pointCount);
  model.points[mode.chainStart].position = model.points[target].position;
  RefreshSelection(document);
  const WeldSelection selection{document.scene.selectedCount, document.scene.mirrorSelection,
                                document.scene.handle};
  if (const MaybeRefusal refused = AttachSingle(model, selection)) {
    // Nothing was welded; the drag so far is taken back.
    ShowRefusal(document, *refused);
    drag.tracker.cancel();
    document.toolDrag.reset();
    return true;
  }
  // The weld ends the drag: its release finds nothing to record, so the
  // undo step is taken here (replacing a copy's step at the press).
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  drag.tracker.end(steps);
  document.toolDrag.reset();
  return true;
}

}  // namespace

bool TransformHoverHit(const Document& document, int x, int y) {
  const Model& model = document.model;
  if (PickHandle(document, x, y) != kHandleNone) return true;
  const std::vector<VECTOR> projected = ProjectAllPoints(document);
  const int point = PickPoint(document, projected, x, y);
  if (point != 0 && model.points[point].state == kStateSelected) return true;
  const int line = PickLine(document, projected, x, y);
  return line != 0 && model.lines[line].state == kStateSelected;
}

void TransformPress(Document& document, const Workspace& workspace, const PointerEvent& event,
                    int handle, int point, int line) {
  MODE& mode = document.mode;
  Model& model = document.model;
  if (event.button == MouseButton::kRight) {
    if (mode.state == kStateDragging) {
      if (StartAttach(document, workspace)) return;
      // Everything since the press goes back, a copy or extrusion included.
      mode.state = 0;
      RunningDrag(document).tracker.cancel();
      document.toolDrag.reset();
      return;
    }
    mode.state = 0;
    Redraw(document);
    return;
  }
  if (event.button != MouseButton::kLeft) return;

  const Picks picks = ResolvePicks(document, Picks{point, line, 0});
  const int code = event.modifiers();
  mode.startX = mode.lastX = event.x;
  mode.startY = mode.lastY = event.y;
  mode.state = kStateDragging;
  mode.modifiers = code;
  if (handle == kHandleNone && picks.point == 0 && picks.line == 0) {
    const bool lasso = workspace.settings.UseLassoSelect == 1;
    StartRegion(document, event, lasso);
    mode.state = lasso ? kStateLasso : kStateRectangle;
    return;
  }
  // The handle, else the point, else the line. A grabbed element that is
  // not selected becomes the selection (added to it with Shift); one that
  // is selected is first copied or extruded when a key asks for it.
  auto drag = std::make_unique<TransformDrag>(document);
  int32_t* state = nullptr;
  if (handle != kHandleNone) {
    mode.targetKind = kTargetHandle;
    mode.targetIndex = handle;
  } else if (picks.point != 0) {
    mode.targetKind = kTargetPoint;
    mode.targetIndex = picks.point;
    state = &model.points[picks.point].state;
  } else {
    mode.targetKind = kTargetLine;
    mode.targetIndex = picks.line;
    state = &model.lines[picks.line].state;
  }
  if (state != nullptr && *state != kStateSelected) {
    SelectGrabbed(document, *state, code);
  } else if (!ExtrudeForPress(document, code)) {
    mode.state = 0;
    return;
  }
  BeginDrag(document, *drag);
  document.toolDrag = std::move(drag);
}

namespace {

void MoveStep(Document& document, const TransformDrag& drag, int x, int y, int code) {
  const MODE& mode = document.mode;
  Model& model = document.model;
  int dx = mode.startX - x;
  int dy = mode.startY - y;
  const bool arm = IsArm(mode);
  if (code == 1 && !arm) {
    // Only the larger of the two movements counts.
    if (std::abs(dx) >= std::abs(dy)) {
      dy = 0;
    } else {
      dx = 0;
    }
  }
  const float f = PixelSize(document, drag.referenceDepth);
  const float shiftX = static_cast<float>(dx) * f;
  const float shiftY = static_cast<float>(dy) * f;
  const bool keepX = document.scene.mirrorSelection >= 2;
  const int axis = arm ? mode.targetIndex - kHandleX : -1;
  const auto moved = [&](const VECTOR& from) {
    VECTOR v = ProjectPoint(document, from, false);
    v.x += shiftX;
    v.y -= shiftY;
    VECTOR to = UnprojectPoint(document, v.x, v.y, v.z, false);
    if (keepX) to.x = from.x;
    if (axis >= 0) {
      for (int k = 0; k < 3; ++k) {
        if (k != axis) Axis(to, k) = Axis(from, k);
      }
    }
    return to;
  };
  const ModelSnapshot& start = DragStart(document, drag);
  for (int p = 1; p <= start.pointCount; ++p) {
    if (Affected(model.points[p])) model.points[p].position = moved(start.points[p].position);
  }
  document.scene.handle = moved(mode.backup);
}

void RotateStep(Document& document, const TransformDrag& drag, int /*x*/, int y, int code) {
  const MODE& mode = document.mode;
  Model& model = document.model;
  int dy = mode.startY - y;
  if (code == 1) {
    // Nearest multiple of 15, halves away from zero.
    const int sign = dy < 0 ? -1 : 1;
    dy = sign * ((std::abs(dy) * 2 + 15) / 30) * 15;
  }
  const float theta = static_cast<float>(dy) * kDegreesToRadians;
  const float c = document.sincos.cos(theta);
  const float s = document.sincos.sin(theta);
  const VECTOR centre = document.scene.handle;
  const bool keepX = document.scene.mirrorSelection >= 2;
  const int arm = IsArm(mode) ? mode.targetIndex : 0;
  const VECTOR viewCentre = ProjectPoint(document, centre, false);
  // Rotation of (u, v) about (cu, cv) in the plane of two coordinates.
  const auto turn = [c, s](float& u, float& v, float cu, float cv) {
    const float du = u - cu;
    const float dv = v - cv;
    u = du * c - dv * s + cu;
    v = dv * c + du * s + cv;
  };
  const ModelSnapshot& start = DragStart(document, drag);
  for (int p = 1; p <= start.pointCount; ++p) {
    if (!Affected(model.points[p])) continue;
    const VECTOR& from = start.points[p].position;
    VECTOR to = from;
    switch (arm) {
      case kHandleX: turn(to.y, to.z, centre.y, centre.z); break;
      case kHandleY: turn(to.x, to.z, centre.x, centre.z); break;
      case kHandleZ: turn(to.x, to.y, centre.x, centre.y); break;
      default: {
        VECTOR v = ProjectPoint(document, from, false);
        turn(v.x, v.y, viewCentre.x, viewCentre.y);
        to = UnprojectPoint(document, v.x, v.y, v.z, false);
        break;
      }
    }
    if (keepX) to.x = from.x;
    model.points[p].position = to;
  }
}

void ScaleStep(Document& document, const TransformDrag& drag, int /*x*/, int y, int code) {
  const MODE& mode = document.mode;
  Model& model = document.model;
  const int dy = mode.startY - y;
  const float factor = static_cast<float>(std::exp(0.01 * dy));
  VECTOR centre = document.scene.handle;
  if (document.scene.mirrorSelection >= 2) centre.x = 0;
  const bool shift = code == 1;
  const int axis = IsArm(mode) ? mode.targetIndex - kHandleX : -1;
  const VECTOR viewCentre = ProjectPoint(document, centre, false);
  const auto scaled = [factor](float value, float about) { return (value - about) * factor + about; };
  const ModelSnapshot& start = DragStart(document, drag);
  for (int p = 1; p <= start.pointCount; ++p) {
    if (!Affected(model.points[p])) continue;
    const VECTOR& from = start.points[p].position;
    VECTOR to = from;
    if (axis >= 0) {
      // Without Shift the arm's axis alone; with Shift the other two.
      for (int k = 0; k < 3; ++k) {
        if ((k == axis) != shift) Axis(to, k) = scaled(Axis(from, k), Axis(centre, k));
      }
    } else {
      VECTOR v = ProjectPoint(document, from, false);
      v.x = scaled(v.x, viewCentre.x);
      v.y = scaled(v.y, viewCentre.y);
      if (!shift) v.z = scaled(v.z, viewCentre.z);
      to = UnprojectPoint(document, v.x, v.y, v.z, false);
    }
    model.points[p].position = to;
  }
}

void NormalMoveStep(Document& document, const TransformDrag& drag, int /*x*/, int y) {
  const MODE& mode = document.mode;
  Model& model = document.model;
  const float f = PixelSize(document, ProjectPoint(document, document.scene.handle, false).z);
  const float d = static_cast<float>(mode.startY - y) * f;
  const ModelSnapshot& start = DragStart(document, drag);
  for (int p = 1; p <= start.pointCount; ++p) {
    const VERT& from = start.points[p];
    if (Affected(model.points[p])) model.points[p].position = from.position + from.selectedNormal * d;
  }
}

}  // namespace

void TransformMove(Document& document, const Workspace& workspace, const PointerEvent& event) {
  MODE& mode = document.mode;
  if (mode.state == 0) {
    document.notify().pointerShapeChanged(TransformHoverHit(document, event.x, event.y));
    return;
  }
  if (mode.state != kStateDragging && mode.state != kStateAttachPending) return;
  if (mode.state == kStateAttachPending && AttachUnderPointer(document, event.x, event.y)) return;
  const int code = event.modifiers();
  TransformDrag& drag = RunningDrag(document);
  const auto step = [&](Document& target) {
    switch (mode.tool) {
      case kToolMove: MoveStep(target, drag, event.x, event.y, code); break;
      case kToolRotate: RotateStep(target, drag, event.x, event.y, code); break;
      case kToolScale: ScaleStep(target, drag, event.x, event.y, code); break;
      case kToolNormalMove: NormalMoveStep(target, drag, event.x, event.y); break;
      default: assert(false && "only the transform tools drag here"); break;
    }
    return EditOutcome{};
  };
  if (drag.tracker.step(step).ok()) FinishStep(document, workspace);
}

void TransformRelease(Document& document, const Workspace& workspace, const PointerEvent& event) {
  MODE& mode = document.mode;
  if (event.button == MouseButton::kRight) {
    if (mode.state == kStateAttachPending) mode.state = kStateDragging;
    return;
  }
  if (event.button != MouseButton::kLeft) return;
  if (mode.state == kStateRectangle) {
    RectangleSelect(document, event.x, event.y);
    return;
  }
  if (mode.state == kStateLasso) {
    LassoSelect(document);
    return;
  }
  if (mode.state != kStateDragging && mode.state != kStateAttachPending) return;
  mode.state = 0;
  const bool smooth = workspace.settings.RealTimeSmooth == 1;
  RefreshNormals(document, smooth ? kNormalsSelectedPoints
                                  : kNormalsSelectedPoints | kNormalsAngleSmoothed);
  if (mode.tool == kToolNormalMove) {
    // Nothing else moves the handle along with the points.
    RefreshSelection(document);
  }
  EditSteps steps;
  steps.refreshSelection = false;
  RunningDrag(document).tracker.end(steps);
  document.toolDrag.reset();
}

}  // namespace vexal
