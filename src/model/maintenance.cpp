#include "model/maintenance.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <vector>

#include "model/point_pair_table.h"

namespace vexal {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Hash of a position in which -0 and +0 are the same key, matching the exact
// float comparison that decides whether two points coincide.
uint64_t PositionHash(const VECTOR& p) {
  auto bits = [](float value) {
    if (value == 0.0f) value = 0.0f;
    uint32_t b;
    std::memcpy(&b, &value, sizeof b);
    return static_cast<uint64_t>(b);
  };
  uint64_t h = bits(p.x) * 0x9E3779B97F4A7C15ULL;
  h ^= bits(p.y) + 0x7F4A7C159E3779B9ULL + (h << 6) + (h >> 2);
  h ^= bits(p.z) * 0xC2B2AE3D27D4EB4FULL + (h << 6) + (h >> 2);
  h ^= h >> 31;
  return h;
}

// Merges every point into the first earlier point at exactly the same
// position that was live when reached, as the all-pairs scan would: a point
// already marked before the call is never a merge target but can be merged.
// Fills map (size count + 2) with the new index of every point and compacts
// the table.
void MergeCoincidentPoints(Model& model, std::vector<int32_t>& map) {
  const int count = model.pointCount;
  map.resize(static_cast<size_t>(count) + 2);
  for (int i = 0; i <= count + 1; ++i) map[i] = i;

  size_t capacity = 64;
  while (capacity < static_cast<size_t>(count) * 2) capacity <<= 1;
  const size_t mask = capacity - 1;
  std::vector<int32_t> slots(capacity, 0);
  for (int j = 1; j <= count; ++j) {
    VERT& point = model.points[j];
    assert(std::isfinite(point.position.x) && std::isfinite(point.position.y) &&
           std::isfinite(point.position.z));
    size_t slot = PositionHash(point.position) & mask;
    int32_t target = 0;
    while (slots[slot] != 0) {
      if (model.points[slots[slot]].position == point.position) {
        target = slots[slot];
        break;
      }
      slot = (slot + 1) & mask;
    }
    if (target != 0) {
      point.state = kStateRemoved;
      map[j] = target;
    } else if (point.state != kStateRemoved) {
      slots[slot] = j;
    }
  }

  int k = 1;
  for (int j = 1; j <= count; ++j) {
    if (model.points[j].state == kStateRemoved) {
      map[j] = map[map[j]];
    } else {
      map[j] = k;
      if (j != k) model.points[k] = model.points[j];
      ++k;
    }
  }
  // Slots beyond the new count keep no stale records.
  for (int j = k; j <= count; ++j) model.points[j] = VERT{};
  model.pointCount = k - 1;
}

// Rebuilds degenerate surfaces as triangles or removes them, after merging.
void DropDegenerateSurfaces(Model& model) {
  int write = 1;
  for (int s = 1; s <= model.faceCount; ++s) {
    FACE& face = model.faces[s];
    int pairs = 0;
    int firstP = -1, firstQ = -1;
    for (int p = 0; p < 4; ++p) {
      for (int q = p + 1; q < 4; ++q) {
        if (face.corners[p] == face.corners[q]) {
          if (pairs == 0) {
            firstP = p;
            firstQ = q;
          }
          ++pairs;
        }
      }
    }
    bool keep = true;
    if (pairs == 1) {
      if ((firstP == 0 && firstQ == 2) || (firstP == 1 && firstQ == 3)) {
        keep = false;
      } else {
        // Remove the later slot of the pair; the others move down in order.
        int corners[3];
        UV uvs[3];
        int n = 0;
        for (int slot = 0; slot < 4; ++slot) {
          if (slot == firstQ) continue;
          corners[n] = face.corners[slot];
          uvs[n] = face.uv[slot];
          ++n;
        }
        face.corners = {corners[0], corners[1], corners[2], corners[0]};
        face.uv = {uvs[0], uvs[1], uvs[2], uvs[0]};
      }
    } else if (pairs > 1) {
      keep = false;
    }
    if (keep) {
      if (write != s) model.faces[write] = face;
      ++write;
    }
  }
  for (int s = write; s <= model.faceCount; ++s) model.faces[s] = FACE{};
  model.faceCount = write - 1;
}

}  // namespace

int CompactModel(Model& model, int flags) {
  if (model.faceCount > kMaxCount) return 0;

  if (flags & kCompactMerge) {
    std::vector<int32_t> map;
    MergeCoincidentPoints(model, map);
    for (int s = 1; s <= model.faceCount; ++s) {
      for (int32_t& corner : model.faces[s].corners) corner = map[corner];
    }
    DropDegenerateSurfaces(model);
  }

  if (flags & kCompactRebuildLines) {
    PointPairTable table;
    table.reset(static_cast<size_t>(model.faceCount) * 4);
    for (int s = 1; s <= model.faceCount; ++s) {
      FACE& face = model.faces[s];
      const int corners = CornerCount(face);
      for (int j = 0; j < corners; ++j) {
        const int32_t d = face.corners[j];
        const int32_t e = face.corners[(j + 1) % 4];
        const int32_t f = table.find(d, e);
        if (f != 0) {
          face.lines[j] = model.lines[f].a == d ? f : -f;
          continue;
        }
        if (model.lineCount >= kMaxCount) return 0;
        const int32_t index = ++model.lineCount;
        model.lines[index] = LINE{d, e, kStateNormal};
        table.store(d, e, index);
        table.store(e, d, index);
        face.lines[j] = index;
      }
      if (corners == 3) face.lines[3] = face.lines[0];
    }
  }

  if ((flags & kCompactRequirePoints) && model.pointCount <= 0) return 0;
  if (model.pointCount > kMaxCount || model.lineCount > kMaxCount || model.faceCount > kMaxCount) {
    return 0;
  }
  return 1;
}

void RelinkFaces(Model& model) {
  PointPairTable table;
  table.reset(static_cast<size_t>(model.lineCount) * 2);
  for (int i = 1; i <= model.lineCount; ++i) {
    const LINE& line = model.lines[i];
    // A forwarded duplicate (a = -1) joins no pair of points.
    if (line.a < 0) continue;
    table.store(line.a, line.b, i);
    table.store(line.b, line.a, -i);
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    FACE& face = model.faces[s];
    if (IsQuad(face)) {
      for (int j = 0; j < 4; ++j) face.lines[j] = table.find(face.corners[j], face.corners[(j + 1) % 4]);
    } else {
      for (int j = 0; j < 3; ++j) face.lines[j] = table.find(face.corners[j], face.corners[(j + 1) % 3]);
      face.lines[3] = face.lines[0];
    }
  }
}

VECTOR TriangleNormal(const VECTOR& p0, const VECTOR& p1, const VECTOR& p2) {
  return (p0 - p1).cross(p1 - p2).normalized();
}

float NormalCosine(const VECTOR& a, const VECTOR& b) {
  const float la = a.length();
  const float lb = b.length();
  if (la == 0.0f || lb == 0.0f) return 1.0f;
  const float c = a.dot(b) / (la * lb);
  if (c > 0.9999f) return 1.0f;
  if (c < -0.9999f) return -1.0f;
  return c;
}

namespace {

struct QuadNormals {
  VECTOR a, b, c, d;
};

QuadNormals QuadTriangleNormals(const Model& model, const FACE& face) {
  const VECTOR& p0 = model.points[face.corners[0]].position;
  const VECTOR& p1 = model.points[face.corners[1]].position;
  const VECTOR& p2 = model.points[face.corners[2]].position;
  const VECTOR& p3 = model.points[face.corners[3]].position;
  return {TriangleNormal(p0, p1, p2), TriangleNormal(p0, p2, p3), TriangleNormal(p1, p2, p3),
          TriangleNormal(p1, p3, p0)};
}

// Corner incidences of non-guide surfaces, grouped by point in surface order
// (a compressed adjacency list: offsets[p]..offsets[p+1]).
struct Incidences {
  std::vector<int32_t> offsets;
  std::vector<int32_t> surface;
  std::vector<int8_t> slot;
};

void BuildIncidences(const Model& model, Incidences& out) {
  const int points = model.pointCount;
  out.offsets.assign(static_cast<size_t>(points) + 2, 0);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material == kGuideMaterial) continue;
    const int corners = CornerCount(face);
    for (int j = 0; j < corners; ++j) ++out.offsets[face.corners[j] + 1];
  }
  for (int p = 1; p <= points + 1; ++p) out.offsets[p] += out.offsets[p - 1];
  out.surface.resize(out.offsets[points + 1]);
  out.slot.resize(out.offsets[points + 1]);
  std::vector<int32_t> fill(out.offsets.begin(), out.offsets.end() - 1);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material == kGuideMaterial) continue;
    const int corners = CornerCount(face);
    for (int j = 0; j < corners; ++j) {
      const int32_t at = fill[face.corners[j]]++;
      out.surface[at] = s;
      out.slot[at] = static_cast<int8_t>(j);
    }
  }
}

}  // namespace

void RefreshNormals(Model& model, int flags, bool useAngleSmooth) {
  if ((flags & kNormalsAngleSmoothed) && !useAngleSmooth) {
    flags ^= kNormalsAngleSmoothed | kNormalsPointAveraged;
  }

  if (flags & kNormalsFace) {
    for (int s = 1; s <= model.faceCount; ++s) {
      FACE& face = model.faces[s];
      if (!IsQuad(face)) {
        face.normal = TriangleNormal(model.points[face.corners[0]].position,
                                     model.points[face.corners[1]].position,
                                     model.points[face.corners[2]].position);
        continue;
      }
      const QuadNormals n = QuadTriangleNormals(model, face);
      face.normal = NormalCosine(n.d, n.c) >= NormalCosine(n.b, n.a) ? (n.c + n.d).normalized()
                                                                     : (n.a + n.b).normalized();
    }
  }

  const bool angleSmoothing = (flags & (kNormalsAngleSmoothed | kNormalsForceAngleSmoothed)) != 0;
  const bool pointAveraging = (flags & kNormalsPointAveraged) != 0;
  if (angleSmoothing || pointAveraging) {
    Incidences incidences;
    BuildIncidences(model, incidences);
    if (angleSmoothing) {
      for (int s = 1; s <= model.faceCount; ++s) {
        FACE& face = model.faces[s];
        face.cornerNormals.fill(face.normal);
      }
      float threshold[kMaterialCount];
      for (int k = 0; k < kMaterialCount; ++k) {
        threshold[k] = static_cast<float>(
            std::cos(static_cast<double>(model.materials[k].smoothingAngle) * kPi / 180.0));
      }
      auto materialThreshold = [&](int material) {
        return material >= 0 && material < kMaterialCount ? threshold[material] : threshold[0];
      };
      for (int p = 1; p <= model.pointCount; ++p) {
        const int begin = incidences.offsets[p];
        const int end = incidences.offsets[p + 1];
        for (int x = begin; x < end; ++x) {
          FACE& fs = model.faces[incidences.surface[x]];
          const int i = incidences.slot[x];
          for (int y = x + 1; y < end; ++y) {
            FACE& ft = model.faces[incidences.surface[y]];
            const int j = incidences.slot[y];
            const float c = NormalCosine(ft.normal, fs.normal);
            if (c >= materialThreshold(fs.material)) fs.cornerNormals[i] += ft.normal;
            if (c >= materialThreshold(ft.material)) ft.cornerNormals[j] += fs.normal;
          }
        }
      }
      for (int s = 1; s <= model.faceCount; ++s) {
        FACE& face = model.faces[s];
        if (face.material == kGuideMaterial) continue;
        for (VECTOR& n : face.cornerNormals) n.normalize();
        if (!IsQuad(face)) face.cornerNormals[3] = face.cornerNormals[0];
      }
    }
    if (pointAveraging) {
      for (int p = 1; p <= model.pointCount; ++p) {
        VECTOR sum;
        const int begin = incidences.offsets[p];
        const int end = incidences.offsets[p + 1];
        for (int x = begin; x < end; ++x) sum += model.faces[incidences.surface[x]].normal;
        sum.normalize();
        for (int x = begin; x < end; ++x) {
          FACE& face = model.faces[incidences.surface[x]];
          face.cornerNormals[incidences.slot[x]] = sum;
        }
      }
      // A triangle's fourth corner repeats its first, normals included.
      for (int s = 1; s <= model.faceCount; ++s) {
        FACE& face = model.faces[s];
        if (face.material != kGuideMaterial && !IsQuad(face)) {
          face.cornerNormals[3] = face.cornerNormals[0];
        }
      }
    }
  }

  if (flags & kNormalsSelectedPoints) {
    std::vector<int32_t> counts(static_cast<size_t>(model.pointCount) + 1, 0);
    for (int p = 1; p <= model.pointCount; ++p) model.points[p].selectedNormal.zero();
    for (int s = 1; s <= model.faceCount; ++s) {
      const FACE& face = model.faces[s];
      if (face.state != kStateSelected || face.material == kGuideMaterial) continue;
      const int corners = CornerCount(face);
      for (int j = 0; j < corners; ++j) {
        model.points[face.corners[j]].selectedNormal += face.normal;
        ++counts[face.corners[j]];
      }
    }
    for (int p = 1; p <= model.pointCount; ++p) {
      if (counts[p] != 0) model.points[p].selectedNormal *= 1.0f / static_cast<float>(counts[p]);
    }
  }
}

void MarkUnusedPoints(Model& model) {
  std::vector<uint8_t> used(static_cast<size_t>(model.pointCount) + 1, 0);
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (line.state == kStateRemoved) continue;
    if (line.a >= 1 && line.a <= model.pointCount) used[line.a] = 1;
    if (line.b >= 1 && line.b <= model.pointCount) used[line.b] = 1;
  }
  for (int p = 1; p <= model.pointCount; ++p) {
    if (!used[p]) model.points[p].state = kStateRemoved;
  }
}

void MarkDuplicateLines(Model& model) {
  PointPairTable table;
  table.reset(static_cast<size_t>(model.lineCount) * 2);
  for (int i = 1; i <= model.lineCount; ++i) {
    LINE& line = model.lines[i];
    if (line.a < 0) continue;  // already forwarded
    const int32_t f = table.find(line.a, line.b);
    if (f != 0) {
      line = LINE{-1, f, kStateRemoved};
    } else {
      table.store(line.a, line.b, i);
      table.store(line.b, line.a, -i);
    }
  }
}

void PurgeMarked(Model& model) {
  std::vector<int32_t> pointMap(static_cast<size_t>(model.pointCount) + 1, 0);
  int next = 0;
  for (int p = 1; p <= model.pointCount; ++p) {
    if (model.points[p].state != kStateRemoved) pointMap[p] = ++next;
  }
  const int newPointCount = next;

  std::vector<int32_t> lineMap(static_cast<size_t>(model.lineCount) + 1, 0);
  next = 0;
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (line.state != kStateRemoved) {
      lineMap[l] = ++next;
    } else if (line.a == -1) {
      // A forwarded duplicate points at an earlier line, already numbered.
      const int32_t b = line.b;
      const int32_t target = b < 1 ? -b : b;
      const int32_t mapped = target <= model.lineCount && target < l ? lineMap[target] : 0;
      lineMap[l] = b < 1 ? -mapped : mapped;
    }
  }
  const int newLineCount = next;

  auto mapPoint = [&](int32_t p) {
    return p >= 1 && p <= model.pointCount ? pointMap[p] : 0;
  };
  auto mapLine = [&](int32_t r) {
    const int32_t magnitude = r <= 0 ? -r : r;
    const int32_t mapped = magnitude <= model.lineCount ? lineMap[magnitude] : 0;
    return r <= 0 ? -mapped : mapped;
  };

  for (int p = 1; p <= model.pointCount; ++p) {
    if (pointMap[p] == 0) continue;
    VERT point = model.points[p];
    point.mirror = mapPoint(point.mirror);
    model.points[pointMap[p]] = point;
  }
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (line.state == kStateRemoved) continue;
    model.lines[lineMap[l]] = LINE{mapPoint(line.a), mapPoint(line.b), line.state};
  }
  int write = 0;
  for (int s = 1; s <= model.faceCount; ++s) {
    FACE face = model.faces[s];
    if (face.state == kStateRemoved) continue;
    for (int32_t& corner : face.corners) corner = mapPoint(corner);
    for (int32_t& reference : face.lines) reference = mapLine(reference);
    model.faces[++write] = face;
  }
  for (int p = newPointCount + 1; p <= model.pointCount; ++p) model.points[p] = VERT{};
  for (int l = newLineCount + 1; l <= model.lineCount; ++l) model.lines[l] = LINE{};
  for (int s = write + 1; s <= model.faceCount; ++s) model.faces[s] = FACE{};
  model.pointCount = newPointCount;
  model.lineCount = newLineCount;
  model.faceCount = write;
}

int32_t FindLine(const Model& model, int32_t pointA, int32_t pointB) {
  for (int i = 1; i <= model.lineCount; ++i) {
    const LINE& line = model.lines[i];
    if (line.state == kStateRemoved) continue;
    if (line.a == pointA && line.b == pointB) return i;
    if (line.a == pointB && line.b == pointA) return -i;
  }
  return 0;
}

int ChooseQuadSplit(const Model& model, int surface) {
  const QuadNormals n = QuadTriangleNormals(model, model.faces[surface]);
  return NormalCosine(n.d, n.c) < NormalCosine(n.b, n.a) ? 1 : 0;
}

void SetDefaultObject(Model& model) {
  ClearModel(model);
  // Two squares facing away from each other; partners differ only in x.
  const float positions[8][3] = {{-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1},
                                 {1, 1, 1},   {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}};
  const int partners[8] = {2, 1, 4, 3, 6, 5, 8, 7};
  for (int p = 0; p < 8; ++p) {
    SetPoint(model, p + 1, positions[p][0], positions[p][1], positions[p][2], kStateNormal,
             partners[p]);
  }
  model.pointCount = 8;
  for (int square = 0; square < 2; ++square) {
    const int base = square * 4;
    for (int j = 0; j < 4; ++j) {
      SetLine(model, base + j + 1, base + j + 1, base + (j + 1) % 4 + 1, kStateNormal);
    }
    const int s = square + 1;
    SetFace(model, s, base + 1, base + 2, base + 3, base + 4, square + 1, kStateNormal);
    SetFaceUV(model, s, UV(1, 1), UV(0, 1), UV(0, 0), UV(1, 0));
  }
  model.lineCount = 8;
  model.faceCount = 2;
  RelinkFaces(model);
}

}  // namespace vexal
