// Attach Loop, the inverse of an edge ring cut: the points of a selected
// loop of lines go, and the two surfaces across each loop line become one
// surface of their remaining corners.
//
// The loop grows from the selected lines through points where four
// surfaces meet, along lines that two surfaces share; it stops at points
// that cannot go (three or more than four surface corners, an open border
// with extra lines, the far side of a surface it crosses). Then, until
// nothing changes, a loop line leaves the loop when its surface pair would
// not make a triangle or quad, when it is also a side or opposite line of
// the loop, or when one of its points cannot go after all (it has a surface
// no loop line replaces); a line that leaves blocks its ends and takes its
// mirror line along. What remains is applied.
#include <algorithm>
#include <array>
#include <vector>

#include "commands/corner_set.h"
#include "commands/edit_frame.h"
#include "commands/line_lookup.h"
#include "model/table_room.h"
#include "commands/attach_loop.h"
#include "model/maintenance.h"
#include "model/table_room.h"

namespace vexal {
namespace {

enum class LineRole : uint8_t { kFree, kSeed, kLoop, kExcluded };

struct Use {
  int32_t surface = 0;
  int32_t slot = 0;
};

int32_t Magnitude(int32_t reference) { return reference < 0 ? -reference : reference; }

// One corner of a surface being built: the point and its UV on the
// surface it comes from.
struct Corner {
  int32_t point = 0;
  UV uv;
};

// The corners of a surface in winding order, optionally turned over.
std::vector<Corner> CornersOf(const FACE& face, bool turned) {
  const int n = CornerCount(face);
  std::vector<Corner> corners;
  for (int j = 0; j < n; ++j) {
    const int slot = turned ? (n - j) % n : j;
    corners.push_back({face.corners[slot], face.uv[slot]});
  }
  return corners;
}

class LoopPlan {
 public:
  explicit LoopPlan(const Model& model) : model_(model) {}

  // False when there is nothing to dissolve.
  bool build() {
    count();
    seed();
    grow();
    settle();
    for (int l = 1; l <= model_.lineCount; ++l) {
      if (role_[l] == LineRole::kLoop) return true;
    }
    return false;
  }

  // The merged surface of a loop line's pair: the corners of the surface
  // that runs the line backwards from after the line's first point round to
  // its second, then those of the other surface from after the second point
  // round to the first, without the points that go.
  std::vector<Corner> merged(int32_t line) const {
    const LINE& record = model_.lines[line];
    const Use first = uses_[line][0];
    const Use second = uses_[line][1];
    const FACE& f1 = model_.faces[first.surface];
    const FACE& f2 = model_.faces[second.surface];
    const bool forward1 = f1.lines[first.slot] > 0;
    const bool forward2 = f2.lines[second.slot] > 0;
    // Running the line the same way, the second is taken turned over.
    const bool turnSecond = forward1 == forward2;
    const bool secondForward = turnSecond ? !forward2 : forward2;
    const std::vector<Corner> c1 = CornersOf(f1, false);
    const std::vector<Corner> c2 = CornersOf(f2, turnSecond);
    const std::vector<Corner>& backward = secondForward ? c1 : c2;
    const std::vector<Corner>& onward = secondForward ? c2 : c1;
    std::vector<Corner> cycle;
    appendFrom(backward, record.a, record.b, cycle);
    appendFrom(onward, record.b, record.a, cycle);
    std::vector<Corner> kept;
    for (const Corner& corner : cycle) {
      if (!goes(corner.point)) kept.push_back(corner);
    }
    return kept;
  }

  bool goes(int32_t point) const { return flagged_[point] && !blocked_[point]; }
  LineRole role(int32_t line) const { return role_[line]; }
  const std::array<Use, 2>& uses(int32_t line) const { return uses_[line]; }

 private:
  // Appends the corners after `start` round to `end` (inclusive).
  static void appendFrom(const std::vector<Corner>& corners, int32_t start, int32_t end,
                         std::vector<Corner>& out) {
    const int n = static_cast<int>(corners.size());
    int at = 0;
    while (at < n && corners[at].point != start) ++at;
    for (int step = 1; step <= n; ++step) {
      const Corner& corner = corners[(at + step) % n];
      out.push_back(corner);
      if (corner.point == end) break;
    }
  }

  void count() {
    const Model& m = model_;
    sides_.assign(static_cast<size_t>(m.lineCount) + 1, 0);
    uses_.assign(static_cast<size_t>(m.lineCount) + 1, {});
    role_.assign(static_cast<size_t>(m.lineCount) + 1, LineRole::kExcluded);
    side_.assign(static_cast<size_t>(m.lineCount) + 1, 0);
    opposite_.assign(static_cast<size_t>(m.lineCount) + 1, 0);
    mirror_.assign(static_cast<size_t>(m.lineCount) + 1, 0);
    const size_t points = static_cast<size_t>(m.pointCount) + 1;
    corners_.assign(points, 0);
    linesAt_.assign(points, {});
    surfacesAt_.assign(points, {});
    blocked_.assign(points, 0);
    loopPoint_.assign(points, 0);
    flagged_.assign(points, 0);
    for (int s = 1; s <= m.faceCount; ++s) {
      const FACE& face = m.faces[s];
      const int n = CornerCount(face);
      for (int j = 0; j < n; ++j) {
        ++corners_[face.corners[j]];
        surfacesAt_[face.corners[j]].push_back(s);
        const int32_t line = Magnitude(face.lines[j]);
        if (line == 0) continue;
        if (sides_[line] < 2) uses_[line][sides_[line]] = {s, j};
        ++sides_[line];
      }
    }
    for (int l = 1; l <= m.lineCount; ++l) {
      linesAt_[m.lines[l].a].push_back(l);
      linesAt_[m.lines[l].b].push_back(l);
    }
    for (size_t p = 1; p < points; ++p) {
      if (corners_[p] == 3 || corners_[p] > 4) blocked_[p] = 1;
    }
    LineLookup lookup(m);
    for (int l = 1; l <= m.lineCount; ++l) {
      const LINE& line = m.lines[l];
      mirror_[l] = Magnitude(lookup.find(m.points[line.a].mirror, m.points[line.b].mirror));
    }
  }

  void seed() {
    const Model& m = model_;
    for (int l = 1; l <= m.lineCount; ++l) {
      const LINE& line = m.lines[l];
      if (sides_[l] == 2) {
        role_[l] = line.state == kStateSelected ? LineRole::kSeed : LineRole::kFree;
      } else if (sides_[l] == 1) {
        for (int32_t end : {line.a, line.b}) {
          if (linesAt_[end].size() > 3) blocked_[end] = 1;
        }
      } else if (sides_[l] == 0) {
        blocked_[line.a] = blocked_[line.b] = 1;
      }
    }
    for (int l = 1; l <= m.lineCount; ++l) {
      if (role_[l] == LineRole::kSeed) seedMirror(l);
    }
  }

  void seedMirror(int32_t line) {
    const int32_t mirror = mirror_[line];
    if (mirror != 0 && role_[mirror] == LineRole::kFree && !side_[mirror]) {
      role_[mirror] = LineRole::kSeed;
    }
  }

  void grow() {
    const Model& m = model_;
    bool changed = true;
    while (changed) {
      changed = false;
      for (int l = 1; l <= m.lineCount; ++l) {
        if (role_[l] != LineRole::kSeed) continue;
        role_[l] = LineRole::kLoop;
        changed = true;
        for (const Use& use : uses_[l]) {
          const FACE& face = m.faces[use.surface];
          const int n = CornerCount(face);
          for (int offset : {1, n - 1}) {
            const int32_t sideLine = Magnitude(face.lines[(use.slot + offset) % n]);
            if (sideLine != 0 && role_[sideLine] != LineRole::kExcluded) side_[sideLine] = 1;
          }
          if (n == 3) {
            blocked_[face.corners[(use.slot + 2) % 3]] = 1;
          } else {
            const int32_t far = Magnitude(face.lines[(use.slot + 2) % 4]);
            if (far != 0) {
              opposite_[far] = 1;
              if (role_[far] != LineRole::kLoop) role_[far] = LineRole::kExcluded;
            }
            blocked_[face.corners[(use.slot + 2) % 4]] = 1;
            blocked_[face.corners[(use.slot + 3) % 4]] = 1;
          }
        }
        const LINE& line = m.lines[l];
        for (int32_t end : {line.a, line.b}) {
          if (!blocked_[end]) loopPoint_[end] = 1;
        }
      }
      for (int l = 1; l <= m.lineCount; ++l) {
        if (role_[l] != LineRole::kFree || side_[l]) continue;
        const LINE& line = m.lines[l];
        if (loopPoint_[line.a] || loopPoint_[line.b]) {
          role_[l] = LineRole::kSeed;
          seedMirror(l);
          changed = true;
        }
      }
    }
  }

  void leave(int32_t line) {
    if (role_[line] != LineRole::kLoop) return;
    role_[line] = LineRole::kExcluded;
    blocked_[model_.lines[line].a] = blocked_[model_.lines[line].b] = 1;
    leave(mirror_[line]);
  }

  bool isQuadPair(int32_t line) const {
    return IsQuad(model_.faces[uses_[line][0].surface]) &&
           IsQuad(model_.faces[uses_[line][1].surface]);
  }

  void settle() {
    const Model& m = model_;
    for (int l = 1; l <= m.lineCount; ++l) {
      if (role_[l] == LineRole::kLoop && (side_[l] || opposite_[l])) leave(l);
    }
    bool changed = true;
    while (changed) {
      changed = false;
      // Only a pair of two quads lets points go, both ends of its line.
      std::fill(flagged_.begin(), flagged_.end(), 0);
      for (int l = 1; l <= m.lineCount; ++l) {
        if (role_[l] != LineRole::kLoop || !isQuadPair(l)) continue;
        flagged_[m.lines[l].a] = flagged_[m.lines[l].b] = 1;
      }
      // A point goes only when every surface at it is replaced.
      std::vector<uint8_t> replaced(static_cast<size_t>(m.faceCount) + 1, 0);
      for (int l = 1; l <= m.lineCount; ++l) {
        if (role_[l] != LineRole::kLoop) continue;
        replaced[uses_[l][0].surface] = replaced[uses_[l][1].surface] = 1;
      }
      for (int p = 1; p <= m.pointCount; ++p) {
        if (!flagged_[p] || blocked_[p]) continue;
        for (int32_t s : surfacesAt_[p]) {
          if (!replaced[s]) {
            blocked_[p] = 1;
            break;
          }
        }
      }
      for (int l = 1; l <= m.lineCount; ++l) {
        if (role_[l] != LineRole::kLoop) continue;
        const LINE& line = m.lines[l];
        const bool endBlocked =
            (flagged_[line.a] && blocked_[line.a]) || (flagged_[line.b] && blocked_[line.b]);
        bool fits = !endBlocked;
        if (fits) {
          const std::vector<Corner> corners = merged(l);
          fits = corners.size() == 3 || corners.size() == 4;
          for (size_t i = 0; fits && i < corners.size(); ++i) {
            for (size_t j = i + 1; j < corners.size(); ++j) {
              if (corners[i].point == corners[j].point) fits = false;
            }
          }
        }
        if (!fits) {
          leave(l);
          changed = true;
        }
      }
    }
  }

  const Model& model_;
  std::vector<int32_t> sides_;
  std::vector<std::array<Use, 2>> uses_;
  std::vector<LineRole> role_;
  std::vector<uint8_t> side_, opposite_;
  std::vector<int32_t> mirror_;
  std::vector<int32_t> corners_;
  std::vector<std::vector<int32_t>> linesAt_, surfacesAt_;
  std::vector<uint8_t> blocked_, loopPoint_, flagged_;
};

// Two surfaces on the same corners (a new one can land on an old one where
// loops run close): the first in surface order stays, with the smaller
// material; the other is marked for removal.
void DropRepeatedSurfaces(Model& model) {
  SurfacesByCorners byCorners(model, [](const FACE& face) { return face.state != kStateRemoved; });
  for (int s = 1; s <= model.faceCount; ++s) {
    FACE& face = model.faces[s];
    const int32_t first = byCorners.first(SortedCorners(face.corners, IsQuad(face)));
    if (first == 0 || first == s) continue;
    FACE& survivor = model.faces[first];
    survivor.material = std::min(survivor.material, face.material);
    face.state = kStateRemoved;
  }
}

}  // namespace

CommandResult AttachLoop(Document& document) {
  EditSteps steps;
  steps.purgeMarked = true;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [](Document& doc) {
    Model& model = doc.model;
    LoopPlan plan(model);
    const bool anything = plan.build();
    std::vector<int32_t> loopLines;
    for (int l = 1; anything && l <= model.lineCount; ++l) {
      if (plan.role(l) == LineRole::kLoop) loopLines.push_back(l);
    }
    // The new surfaces and the lines they need, planned before any change.
    struct Planned {
      std::vector<Corner> corners;
      int32_t material = 0;
    };
    std::vector<Planned> surfaces;
    for (int32_t l : loopLines) {
      const auto& uses = plan.uses(l);
      surfaces.push_back({plan.merged(l), std::min(model.faces[uses[0].surface].material,
                                                   model.faces[uses[1].surface].material)});
    }
    std::vector<uint8_t> lineGoes(static_cast<size_t>(model.lineCount) + 1, 0);
    for (int32_t l : loopLines) lineGoes[l] = 1;
    for (int l = 1; l <= model.lineCount; ++l) {
      if (plan.goes(model.lines[l].a) || plan.goes(model.lines[l].b)) lineGoes[l] = 1;
    }
    LineLookup lookup(model);
    std::vector<LINE> newLines;
    auto lineFor = [&](int32_t from, int32_t to) {
      const int32_t found = lookup.find(from, to);
      if (found != 0 && (Magnitude(found) > model.lineCount || !lineGoes[Magnitude(found)])) {
        return found;
      }
      // No line that stays joins them: a new one, in the surface's winding.
      const int32_t index = model.lineCount + static_cast<int32_t>(newLines.size()) + 1;
      newLines.push_back(LINE{from, to, kStateNormal});
      lookup.add(index, from, to);
      return index;
    };
    std::vector<FACE> built;
    for (const Planned& planned : surfaces) {
      const int n = static_cast<int>(planned.corners.size());
      FACE face;
      for (int j = 0; j < 4; ++j) {
        const Corner& corner = planned.corners[j < n ? j : 0];
        face.corners[j] = corner.point;
        face.uv[j] = corner.uv;
      }
      for (int j = 0; j < n; ++j) {
        face.lines[j] = lineFor(planned.corners[j].point, planned.corners[(j + 1) % n].point);
      }
      if (n == 3) face.lines[3] = face.lines[0];
      face.material = planned.material;
      face.state = kStateNormal;
      built.push_back(face);
    }
    int removedLines = 0;
    for (int l = 1; l <= model.lineCount; ++l) removedLines += lineGoes[l];
    if (model.lineCount - removedLines + static_cast<int64_t>(newLines.size()) > kMaxCount) {
      return CommandResult::Refused(TableFull());
    }

    for (const LINE& line : newLines) model.lines[++model.lineCount] = line;
    for (int l = 1; l < static_cast<int>(lineGoes.size()); ++l) {
      if (lineGoes[l]) model.lines[l].state = kStateRemoved;
    }
    for (int p = 1; p <= model.pointCount; ++p) {
      if (plan.goes(p)) model.points[p].state = kStateRemoved;
    }
    for (int32_t l : loopLines) {
      for (const Use& use : plan.uses(l)) model.faces[use.surface].state = kStateRemoved;
    }
    // The pairs' surfaces go and the new ones follow the surfaces that stay,
    // as appending them and purging would leave them, without ever holding
    // both in the table.
    int write = 0;
    for (int s = 1; s <= model.faceCount; ++s) {
      if (model.faces[s].state != kStateRemoved) model.faces[++write] = model.faces[s];
    }
    for (const FACE& face : built) model.faces[++write] = face;
    for (int s = write + 1; s <= model.faceCount; ++s) model.faces[s] = FACE{};
    model.faceCount = write;
    MarkDuplicateLines(model);
    DropRepeatedSurfaces(model);
    DeselectAll(model);
    return CommandResult{};
  });
}

}  // namespace vexal
