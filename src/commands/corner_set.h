// Surfaces found by the set of their corners, as the mirror-aware commands
// look for the mirror image of a surface: the mirror image has the partner
// points as corners, wound the other way round.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "model/model.h"

namespace vexal {

// Sorted corners; a triangle's fourth entry is 0, so a triangle never has
// the set of a quad.
using CornerSet = std::array<int32_t, 4>;

inline CornerSet SortedCorners(const std::array<int32_t, 4>& corners, bool quad) {
  CornerSet set = {corners[0], corners[1], corners[2], quad ? corners[3] : 0};
  const int count = quad ? 4 : 3;
  for (int i = 1; i < count; ++i) {
    for (int j = i; j > 0 && set[j - 1] > set[j]; --j) std::swap(set[j - 1], set[j]);
  }
  return set;
}

// The set of the mirror partners of a surface's corners; false when a
// corner has no partner.
inline bool PartnerCorners(const Model& model, const FACE& face, CornerSet& set) {
  std::array<int32_t, 4> partners{};
  for (int j = 0; j < 4; ++j) {
    partners[j] = model.points[face.corners[j]].mirror;
    if (partners[j] == 0) return false;
  }
  set = SortedCorners(partners, IsQuad(face));
  return true;
}

// The surfaces that pass a filter, by corner set, each set's surfaces in
// surface order.
class SurfacesByCorners {
 public:
  SurfacesByCorners(const Model& model, const std::function<bool(const FACE&)>& filter) {
    entries_.reserve(static_cast<size_t>(model.faceCount));
    for (int s = 1; s <= model.faceCount; ++s) {
      const FACE& face = model.faces[s];
      if (filter(face)) entries_.push_back({SortedCorners(face.corners, IsQuad(face)), s});
    }
    std::sort(entries_.begin(), entries_.end());
  }
  // The first surface with these corners other than `except`; 0 if none.
  int32_t first(const CornerSet& set, int32_t except = 0) const {
    auto at = std::lower_bound(entries_.begin(), entries_.end(), std::make_pair(set, int32_t{0}));
    for (; at != entries_.end() && at->first == set; ++at) {
      if (at->second != except) return at->second;
    }
    return 0;
  }

 private:
  std::vector<std::pair<CornerSet, int32_t>> entries_;
};

}  // namespace vexal
