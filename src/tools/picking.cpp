#include "tools/picking.h"

#include <algorithm>
#include <cmath>

#include "model/camera.h"

namespace vexal {
namespace {

bool ValidFace(const Model& model, const FACE& face) {
  for (int32_t corner : face.corners) {
    if (!ValidPoint(model, corner)) return false;
  }
  return true;
}

// The line rule: closer than 3 pixels to the infinite line through a and b,
// and strictly inside their box widened by 4 pixels.
bool NearSegment(const VECTOR& a, const VECTOR& b, float x, float y) {
  const float dx = b.x - a.x;
  const float dy = b.y - a.y;
  const float length = std::sqrt(dx * dx + dy * dy);
  const float cross = std::fabs(-dy * x + dx * y + b.y * a.x - a.y * b.x);
  if (!(3.0f * length > cross)) return false;
  return std::min(a.x, b.x) - 4 < x && x < std::max(a.x, b.x) + 4 &&
         std::min(a.y, b.y) - 4 < y && y < std::max(a.y, b.y) + 4;
}

// Whether m lies strictly inside the screen triangle (o, p, q); depth there.
bool InsideTriangle(const VECTOR& o, const VECTOR& p, const VECTOR& q, float mx, float my,
                    float& depth) {
  const float d = (p.x - o.x) * (q.y - o.y) - (p.y - o.y) * (q.x - o.x);
  if (d == 0.0f) return false;
  const float u = ((mx - o.x) * (q.y - o.y) - (my - o.y) * (q.x - o.x)) / d;
  const float v = ((p.x - o.x) * (my - o.y) - (p.y - o.y) * (mx - o.x)) / d;
  if (!(u > 0 && v > 0 && u + v < 1)) return false;
  depth = o.z + u * (p.z - o.z) + v * (q.z - o.z);
  return true;
}

bool IsHandleTool(int32_t tool) { return tool == kToolMove || tool == kToolRotate || tool == kToolScale; }

float PointDepth(const Document& document, int point) {
  return ProjectPoint(document, document.model.points[point].position, true).z;
}

float LineDepth(const Document& document, int line) {
  const LINE& record = document.model.lines[line];
  return (PointDepth(document, record.a) + PointDepth(document, record.b)) * 0.5f;
}

float SurfaceDepth(const Document& document, int surface) {
  const FACE& face = document.model.faces[surface];
  const int corners = CornerCount(face);
  float sum = 0;
  for (int k = 0; k < corners; ++k) sum += PointDepth(document, face.corners[k]);
  return sum / static_cast<float>(corners);
}

}  // namespace

int ScreenInt(float value) {
  if (!(value > -1e9f)) return -1000000000;
  if (!(value < 1e9f)) return 1000000000;
  return static_cast<int>(value);
}

std::vector<VECTOR> ProjectAllPoints(const Document& document) {
  const Model& model = document.model;
  const MATRIX view = ViewMatrix(document, true);
  std::vector<VECTOR> projected(static_cast<size_t>(model.pointCount) + 1);
  for (int p = 1; p <= model.pointCount; ++p) projected[p] = model.points[p].position.transformed(view);
  return projected;
}

int PickPoint(const Document& document, int x, int y) {
  return PickPoint(document, ProjectAllPoints(document), x, y);
}

int PickPoint(const Document& document, const std::vector<VECTOR>& projected, int x, int y,
              int exclude) {
  const Model& model = document.model;
  const float fx = static_cast<float>(x);
  const float fy = static_cast<float>(y);
  int best = 0;
  bool bestSelected = false;
  float bestDepth = 0;
  for (int p = 1; p <= model.pointCount; ++p) {
    const int32_t state = model.points[p].state;
    if (state == kStateHidden || p == exclude) continue;
    // |trunc(d)| < 4 is |d| < 4.
    const VECTOR& s = projected[p];
    if (!(std::fabs(s.x - fx) < 4.0f && std::fabs(s.y - fy) < 4.0f)) continue;
    const bool selected = state == kStateSelected;
    if (best == 0 || (selected && !bestSelected) || (selected == bestSelected && s.z > bestDepth)) {
      best = p;
      bestSelected = selected;
      bestDepth = s.z;
    }
  }
  return best;
}

int PickLine(const Document& document, int x, int y) {
  return PickLine(document, ProjectAllPoints(document), x, y);
}

int PickLine(const Document& document, const std::vector<VECTOR>& projected, int x, int y) {
  const Model& model = document.model;
  const float fx = static_cast<float>(x);
  const float fy = static_cast<float>(y);
  int best = 0;
  bool bestSelected = false;
  float bestDepth = 0;
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    // A line marked for removal may lie exactly under the one that
    // replaces it (the first-side twin of a segment on the mirror plane).
    if (line.state == kStateHidden || line.state == kStateRemoved) continue;
    // The open line of a stroke being drawn has no second end.
    if (!ValidPoint(model, line.a) || !ValidPoint(model, line.b)) continue;
    const VECTOR& a = projected[line.a];
    const VECTOR& b = projected[line.b];
    if (!NearSegment(a, b, fx, fy)) continue;
    const bool selected = line.state == kStateSelected;
    const float depth = a.z + b.z;
    if (best == 0 || (selected && !bestSelected) || (selected == bestSelected && depth > bestDepth)) {
      best = l;
      bestSelected = selected;
      bestDepth = depth;
    }
  }
  return best;
}

int PickSurface(const Document& document, int x, int y) {
  return PickSurface(document, ProjectAllPoints(document), x, y);
}

int PickSurface(const Document& document, const std::vector<VECTOR>& projected, int x, int y) {
  const Model& model = document.model;
  const float fx = static_cast<float>(x);
  const float fy = static_cast<float>(y);
  int best = 0;
  float bestDepth = 0;
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.state == kStateHidden || !ValidFace(model, face)) continue;
    const VECTOR& c1 = projected[face.corners[0]];
    const VECTOR& c2 = projected[face.corners[1]];
    const VECTOR& c3 = projected[face.corners[2]];
    const VECTOR& c4 = projected[face.corners[3]];
    float depth = 0;
    float other = 0;
    bool inside = InsideTriangle(c2, c3, c4, fx, fy, depth);
    if (IsQuad(face)) {
      const bool second = InsideTriangle(c1, c2, c4, fx, fy, other);
      // A quad folded over itself holds the pointer in both halves.
      if (inside && second) continue;
      if (second) {
        inside = true;
        depth = other;
      }
    }
    if (!inside) continue;
    if (best == 0 || depth > bestDepth) {
      best = s;
      bestDepth = depth;
    }
  }
  return best;
}

int PickHandle(const Document& document, int x, int y) {
  const SCENE& scene = document.scene;
  const MODE& mode = document.mode;
  if (!(IsHandleTool(mode.tool) || IsHandleTool(mode.savedTool))) return kHandleNone;
  if (scene.selectedCount == 0 || scene.showHandle != 1) return kHandleNone;
  const VECTOR& h = scene.handle;
  // The arms as drawn: 80 pixels at the pivot's depth, in the direction the
  // sign of the pixel size gives them.
  const float length = PixelSize(document, ProjectPoint(document, h, false).z) * 80.0f;
  const VECTOR centre = ProjectPoint(document, h, true);
  const float fx = static_cast<float>(x);
  const float fy = static_cast<float>(y);
  if (centre.x - 10 < fx && fx < centre.x + 10 && centre.y - 10 < fy && fy < centre.y + 10) {
    return kHandleCentre;
  }
  const VECTOR ends[3] = {h - VECTOR(length, 0, 0), h - VECTOR(0, length, 0), h - VECTOR(0, 0, length)};
  for (int axis = 0; axis < 3; ++axis) {
    if (NearSegment(centre, ProjectPoint(document, ends[axis], true), fx, fy)) return kHandleX + axis;
  }
  return kHandleNone;
}

Picks ResolvePicks(const Document& document, Picks picks) {
  const Model& model = document.model;
  if (picks.point != 0 && picks.line != 0) {
    const bool pointSelected = model.points[picks.point].state == kStateSelected;
    const bool lineSelected = model.lines[picks.line].state == kStateSelected;
    const LINE& line = model.lines[picks.line];
    if (pointSelected && !lineSelected) {
      picks.line = 0;
    } else if (line.a == picks.point || line.b == picks.point) {
      picks.line = 0;
    } else if (!pointSelected && lineSelected) {
      picks.point = 0;
    } else if (!(LineDepth(document, picks.line) > PointDepth(document, picks.point))) {
      picks.line = 0;
    } else {
      picks.point = 0;
    }
  }
  if (picks.point != 0 && picks.surface != 0) {
    const bool pointSelected = model.points[picks.point].state == kStateSelected;
    const FACE& face = model.faces[picks.surface];
    const bool surfaceSelected = face.state == kStateSelected;
    if (pointSelected && !surfaceSelected) {
      picks.surface = 0;
    } else if (std::find(face.corners.begin(), face.corners.end(), picks.point) != face.corners.end()) {
      picks.surface = 0;
    } else if (!(SurfaceDepth(document, picks.surface) > PointDepth(document, picks.point))) {
      picks.surface = 0;
    } else {
      picks.point = 0;
    }
  }
  if (picks.line != 0 && picks.surface != 0) {
    const bool lineSelected = model.lines[picks.line].state == kStateSelected;
    const FACE& face = model.faces[picks.surface];
    const bool surfaceSelected = face.state == kStateSelected;
    const bool edge = std::any_of(face.lines.begin(), face.lines.end(),
                                  [&](int32_t r) { return std::abs(r) == picks.line; });
    if (lineSelected && !surfaceSelected) {
      picks.surface = 0;
    } else if (edge) {
      picks.surface = 0;
    } else if (!(SurfaceDepth(document, picks.surface) > LineDepth(document, picks.line))) {
      picks.surface = 0;
    } else {
      picks.line = 0;
    }
  }
  return picks;
}

}  // namespace vexal
