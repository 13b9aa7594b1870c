#include <array>
#include <vector>

#include "commands/edit_frame.h"
#include "commands/delete_chain_points.h"
#include "model/maintenance.h"

namespace vexal {

CommandResult DeleteChainPoints(Document& document) {
  EditSteps steps;
  steps.purgeMarked = true;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [](Document& doc) {
    Model& model = doc.model;
    // Surface corners and points on three or more lines stay.
    std::vector<uint8_t> keep(static_cast<size_t>(model.pointCount) + 1, 0);
    for (int s = 1; s <= model.faceCount; ++s) {
      for (int32_t corner : model.faces[s].corners) keep[corner] = 1;
    }
    std::vector<std::array<int32_t, 2>> linesAt(keep.size(), {0, 0});
    std::vector<int32_t> lineCountAt(keep.size(), 0);
    for (int l = 1; l <= model.lineCount; ++l) {
      for (int32_t end : {model.lines[l].a, model.lines[l].b}) {
        int32_t& count = lineCountAt[end];
        if (count < 2) {
          linesAt[end][count] = l;
        } else {
          keep[end] = 1;
        }
        ++count;
      }
    }
    // A line that was merged into another answers for it.
    std::vector<int32_t> forward(static_cast<size_t>(model.lineCount) + 1);
    for (int l = 0; l <= model.lineCount; ++l) forward[l] = l;
    auto follow = [&](int32_t line) {
      while (model.lines[line].state == kStateRemoved) line = forward[line];
      return line;
    };
    auto otherEnd = [&](int32_t line, int32_t point) {
      return model.lines[line].a == point ? model.lines[line].b : model.lines[line].a;
    };

    for (int p = 1; p <= model.pointCount; ++p) {
      const VERT& point = model.points[p];
      if (keep[p] || lineCountAt[p] != 2) continue;
      if (point.selectionClass != 1 && point.selectionClass != 3) continue;
      const int32_t c = follow(linesAt[p][0]);
      const int32_t d = follow(linesAt[p][1]);
      const int32_t e = otherEnd(c, p);
      const int32_t f = otherEnd(d, p);
      // What is left of a closed loop: joining the two would give a line
      // from a point to itself.
      if (c == d || e == f) continue;
      model.points[p].state = kStateRemoved;
      model.lines[d].state = kStateRemoved;
      forward[d] = c;
      forward[c] = c;
      model.lines[c] = LINE{e, f, kStateNormal};
    }
    MarkDuplicateLines(model);
    DeselectAll(model);
    return CommandResult{};
  });
}

}  // namespace vexal
