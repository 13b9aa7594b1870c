// MirrorEdge: a line from every open-boundary point of the selection to
// its mirror partner, closing the seam between the two halves.
#include <cstdlib>
#include <optional>
#include <vector>

#include "commands/edit_frame.h"
#include "commands/mirror_edge.h"
#include "model/model_snapshot.h"
#include "model/weld.h"
#include "io/message_catalog.h"
#include "model/maintenance.h"
#include "model/table_room.h"
#include "model/weld.h"

namespace vexal {

CommandResult RunMirrorEdge(Document& document) {
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [](Document& target) {
    Model& model = target.model;
    if (target.scene.selectedCount == 0) return CommandResult::Refused(Translate("nothing is selected"));
    std::vector<int32_t> sides(static_cast<size_t>(model.lineCount) + 1, 0);
    for (int s = 1; s <= model.faceCount; ++s) {
      const FACE& face = model.faces[s];
      for (int k = 0; k < CornerCount(face); ++k) {
        const int32_t line = std::abs(face.lines[k]);
        if (line >= 1 && line <= model.lineCount) ++sides[line];
      }
    }
    std::vector<uint8_t> open(static_cast<size_t>(model.pointCount) + 1, 0);
    for (int l = 1; l <= model.lineCount; ++l) {
      if (sides[l] >= 2) continue;
      const LINE& line = model.lines[l];
      if (line.a >= 1 && line.a <= model.pointCount) open[line.a] = 1;
      if (line.b >= 1 && line.b <= model.pointCount) open[line.b] = 1;
    }
    std::vector<int32_t> seam;
    for (int p = 1; p <= model.pointCount; ++p) {
      const VERT& point = model.points[p];
      if (open[p] && p < point.mirror && point.selectionClass != 0) seam.push_back(p);
    }
    if (!HasRoomFor(model, 0, static_cast<int64_t>(seam.size()), 0))
      return CommandResult::Refused(TableFull());
    // Splitting quads can only overflow when the surfaces could triple.
    std::optional<ModelSnapshot> backup;
    if (3 * static_cast<int64_t>(model.faceCount) > kMaxCount) backup.emplace(model);
    for (int32_t p : seam) SetLine(model, ++model.lineCount, p, model.points[p].mirror, kStateNormal);
    // A seam line that is some quad's diagonal splits it; one that repeats a
    // line merges into it.
    if (!SplitFoldedQuads(model)) {
      backup->restore(model);
      return CommandResult::Refused(TableFull());
    }
    MarkDuplicateLines(model);
    PurgeMarked(model);
    return CommandResult{};
  });
}

}  // namespace vexal
