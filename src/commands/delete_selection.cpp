#include "commands/delete_selection.h"

#include <vector>

#include "commands/edit_frame.h"
#include "model/maintenance.h"
#include "model/point_pair_table.h"

namespace vexal {

void MarkSelectionForDeletion(Model& model) {
  // Both directions of a pair give the line; a later line wins a pair.
  PointPairTable pairs;
  pairs.reset(static_cast<size_t>(model.lineCount) * 2);
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (line.state == kStateRemoved) continue;
    pairs.store(line.a, line.b, l);
    pairs.store(line.b, line.a, l);
  }

  for (int p = 1; p <= model.pointCount; ++p) {
    VERT& point = model.points[p];
    if (point.selectionClass == 1 || point.selectionClass == 3) point.state = kStateRemoved;
  }
  for (int l = 1; l <= model.lineCount; ++l) {
    LINE& line = model.lines[l];
    if (line.state == kStateRemoved) continue;
    bool remove = line.state == kStateSelected || model.points[line.a].state == kStateRemoved ||
                  model.points[line.b].state == kStateRemoved;
    if (!remove) {
      const int32_t partnerA = model.points[line.a].mirror;
      const int32_t partnerB = model.points[line.b].mirror;
      const int32_t mirror = partnerA && partnerB ? pairs.find(partnerA, partnerB) : 0;
      remove = mirror != 0 && (model.lines[mirror].state == kStateSelected ||
                               model.lines[mirror].state == kStateRemoved);
    }
    if (remove) line.state = kStateRemoved;
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    FACE& face = model.faces[s];
    bool remove = face.state == kStateSelected;
    for (int j = 0; j < 4 && !remove; ++j) {
      const int32_t reference = face.lines[j];
      const int32_t line = reference < 0 ? -reference : reference;
      remove = model.points[face.corners[j]].state == kStateRemoved ||
               (line != 0 && model.lines[line].state == kStateRemoved);
    }
    if (remove) face.state = kStateRemoved;
  }

  // Points left on no line go too (a free point as well), but a corner of
  // a surface that survives stays even when no line runs along its edges.
  std::vector<uint8_t> used(static_cast<size_t>(model.pointCount) + 1, 0);
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (line.state == kStateRemoved) continue;
    used[line.a] = used[line.b] = 1;
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.state == kStateRemoved) continue;
    for (int32_t corner : face.corners) used[corner] = 1;
  }
  for (int p = 1; p <= model.pointCount; ++p) {
    if (!used[p]) model.points[p].state = kStateRemoved;
  }
}

CommandResult DeleteSelection(Document& document) {
  EditSteps steps;
  steps.purgeMarked = true;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [](Document& doc) {
    MarkSelectionForDeletion(doc.model);
    return CommandResult{};
  });
}

CommandResult DeleteSelectedFaces(Document& document) {
  EditSteps steps;
  steps.purgeMarked = true;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [](Document& doc) {
    Model& model = doc.model;
    for (int s = 1; s <= model.faceCount; ++s) {
      FACE& face = model.faces[s];
      bool allSelected = true;
      for (int32_t corner : face.corners) {
        allSelected = allSelected && model.points[corner].state == kStateSelected;
      }
      if (face.state == kStateSelected || allSelected) face.state = kStateRemoved;
    }
    return CommandResult{};
  });
}

}  // namespace vexal
