#include "model/weld.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <optional>
#include <unordered_map>
#include <utility>

#include "io/message_catalog.h"
#include "model/maintenance.h"
#include "model/model_backup.h"
#include "model/point_pair_table.h"
#include "model/sync_mirror.h"
#include "model/table_room.h"

namespace vexal {
namespace {

bool IsSelectedClass(int32_t selectionClass) { return selectionClass == 1 || selectionClass == 2; }
bool IsMirrorSideClass(int32_t selectionClass) {
  return selectionClass == 3 || selectionClass == 4;
}

template <typename Key>
bool AllEqual(const std::vector<Key>& keys, int lo, int hi) {
  for (int k = lo + 1; k <= hi; ++k) {
    if (!(keys[k] == keys[lo])) return false;
  }
  return true;
}

// The order the partitions below leave a range of equal keys in, without
// their quadratic walk. With every key equal, a partition swaps the middle
// entry to the front, keeps it there and rotates the rest left by one, then
// goes on with the rest; a deque does each of those steps in constant time.
void EqualRangeOrder(std::vector<int32_t>& items, int lo, int hi, std::deque<int32_t>& run) {
  run.assign(items.begin() + lo, items.begin() + hi + 1);
  for (int out = lo; out <= hi; ++out) {
    const size_t middle = (run.size() - 1) / 2;
    std::swap(run[0], run[middle]);
    items[out] = run.front();
    run.pop_front();
    if (run.size() > 1) {
      run.push_back(run.front());
      run.pop_front();
    }
  }
}

template <typename Key>
void QuicksortRange(std::vector<Key>& keys, std::vector<int32_t>& items, int n) {
  // The two halves of a partition never touch, so the order they are sorted
  // in does not matter; a stack of ranges keeps deep (degenerate) splits off
  // the call stack.
  std::vector<std::pair<int, int>> ranges;
  ranges.emplace_back(1, n);
  auto exchange = [&](int a, int b) {
    std::swap(keys[a], keys[b]);
    std::swap(items[a], items[b]);
  };
  std::deque<int32_t> run;
  while (!ranges.empty()) {
    const auto [lo, hi] = ranges.back();
    ranges.pop_back();
    if (lo >= hi) continue;
    // Short runs cost little either way.
    if (hi - lo >= 32 && AllEqual(keys, lo, hi)) {
      EqualRangeOrder(items, lo, hi, run);
      continue;
    }
    exchange((lo + hi) / 2, lo);
    int i = lo;
    int j = hi;
    while (i < j) {
      if (keys[i] > keys[i + 1]) {
        exchange(i, i + 1);
        ++i;
      } else {
        exchange(i + 1, j);
        --j;
      }
    }
    ranges.emplace_back(lo, i - 1);
    ranges.emplace_back(i + 1, hi);
  }
}

int32_t Magnitude(int32_t reference) { return reference < 0 ? -reference : reference; }

// The sorted distinct corners of a surface, padded with 0.
using CornerSet = std::array<int32_t, 4>;
CornerSet DistinctCorners(const FACE& face, int* size) {
  CornerSet set = face.corners;
  std::sort(set.begin(), set.end());
  int count = 0;
  for (int k = 0; k < 4; ++k) {
    if (k == 0 || set[k] != set[k - 1]) set[count++] = set[k];
  }
  for (int k = count; k < 4; ++k) set[k] = 0;
  *size = count;
  return set;
}

bool CornersAmong(const FACE& inner, const FACE& outer) {
  for (int32_t corner : inner.corners) {
    if (std::find(outer.corners.begin(), outer.corners.end(), corner) == outer.corners.end()) {
      return false;
    }
  }
  return true;
}

void Absorb(Model& model, int survivor, int removed) {
  FACE& d = model.faces[survivor];
  FACE& g = model.faces[removed];
  g.state = kStateRemoved;
  d.material = std::min(d.material, g.material);
}

// One run of equal keys in sorted order, entries first..last. Short runs
// compare every pair as written; long ones (only adversarial models have
// them) find the surfaces whose corners lie among d's by looking up each
// subset of d's corners in the run sorted by corner set.
void DropDuplicatesInRun(Model& model, const std::vector<int32_t>& order, int first, int last) {
  constexpr int kShortRun = 8;
  if (last - first + 1 <= kShortRun) {
    for (int x = first; x <= last; ++x) {
      const int d = order[x];
      if (model.faces[d].state == kStateRemoved) continue;
      for (int y = x + 1; y <= last; ++y) {
        const int g = order[y];
        if (model.faces[g].state != kStateRemoved && CornersAmong(model.faces[g], model.faces[d])) {
          Absorb(model, d, g);
        }
      }
    }
    return;
  }
  struct Entry {
    CornerSet set;
    int position;  // in sorted order
  };
  std::vector<Entry> entries;
  entries.reserve(static_cast<size_t>(last - first + 1));
  bool oneSize = true;
  int firstSize = -1;
  for (int x = first; x <= last; ++x) {
    int size = 0;
    entries.push_back({DistinctCorners(model.faces[order[x]], &size), x});
    if (firstSize < 0) firstSize = size;
    if (size != firstSize) oneSize = false;
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    return a.set != b.set ? a.set < b.set : a.position < b.position;
  });
  std::vector<uint8_t> swept(entries.size(), 0);
  for (int x = first; x <= last; ++x) {
    const int d = order[x];
    if (model.faces[d].state == kStateRemoved) continue;
    int size = 0;
    const CornerSet own = DistinctCorners(model.faces[d], &size);
    const int fullMask = (1 << size) - 1;
    for (int mask = oneSize ? fullMask : 1; mask <= fullMask; ++mask) {
      CornerSet subset{};
      int count = 0;
      for (int k = 0; k < size; ++k) {
        if (mask & (1 << k)) subset[count++] = own[k];
      }
      const auto begin = std::lower_bound(
          entries.begin(), entries.end(), subset,
          [](const Entry& e, const CornerSet& s) { return e.set < s; });
      if (begin == entries.end() || begin->set != subset) continue;
      const size_t bucket = static_cast<size_t>(begin - entries.begin());
      if (swept[bucket]) continue;
      // Every live entry of the bucket before x has already swept it, so
      // once swept it holds nothing live after any later surface either.
      swept[bucket] = 1;
      for (auto it = begin; it != entries.end() && it->set == subset; ++it) {
        if (it->position <= x) continue;
        const int g = order[it->position];
        if (model.faces[g].state != kStateRemoved) Absorb(model, d, g);
      }
    }
  }
}

// Whether two live surfaces of the same key have the corners of one among
// the corners of the other, in either order.
bool MayHoldDuplicates(const Model& model) {
  struct Entry {
    int32_t key;
    int size;
    CornerSet set;
    bool operator<(const Entry& other) const {
      return key != other.key ? key < other.key : set < other.set;
    }
  };
  std::vector<Entry> entries;
  entries.reserve(static_cast<size_t>(model.faceCount));
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.state == kStateRemoved) continue;
    const auto& c = face.corners;
    Entry entry{IsQuad(face) ? c[0] + c[1] + c[2] + c[3] : -(c[0] + c[1] + c[2]), 0, {}};
    entry.set = DistinctCorners(face, &entry.size);
    entries.push_back(entry);
  }
  std::sort(entries.begin(), entries.end());
  for (size_t k = 0; k + 1 < entries.size(); ++k) {
    if (entries[k].key == entries[k + 1].key && entries[k].set == entries[k + 1].set) return true;
  }
  for (const Entry& entry : entries) {
    const int fullMask = (1 << entry.size) - 1;
    for (int mask = 1; mask < fullMask; ++mask) {
      Entry subset{entry.key, 0, {}};
      for (int k = 0; k < entry.size; ++k) {
        if (mask & (1 << k)) subset.set[subset.size++] = entry.set[k];
      }
      const auto found = std::lower_bound(entries.begin(), entries.end(), subset);
      if (found != entries.end() && found->key == subset.key && found->set == subset.set) {
        return true;
      }
    }
  }
  return false;
}

// Cells of a grid at least twice the reach of the weld radius, so that the
// points close to a point lie in its own cell or the neighbouring one on
// the nearer side, on each axis: eight cells to look in.
struct CellKey {
  int64_t x, y, z;
  bool operator==(const CellKey&) const = default;
};
struct CellKeyHash {
  size_t operator()(const CellKey& k) const {
    uint64_t h = static_cast<uint64_t>(k.x) * 0x9E3779B97F4A7C15ULL;
    h ^= static_cast<uint64_t>(k.y) * 0xC2B2AE3D27D4EB4FULL + (h << 6) + (h >> 2);
    h ^= static_cast<uint64_t>(k.z) * 0x165667B19E3779F9ULL + (h << 6) + (h >> 2);
    return static_cast<size_t>(h ^ (h >> 29));
  }
};

int64_t CellOf(double value, double* fraction) {
  constexpr double kLimit = 1125899906842624.0;  // 2^50
  const double scaled = std::clamp(value, -kLimit, kLimit);
  const double cell = std::floor(scaled);
  *fraction = scaled - cell;
  return static_cast<int64_t>(cell);
}

// The literal clustering, for radii and positions the grid cannot hold
// (a radius that is not finite, a coordinate that is not finite).
void ClusterAllPairs(Model& model, std::vector<int32_t>& rep, float radiusSquared) {
  const int n = model.pointCount;
  for (int i = 1; i <= n - 1; ++i) {
    if (rep[i] != i) continue;
    for (int g = i + 1; g <= n; ++g) {
      if (rep[g] != g) continue;
      if (!WithinWeldRadius(model.points[i].position, model.points[g].position, radiusSquared)) {
        continue;
      }
      rep[g] = i;
      if (model.points[i].mirror == 0) model.points[i].mirror = model.points[g].mirror;
    }
  }
}

// Greedy in index order without chaining: each point still its own
// representative absorbs every later such point within the radius of it.
void ClusterNearPoints(Model& model, std::vector<int32_t>& rep, float radius) {
  const int n = model.pointCount;
  const float radiusSquared = radius * radius;
  if (std::isnan(radiusSquared)) return;  // nothing is ever close
  bool finite = std::isfinite(radiusSquared);
  for (int p = 1; p <= n && finite; ++p) {
    if (rep[p] != p) continue;
    const VECTOR& v = model.points[p].position;
    finite = std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
  }
  if (!finite) {
    ClusterAllPairs(model, rep, radiusSquared);
    return;
  }
  // A float squared distance that rounds to at most r^2 (or underflows to
  // 0) bounds each coordinate difference by about max(r, 2^-75); the margin
  // covers the rounding.
  const double reach = std::max(static_cast<double>(std::fabs(radius)), 1e-22) * 1.01;
  const double cellSize = 2.0 * reach;
  struct Placed {
    CellKey cell;
    int32_t point;
  };
  std::vector<Placed> placed;
  std::vector<std::array<int8_t, 3>> side(static_cast<size_t>(n) + 1);
  for (int p = 1; p <= n; ++p) {
    if (rep[p] != p) continue;
    const VECTOR& v = model.points[p].position;
    double fx = 0, fy = 0, fz = 0;
    const CellKey cell{CellOf(v.x / cellSize, &fx), CellOf(v.y / cellSize, &fy),
                       CellOf(v.z / cellSize, &fz)};
    side[p] = {static_cast<int8_t>(fx < 0.5 ? -1 : 1), static_cast<int8_t>(fy < 0.5 ? -1 : 1),
               static_cast<int8_t>(fz < 0.5 ? -1 : 1)};
    placed.push_back({cell, p});
  }
  std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
    if (a.cell.x != b.cell.x) return a.cell.x < b.cell.x;
    if (a.cell.y != b.cell.y) return a.cell.y < b.cell.y;
    if (a.cell.z != b.cell.z) return a.cell.z < b.cell.z;
    return a.point < b.point;
  });
  std::unordered_map<CellKey, std::pair<int, int>, CellKeyHash> cells;
  cells.reserve(placed.size());
  std::vector<CellKey> cellOfPoint(static_cast<size_t>(n) + 1);
  for (size_t k = 0; k < placed.size();) {
    size_t end = k;
    while (end < placed.size() && placed[end].cell == placed[k].cell) {
      cellOfPoint[placed[end].point] = placed[k].cell;
      ++end;
    }
    cells.emplace(placed[k].cell, std::make_pair(static_cast<int>(k), static_cast<int>(end)));
    k = end;
  }

  std::vector<int32_t> found;
  for (int i = 1; i <= n - 1; ++i) {
    if (rep[i] != i) continue;
    const VECTOR& origin = model.points[i].position;
    const CellKey home = cellOfPoint[i];
    found.clear();
    for (int corner = 0; corner < 8; ++corner) {
      const CellKey cell{home.x + ((corner & 1) ? side[i][0] : 0),
                         home.y + ((corner & 2) ? side[i][1] : 0),
                         home.z + ((corner & 4) ? side[i][2] : 0)};
      const auto range = cells.find(cell);
      if (range == cells.end()) continue;
      for (int k = range->second.first; k < range->second.second; ++k) {
        const int g = placed[static_cast<size_t>(k)].point;
        if (g <= i || rep[g] != g) continue;
        if (WithinWeldRadius(origin, model.points[g].position, radiusSquared)) found.push_back(g);
      }
    }
    std::sort(found.begin(), found.end());
    for (int g : found) {
      rep[g] = i;
      if (model.points[i].mirror == 0) model.points[i].mirror = model.points[g].mirror;
    }
  }
}

// Within runs of equal keys of the sorted list, the first of each group of
// exactly equal positions absorbs the rest of its group.
void ClusterSamePoints(Model& model, std::vector<int32_t>& rep) {
  const int n = model.pointCount;
  std::vector<float> keys(static_cast<size_t>(n) + 1, 0.0f);
  std::vector<int32_t> order(static_cast<size_t>(n) + 1, 0);
  for (int p = 1; p <= n; ++p) {
    keys[p] = SamePositionKey(model.points[p].position);
    order[p] = p;
  }
  WeldQuicksort(keys, order, n);
  std::vector<int32_t> members;
  for (int first = 1; first <= n;) {
    int last = first;
    while (last + 1 <= n && keys[last + 1] == keys[first]) ++last;
    members.clear();
    for (int x = first; x <= last; ++x) {
      const int p = order[x];
      const VECTOR& v = model.points[p].position;
      // A NaN coordinate equals nothing, itself included.
      if (rep[p] == p && !std::isnan(v.x) && !std::isnan(v.y) && !std::isnan(v.z)) {
        members.push_back(p);
      }
    }
    first = last + 1;
    if (members.size() < 2) continue;
    // Equal positions become neighbours, each group keeping sorted order.
    std::stable_sort(members.begin(), members.end(), [&](int32_t a, int32_t b) {
      const VECTOR& u = model.points[a].position;
      const VECTOR& v = model.points[b].position;
      if (u.x != v.x) return u.x < v.x;
      if (u.y != v.y) return u.y < v.y;
      return u.z < v.z;
    });
    for (size_t k = 0; k < members.size();) {
      const int e = members[k];
      size_t end = k + 1;
      while (end < members.size() &&
             model.points[members[end]].position == model.points[e].position) {
        const int g = members[end];
        rep[g] = e;
        if (model.points[e].mirror == 0) model.points[e].mirror = model.points[g].mirror;
        ++end;
      }
      k = end;
    }
  }
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
std::optional<ModelBackup> BackupIfSplitsCouldOverflow(const Model& model) {
  if (3 * static_cast<int64_t>(model.faceCount) <= kMaxCount) return std::nullopt;
  return std::optional<ModelBackup>(std::in_place, model);
}

}  // namespace

void WeldQuicksort(std::vector<float>& keys, std::vector<int32_t>& items, int n) {
  QuicksortRange(keys, items, n);
}
void WeldQuicksort(std::vector<int32_t>& keys, std::vector<int32_t>& items, int n) {
  QuicksortRange(keys, items, n);
}

void DropDegenerateLines(Model& model) {
  for (int l = 1; l <= model.lineCount; ++l) {
    LINE& line = model.lines[l];
    if (line.a == line.b) line.state = kStateRemoved;
  }
}

void CollapseSurfaces(Model& model) {
  for (int s = 1; s <= model.faceCount; ++s) {
    FACE& face = model.faces[s];
    const auto c = face.corners;
    if (c[0] == c[2] || c[1] == c[3] || (c[1] == c[2] && c[3] == c[0]) ||
        (c[0] == c[1] && c[2] == c[3])) {
      face.state = kStateRemoved;
      continue;
    }
    if (face.state == kStateRemoved) continue;
    for (int i = 0; i < 4; ++i) {
      if (c[i] != c[(i + 1) % 4]) continue;
      const int32_t opposite = Magnitude(face.lines[(i + 2) % 4]);
      if (opposite >= 1 && opposite <= model.lineCount &&
          model.lines[opposite].state == kStateRemoved) {
        continue;
      }
      const auto lines = face.lines;
      const auto uv = face.uv;
      for (int k = 0; k < 3; ++k) {
        face.corners[k] = c[(i + 1 + k) % 4];
        face.lines[k] = lines[(i + 1 + k) % 4];
        face.uv[k] = uv[(i + 1 + k) % 4];
      }
      face.corners[3] = face.corners[0];
      face.lines[3] = face.lines[0];
      face.uv[3] = face.uv[0];
      break;
    }
  }
}

bool SplitFoldedQuads(Model& model) {
  PointPairTable table;
  table.reset(static_cast<size_t>(model.lineCount) * 2);
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (line.state == kStateRemoved) continue;
    table.store(line.a, line.b, l);
    table.store(line.b, line.a, -l);
  }
  struct Split {
    int32_t surface;
    int32_t diagonal;  // the line found
    bool evenDiagonal;  // corner 0 - corner 2
  };
  std::vector<Split> splits;
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (!IsQuad(face) || face.state == kStateRemoved) continue;
    const auto& c = face.corners;
    if (const int32_t t = table.find(c[0], c[2]); t != 0) {
      splits.push_back({s, t, true});
    } else if (const int32_t u = table.find(c[1], c[3]); u != 0) {
      splits.push_back({s, u, false});
    }
  }
  if (model.faceCount + 2 * static_cast<int64_t>(splits.size()) > kMaxCount) return false;
  auto append = [&model](const FACE& from, std::array<int, 3> slots, std::array<int32_t, 3> lines) {
    FACE& added = model.faces[++model.faceCount];
    added = FACE{};
    for (int k = 0; k < 3; ++k) {
      added.corners[k] = from.corners[slots[k]];
      added.lines[k] = lines[k];
      added.uv[k] = from.uv[slots[k]];
    }
    added.corners[3] = added.corners[0];
    added.lines[3] = added.lines[0];
    added.uv[3] = added.uv[0];
    added.material = from.material;
    added.state = from.state;
  };
  for (const Split& split : splits) {
    const FACE quad = model.faces[split.surface];
    const auto& l = quad.lines;
    const int32_t t = split.diagonal;
    if (split.evenDiagonal) {
      append(quad, {0, 1, 2}, {l[0], l[1], -t});
      append(quad, {0, 2, 3}, {t, l[2], l[3]});
    } else {
      append(quad, {0, 1, 3}, {l[0], t, l[3]});
      append(quad, {1, 2, 3}, {l[1], l[2], -t});
    }
    model.faces[split.surface].state = kStateRemoved;
  }
  return true;
}

void DropDuplicateSurfaces(Model& model) {
  // The stated sort is quadratic on many equal keys (a weld that collapses
  // thousands of surfaces gives them all one key); its order matters only
  // where some live surface's corners lie among another's of the same key.
  if (!MayHoldDuplicates(model)) return;
  const int m = model.faceCount;
  std::vector<int32_t> keys(static_cast<size_t>(m) + 1, 0);
  std::vector<int32_t> order(static_cast<size_t>(m) + 1, 0);
  for (int s = 1; s <= m; ++s) {
    const auto& c = model.faces[s].corners;
    keys[s] = IsQuad(model.faces[s]) ? c[0] + c[1] + c[2] + c[3] : -(c[0] + c[1] + c[2]);
    order[s] = s;
  }
  WeldQuicksort(keys, order, m);
  for (int first = 1; first <= m;) {
    int last = first;
    while (last + 1 <= m && keys[last + 1] == keys[first]) ++last;
    if (last > first) DropDuplicatesInRun(model, order, first, last);
    first = last + 1;
  }
}

bool WeldCleanup(Model& model) {
  DropDegenerateLines(model);
  CollapseSurfaces(model);
  if (!SplitFoldedQuads(model)) return false;
  DropDuplicateSurfaces(model);
  MarkUnusedPoints(model);
  MarkDuplicateLines(model);
  PurgeMarked(model);
  return true;
}

MaybeRefusal AttachSingle(Model& model, const WeldSelection& selection) {
  if (selection.selectedCount == 0) return Refusal{Translate("nothing is selected")};
  const std::optional<ModelBackup> backup = BackupIfSplitsCouldOverflow(model);
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
  const std::optional<ModelBackup> backup = BackupIfSplitsCouldOverflow(model);
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
  const std::optional<ModelBackup> backup = BackupIfSplitsCouldOverflow(model);
  std::vector<int32_t> rep = SelectedRepresentatives(model);
  ClusterSamePoints(model, rep);
  if (!FinishWeld(model, rep, false)) {
    backup->restore(model);
    return TableFull();
  }
  return std::nullopt;
}

}  // namespace vexal
