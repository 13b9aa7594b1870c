#include "tools/knife.h"

#include "model/edit_frame.h"
#include "model/maintenance.h"
#include "model/table_room.h"
#include "tools/edge_cut.h"
#include "tools/edge_split.h"
#include "tools/picking.h"
#include "tools/rubber.h"

namespace vexal {
namespace {

// Applies the registered splits and cuts the surfaces, or refuses when the
// tables have no room; true when the model changed.
bool ApplyCut(Document& document, EdgeSplits& splits) {
  Model& model = document.model;
  if (splits.count == 0) return false;
  const SplitGrowth growth = PlanSplitGrowth(model, splits, false);
  if (!HasRoom(document, growth.points, growth.lines, growth.faces)) return false;
  ApplyEdgeSplits(model, splits);
  RebuildSplitFaces(model, splits, false);
  return true;
}

}  // namespace

void KnifeMove(Document& document, int x, int y) {
  MODE& mode = document.mode;
  InvertRubberLine(document, mode.startX, mode.startY, mode.lastX, mode.lastY);
  mode.lastX = x;
  mode.lastY = y;
  InvertRubberLine(document, mode.startX, mode.startY, mode.lastX, mode.lastY);
}

void KnifeCut(Document& document, int x, int y) {
  Model& model = document.model;
  MODE& mode = document.mode;
  mode.state = 0;
  const std::vector<VECTOR> projected = ProjectAllPoints(document);
  const float ax = static_cast<float>(mode.startX);
  const float ay = static_cast<float>(mode.startY);
  const float rx = static_cast<float>(x) - ax;
  const float ry = static_cast<float>(y) - ay;
  EdgeSplits splits;
  BeginEdgeSplits(model, splits);
  for (int l = 1; l <= splits.lineCount0; ++l) {
    const LINE& line = model.lines[l];
    if (line.state == kStateHidden) continue;
    if (line.a < 1 || line.a > model.pointCount || line.b < 1 || line.b > model.pointCount) continue;
    const VECTOR& c = projected[line.a];
    const VECTOR& d = projected[line.b];
    const float sx = d.x - c.x;
    const float sy = d.y - c.y;
    const float denominator = rx * sy - ry * sx;
    if (denominator == 0.0f) continue;
    const float qx = c.x - ax;
    const float qy = c.y - ay;
    const float t = (qx * sy - qy * sx) / denominator;
    const float u = (qx * ry - qy * rx) / denominator;
    if (!(t >= 0 && t <= 1 && u >= 0 && u <= 1)) continue;
    const float s = LineParameterAt(document, l, ScreenInt(ax + t * rx), ScreenInt(ay + t * ry));
    if (s != -1.0f) RegisterEdgeSplit(model, splits, l, s, kSplitMirrored);
  }
  const int lines = model.lineCount;
  if (ApplyCut(document, splits) && model.lineCount != lines) {
    RelinkFaces(model);
    EditSteps steps;
    steps.purgeMarked = true;
    steps.normalFlags = kNormalsAngleSmoothed;
    EndEdit(document, steps);
    return;
  }
  Redraw(document);
}

bool KnifeClick(Document& document, const Workspace& workspace, const PointerEvent& event, int point,
                int line) {
  const Picks picks = ResolvePicks(document, {point, line, 0});
  if (picks.line == 0) return false;
  Model& model = document.model;
  const float s = LineParameterAt(document, picks.line, event.x, event.y);
  if (s == -1.0f) return true;
  if (workspace.settings.UseLoopSplit == 1) {
    EdgeCut(document, picks.line, s);
    return true;
  }
  EdgeSplits splits;
  BeginEdgeSplits(model, splits);
  RegisterEdgeSplit(model, splits, picks.line, s, kSplitMirrored);
  if (!ApplyCut(document, splits)) return true;
  RelinkFaces(model);
  EditSteps steps;
  steps.normalFlags = kNormalsFace | kNormalsAngleSmoothed | kNormalsSelectedPoints;
  EndEdit(document, steps);
  return true;
}

}  // namespace vexal
