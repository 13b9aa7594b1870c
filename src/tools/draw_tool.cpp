#include "tools/draw_tool.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/camera.h"
#include "model/edit_frame.h"
#include "model/maintenance.h"
#include "model/table_room.h"
#include "tools/edge_split.h"
#include "tools/picking.h"

namespace vexal {
namespace {

int AddPoint(Model& model, const VECTOR& position) {
  const int point = ++model.pointCount;
  model.points[point] = VERT{};
  model.points[point].position = position;
  return point;
}

void Partner(Model& model, int a, int b) {
  model.points[a].mirror = b;
  model.points[b].mirror = a;
}

int AddLine(Model& model, int32_t a, int32_t b) {
  const int line = ++model.lineCount;
  model.lines[line] = LINE{a, b, kStateNormal};
  return line;
}

VECTOR Mirrored(VECTOR position) {
  position.x = -position.x;
  return position;
}

VECTOR Screen(const Document& document, int point) {
  return ProjectPoint(document, document.model.points[point].position, true);
}

// The view looks along the x axis straight onto the mirror plane.
bool MirrorPlaneView(const Document& document) {
  const SCENE& scene = document.scene;
  return std::abs(ScreenInt(scene.angle.y)) % 180 == 90 && std::abs(ScreenInt(scene.angle.x)) % 180 == 0 &&
         scene.target.x == 0.0f;
}

// Shift alone (modifier code 1) straightens; the click and the rubber band
// that shows where it will land both ask here.
bool Straightens(int code) { return code == kShiftKey; }

// A straightened click lines up with the previous point's pixel, across the
// axis on which it moved less.
void Straighten(const VECTOR& from, int& x, int& y) {
  if (std::abs(ScreenInt(from.y - static_cast<float>(y))) < std::abs(ScreenInt(from.x - static_cast<float>(x)))) {
    y = ScreenInt(from.y);
  } else {
    x = ScreenInt(from.x);
  }
}

void StartStroke(Document& document, const PointerEvent& event) {
  MODE& mode = document.mode;
  mode.rubberX = event.x;
  mode.rubberY = event.y;
  mode.state = 1;
  mode.modifiers = event.modifiers();
}

// The end of a stroke that reached a point or a line: one undo step.
void EndStroke(Document& document, bool normals) {
  document.mode.state = 0;
  EditSteps steps;
  steps.finishPendingDraw = false;
  steps.purgeMarked = true;
  if (normals) steps.normalFlags = kNormalsAngleSmoothed;
  EndEdit(document, steps);
}

// The rubber band moved: draw it again, without wiping the figure of a
// view gesture that may be running over the stroke.
void ShowRubberBand(Document& document) {
  if (document.rubber.empty()) {
    Redraw(document);
  } else {
    document.notify().overlayChanged();
  }
}

// Closes an open line of the stroke onto `to`, or marks it for removal when
// the two points are joined already: a Shift+Alt click on the stroke's own
// last segment splits it into halves, one of which is that line.
void CloseOpenLine(Model& model, int open, int32_t from, int32_t to) {
  const bool joined = FindLine(model, from, to) != 0;
  model.lines[open] = LINE{from, to, joined ? kStateRemoved : kStateNormal};
}

void DropMarkedFaces(Model& model) {
  int write = 0;
  for (int s = 1; s <= model.faceCount; ++s) {
    if (model.faces[s].state != kStateRemoved) model.faces[++write] = model.faces[s];
  }
  for (int s = write + 1; s <= model.faceCount; ++s) model.faces[s] = FACE{};
  model.faceCount = write;
}

bool SameCorners(const FACE& a, const FACE& b) {
  for (int k = 0; k < 3; ++k) {
    if (std::find(b.corners.begin(), b.corners.begin() + 3, a.corners[k]) == b.corners.begin() + 3) {
      return false;
    }
  }
  return true;
}

// How a stroke treats the partner of each point it places. The point tool
// makes none and keeps one open line. The mirrored tool gives each point its
// reflection across x = 0 (a point on that plane is its own partner) and
// keeps a second open line from the partner, the last line of the table.
enum class Mirror { kNone, kAcrossX };

int OpenLinesPerClick(Mirror mirror) { return mirror == Mirror::kAcrossX ? 2 : 1; }

// Partners `point` with its reflection, a new point, or with itself when it
// lies on the plane. Gives the partner.
int32_t MakePartner(Model& model, int point, bool onPlane) {
  const int32_t partner = onPlane ? point : AddPoint(model, Mirrored(model.points[point].position));
  Partner(model, point, partner);
  return partner;
}

// The partner of a point that splitting a line made: the point itself
// when the split found none.
int32_t SplitPartner(const Model& model, int created) {
  return model.points[created].mirror != 0 ? model.points[created].mirror : created;
}

void ShowMirrorRubberBand(Document& document, int partner) {
  const VECTOR s = Screen(document, partner);
  document.mode.mirrorRubberX = ScreenInt(s.x);
  document.mode.mirrorRubberY = ScreenInt(s.y);
}

// The stroke's press once it knows what lies under the pointer.
void StrokePress(Document& document, const PointerEvent& event, int point, int line, Mirror mirror) {
  Model& model = document.model;
  MODE& mode = document.mode;
  const bool mirrored = mirror == Mirror::kAcrossX;
  const int lines = OpenLinesPerClick(mirror);
  const int code = event.modifiers();
  const bool onLine = point == 0 && line != 0 && code == 3;
  int x = event.x;
  int y = event.y;
  // The open lines after a click: one from the point, one from its partner.
  auto openFrom = [&](int from, int32_t partner) {
    AddLine(model, from, 0);
    if (mirrored) AddLine(model, partner, 0);
  };
  if (mode.state != 1) {
    int32_t partner = 0;
    if (point != 0) {
      partner = mirrored ? model.points[point].mirror : point;
      if (!HasRoom(document, partner == 0 ? 1 : 0, lines, 0)) return;
      StartStroke(document, event);
      mode.chainStart = point;
      if (partner == 0) partner = MakePartner(model, point, false);
      openFrom(point, partner);
    } else if (!onLine) {
      VECTOR position = UnprojectPoint(document, x, y, 0, true);
      const bool onPlane = mirrored && MirrorPlaneView(document);
      if (!HasRoom(document, mirrored && !onPlane ? 2 : 1, lines, 0)) return;
      StartStroke(document, event);
      if (onPlane) position.x = 0;
      const int created = AddPoint(model, position);
      partner = mirrored ? MakePartner(model, created, onPlane) : created;
      mode.chainStart = created;
      openFrom(created, partner);
    } else {
      if (LineParameterAt(document, line, x, y) == -1.0f || !HasRoom(document, lines, 2 * lines, 0)) return;
      StartStroke(document, event);
      DeleteFacesOnLine(model, line, mirrored);
      const int created = SplitLineAt(document, line, x, y, lines);
      partner = mirrored ? SplitPartner(model, created) : created;
      mode.chainStart = created;
      openFrom(created, partner);
      PurgeMarked(model);
    }
    if (mirrored) ShowMirrorRubberBand(document, partner);
    Redraw(document);
    return;
  }

  const int open = model.lineCount;
  // The point's open line; the partner's is `open`.
  const int first = open - (lines - 1);
  const int32_t last = model.lines[first].a;
  const int32_t lastMirror = model.lines[open].a;
  if (point != 0 && point == last) return;
  if (point == 0 && !onLine) {
    const VECTOR from = Screen(document, last);
    if (Straightens(code)) Straighten(from, x, y);
    VECTOR position = UnprojectPoint(document, x, y, from.z, true);
    const bool onPlane = mirrored && MirrorPlaneView(document) && model.points[last].mirror == last;
    if (!HasRoom(document, mirrored && !onPlane ? 2 : 1, lines, 0)) return;
    if (onPlane) position.x = 0;
    const int created = AddPoint(model, position);
    const int32_t partner = mirrored ? MakePartner(model, created, onPlane) : created;
    // On the plane both segments would join the same two points: only the
    // mirrored one stays.
    model.lines[first] = LINE{last, created, onPlane ? kStateRemoved : kStateNormal};
    if (mirrored) model.lines[open] = LINE{lastMirror, partner, kStateNormal};
    openFrom(created, partner);
    if (mirrored) ShowMirrorRubberBand(document, partner);
    mode.rubberX = x;
    mode.rubberY = y;
    Redraw(document);
  } else if (point == 0) {
    if (LineParameterAt(document, line, x, y) == -1.0f || !HasRoom(document, lines, lines, 0)) return;
    DeleteFacesOnLine(model, line, mirrored);
    mode.previousPoint = last;
    const int created = SplitLineAt(document, line, x, y, lines);
    // On the plane both open lines reach the same point: the second
    // finds the first and goes.
    CloseOpenLine(model, first, last, created);
    if (mirrored) CloseOpenLine(model, open, lastMirror, SplitPartner(model, created));
    EndStroke(document, false);
  } else {
    mode.previousPoint = last;
    const int32_t partner = mirrored ? model.points[point].mirror : 0;
    const bool joined = FindLine(model, last, point) != 0;
    int quads = joined ? 0 : QuadsWithDiagonal(model, last, point);
    if (partner != 0) quads += QuadsWithDiagonal(model, lastMirror, partner);
    if ((mirrored || !joined) && !HasRoom(document, mirrored && partner == 0 ? 1 : 0, 0, quads)) return;
    if (!joined) {
      model.lines[first] = LINE{last, point, kStateNormal};
      SplitQuadByDiagonal(model, first);
    } else {
      // The line exists already: no second one.
      model.lines[first].state = kStateRemoved;
    }
    if (mirrored) {
      if (partner == 0) {
        model.lines[open] = LINE{lastMirror, MakePartner(model, point, false), kStateNormal};
      } else if (FindLine(model, lastMirror, partner) == 0) {
        model.lines[open] = LINE{lastMirror, partner, kStateNormal};
        SplitQuadByDiagonal(model, open);
      } else {
        model.lines[open].state = kStateRemoved;
      }
    }
    EndStroke(document, true);
  }
}

// A right press in a stroke takes its last click back, or the whole stroke
// when nothing was clicked after the first point.
void StrokeTakeBack(Document& document, Mirror mirror) {
  Model& model = document.model;
  MODE& mode = document.mode;
  const bool mirrored = mirror == Mirror::kAcrossX;
  const int lines = OpenLinesPerClick(mirror);
  if (model.lines[model.lineCount - (lines - 1)].a == mode.chainStart) {
    mode.state = 0;
    StepUndo(document, 0);
    return;
  }
  // The points of the last click are the last points of the table.
  const int32_t last = model.pointCount;
  const int taken = mirrored && model.points[last].mirror != last ? 2 : 1;
  for (int k = 0; k < taken; ++k) model.points[model.pointCount--] = VERT{};
  for (int k = 0; k < lines; ++k) model.lines[model.lineCount--] = LINE{};
  // The segments of the taken click are the open lines again.
  for (int k = model.lineCount - (lines - 1); k <= model.lineCount; ++k) {
    model.lines[k].b = 0;
    if (mirrored) model.lines[k].state = kStateNormal;
  }
  Redraw(document);
}

// The free end of a rubber band: a point under the pointer, else the
// pointer, straightened as the click would be. Also gives the snapped point.
void RubberEnd(const Document& document, int anchor, const PointerEvent& event, int& x, int& y,
               int& snapped) {
  x = event.x;
  y = event.y;
  snapped = PickPoint(document, x, y);
  if (snapped != 0) {
    const VECTOR s = Screen(document, snapped);
    x = ScreenInt(s.x);
    y = ScreenInt(s.y);
  } else if (Straightens(event.modifiers())) {
    Straighten(Screen(document, anchor), x, y);
  }
}

}  // namespace

int QuadsWithDiagonal(const Model& model, int32_t a, int32_t b) {
  int count = 0;
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.state == kStateRemoved || !IsQuad(face)) continue;
    const auto& c = face.corners;
    const bool first = (c[0] == a && c[2] == b) || (c[0] == b && c[2] == a);
    const bool second = (c[1] == a && c[3] == b) || (c[1] == b && c[3] == a);
    count += first || second ? 1 : 0;
  }
  return count;
}

int SplitQuadByDiagonal(Model& model, int line) {
  const int32_t from = model.lines[line].a;
  const int32_t to = model.lines[line].b;
  int split = 0;
  const int faces = model.faceCount;
  for (int s = 1; s <= faces && s <= model.faceCount; ++s) {
    const FACE quad = model.faces[s];
    if (quad.state == kStateRemoved || !IsQuad(quad)) continue;
    const auto& c = quad.corners;
    const auto& r = quad.lines;
    // The sign tells whether the line runs like the edge from `start`.
    auto along = [&](int32_t start) { return from == start ? line : -line; };
    std::array<FACE, 2> halves{quad, quad};
    if ((c[0] == from && c[2] == to) || (c[0] == to && c[2] == from)) {
      halves[0].corners = {c[0], c[1], c[2], c[0]};
      halves[0].lines = {r[0], r[1], along(c[2]), r[0]};
      halves[0].uv = {quad.uv[0], quad.uv[1], quad.uv[2], quad.uv[0]};
      halves[1].corners = {c[0], c[2], c[3], c[0]};
      halves[1].lines = {along(c[0]), r[2], r[3], along(c[0])};
      halves[1].uv = {quad.uv[0], quad.uv[2], quad.uv[3], quad.uv[0]};
    } else if ((c[1] == from && c[3] == to) || (c[1] == to && c[3] == from)) {
      halves[0].corners = {c[0], c[1], c[3], c[0]};
      halves[0].lines = {r[0], along(c[1]), r[3], r[0]};
      halves[0].uv = {quad.uv[0], quad.uv[1], quad.uv[3], quad.uv[0]};
      halves[1].corners = {c[1], c[2], c[3], c[1]};
      halves[1].lines = {r[1], r[2], along(c[3]), r[1]};
      halves[1].uv = {quad.uv[1], quad.uv[2], quad.uv[3], quad.uv[1]};
    } else {
      continue;
    }
    model.faces[s].state = kStateRemoved;
    // Removed quads make room when the table is nearly full; the order of
    // the survivors is what PurgeMarked would leave.
    if (model.faceCount + 2 > kMaxCount) {
      DropMarkedFaces(model);
      s = 0;
    }
    model.faces[++model.faceCount] = halves[0];
    const int second = ++model.faceCount;
    model.faces[second] = halves[1];
    for (int other = 1; other <= model.faceCount; ++other) {
      FACE& face = model.faces[other];
      if (other == second || face.state == kStateRemoved || IsQuad(face)) continue;
      if (SameCorners(halves[1], face)) {
        model.faces[second].state = kStateRemoved;
        face.material = std::min(face.material, halves[1].material);
        break;
      }
    }
    ++split;
  }
  return split;
}

void DeleteFacesOnLine(Model& model, int line, bool withMirror) {
  auto mark = [&](int32_t target) {
    if (target < 1 || target > model.lineCount) return;
    for (int s = 1; s <= model.faceCount; ++s) {
      FACE& face = model.faces[s];
      const int edges = CornerCount(face);
      for (int j = 0; j < edges; ++j) {
        if (std::abs(face.lines[j]) == target) face.state = kStateRemoved;
      }
    }
  };
  mark(line);
  if (!withMirror) return;
  const LINE& record = model.lines[line];
  if (!ValidPoint(model, record.a) || !ValidPoint(model, record.b)) return;
  const int32_t pa = model.points[record.a].mirror;
  const int32_t pb = model.points[record.b].mirror;
  if (pa != 0 && pb != 0) mark(std::abs(FindLine(model, pa, pb)));
}

void DrawToolPress(Document& document, const PointerEvent& event, int point, int line) {
  MODE& mode = document.mode;
  if (event.button == MouseButton::kRight) {
    if (mode.state != 1) return;
    StrokeTakeBack(document, mode.tool == kToolPoint ? Mirror::kNone : Mirror::kAcrossX);
    return;
  }
  if (event.button != MouseButton::kLeft) return;
  if (event.modifiers() == 3) {
    const Picks picks = ResolvePicks(document, {point, line, 0});
    point = picks.point;
    line = picks.line;
  }
  StrokePress(document, event, point, line, mode.tool == kToolPoint ? Mirror::kNone : Mirror::kAcrossX);
}

void PointRubberMove(Document& document, const PointerEvent& event) {
  const Model& model = document.model;
  if (model.lineCount < 1 || !ValidPoint(model, model.lines[model.lineCount].a)) return;
  int x = 0, y = 0, snapped = 0;
  RubberEnd(document, model.lines[model.lineCount].a, event, x, y, snapped);
  document.mode.rubberX = x;
  document.mode.rubberY = y;
  ShowRubberBand(document);
}

void DPointRubberMove(Document& document, const PointerEvent& event) {
  const Model& model = document.model;
  MODE& mode = document.mode;
  if (model.lineCount < 2) return;
  const int32_t last = model.lines[model.lineCount - 1].a;
  if (!ValidPoint(model, last)) return;
  int x = 0, y = 0, snapped = 0;
  RubberEnd(document, last, event, x, y, snapped);
  mode.rubberX = x;
  mode.rubberY = y;
  VECTOR mirror;
  if (snapped != 0) {
    mirror = Mirrored(model.points[snapped].position);
  } else {
    const float depth = Screen(document, last).z;
    mirror = Mirrored(UnprojectPoint(document, x, y, depth, true));
  }
  const VECTOR s = ProjectPoint(document, mirror, true);
  mode.mirrorRubberX = ScreenInt(s.x);
  mode.mirrorRubberY = ScreenInt(s.y);
  ShowRubberBand(document);
}

}  // namespace vexal
