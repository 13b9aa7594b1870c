#include "tools/edge_cut.h"

#include <vector>

#include "model/edit_frame.h"
#include "model/maintenance.h"
#include "model/table_room.h"
#include "tools/edge_split.h"

namespace vexal {
namespace {

int32_t Magnitude(int32_t reference) { return reference < 0 ? -reference : reference; }

}  // namespace

EdgeCutResult EdgeCut(Document& document, int line, float t) {
  FinishPendingDraw(document);
  Model& model = document.model;
  std::vector<int8_t> mark(static_cast<size_t>(model.lineCount) + 1, 0);
  if (line != 0) {
    if (line >= 1 && line <= model.lineCount) mark[line] = 1;
  } else {
    for (int l = 1; l <= model.lineCount; ++l) mark[l] = model.lines[l].state == kStateSelected;
  }
  // The quads on each line, with the slot the line has in them.
  std::vector<std::vector<std::pair<int32_t, int8_t>>> quadsOn(mark.size());
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (!IsQuad(face)) continue;
    for (int k = 0; k < 4; ++k) {
      const int32_t l = Magnitude(face.lines[k]);
      if (l != 0 && l <= model.lineCount) quadsOn[l].push_back({s, static_cast<int8_t>(k)});
    }
  }
  // Across the ring, in line order: a mark set during a pass is taken in
  // the same pass when its line comes later. Opposite signs of the two
  // references mean the lines run the same way along the ring.
  bool changed = true;
  while (changed) {
    changed = false;
    for (int i = 1; i <= model.lineCount; ++i) {
      if (mark[i] != 1 && mark[i] != -1) continue;
      const int8_t b = mark[i];
      mark[i] = static_cast<int8_t>(2 * b);
      changed = true;
      for (auto [s, k] : quadsOn[i]) {
        const FACE& face = model.faces[s];
        const int32_t o = face.lines[(k + 2) % 4];
        if (o == 0 || mark[Magnitude(o)] != 0) continue;
        const bool sameWay = (o > 0) != (face.lines[k] > 0);
        mark[Magnitude(o)] = sameWay ? b : static_cast<int8_t>(-b);
      }
    }
  }
  EdgeSplits splits;
  BeginEdgeSplits(model, splits);
  if (t > 0.0f && t < 1.0f) {
    for (int l = 1; l <= model.lineCount; ++l) {
      if (mark[l] == 2) RegisterEdgeSplit(model, splits, l, t, kSplitMirrored);
      if (mark[l] == -2) RegisterEdgeSplit(model, splits, l, 1.0f - t, kSplitMirrored);
    }
  }
  if (splits.count == 0) {
    Redraw(document);
    return EdgeCutResult::kNothing;
  }
  const SplitGrowth growth = PlanSplitGrowth(model, splits, true);
  if (!HasRoom(document, growth.points, growth.lines, growth.faces)) {
    Redraw(document);
    return EdgeCutResult::kNoRoom;
  }
  ApplyEdgeSplits(model, splits);
  RebuildSplitFaces(model, splits, true);
  RelinkFaces(model);
  EditSteps steps;
  steps.purgeMarked = true;
  steps.normalFlags = kNormalsAngleSmoothed;
  EndEdit(document, steps);
  return EdgeCutResult::kCut;
}

}  // namespace vexal
