#include "model/document.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "model/maintenance.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

DocumentObserver gSilentObserver;

bool SameText(const TextBuffer& a, const TextBuffer& b) { return TextOf(a) == TextOf(b); }

void NotifyTextureChanges(Document& document, const ModelSnapshot& previous,
                          const std::array<MATERIAL, kMaterialCount>& now) {
  for (int k = 0; k < kMaterialCount; ++k) {
    if (!SameText(previous.materials[k].texture, now[k].texture)) document.notify().textureChanged(k);
  }
}

}  // namespace

DocumentObserver& Document::notify() { return observer ? *observer : gSilentObserver; }

int UndoSlotsWithin(int requested) {
  return std::clamp(requested, kMinUndoSlots, kMaxUndoSlots);
}

size_t UndoRing::memoryBytes() const {
  size_t bytes = snapshots.capacity() * sizeof(ModelSnapshot);
  for (const ModelSnapshot& slot : snapshots) {
    bytes += slot.points.capacity() * sizeof(VERT) + slot.lines.capacity() * sizeof(LINE) +
             slot.faces.capacity() * sizeof(FACE);
  }
  return bytes;
}

void InitializeDocument(Document& document, int undoSlots) {
  document.undo = UndoRing(undoSlots);
  ClearModel(document.model);
  document.scene = SCENE{};
  document.mode = MODE{};
  document.rubber.clear();
  document.toolDrag.reset();
  document.skipNextPress = 0;
  document.wheelRemainder = 0;
}

std::string CountLineText(const Model& model) {
  int triangles = 0;
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material != kGuideMaterial) triangles += CornerCount(face) - 2;
  }
  char text[96];
  auto field = [](char* out, size_t size, char letter, int value) {
    if (value > 9999) {
      std::snprintf(out, size, " %c%5d", letter, value);
    } else {
      std::snprintf(out, size, " %c:%4d", letter, value);
    }
  };
  char p[24], l[24], s[24];
  field(p, sizeof p, 'P', model.pointCount);
  field(l, sizeof l, 'L', model.lineCount);
  field(s, sizeof s, 'S', triangles);
  std::snprintf(text, sizeof text, "%s%s%s", p, l, s);
  return text;
}

void RefreshNormals(Document& document, int flags) {
  RefreshNormals(document.model, flags, document.useAngleSmooth);
}

void RefreshSelection(Document& document) {
  Model& model = document.model;
  SCENE& scene = document.scene;
  const int points = model.pointCount;
  auto valid = [points](int32_t p) { return p >= 1 && p <= points; };

  std::vector<uint8_t> marked(static_cast<size_t>(points) + 1, 0);
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (line.state != kStateSelected) continue;
    if (valid(line.a)) marked[line.a] = 1;
    if (valid(line.b)) marked[line.b] = 1;
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.state != kStateSelected) continue;
    for (int32_t corner : face.corners) {
      if (valid(corner)) marked[corner] = 1;
    }
  }

  for (int p = 1; p <= points; ++p) {
    VERT& point = model.points[p];
    const int32_t partner = point.mirror;
    const bool partnerSelected = valid(partner) && model.points[partner].state == kStateSelected;
    const bool partnerMarked = valid(partner) && marked[partner];
    if (point.state == kStateSelected) {
      point.selectionClass = 1;
    } else if (partnerSelected) {
      point.selectionClass = 3;
    } else if (marked[p]) {
      point.selectionClass = 2;
    } else if (partnerMarked) {
      point.selectionClass = 4;
    } else {
      point.selectionClass = 0;
    }
  }

  int count = 0;
  double sum[3] = {0, 0, 0};
  float low[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                  std::numeric_limits<float>::max()};
  float high[3] = {std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest(),
                   std::numeric_limits<float>::lowest()};
  bool partnerIn = false;
  bool partnerOut = false;
  for (int p = 1; p <= points; ++p) {
    const VERT& point = model.points[p];
    if (point.selectionClass != 1 && point.selectionClass != 2) continue;
    ++count;
    const float position[3] = {point.position.x, point.position.y, point.position.z};
    for (int axis = 0; axis < 3; ++axis) {
      sum[axis] += position[axis];
      low[axis] = std::min(low[axis], position[axis]);
      high[axis] = std::max(high[axis], position[axis]);
    }
    if (point.mirror != 0) {
      const int32_t partner = point.mirror;
      const int partnerClass = valid(partner) ? model.points[partner].selectionClass : 0;
      if (partnerClass == 1 || partnerClass == 2) {
        partnerIn = true;
      } else {
        partnerOut = true;
      }
    }
  }
  scene.selectedCount = count;
  scene.mirrorSelection = 2 * (partnerIn ? 1 : 0) + (partnerOut ? 1 : 0);
  if (count == 0) {
    scene.handle = VECTOR();
  } else if (scene.pivotMode != 0) {
    scene.handle = VECTOR((low[0] + high[0]) * 0.5f, (low[1] + high[1]) * 0.5f,
                          (low[2] + high[2]) * 0.5f);
  } else {
    scene.handle = VECTOR(static_cast<float>(sum[0] / count), static_cast<float>(sum[1] / count),
                          static_cast<float>(sum[2] / count));
  }

  for (int l = 1; l <= model.lineCount; ++l) {
    LINE& line = model.lines[l];
    if (!valid(line.a) || !valid(line.b)) continue;
    const int32_t sa = model.points[line.a].state;
    const int32_t sb = model.points[line.b].state;
    if (sa == kStateSelected && sb == kStateSelected) {
      if (line.state != kStateHidden) line.state = kStateSelected;
    } else if (sa == kStateHidden && sb == kStateHidden) {
      line.state = kStateHidden;
    }
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    FACE& face = model.faces[s];
    bool allSelected = true;
    bool allHidden = true;
    for (int32_t corner : face.corners) {
      const int32_t state = valid(corner) ? model.points[corner].state : kStateNormal;
      allSelected = allSelected && state == kStateSelected;
      allHidden = allHidden && state == kStateHidden;
    }
    if (allSelected) {
      if (face.state != kStateHidden) face.state = kStateSelected;
    } else if (allHidden) {
      face.state = kStateHidden;
    }
  }

  RefreshNormals(model, kNormalsFace | kNormalsSelectedPoints, document.useAngleSmooth);
  document.notify().selectionMenusChanged();
  if (count != 0) {
    document.notify().statusTextChanged(FormatMessage("Selected vertices: %d", static_cast<int>(count)));
  } else {
    document.notify().statusTextChanged("");
  }
}

void Redraw(Document& document) {
  document.rubber.clear();
  document.notify().redrawRequested();
}

void UpdateUndoButtons(Document& document) {
  document.notify().undoButtonsChanged(document.undo.undoDepth != 0, document.undo.redoDepth != 0);
}

void PushUndo(Document& document, int step) {
  UndoRing& ring = document.undo;
  if (document.mode.provisional == 1) {
    document.mode.provisional = 0;
    step = 0;
  }
  const int previous = ring.current;
  const int32_t slots = ring.slotCount();
  ring.current = (ring.current + step + slots) % slots;
  ring.undoDepth += step;
  if (ring.undoDepth >= slots) ring.undoDepth = slots - 1;
  ring.redoDepth = 0;

  ModelSnapshot& slot = ring.snapshots[ring.current];
  slot.captureRecords(document.model);
  NotifyTextureChanges(document, ring.snapshots[previous], document.model.materials);
  slot.materials = document.model.materials;

  ++document.revision;
  // Modified before anyone is told, so the window's modified mark follows.
  document.scene.modified = 1;
  UpdateUndoButtons(document);
  document.notify().countLineChanged(CountLineText(document.model));
  document.notify().pivotFieldsChanged();
}

void StepUndo(Document& document, int step) {
  UndoRing& ring = document.undo;
  MODE& mode = document.mode;
  if (mode.savedTool != -1) {
    mode.tool = mode.savedTool;
    mode.savedTool = -1;
  }
  mode.state = 0;
  if (mode.provisional == 1) {
    mode.provisional = 0;
    step = -1;
  }
  const int previous = ring.current;
  const int32_t slots = ring.slotCount();
  ring.current = (ring.current + step + slots) % slots;
  ring.undoDepth += step;
  ring.redoDepth -= step;

  const ModelSnapshot& slot = ring.snapshots[ring.current];
  Model& model = document.model;
  // A slot never written (only reachable through a caller's bug) holds no
  // records; restoring it would leave record 0 undefined.
  if (slot.holdsRecords()) slot.restore(model);
  NotifyTextureChanges(document, ring.snapshots[previous], model.materials);
  ++document.revision;

  UpdateUndoButtons(document);
  RefreshSelection(document);
  document.notify().paletteChanged();
  Redraw(document);
  document.notify().countLineChanged(CountLineText(model));
  document.notify().pivotFieldsChanged();
}

void ResetUndo(Document& document) {
  PushUndo(document, 0);
  document.undo.undoDepth = 0;
  document.undo.redoDepth = 0;
  UpdateUndoButtons(document);
}

void FinishPendingDraw(Document& document) {
  MODE& mode = document.mode;
  Model& model = document.model;
  if (mode.savedTool != -1) {
    mode.tool = mode.savedTool;
    mode.state = mode.savedState;
    mode.savedTool = -1;
  }
  if (mode.tool == kToolPoint && mode.state == 1) {
    mode.state = 0;
    if (model.lineCount >= 1 && model.lines[model.lineCount].a == mode.chainStart) {
      StepUndo(document, 0);
    } else {
      if (model.lineCount >= 1) model.lines[model.lineCount--] = LINE{};
      PushUndo(document, 1);
    }
    RefreshSelection(document);
    Redraw(document);
  } else if (mode.tool == kToolDPoint && mode.state == 1) {
    mode.state = 0;
    if (model.lineCount >= 2 && model.lines[model.lineCount - 1].a == mode.chainStart) {
      StepUndo(document, 0);
    } else {
      for (int k = 0; k < 2 && model.lineCount >= 1; ++k) model.lines[model.lineCount--] = LINE{};
      PurgeMarked(model);
      PushUndo(document, 1);
    }
    RefreshSelection(document);
    Redraw(document);
  }
  mode.state = 0;
}

}  // namespace vexal
