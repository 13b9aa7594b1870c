#include "model/weld.h"

#include <algorithm>
#include <array>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/maintenance.h"
#include "model/point_pair_table.h"

namespace vexal {
namespace {

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

}  // namespace

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

}  // namespace vexal
