#include "tools/edge_split.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/camera.h"
#include "model/maintenance.h"
#include "model/table_room.h"

namespace vexal {
namespace {

constexpr float kDuplicateDistance = 0.02f;

// Case tables. Symbols: corners c0..c3, first new points N0..N3 and second
// ones M0..M3 of edges e0..e3 (edge j runs from cj to cj+1), the centre C.
enum Symbol : int8_t { c0, c1, c2, c3, N0, N1, N2, N3, M0, M1, M2, M3, C, kNone = -1 };

struct CaseRow {
  std::array<int8_t, 4> pattern;  // new points on e0..e3
  int8_t centre;                  // 1: only with a centre point, 0: only without, -1 either
  std::vector<std::array<int8_t, 2>> lines;
  std::vector<std::array<int8_t, 4>> faces;  // kNone as the fourth: a triangle
};

const std::vector<CaseRow>& TriangleCases() {
  static const std::vector<CaseRow> rows = {
      {{1, 0, 0, 0}, -1, {{N0, c2}}, {{c0, N0, c2, kNone}, {c1, c2, N0, kNone}}},
      {{1, 1, 0, 0}, -1, {{N0, N1}}, {{N0, c1, N1, kNone}, {c0, N0, N1, c2}}},
      {{1, 1, 1, 0}, -1, {{N0, N1}, {N1, N2}, {N2, N0}},
       {{c0, N0, N2, kNone}, {c1, N1, N0, kNone}, {c2, N2, N1, kNone}, {N0, N1, N2, kNone}}},
      {{2, 0, 0, 0}, -1, {{N0, c2}, {M0, c2}},
       {{N0, c2, c0, kNone}, {M0, c1, c2, kNone}, {N0, M0, c2, kNone}}},
      {{2, 1, 0, 0}, -1, {{N0, c2}, {N1, M0}},
       {{M0, c1, N1, kNone}, {N0, M0, N1, c2}, {c0, N0, c2, kNone}}},
      {{2, 0, 1, 0}, -1, {{N0, N2}, {M0, c2}},
       {{c0, N0, N2, kNone}, {N0, M0, c2, N2}, {M0, c1, c2, kNone}}},
      {{2, 1, 1, 0}, -1, {{N0, N2}, {M0, N1}, {N1, N2}},
       {{c2, N2, N1, kNone}, {c1, N1, M0, kNone}, {c0, N0, N2, kNone}, {N0, M0, N1, N2}}},
      {{2, 2, 0, 0}, -1, {{N0, M1}, {M0, N1}},
       {{c0, N0, M1, c2}, {N0, M0, N1, M1}, {c1, N1, M0, kNone}}},
  };
  return rows;
}

const std::vector<CaseRow>& QuadCases() {
  static const std::vector<CaseRow> rows = {
      {{1, 0, 0, 0}, -1, {{N0, c3}, {N0, c2}},
       {{c0, N0, c3, kNone}, {N0, c2, c3, kNone}, {N0, c1, c2, kNone}}},
      {{1, 1, 0, 0}, -1, {{N0, N1}, {c0, c2}},
       {{c0, c2, c3, kNone}, {c0, N0, N1, c2}, {N0, c1, N1, kNone}}},
      {{1, 0, 1, 0}, -1, {{N0, N2}}, {{c0, N0, N2, c3}, {N0, c1, c2, N2}}},
      {{1, 1, 1, 0}, -1, {{N0, N1}, {N1, N2}, {N2, N0}},
       {{c0, N0, N2, c3}, {c1, N1, N0, kNone}, {c2, N2, N1, kNone}, {N0, N1, N2, kNone}}},
      {{1, 1, 1, 1}, 0, {{N0, N1}, {N1, N2}, {N2, N3}, {N3, N0}},
       {{c0, N0, N3, kNone}, {c1, N1, N0, kNone}, {c2, N2, N1, kNone}, {c3, N3, N2, kNone},
        {N0, N1, N2, N3}}},
      {{1, 1, 1, 1}, 1, {{N0, C}, {N1, C}, {N2, C}, {N3, C}},
       {{c0, N0, C, N3}, {c1, N1, C, N0}, {c2, N2, C, N1}, {c3, N3, C, N2}}},
      {{2, 0, 0, 0}, -1, {{N0, c3}, {M0, c2}},
       {{c0, N0, c3, kNone}, {N0, M0, c2, c3}, {M0, c1, c2, kNone}}},
      {{2, 1, 0, 0}, -1, {{N0, c2}, {M0, N1}},
       {{c0, N0, c2, c3}, {N0, M0, N1, c2}, {M0, c1, N1, kNone}}},
      {{2, 0, 1, 0}, -1, {{N0, N2}, {M0, N2}},
       {{c0, N0, N2, c3}, {N0, M0, N2, kNone}, {M0, c1, c2, N2}}},
      {{2, 0, 0, 1}, -1, {{N0, N3}, {M0, c3}},
       {{c0, N0, N3, kNone}, {N0, M0, c3, N3}, {M0, c1, c2, c3}}},
      {{2, 1, 1, 0}, -1, {{N0, N2}, {M0, N1}, {N1, N2}},
       {{c0, N0, N2, c3}, {N0, M0, N1, N2}, {M0, c1, N1, kNone}, {N1, c2, N2, kNone}}},
      {{2, 1, 0, 1}, -1, {{N0, N3}, {M0, N1}, {N1, N3}},
       {{c0, N0, N3, kNone}, {N0, M0, N1, N3}, {M0, c1, N1, kNone}, {N1, c2, c3, N3}}},
      {{2, 0, 1, 1}, -1, {{N0, N3}, {M0, N2}, {N2, N3}},
       {{c0, N0, N3, kNone}, {N0, M0, N2, N3}, {N3, N2, c3, kNone}, {M0, c1, c2, N2}}},
      {{2, 0, 2, 0}, -1, {{N0, M2}, {M0, N2}},
       {{c0, N0, M2, c3}, {N0, M0, N2, M2}, {M0, c1, c2, N2}}},
      {{2, 2, 0, 0}, -1, {{N0, M1}, {M0, N1}, {c0, c2}},
       {{c0, c2, c3, kNone}, {c0, N0, M1, c2}, {N0, M0, N1, M1}, {M0, c1, N1, kNone}}},
  };
  return rows;
}

// A new point on one edge of a surface: its split id and its fraction from
// the edge's start corner.
struct EdgePoint {
  int32_t id = 0;
  float fraction = 0;
};

// What one surface sees of the splits: up to two new points per edge, in
// the surface's direction.
struct SurfaceSplits {
  int edges = 0;
  std::array<int, 4> count{};
  std::array<std::array<EdgePoint, 2>, 4> points{};
  int total = 0;
};

SurfaceSplits SplitsOfSurface(const Model& model, const EdgeSplits& splits, const FACE& face) {
  SurfaceSplits result;
  result.edges = CornerCount(face);
  for (int j = 0; j < result.edges; ++j) {
    const int32_t reference = face.lines[j];
    const int32_t line = std::abs(reference);
    if (line < 1 || line > splits.lineCount0) continue;
    const auto& slots = splits.places[line];
    if (slots[0].id == 0) continue;
    // Trust a line reference only when the line joined this edge's corners.
    const int32_t from = face.corners[j];
    const int32_t to = face.corners[(j + 1) % result.edges];
    const auto& ends = splits.ends[line];
    const bool forward = reference > 0 && ends[0] == from && ends[1] == to;
    const bool backward = reference < 0 && ends[0] == to && ends[1] == from;
    if (!forward && !backward) continue;
    const int n = slots[1].id == 0 ? 1 : 2;
    for (int k = 0; k < n; ++k) {
      const EdgeSplitSlot& slot = slots[forward ? k : n - 1 - k];
      result.points[j][k] = {slot.id, forward ? slot.t : 1.0f - slot.t};
    }
    result.count[j] = n;
    result.total += n;
  }
  (void)model;
  return result;
}

// Slots ordered so that the first holds the smaller t.
std::array<EdgeSplitSlot, 2> Ordered(const std::array<EdgeSplitSlot, 2>& slots) {
  if (slots[1].id != 0 && slots[1].t < slots[0].t) return {slots[1], slots[0]};
  return slots;
}

struct SurfacePlan {
  int surface = 0;
  int rotation = 0;
  const CaseRow* row = nullptr;
  bool centre = false;
  SurfaceSplits seen;
};

std::vector<SurfacePlan> PlanSurfaces(const Model& model, const EdgeSplits& splits, bool withCentres,
                                      int faceCount) {
  std::vector<SurfacePlan> plans;
  for (int s = 1; s <= faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.state == kStateRemoved) continue;
    SurfaceSplits seen = SplitsOfSurface(model, splits, face);
    if (seen.total < 1 || seen.total > 4) continue;
    const int n = seen.edges;
    const bool centre = withCentres && n == 4 && seen.count == std::array<int, 4>{1, 1, 1, 1};
    const auto& rows = n == 3 ? TriangleCases() : QuadCases();
    for (int r = 0; r < n; ++r) {
      std::array<int8_t, 4> pattern{};
      for (int j = 0; j < n; ++j) pattern[j] = static_cast<int8_t>(seen.count[(r + j) % n]);
      const auto found = std::find_if(rows.begin(), rows.end(), [&](const CaseRow& row) {
        return row.pattern == pattern && (row.centre == -1 || row.centre == (centre ? 1 : 0));
      });
      if (found != rows.end()) {
        plans.push_back({s, r, &*found, centre, seen});
        break;
      }
    }
  }
  return plans;
}

UV Mix(const UV& a, const UV& b, float t) { return a * (1.0f - t) + b * t; }

}  // namespace

void BeginEdgeSplits(const Model& model, EdgeSplits& splits) {
  splits.pointCount0 = model.pointCount;
  splits.lineCount0 = model.lineCount;
  splits.count = 0;
  splits.places.assign(static_cast<size_t>(model.lineCount) + 1, {});
  splits.ends.assign(static_cast<size_t>(model.lineCount) + 1, {});
  splits.mirror.assign(1, 0);
  splits.line.assign(1, 0);
}

int RegisterEdgeSplit(const Model& model, EdgeSplits& splits, int line, float t, int mirrorMode) {
  if (line < 1 || line > splits.lineCount0) return 0;
  auto& slots = splits.places[line];
  // A split close to the first one, or a third one, would give a point on
  // top of another or one that no line piece could hold.
  if (slots[0].id != 0 && (std::fabs(t - slots[0].t) < kDuplicateDistance || slots[1].id != 0)) {
    return 1;
  }
  const int32_t id = ++splits.count;
  splits.mirror.push_back(0);
  splits.line.push_back(line);
  if (slots[0].id == 0) {
    slots[0] = {t, id};
    splits.ends[line] = {model.lines[line].a, model.lines[line].b};
  } else {
    slots[1] = {t, id};
  }
  if (mirrorMode == kSplitPlain) return 1;
  if (mirrorMode == kSplitMirrorHalf) {
    splits.mirror[id] = id - 1;
    return 1;
  }
  const LINE& record = model.lines[line];
  auto partner = [&](int32_t point) {
    return point >= 1 && point <= model.pointCount ? model.points[point].mirror : 0;
  };
  const int32_t pa = partner(record.a);
  const int32_t pb = partner(record.b);
  const int32_t mirrorLine = pa != 0 && pb != 0 ? FindLine(model, pa, pb) : 0;
  if (mirrorLine == 0) return 0;
  const float mirrorT = mirrorLine > 0 ? t : 1.0f - t;
  if (std::abs(mirrorLine) == line && std::fabs(mirrorT - t) < kDuplicateDistance) {
    // The split lies on the mirror plane.
    splits.mirror[id] = id;
    return 1;
  }
  // A line across the plane is its own mirror line: away from the middle
  // its split is mirrored on the same line rather than made its own
  // partner off the plane.
  const int32_t before = splits.count;
  RegisterEdgeSplit(model, splits, std::abs(mirrorLine), mirrorT, kSplitMirrorHalf);
  splits.mirror[id] = splits.count == before ? 0 : id + 1;
  return 1;
}

SplitGrowth PlanSplitGrowth(const Model& model, const EdgeSplits& splits, bool withCentres) {
  SplitGrowth growth{splits.count, splits.count, 0};
  for (const SurfacePlan& plan : PlanSurfaces(model, splits, withCentres, model.faceCount)) {
    growth.points += plan.centre ? 1 : 0;
    growth.lines += static_cast<int>(plan.row->lines.size());
    growth.faces += static_cast<int>(plan.row->faces.size()) - 1;
  }
  return growth;
}

void ApplyEdgeSplits(Model& model, EdgeSplits& splits) {
  const int32_t p0 = splits.pointCount0;
  const int32_t l0 = splits.lineCount0;
  for (int32_t id = 1; id <= splits.count; ++id) {
    VERT& point = model.points[p0 + id];
    point = VERT{};
    if (splits.mirror[id] != 0) point.mirror = p0 + splits.mirror[id];
  }
  for (int line = 1; line <= l0; ++line) {
    auto& slots = splits.places[line];
    if (slots[0].id == 0) continue;
    slots = Ordered(slots);
    LINE& record = model.lines[line];
    const int32_t first = record.a;
    const int32_t second = record.b;
    const VECTOR a = model.points[first].position;
    const VECTOR b = model.points[second].position;
    for (const EdgeSplitSlot& slot : slots) {
      if (slot.id == 0) continue;
      VERT& point = model.points[p0 + slot.id];
      point.position = a * (1.0f - slot.t) + b * slot.t;
      point.state = record.state;
    }
    const int32_t q1 = p0 + slots[0].id;
    record.b = q1;
    if (slots[1].id == 0) {
      model.lines[l0 + slots[0].id] = LINE{q1, second, record.state};
    } else {
      const int32_t q2 = p0 + slots[1].id;
      model.lines[l0 + slots[0].id] = LINE{q1, q2, record.state};
      model.lines[l0 + slots[1].id] = LINE{q2, second, record.state};
    }
  }
  model.pointCount += splits.count;
  model.lineCount += splits.count;
}

void RebuildSplitFaces(Model& model, const EdgeSplits& splits, bool withCentres) {
  const int32_t p0 = splits.pointCount0;
  // Surfaces appended by earlier cuts are never cut again; only those that
  // existed before the splits are planned.
  const std::vector<SurfacePlan> plans = PlanSurfaces(model, splits, withCentres, model.faceCount);

  // Centre points first, in surface order, partnered with the centre of the
  // mirror image quad (found through the mirrored split ids).
  std::vector<int32_t> centreOf(plans.size(), 0);
  std::vector<std::array<int32_t, 4>> idSets(plans.size());
  for (size_t i = 0; i < plans.size(); ++i) {
    if (!plans[i].centre) continue;
    const SurfacePlan& plan = plans[i];
    const FACE& face = model.faces[plan.surface];
    VECTOR sum;
    UV uvSum;
    for (int j = 0; j < 4; ++j) {
      const EdgePoint& edge = plan.seen.points[j][0];
      sum += model.points[p0 + edge.id].position;
      uvSum = uvSum + Mix(face.uv[j], face.uv[(j + 1) % 4], edge.fraction);
      idSets[i][j] = edge.id;
    }
    std::sort(idSets[i].begin(), idSets[i].end());
    const int32_t centre = ++model.pointCount;
    model.points[centre] = VERT{};
    model.points[centre].position = sum * 0.25f;
    centreOf[i] = centre;
  }
  for (size_t i = 0; i < plans.size(); ++i) {
    if (centreOf[i] == 0 || model.points[centreOf[i]].mirror != 0) continue;
    std::array<int32_t, 4> image{};
    bool mirrored = true;
    for (int j = 0; j < 4; ++j) {
      image[j] = splits.mirror[idSets[i][j]];
      mirrored = mirrored && image[j] != 0;
    }
    if (!mirrored) continue;
    std::sort(image.begin(), image.end());
    for (size_t other = i; other < plans.size(); ++other) {
      if (centreOf[other] == 0 || idSets[other] != image) continue;
      if (other != i && model.points[centreOf[other]].mirror != 0) continue;
      model.points[centreOf[i]].mirror = centreOf[other];
      model.points[centreOf[other]].mirror = centreOf[i];
      break;
    }
  }

  for (size_t i = 0; i < plans.size(); ++i) {
    const SurfacePlan& plan = plans[i];
    const FACE cut = model.faces[plan.surface];
    const int n = plan.seen.edges;
    std::array<int32_t, 13> point{};
    std::array<UV, 13> uv{};
    UV centreUV;
    for (int j = 0; j < n; ++j) {
      const int edge = (plan.rotation + j) % n;
      point[c0 + j] = cut.corners[edge];
      uv[c0 + j] = cut.uv[edge];
      const UV& from = cut.uv[edge];
      const UV& to = cut.uv[(edge + 1) % n];
      for (int k = 0; k < plan.seen.count[edge]; ++k) {
        const EdgePoint& split = plan.seen.points[edge][k];
        const int symbol = (k == 0 ? N0 : M0) + j;
        point[symbol] = p0 + split.id;
        uv[symbol] = Mix(from, to, split.fraction);
        centreUV = centreUV + uv[symbol] * 0.25f;
      }
    }
    point[C] = centreOf[i];
    uv[C] = centreUV;
    for (const auto& [from, to] : plan.row->lines) {
      model.lines[++model.lineCount] = LINE{point[from], point[to], kStateNormal};
    }
    const size_t faces = plan.row->faces.size();
    for (size_t f = 0; f < faces; ++f) {
      const auto& corners = plan.row->faces[f];
      FACE face;
      face.material = cut.material;
      face.state = cut.state;
      const int count = corners[3] == kNone ? 3 : 4;
      for (int k = 0; k < 4; ++k) {
        const int8_t symbol = corners[k < count ? k : 0];
        face.corners[k] = point[symbol];
        face.uv[k] = uv[symbol];
      }
      const int target = f + 1 == faces ? plan.surface : ++model.faceCount;
      model.faces[target] = face;
    }
  }
}

float LineParameterAt(const Document& document, int line, int x, int y) {
  const Model& model = document.model;
  if (line < 1 || line > model.lineCount) return -1;
  const LINE& record = model.lines[line];
  if (record.a < 1 || record.a > model.pointCount || record.b < 1 || record.b > model.pointCount) return -1;
  const VECTOR& first = model.points[record.a].position;
  const VECTOR& second = model.points[record.b].position;
  const VECTOR a = ProjectPoint(document, first, true);
  const VECTOR b = ProjectPoint(document, second, true);
  float dx = a.x - b.x;
  float dy = a.y - b.y;
  if (std::fabs(dx) < 0.0001f) dx = 0;
  if (std::fabs(dy) < 0.0001f) dy = 0;
  if (dx == 0 && dy == 0) return 0.5f;
  const float px = static_cast<float>(x);
  const float py = static_cast<float>(y);
  // Foot of the perpendicular from the pointer onto the screen line.
  const float along = ((px - b.x) * dx + (py - b.y) * dy) / (dx * dx + dy * dy);
  const bool onX = std::fabs(dx) >= std::fabs(dy);
  const float footX = b.x + along * dx;
  const float footY = b.y + along * dy;
  float t = onX ? (footX - b.x) / dx : (footY - b.y) / dy;
  if (!(t >= 0.0f && t <= 1.0f)) return -1;
  if (document.scene.perspective != 0 && a.z != b.z) {
    // The screen fraction is not the model fraction in perspective: walk t
    // until the projected point sits under the pointer.
    float step = 0.0625f;
    for (int k = 0; k < 8; ++k) {
      const VECTOR position = second * (1.0f - t) + first * t;
      const VECTOR projected = ProjectPoint(document, position, true);
      const float off = onX ? (projected.x - px) * dx : (projected.y - py) * dy;
      t += off >= 0 ? -step : step;
      step *= 0.5f;
    }
    t = std::clamp(t, 0.0f, 1.0f);
  }
  return 1.0f - t;
}

int SplitLineAt(Document& document, int line, int x, int y, int mode) {
  Model& model = document.model;
  const float s = LineParameterAt(document, line, x, y);
  if (s == -1.0f) return 0;
  EdgeSplits splits;
  BeginEdgeSplits(model, splits);
  const int found = RegisterEdgeSplit(model, splits, line, s, mode == 2 ? kSplitMirrored : kSplitPlain);
  const bool addPartner = mode == 2 && found == 0;
  SplitGrowth growth{splits.count + (addPartner ? 1 : 0), splits.count, 0};
  if (!HasRoomFor(model, growth.points, growth.lines, growth.faces)) return 0;
  const int32_t created = model.pointCount + 1;
  ApplyEdgeSplits(model, splits);
  if (addPartner) {
    const int32_t partner = ++model.pointCount;
    VERT& mirror = model.points[partner];
    mirror = VERT{};
    mirror.position = model.points[created].position;
    mirror.position.x = -mirror.position.x;
    mirror.mirror = created;
    model.points[created].mirror = partner;
  }
  return created;
}

}  // namespace vexal
