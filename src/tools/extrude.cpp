#include "tools/extrude.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <utility>
#include <vector>

#include "model/edit_frame.h"
#include "model/maintenance.h"
#include "model/table_room.h"

namespace vexal {
namespace {

int32_t Magnitude(int32_t reference) { return reference < 0 ? -reference : reference; }

// The line on edge `slot` of a surface, when its reference really names a
// line joining the edge's two corners; else 0.
int32_t EdgeLine(const Model& model, const FACE& face, int slot) {
  const int32_t reference = face.lines[slot];
  const int32_t l = Magnitude(reference);
  if (l == 0 || l > model.lineCount) return 0;
  const LINE& line = model.lines[l];
  const int32_t from = face.corners[slot];
  const int32_t to = face.corners[(slot + 1) % CornerCount(face)];
  const bool joins = reference > 0 ? (line.a == from && line.b == to) : (line.a == to && line.b == from);
  return joins ? l : 0;
}

// How the surfaces use one line. The first surface to use it (the
// taking-part surfaces are visited first) gives the side quad its material,
// its UVs and the way it winds.
struct LineUse {
  int32_t surface = 0;
  int32_t reference = 0;  // signed, as that surface holds it
  int8_t slot = 0;        // the surface's edge that holds it
  uint8_t taking = 0;     // taking-part surfaces using it, 2 meaning several
  uint8_t other = 0;      // other surfaces using it, 2 meaning several
};

enum class LineAction : uint8_t {
  kNone,
  kRepoint,  // moves with the copies (inside an extruded region)
  kCopy,     // a new line between the copies
  kCopyAndSide,  // a new line and a side quad joining it to the source
};

// The whole edit, decided before anything changes so that the room check
// counts exactly what will be appended.
struct Plan {
  std::vector<uint8_t> taking;     // per surface
  std::vector<LineUse> uses;       // per line
  std::vector<int32_t> copyOf;     // per point: index of its copy, 0 none
  std::vector<uint8_t> connect;    // per point: needs a line to its copy
  std::vector<LineAction> action;  // per line
  int newPoints = 0;
  int newLines = 0;
  int newFaces = 0;
};

// A corner of the mirror image of a selected surface or line: its partner
// is affected, or it lies on the mirror plane and is affected itself.
bool MirrorImageCorner(const Model& model, int32_t point) {
  const VERT& v = model.points[point];
  const int32_t c = v.selectionClass;
  return c == 3 || c == 4 || ((c == 1 || c == 2) && v.mirror == point);
}

bool MirrorImageEnd(const Model& model, int32_t point) {
  const VERT& v = model.points[point];
  const int32_t c = v.selectionClass;
  return c == 3 || c == 4 || (c != 0 && v.mirror == point);
}

Plan MakePlan(const Model& model, int mode) {
  const int points = model.pointCount;
  const int lines = model.lineCount;
  const int faces = model.faceCount;
  Plan plan;
  plan.taking.assign(static_cast<size_t>(faces) + 1, 0);
  plan.uses.assign(static_cast<size_t>(lines) + 1, LineUse{});
  plan.copyOf.assign(static_cast<size_t>(points) + 1, 0);
  plan.connect.assign(static_cast<size_t>(points) + 1, 0);
  plan.action.assign(static_cast<size_t>(lines) + 1, LineAction::kNone);

  for (int s = 1; s <= faces; ++s) {
    const FACE& face = model.faces[s];
    bool takes = face.state == kStateSelected;
    if (!takes) {
      takes = true;
      for (int32_t corner : face.corners) takes = takes && MirrorImageCorner(model, corner);
    }
    plan.taking[s] = takes ? 1 : 0;
  }

  // Taking-part corners per point; zeroed below on the border.
  std::vector<int32_t> corners(static_cast<size_t>(points) + 1, 0);
  for (int pass = 1; pass >= 0; --pass) {
    for (int s = 1; s <= faces; ++s) {
      if (plan.taking[s] != pass) continue;
      const FACE& face = model.faces[s];
      const int n = CornerCount(face);
      for (int j = 0; j < n; ++j) {
        if (pass == 1) ++corners[face.corners[j]];
        const int32_t l = EdgeLine(model, face, j);
        if (l == 0) continue;
        LineUse& use = plan.uses[l];
        uint8_t& count = pass == 1 ? use.taking : use.other;
        count = static_cast<uint8_t>(std::min(count + 1, 2));
        if (use.surface == 0) {
          use.surface = s;
          use.reference = face.lines[j];
          use.slot = static_cast<int8_t>(j);
        }
      }
    }
  }
  std::vector<uint8_t> border(static_cast<size_t>(lines) + 1, 0);
  for (int l = 1; l <= lines; ++l) {
    const LineUse& use = plan.uses[l];
    if (use.taking == 1 || use.other != 0) {
      border[l] = 1;
      corners[model.lines[l].a] = 0;
      corners[model.lines[l].b] = 0;
    }
  }

  // In an extrusion the points inside the region move as they are; every
  // other affected point is copied.
  int32_t next = points;
  for (int p = 1; p <= points; ++p) {
    if (model.points[p].selectionClass == 0) continue;
    if (mode == kExtrudeExtrude && corners[p] != 0) continue;
    plan.copyOf[p] = ++next;
  }
  plan.newPoints = next - points;

  for (int l = 1; l <= lines; ++l) {
    const LINE& line = model.lines[l];
    const LineUse& use = plan.uses[l];
    const VERT& a = model.points[line.a];
    const VERT& b = model.points[line.b];
    if (a.selectionClass == 0 || b.selectionClass == 0) continue;
    // The selected lines and their mirror images, and every edge of a
    // taking-part surface, so that each copied surface has its edges even
    // when it was selected without its points.
    const bool takes = line.state == kStateSelected || use.taking != 0 ||
                       (MirrorImageEnd(model, line.a) && MirrorImageEnd(model, line.b));
    if (!takes) continue;
    LineAction action = LineAction::kCopy;
    if (mode == kExtrudeExtrude) {
      const bool inside = use.taking == 2 && use.other == 0;
      const bool copiedA = plan.copyOf[line.a] != 0;
      const bool copiedB = plan.copyOf[line.b] != 0;
      if (inside) {
        action = LineAction::kRepoint;
      } else if (!copiedA && !copiedB) {
        // Both ends move where they are; so does the line.
        action = LineAction::kNone;
      } else if (border[l] && copiedA && copiedB) {
        action = LineAction::kCopyAndSide;
      }
    } else if (mode == kExtrudeSolid && border[l]) {
      action = LineAction::kCopyAndSide;
    }
    plan.action[l] = action;
    if (action == LineAction::kCopy || action == LineAction::kCopyAndSide) ++plan.newLines;
    if (action == LineAction::kCopyAndSide) {
      ++plan.newFaces;
      plan.connect[line.a] = 1;
      plan.connect[line.b] = 1;
    }
  }
  for (int p = 1; p <= points; ++p) plan.newLines += plan.connect[p];
  if (mode != kExtrudeExtrude) {
    for (int s = 1; s <= faces; ++s) plan.newFaces += plan.taking[s];
  }
  return plan;
}

}  // namespace

bool ExtrudeSelection(Document& document, int mode, std::vector<int32_t>* copyOf) {
  assert(mode == kExtrudeQuickCopy || mode == kExtrudeExtrude || mode == kExtrudeSolid);
  Model& model = document.model;
  const int points = model.pointCount;
  const int lines = model.lineCount;
  const int faces = model.faceCount;
  Plan plan = MakePlan(model, mode);
  if (!HasRoom(document, plan.newPoints, plan.newLines, plan.newFaces)) return false;

  auto moved = [&plan](int32_t point) {
    const int32_t copy = plan.copyOf[point];
    return copy != 0 ? copy : point;
  };

  for (int p = 1; p <= points; ++p) {
    const int32_t copy = plan.copyOf[p];
    if (copy == 0) continue;
    VERT& source = model.points[p];
    VERT& target = model.points[copy];
    target = source;
    const int32_t partner = source.mirror;
    if (partner == p) {
      target.mirror = copy;
    } else if (partner >= 1 && partner <= points) {
      // An uncopied partner stays paired with the source; the copy gets none.
      target.mirror = plan.copyOf[partner];
    } else {
      target.mirror = 0;
    }
    if (source.state == kStateSelected) source.state = kStateNormal;
  }
  model.pointCount = points + plan.newPoints;

  std::vector<uint8_t> connected(static_cast<size_t>(points) + 1, 0);
  auto connect = [&](int32_t point) {
    if (connected[point]) return;
    connected[point] = 1;
    SetLine(model, ++model.lineCount, point, plan.copyOf[point], kStateNormal);
  };
  for (int l = 1; l <= lines; ++l) {
    const LineAction action = plan.action[l];
    if (action == LineAction::kNone) continue;
    LINE& line = model.lines[l];
    const int32_t a = line.a;
    const int32_t b = line.b;
    // Hidden lines stay hidden, and so do their copies.
    const bool hidden = line.state == kStateHidden;
    if (action == LineAction::kRepoint) {
      SetLine(model, l, moved(a), moved(b), hidden ? kStateHidden : kStateNormal);
      continue;
    }
    SetLine(model, ++model.lineCount, moved(a), moved(b), hidden ? kStateHidden : kStateSelected);
    if (line.state == kStateSelected) line.state = kStateNormal;
    if (action != LineAction::kCopyAndSide) continue;

    connect(a);
    connect(b);
    const LineUse& use = plan.uses[l];
    const FACE& from = model.faces[use.surface];
    const int n = CornerCount(from);
    const int here = use.slot;
    const int there = (use.slot + 1) % n;
    // The surface runs the line forwards (a at slot `here`) or backwards.
    const UV uvA = use.reference > 0 ? from.uv[here] : from.uv[there];
    const UV uvB = use.reference > 0 ? from.uv[there] : from.uv[here];
    const int side = ++model.faceCount;
    FACE& quad = model.faces[side];
    quad = FACE{};
    quad.corners = {plan.copyOf[b], plan.copyOf[a], a, b};
    quad.uv = {uvB, uvA, uvA, uvB};
    quad.material = from.material;
    quad.state = kStateNormal;
    // The side runs the source line a -> b. Next to a taking-part surface
    // it winds on from the extruded surface (solid: from the source cap,
    // which faces the other way); next to another surface only, it winds
    // on from that one.
    const bool turn = mode == kExtrudeExtrude && use.taking != 0 ? use.reference < 0 : use.reference > 0;
    if (turn) FlipFace(model, side);
  }

  for (int s = 1; s <= faces; ++s) {
    if (!plan.taking[s]) continue;
    FACE& source = model.faces[s];
    if (mode == kExtrudeExtrude) {
      // The surface itself moves, so it keeps its state: selected by
      // itself, its corners stay affected for the drag.
      for (int32_t& corner : source.corners) corner = moved(corner);
      continue;
    }
    const int copy = ++model.faceCount;
    FACE& target = model.faces[copy];
    target = source;
    for (int32_t& corner : target.corners) corner = moved(corner);
    if (mode == kExtrudeSolid) FlipFace(model, copy);
    if (source.state == kStateSelected) source.state = kStateNormal;
  }
  assert(model.pointCount == points + plan.newPoints);
  assert(model.lineCount == lines + plan.newLines);
  assert(model.faceCount == faces + plan.newFaces);

  RelinkFaces(model);
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  EndEdit(document, steps);
  document.mode.provisional = 1;
  if (copyOf) *copyOf = std::move(plan.copyOf);
  return true;
}

}  // namespace vexal
