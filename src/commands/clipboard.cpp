#include "commands/clipboard.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "commands/corner_set.h"
#include "commands/delete_selection.h"
#include "commands/edit_frame.h"
#include "commands/line_lookup.h"
#include "io/message_catalog.h"
#include "model/table_room.h"

namespace vexal {

void CopySelection(const Document& document, PointClipboard& clipboard) {
  if (document.scene.selectedCount == 0) return;
  const Model& model = document.model;
  std::vector<uint8_t> pointFlag(static_cast<size_t>(model.pointCount) + 1, 0);
  std::vector<uint8_t> lineFlag(static_cast<size_t>(model.lineCount) + 1, 0);
  std::vector<uint8_t> faceFlag(static_cast<size_t>(model.faceCount) + 1, 0);
  auto flagFace = [&](int s) {
    const FACE& face = model.faces[s];
    faceFlag[s] = 1;
    for (int32_t reference : face.lines) {
      if (reference != 0) lineFlag[reference < 0 ? -reference : reference] = 1;
    }
    for (int32_t corner : face.corners) pointFlag[corner] = 1;
  };

  // The order in which surfaces are visited does not change what gets
  // flagged, so they are taken in surface order.
  std::unique_ptr<SurfacesByCorners> byCorners;
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.state != kStateSelected) continue;
    flagFace(s);
    CornerSet partners;
    if (!PartnerCorners(model, face, partners)) continue;
    if (!byCorners) {
      byCorners = std::make_unique<SurfacesByCorners>(model, [](const FACE&) { return true; });
    }
    const int32_t mirror = byCorners->first(partners);
    if (mirror != 0) flagFace(mirror);
  }

  std::unique_ptr<LineLookup> lookup;
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (line.state != kStateSelected && !lineFlag[l]) continue;
    lineFlag[l] = 1;
    pointFlag[line.a] = pointFlag[line.b] = 1;
    const int32_t partnerA = model.points[line.a].mirror;
    const int32_t partnerB = model.points[line.b].mirror;
    if (partnerA == 0 || partnerB == 0) continue;
    if (!lookup) lookup = std::make_unique<LineLookup>(model);
    const int32_t found = lookup->find(partnerA, partnerB);
    if (found == 0) continue;
    const int32_t mirror = found < 0 ? -found : found;
    lineFlag[mirror] = 1;
    pointFlag[model.lines[mirror].a] = pointFlag[model.lines[mirror].b] = 1;
  }

  for (int p = 1; p <= model.pointCount; ++p) {
    const VERT& point = model.points[p];
    if (point.state != kStateSelected && !pointFlag[p]) continue;
    pointFlag[p] = 1;
    if (point.mirror != 0) pointFlag[point.mirror] = 1;
  }

  // New numbers: the flagged records in order, from 1.
  std::vector<int32_t> pointMap(pointFlag.size(), 0);
  std::vector<int32_t> lineMap(lineFlag.size(), 0);
  int32_t points = 0, lines = 0, faces = 0;
  for (int p = 1; p <= model.pointCount; ++p) {
    if (pointFlag[p]) pointMap[p] = ++points;
  }
  for (int l = 1; l <= model.lineCount; ++l) {
    if (lineFlag[l]) lineMap[l] = ++lines;
  }
  for (int s = 1; s <= model.faceCount; ++s) faces += faceFlag[s];

  clipboard.pointCount = points;
  clipboard.lineCount = lines;
  clipboard.faceCount = faces;
  clipboard.points.assign(static_cast<size_t>(points) + 1, VERT{});
  clipboard.lines.assign(static_cast<size_t>(lines) + 1, LINE{});
  clipboard.faces.assign(static_cast<size_t>(faces) + 1, FACE{});
  for (int p = 1; p <= model.pointCount; ++p) {
    if (!pointMap[p]) continue;
    VERT point = model.points[p];
    point.mirror = pointMap[point.mirror];
    clipboard.points[pointMap[p]] = point;
  }
  for (int l = 1; l <= model.lineCount; ++l) {
    if (!lineMap[l]) continue;
    const LINE& line = model.lines[l];
    clipboard.lines[lineMap[l]] = LINE{pointMap[line.a], pointMap[line.b], line.state};
  }
  int32_t write = 0;
  for (int s = 1; s <= model.faceCount; ++s) {
    if (!faceFlag[s]) continue;
    FACE face = model.faces[s];
    for (int32_t& corner : face.corners) corner = pointMap[corner];
    for (int32_t& reference : face.lines) {
      reference = reference < 0 ? -lineMap[-reference] : lineMap[reference];
    }
    clipboard.faces[++write] = face;
  }
}

CommandResult PasteClipboard(Document& document, const PointClipboard& clipboard) {
  EditSteps steps;
  return RunEdit(document, steps, [&clipboard](Document& doc) {
    Model& model = doc.model;
    if (clipboard.empty()) return CommandResult::Refused(Translate("the clipboard is empty"));
    if (!HasRoomFor(model, clipboard.pointCount, clipboard.lineCount, clipboard.faceCount)) {
      return CommandResult::Refused(TableFull());
    }
    DeselectAll(model);
    const int32_t p0 = model.pointCount;
    const int32_t l0 = model.lineCount;
    for (int p = 1; p <= clipboard.pointCount; ++p) {
      VERT point = clipboard.points[p];
      if (point.mirror != 0) point.mirror += p0;
      point.state = kStateSelected;
      model.points[p0 + p] = point;
    }
    for (int l = 1; l <= clipboard.lineCount; ++l) {
      const LINE& line = clipboard.lines[l];
      model.lines[l0 + l] = LINE{line.a + p0, line.b + p0, kStateSelected};
    }
    for (int s = 1; s <= clipboard.faceCount; ++s) {
      FACE face = clipboard.faces[s];
      for (int32_t& corner : face.corners) corner += p0;
      for (int32_t& reference : face.lines) {
        if (reference > 0) reference += l0;
        if (reference < 0) reference -= l0;
      }
      face.state = kStateSelected;
      model.faces[model.faceCount + s] = face;
    }
    model.pointCount += clipboard.pointCount;
    model.lineCount += clipboard.lineCount;
    model.faceCount += clipboard.faceCount;
    return CommandResult{};
  });
}

CommandResult CutSelection(Document& document, PointClipboard& clipboard) {
  FinishPendingDraw(document);
  CopySelection(document, clipboard);
  return DeleteSelection(document);
}

}  // namespace vexal
