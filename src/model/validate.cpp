#include "model/validate.h"

#include <cmath>

namespace vexal {
namespace {

bool Fail(std::string* reason, std::string text) {
  if (reason) *reason = std::move(text);
  return false;
}

bool Finite(const VECTOR& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

bool ValidateModel(const Model& model, std::string* reason, bool checkLineReferences) {
  const int points = model.pointCount;
  if (points < 0 || points > kMaxCount) return Fail(reason, "point count out of range");
  if (model.lineCount < 0 || model.lineCount > kMaxCount) return Fail(reason, "line count out of range");
  if (model.faceCount < 0 || model.faceCount > kMaxCount) return Fail(reason, "surface count out of range");
  auto inRange = [points](int32_t p) { return p >= 1 && p <= points; };
  for (int p = 1; p <= points; ++p) {
    const VERT& v = model.points[p];
    const std::string where = "point " + std::to_string(p);
    if (!Finite(v.position)) return Fail(reason, where + ": coordinate not finite");
    if (v.state == kStateRemoved) return Fail(reason, where + ": marked for removal");
    if (v.mirror != 0) {
      if (!inRange(v.mirror)) return Fail(reason, where + ": mirror partner out of range");
      if (v.mirror != p && model.points[v.mirror].mirror != p) {
        return Fail(reason, where + ": mirror partner not symmetric");
      }
    }
  }
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    const std::string where = "line " + std::to_string(l);
    if (!inRange(line.a) || !inRange(line.b)) return Fail(reason, where + ": end out of range");
    if (line.state == kStateRemoved) return Fail(reason, where + ": marked for removal");
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    const std::string where = "surface " + std::to_string(s);
    for (int32_t corner : face.corners) {
      if (!inRange(corner)) return Fail(reason, where + ": corner out of range");
    }
    if (face.material < 0 || face.material >= kMaterialCount) {
      return Fail(reason, where + ": material out of range");
    }
    if (face.state == kStateRemoved) return Fail(reason, where + ": marked for removal");
    if (!IsQuad(face) && face.lines[3] != face.lines[0]) {
      return Fail(reason, where + ": triangle's fourth line reference differs from its first");
    }
    if (checkLineReferences) {
      const int corners = CornerCount(face);
      for (int j = 0; j < corners; ++j) {
        const int32_t r = face.lines[j];
        const int32_t d = face.corners[j];
        const int32_t e = face.corners[(j + 1) % corners];
        if (r == 0) return Fail(reason, where + ": edge without a line");
        const int32_t index = r < 0 ? -r : r;
        if (index > model.lineCount) return Fail(reason, where + ": line reference out of range");
        const LINE& line = model.lines[index];
        const bool matches = r > 0 ? (line.a == d && line.b == e) : (line.a == e && line.b == d);
        if (!matches) return Fail(reason, where + ": line reference disagrees with the line table");
      }
    }
  }
  return true;
}

}  // namespace vexal
