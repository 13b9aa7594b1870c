#include "tools/selection_rules.h"

#include <cstdlib>

#include "model/edit_frame.h"
#include "model/maintenance.h"

namespace vexal {
namespace {

bool VisibleNonGuide(const FACE& face) {
  return face.state != kStateHidden && face.material != kGuideMaterial;
}

void SelectPoint(Model& model, int32_t point) {
  if (ValidPoint(model, point) && model.points[point].state != kStateHidden) {
    model.points[point].state = kStateSelected;
  }
}

// One growth pass over lines of at most `limit` uses; true when it added
// anything.
bool GrowPass(Model& model, const std::vector<int32_t>& uses, int limit) {
  for (int l = 1; l <= model.lineCount; ++l) {
    if (model.lines[l].state == kStateSelected && uses[l] > limit) return false;
  }
  bool grew = false;
  for (bool changed = true; changed;) {
    changed = false;
    for (int l = 1; l <= model.lineCount; ++l) {
      LINE& line = model.lines[l];
      if (uses[l] > limit || !ValidPoint(model, line.a) || !ValidPoint(model, line.b)) continue;
      int32_t& a = model.points[line.a].state;
      int32_t& b = model.points[line.b].state;
      if (line.state == kStateSelected) {
        if (a == kStateNormal) a = kStateSelected, changed = true;
        if (b == kStateNormal) b = kStateSelected, changed = true;
      } else if (line.state == kStateNormal && (a == kStateSelected || b == kStateSelected)) {
        line.state = kStateSelected;
        changed = true;
      }
    }
    grew = grew || changed;
  }
  return grew;
}

}  // namespace

void SelectAllPoints(Model& model) {
  for (int p = 1; p <= model.pointCount; ++p) {
    if (model.points[p].state != kStateHidden) model.points[p].state = kStateSelected;
  }
}

void SelectMaterialSurfaces(Model& model, int32_t material, bool keep) {
  if (!keep) DeselectAll(model);
  for (int s = 1; s <= model.faceCount; ++s) {
    FACE& face = model.faces[s];
    if (face.material == material && face.state != kStateHidden) face.state = kStateSelected;
  }
}

void SelectTripleFaces(Model& model) {
  DeselectAll(model);
  const std::vector<int32_t> uses = LineUses(model, VisibleNonGuide);
  for (int s = 1; s <= model.faceCount; ++s) {
    FACE& face = model.faces[s];
    if (face.state == kStateHidden) continue;
    bool all = true;
    for (int32_t reference : face.lines) {
      const int32_t line = std::abs(reference);
      all = all && line >= 1 && line <= model.lineCount && uses[line] > 2;
    }
    if (all) face.state = kStateSelected;
  }
}

void SelectIndependentLines(Model& model) {
  DeselectAll(model);
  const std::vector<int32_t> uses =
      LineUses(model, [](const FACE& face) { return face.material != kGuideMaterial; });
  for (int l = 1; l <= model.lineCount; ++l) {
    LINE& line = model.lines[l];
    if (uses[l] == 0 && line.state != kStateHidden) line.state = kStateSelected;
  }
}

void ExpandSelection(Model& model) {
  const std::vector<int32_t> uses = LineUses(model, VisibleNonGuide);
  if (!GrowPass(model, uses, 1)) GrowPass(model, uses, 20000);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.state != kStateSelected) continue;
    for (int32_t corner : face.corners) SelectPoint(model, corner);
  }
}

void SelectEdgeLoop(Model& model) {
  const int lines = model.lineCount;
  const std::vector<int32_t> uses = LineUses(model, [](const FACE&) { return true; });
  std::vector<int32_t> corners(static_cast<size_t>(model.pointCount) + 1, 0);
  // The surfaces around each line, with the line's place among the edges.
  std::vector<std::vector<std::pair<int, int>>> around(static_cast<size_t>(lines) + 1);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    const int n = CornerCount(face);
    for (int j = 0; j < n; ++j) {
      if (ValidPoint(model, face.corners[j])) ++corners[face.corners[j]];
      const int32_t line = std::abs(face.lines[j]);
      if (line >= 1 && line <= lines) around[line].push_back({s, j});
    }
  }
  enum : uint8_t { kOpen = 0, kNext = 1, kWalked = 2, kBlocked = 3 };
  std::vector<uint8_t> status(static_cast<size_t>(lines) + 1, kBlocked);
  for (int l = 1; l <= lines; ++l) {
    const LINE& line = model.lines[l];
    if (line.state == kStateHidden || !ValidPoint(model, line.a) || !ValidPoint(model, line.b)) continue;
    if (uses[l] == 1 || uses[l] == 2) status[l] = line.state == kStateSelected ? kNext : kOpen;
  }
  std::vector<uint8_t> reached(static_cast<size_t>(model.pointCount) + 1, 0);
  auto reach = [&](int32_t point) {
    if (corners[point] < 5) reached[point] = 1;
  };
  for (bool changed = true; changed;) {
    changed = false;
    for (int l = 1; l <= lines; ++l) {
      if (status[l] != kNext) continue;
      status[l] = kWalked;
      changed = true;
      for (const auto& [s, j] : around[l]) {
        const FACE& face = model.faces[s];
        const int n = CornerCount(face);
        for (int side : {j + n - 1, j + 1}) {
          const int32_t neighbour = std::abs(face.lines[side % n]);
          if (neighbour >= 1 && neighbour <= lines) status[neighbour] = kBlocked;
        }
      }
      reach(model.lines[l].a);
      reach(model.lines[l].b);
    }
    for (int l = 1; l <= lines; ++l) {
      if (status[l] == kOpen && (reached[model.lines[l].a] || reached[model.lines[l].b])) {
        status[l] = kNext;
        changed = true;
      }
    }
  }
  DeselectAll(model);
  for (int l = 1; l <= lines; ++l) {
    if (status[l] != kWalked) continue;
    model.lines[l].state = kStateSelected;
    SelectPoint(model, model.lines[l].a);
    SelectPoint(model, model.lines[l].b);
  }
}

EditOutcome RunExpandedSelection(Document& document) {
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [](Document& target) {
    ExpandSelection(target.model);
    return EditOutcome{};
  });
}

EditOutcome RunMaterialSelection(Document& document, int32_t material, bool keep) {
  return RunEdit(document, EditSteps{}, [material, keep](Document& target) {
    SelectMaterialSurfaces(target.model, material, keep);
    return EditOutcome{};
  });
}

}  // namespace vexal
