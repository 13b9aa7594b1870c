#include <vector>

#include "commands/edit_frame.h"
#include "model/table_room.h"
#include "commands/subdivide.h"
#include "model/maintenance.h"
#include "tools/edge_cut.h"
#include "tools/edge_split.h"

namespace vexal {

CommandResult SubdivideFaces(Document& document) {
  FinishPendingDraw(document);
  Model& model = document.model;
  std::vector<uint8_t> marked(static_cast<size_t>(model.lineCount) + 1, 0);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.state != kStateSelected) continue;
    for (int j = 0; j < CornerCount(face); ++j) {
      const int32_t line = face.lines[j] < 0 ? -face.lines[j] : face.lines[j];
      if (line != 0 && line <= model.lineCount) marked[line] = 1;
    }
  }
  EdgeSplits splits;
  BeginEdgeSplits(model, splits);
  for (int l = 1; l <= model.lineCount; ++l) {
    if (marked[l]) RegisterEdgeSplit(model, splits, l, 0.5f, kSplitMirrored);
  }
  // Nothing split records nothing.
  if (splits.count == 0) {
    Redraw(document);
    return CommandResult{};
  }
  const SplitGrowth growth = PlanSplitGrowth(model, splits, true);
  if (!HasRoomFor(model, growth.points, growth.lines, growth.faces))
    return CommandResult::Refused(TableFull());
  EditSteps steps;
  steps.purgeMarked = true;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [&splits](Document& doc) {
    ApplyEdgeSplits(doc.model, splits);
    RebuildSplitFaces(doc.model, splits, true);
    RelinkFaces(doc.model);
    return CommandResult{};
  });
}

}  // namespace vexal
