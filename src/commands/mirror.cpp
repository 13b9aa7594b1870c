#include "commands/mirror.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_set>

#include "commands/edit_frame.h"
#include "io/message_catalog.h"
#include "model/camera.h"
#include "model/maintenance.h"
#include "model/point_pair_table.h"
#include "model/table_room.h"

namespace vexal {
namespace {

bool IsSelectedClass(int32_t selectionClass) { return selectionClass == 1 || selectionClass == 2; }
bool IsMirrorSideClass(int32_t selectionClass) {
  return selectionClass == 3 || selectionClass == 4;
}

// A surface's corner key (sum of the corners, negated for a triangle) with
// its distinct corners, sorted: two surfaces are mirror copies when the
// partners of one give the other's key and set.
struct CornerKey {
  int64_t key = 0;
  std::array<int32_t, 4> set{};
  bool operator==(const CornerKey&) const = default;
};
struct CornerKeyHash {
  size_t operator()(const CornerKey& k) const {
    uint64_t h = static_cast<uint64_t>(k.key) * 0x9E3779B97F4A7C15ULL;
    for (int32_t c : k.set) h = (h ^ static_cast<uint32_t>(c)) * 0xff51afd7ed558ccdULL;
    return static_cast<size_t>(h ^ (h >> 32));
  }
};

CornerKey KeyOf(std::array<int32_t, 4> corners, bool quad) {
  CornerKey result;
  result.key = quad ? int64_t{corners[0]} + corners[1] + corners[2] + corners[3]
                    : -(int64_t{corners[0]} + corners[1] + corners[2]);
  std::sort(corners.begin(), corners.end());
  int count = 0;
  for (int k = 0; k < 4; ++k) {
    if (k == 0 || corners[k] != corners[k - 1]) result.set[count++] = corners[k];
  }
  return result;
}

// FindLine for many pairs: the first live line joining two points, signed.
class FirstLineTable {
 public:
  explicit FirstLineTable(const Model& model) {
    table_.reset(static_cast<size_t>(model.lineCount) * 2);
    for (int l = 1; l <= model.lineCount; ++l) {
      const LINE& line = model.lines[l];
      if (line.state == kStateRemoved) continue;
      if (table_.find(line.a, line.b) == 0) table_.store(line.a, line.b, l);
      if (table_.find(line.b, line.a) == 0) table_.store(line.b, line.a, -l);
    }
  }
  int32_t find(int32_t a, int32_t b) const { return table_.find(a, b); }

 private:
  PointPairTable table_;
};

// The plan of MirrorSelection: what to copy, decided before anything is
// appended.
struct MirrorPlan {
  std::vector<uint8_t> pointNeedsPartner;
  std::vector<uint8_t> copyLine;
  std::vector<int32_t> lineMirror;  // signed; for lines copied, set on append
  std::vector<uint8_t> copySurface;
  MirrorCopies copies;
};

MirrorPlan PlanMirror(const Model& model) {
  const int n = model.pointCount;
  auto partnerOf = [&](int32_t p) { return p >= 1 && p <= n ? model.points[p].mirror : 0; };
  MirrorPlan plan;
  plan.pointNeedsPartner.assign(static_cast<size_t>(n) + 1, 0);
  plan.copyLine.assign(static_cast<size_t>(model.lineCount) + 1, 0);
  plan.lineMirror.assign(static_cast<size_t>(model.lineCount) + 1, 0);
  plan.copySurface.assign(static_cast<size_t>(model.faceCount) + 1, 0);
  std::vector<uint8_t> lineMarked(static_cast<size_t>(model.lineCount) + 1, 0);

  std::unordered_set<CornerKey, CornerKeyHash> existing;
  existing.reserve(static_cast<size_t>(model.faceCount));
  for (int s = 1; s <= model.faceCount; ++s) {
    existing.insert(KeyOf(model.faces[s].corners, IsQuad(model.faces[s])));
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.state != kStateSelected) continue;
    std::array<int32_t, 4> partners{};
    bool allPartnered = true;
    for (int k = 0; k < 4; ++k) {
      partners[k] = partnerOf(face.corners[k]);
      if (partners[k] == 0) allPartnered = false;
    }
    if (allPartnered && existing.count(KeyOf(partners, IsQuad(face))) != 0) continue;
    plan.copySurface[s] = 1;
    ++plan.copies.surfaces;
    for (int k = 0; k < 4; ++k) {
      const int32_t line = face.lines[k] < 0 ? -face.lines[k] : face.lines[k];
      if (line >= 1 && line <= model.lineCount) lineMarked[line] = 1;
      const int32_t corner = face.corners[k];
      if (corner >= 1 && corner <= n) plan.pointNeedsPartner[corner] = 1;
    }
  }

  const FirstLineTable firstLines(model);
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (line.state != kStateSelected && !lineMarked[l]) continue;
    const int32_t a = partnerOf(line.a);
    const int32_t b = partnerOf(line.b);
    const int32_t found = a != 0 && b != 0 ? firstLines.find(a, b) : 0;
    if (found != 0) {
      plan.lineMirror[l] = found;
      continue;
    }
    plan.copyLine[l] = 1;
    ++plan.copies.lines;
    if (line.a >= 1 && line.a <= n) plan.pointNeedsPartner[line.a] = 1;
    if (line.b >= 1 && line.b <= n) plan.pointNeedsPartner[line.b] = 1;
  }

  for (int p = 1; p <= n; ++p) {
    const VERT& point = model.points[p];
    const bool wanted = point.state == kStateSelected || plan.pointNeedsPartner[p];
    plan.pointNeedsPartner[p] = wanted && point.mirror == 0;
    if (plan.pointNeedsPartner[p]) ++plan.copies.points;
  }
  return plan;
}

}  // namespace

bool MirrorSelection(Model& model, MirrorCopies* copies) {
  MirrorPlan plan = PlanMirror(model);
  if (copies) *copies = plan.copies;
  if (model.pointCount + plan.copies.points > kMaxCount ||
      model.lineCount + plan.copies.lines > kMaxCount ||
      model.faceCount + plan.copies.surfaces > kMaxCount) {
    return false;
  }
  const int n = model.pointCount;
  for (int p = 1; p <= n; ++p) {
    if (!plan.pointNeedsPartner[p]) continue;
    const int added = ++model.pointCount;
    const VECTOR position = model.points[p].position;
    model.points[added] = VERT{};
    SetPoint(model, added, -position.x, position.y, position.z, kStateSelected, p);
    model.points[p].mirror = added;
  }
  auto partnerOf = [&](int32_t p) { return p >= 1 && p <= n ? model.points[p].mirror : p; };
  const int lines = model.lineCount;
  for (int l = 1; l <= lines; ++l) {
    if (!plan.copyLine[l]) continue;
    const int added = ++model.lineCount;
    SetLine(model, added, partnerOf(model.lines[l].a), partnerOf(model.lines[l].b), kStateSelected);
    plan.lineMirror[l] = added;
  }
  auto mirrorOf = [&](int32_t reference) {
    const int32_t line = reference < 0 ? -reference : reference;
    const int32_t mirrored = line >= 1 && line <= lines ? plan.lineMirror[line] : 0;
    return reference < 0 ? -mirrored : mirrored;
  };
  const int surfaces = model.faceCount;
  for (int s = 1; s <= surfaces; ++s) {
    if (!plan.copySurface[s]) continue;
    const FACE source = model.faces[s];
    const int added = ++model.faceCount;
    FACE& face = model.faces[added];
    face = FACE{};
    for (int k = 0; k < 4; ++k) {
      face.corners[k] = partnerOf(source.corners[k]);
      face.lines[k] = mirrorOf(source.lines[k]);
      face.uv[k] = source.uv[k];
    }
    face.material = source.material;
    face.state = kStateSelected;
    FlipFace(model, added);
  }
  return true;
}

void UnmirrorSelection(Model& model) {
  for (int p = 1; p <= model.pointCount; ++p) {
    if (model.points[p].selectionClass != 0) model.points[p].mirror = 0;
  }
}

void ReflectSelection(Document& document, int axis) {
  Model& model = document.model;
  const VECTOR pivot = ProjectPoint(document, document.scene.handle, false);
  const float centre = axis == 0 ? pivot.x : pivot.y;
  for (int p = 1; p <= model.pointCount; ++p) {
    VERT& point = model.points[p];
    if (!IsSelectedClass(point.selectionClass)) continue;
    VECTOR v = ProjectPoint(document, point.position, false);
    float& coordinate = axis == 0 ? v.x : v.y;
    coordinate = 2 * centre - coordinate;
    point.position = UnprojectPoint(document, v.x, v.y, v.z, false);
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    bool flip = face.state == kStateSelected;
    if (!flip) {
      flip = true;
      for (int32_t corner : face.corners) {
        if (corner < 1 || corner > model.pointCount) {
          flip = false;
          break;
        }
        const VERT& point = model.points[corner];
        const bool mirrorSide = IsMirrorSideClass(point.selectionClass);
        const bool onPlaneSelected = IsSelectedClass(point.selectionClass) && point.mirror == corner;
        if (!mirrorSide && !onPlaneSelected) {
          flip = false;
          break;
        }
      }
    }
    if (flip) FlipFace(model, s);
  }
}

CommandResult RunMirrorSelection(Document& document) {
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [](Document& target) {
    if (target.scene.selectedCount == 0) return CommandResult::Refused(Translate("nothing is selected"));
    if (!MirrorSelection(target.model)) return CommandResult::Refused(TableFull());
    return CommandResult{};
  });
}

CommandResult RunUnmirrorSelection(Document& document) {
  EditSteps steps;
  return RunEdit(document, steps, [](Document& target) {
    UnmirrorSelection(target.model);
    return CommandResult{};
  });
}

CommandResult RunReflectSelection(Document& document, int axis) {
  EditSteps steps;
  steps.syncMirror = true;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [axis](Document& target) {
    if (target.scene.selectedCount == 0) return CommandResult::Refused(Translate("nothing is selected"));
    ReflectSelection(target, axis);
    return CommandResult{};
  });
}

}  // namespace vexal
