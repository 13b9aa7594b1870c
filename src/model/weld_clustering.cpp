#include "model/weld_clustering.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/maintenance.h"
#include "model/weld.h"

namespace vexal {
namespace {

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

}  // namespace

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

}  // namespace vexal
