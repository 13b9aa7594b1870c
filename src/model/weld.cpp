#include "model/weld.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <vector>

#include "io/message_catalog.h"
#include "model/maintenance.h"
#include "model/model_snapshot.h"
#include "model/sync_mirror.h"
#include "model/table_room.h"
#include "model/weld_clustering.h"

namespace vexal {
namespace {

bool IsSelectedClass(int32_t selectionClass) { return selectionClass == 1 || selectionClass == 2; }
bool IsMirrorSideClass(int32_t selectionClass) {
  return selectionClass == 3 || selectionClass == 4;
}

// The common end of AttachApproximate and AttachSame, from the
// representative map of the selected points (0 for the others).
bool FinishWeld(Model& model, std::vector<int32_t>& rep, bool moveToCentroid) {
  const int n = model.pointCount;
  auto inRange = [n](int32_t p) { return p >= 1 && p <= n; };
  std::vector<std::array<double, 3>> sum(static_cast<size_t>(n) + 1, {0.0, 0.0, 0.0});
  std::vector<int32_t> members(static_cast<size_t>(n) + 1, 0);
  std::vector<uint8_t> inside(static_cast<size_t>(n) + 1, 0);
  std::vector<uint8_t> outside(static_cast<size_t>(n) + 1, 0);
  for (int k = 1; k <= n; ++k) {
    const int j = rep[k];
    if (j == 0) continue;
    const VECTOR& v = model.points[k].position;
    sum[j][0] += v.x;
    sum[j][1] += v.y;
    sum[j][2] += v.z;
    ++members[j];
    const int32_t partner = model.points[k].mirror;
    if (partner == 0) continue;
    const int32_t mapped = inRange(partner) && rep[partner] != 0 ? rep[partner] : partner;
    (mapped == j ? inside : outside)[j] = 1;
  }
  for (int j = 1; j <= n; ++j) {
    if (rep[j] != j) continue;
    VERT& point = model.points[j];
    VECTOR position = point.position;
    if (moveToCentroid) {
      const double count = members[j];
      position = VECTOR(static_cast<float>(sum[j][0] / count), static_cast<float>(sum[j][1] / count),
                        static_cast<float>(sum[j][2] / count));
    }
    switch (2 * inside[j] + outside[j]) {
      case 0:
        SetPoint(model, j, position.x, position.y, position.z, kStateNormal, 0);
        break;
      case 2:
        SetPoint(model, j, 0.0f, position.y, position.z, kStateNormal, j);
        break;
      default: {
        const int32_t partner = point.mirror;
        const int32_t mapped = inRange(partner) && rep[partner] != 0 ? rep[partner] : partner;
        SetPoint(model, j, position.x, position.y, position.z, kStateNormal, mapped);
        break;
      }
    }
  }
  for (int k = 1; k <= n; ++k) {
    if (rep[k] == 0) rep[k] = k;
  }
  for (int k = 1; k <= n; ++k) {
    VERT& point = model.points[k];
    if (IsMirrorSideClass(point.selectionClass) && inRange(point.mirror)) {
      const int32_t partnerRep = rep[point.mirror];
      const int32_t image = model.points[partnerRep].mirror;
      // A representative without a partner has no image to weld onto: the
      // point stays itself and, having nothing to mirror, loses its partner.
      rep[k] = image != 0 ? image : k;
      point.mirror = image != 0 ? partnerRep : 0;
    }
    if (rep[k] != k) point.mirror = 0;
  }
  // Clusters that are not mirror images of each other (partners kept at
  // positions that do not mirror) can leave a partner that points elsewhere;
  // such one-sided partners are dropped so that pairing stays symmetric.
  std::vector<int32_t> oneSided;
  for (int k = 1; k <= n; ++k) {
    const int32_t partner = model.points[k].mirror;
    if (partner != 0 && partner != k && (!inRange(partner) || model.points[partner].mirror != k)) {
      oneSided.push_back(k);
    }
  }
  for (int32_t k : oneSided) model.points[k].mirror = 0;
  for (int l = 1; l <= model.lineCount; ++l) {
    LINE& line = model.lines[l];
    if (inRange(line.a)) line.a = rep[line.a];
    if (inRange(line.b)) line.b = rep[line.b];
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    for (int32_t& corner : model.faces[s].corners) {
      if (inRange(corner)) corner = rep[corner];
    }
  }
  if (!WeldCleanup(model)) return false;
  SyncMirror(model);
  DeselectAll(model);
  return true;
}

std::vector<int32_t> SelectedRepresentatives(const Model& model) {
  std::vector<int32_t> rep(static_cast<size_t>(model.pointCount) + 1, 0);
  for (int p = 1; p <= model.pointCount; ++p) {
    if (IsSelectedClass(model.points[p].selectionClass)) rep[p] = p;
  }
  return rep;
}

// Splitting folded quads is the one step that can pass a capacity, and only
// when the surfaces could grow by twice their number; the model is copied
// aside only then.
std::optional<ModelSnapshot> BackupIfSplitsCouldOverflow(const Model& model) {
  if (3 * static_cast<int64_t>(model.faceCount) <= kMaxCount) return std::nullopt;
  return std::optional<ModelSnapshot>(std::in_place, model);
}

}  // namespace

MaybeRefusal AttachSingle(Model& model, const WeldSelection& selection) {
  if (selection.selectedCount == 0) return Refusal{Translate("nothing is selected")};
  const std::optional<ModelSnapshot> backup = BackupIfSplitsCouldOverflow(model);
  const int n = model.pointCount;
  const int code = selection.mirrorSelection;
  const bool makesPair = code == 1 || code == 3;
  std::vector<int32_t> map(static_cast<size_t>(n) + 1, 0);
  for (int p = 1; p <= n; ++p) {
    VERT& point = model.points[p];
    map[p] = p;
    if (IsSelectedClass(point.selectionClass)) {
      map[p] = n + 1;
      point.state = kStateRemoved;
    } else if (makesPair && IsMirrorSideClass(point.selectionClass)) {
      map[p] = n + 2;
      point.state = kStateRemoved;
    }
  }
  auto mapPoint = [&](int32_t p) { return p >= 1 && p <= n ? map[p] : p; };
  for (int l = 1; l <= model.lineCount; ++l) {
    LINE& line = model.lines[l];
    line.a = mapPoint(line.a);
    line.b = mapPoint(line.b);
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    for (int32_t& corner : model.faces[s].corners) corner = mapPoint(corner);
  }
  // The welded points are removed by the clean-up below, so the point table
  // holds at most two records more than before for the length of the command
  // (its slots have room), and ends with no more than it started with.
  const VECTOR& pivot = selection.pivot;
  model.points[n + 1] = VERT{};
  if (makesPair) {
    model.points[n + 2] = VERT{};
    SetPoint(model, n + 1, pivot.x, pivot.y, pivot.z, kStateNormal, n + 2);
    SetPoint(model, n + 2, -pivot.x, pivot.y, pivot.z, kStateNormal, n + 1);
    model.pointCount = n + 2;
  } else if (code == 2) {
    SetPoint(model, n + 1, 0.0f, pivot.y, pivot.z, kStateNormal, n + 1);
    model.pointCount = n + 1;
  } else {
    SetPoint(model, n + 1, pivot.x, pivot.y, pivot.z, kStateNormal, 0);
    model.pointCount = n + 1;
  }
  if (!WeldCleanup(model)) {
    backup->restore(model);
    return TableFull();
  }
  return std::nullopt;
}

MaybeRefusal AttachApproximate(Model& model, const WeldSelection& selection, float radius) {
  if (selection.selectedCount == 0) return Refusal{Translate("nothing is selected")};
  const std::optional<ModelSnapshot> backup = BackupIfSplitsCouldOverflow(model);
  std::vector<int32_t> rep = SelectedRepresentatives(model);
  ClusterNearPoints(model, rep, radius);
  if (!FinishWeld(model, rep, true)) {
    backup->restore(model);
    return TableFull();
  }
  return std::nullopt;
}

MaybeRefusal AttachSame(Model& model, const WeldSelection& selection) {
  if (selection.selectedCount == 0) return Refusal{Translate("nothing is selected")};
  const std::optional<ModelSnapshot> backup = BackupIfSplitsCouldOverflow(model);
  std::vector<int32_t> rep = SelectedRepresentatives(model);
  ClusterSamePoints(model, rep);
  if (!FinishWeld(model, rep, false)) {
    backup->restore(model);
    return TableFull();
  }
  return std::nullopt;
}

}  // namespace vexal
