#include "tools/paint_tool.h"

#include <cassert>
#include <memory>

#include "model/drag_tracker.h"
#include "model/maintenance.h"
#include "tools/picking.h"
#include "tools/quadify.h"

namespace vexal {
namespace {

bool IsPaintTool(int32_t tool) {
  return tool == kToolPaint || tool == kToolSpoit || tool == kToolQuad;
}

// A stroke of Paint or Quad: everything it changes between the press and
// the release is one undo step.
struct PaintStroke final : ToolDrag {
  explicit PaintStroke(Document& document) : tracker(document) {}
  DragTracker tracker;
};

PaintStroke& RunningStroke(Document& document) {
  auto* stroke = dynamic_cast<PaintStroke*>(document.toolDrag.get());
  assert(stroke != nullptr && "a stroke without the tracker of its press");
  return *stroke;
}

void PaintAt(Document& document, const Workspace& workspace, int x, int y) {
  const int s = PickSurface(document, x, y);
  if (s == 0) return;
  FACE& face = document.model.faces[s];
  if (face.material == document.scene.paletteIndex) return;
  document.mode.backup.x = 1.0f;
  face.material = document.scene.paletteIndex;
  if (workspace.settings.RealTimeSmooth == 1) RefreshNormals(document, kNormalsAngleSmoothed);
  Redraw(document);
}

void SpoitAt(Document& document, int x, int y) {
  const int s = PickSurface(document, x, y);
  if (s == 0) return;
  const int32_t material = document.model.faces[s].material;
  if (material == document.scene.paletteIndex) return;
  document.scene.paletteIndex = material;
  document.notify().paletteChanged();
}

void QuadifyUnder(Document& document, const Workspace& workspace, int x, int y) {
  Model& model = document.model;
  const int line = PickLine(document, x, y);
  if (line == 0) return;
  const LINE& picked = model.lines[line];
  const int32_t found = FindLine(model, model.points[picked.a].mirror, model.points[picked.b].mirror);
  const int32_t mirror = found < 0 ? -found : found;
  if (QuadifyAt(model, line) != 1) return;
  document.mode.backup.x = 1.0f;
  if (mirror != 0 && mirror != line) QuadifyAt(model, mirror);
  for (int s = 1; s <= model.faceCount; ++s) {
    FACE& face = model.faces[s];
    for (int j = 0; j < CornerCount(face); ++j) {
      const int32_t r = face.lines[j] < 0 ? -face.lines[j] : face.lines[j];
      if (r != 0 && r <= model.lineCount && model.lines[r].state == kStateRemoved) {
        face.state = kStateRemoved;
      }
    }
  }
  PurgeMarked(model);
  RefreshSelection(document);
  RefreshNormals(document, workspace.settings.RealTimeSmooth == 1
                               ? kNormalsFace | kNormalsAngleSmoothed
                               : kNormalsFace);
  Redraw(document);
}

void ActAt(Document& document, const Workspace& workspace, int x, int y) {
  switch (document.mode.tool) {
    case kToolPaint: PaintAt(document, workspace, x, y); break;
    case kToolSpoit: SpoitAt(document, x, y); break;
    case kToolQuad: QuadifyUnder(document, workspace, x, y); break;
    default: break;
  }
}

}  // namespace

void PaintToolPress(Document& document, const Workspace& workspace, const PointerEvent& event) {
  MODE& mode = document.mode;
  if (!IsPaintTool(mode.tool)) return;
  if (event.button == MouseButton::kLeft) {
    mode.state = 1;
    mode.backup.x = 0.0f;
    if (mode.tool != kToolSpoit) {
      document.toolDrag = std::make_unique<PaintStroke>(document);
    }
    ActAt(document, workspace, event.x, event.y);
  } else if (event.button == MouseButton::kRight && mode.state == 1 && mode.tool != kToolSpoit) {
    // The whole stroke is taken back.
    mode.state = 0;
    RunningStroke(document).tracker.cancel();
    document.toolDrag.reset();
    Redraw(document);
  }
}

void PaintToolMove(Document& document, const Workspace& workspace, const PointerEvent& event) {
  if (!IsPaintTool(document.mode.tool) || document.mode.state != 1) return;
  ActAt(document, workspace, event.x, event.y);
}

void PaintToolRelease(Document& document, const Workspace& workspace, const PointerEvent& event) {
  MODE& mode = document.mode;
  if (!IsPaintTool(mode.tool) || mode.state != 1 || event.button != MouseButton::kLeft) return;
  mode.state = 0;
  if (mode.tool == kToolSpoit) return;
  std::unique_ptr<ToolDrag> stroke = std::move(document.toolDrag);
  if (mode.backup.x != 1.0f) return;
  EditSteps steps;
  steps.refreshSelection = false;
  if (workspace.settings.RealTimeSmooth == 0) steps.normalFlags = kNormalsAngleSmoothed;
  auto* paint = dynamic_cast<PaintStroke*>(stroke.get());
  assert(paint != nullptr && "a stroke without the tracker of its press");
  paint->tracker.end(steps);
}

}  // namespace vexal
