#include "support/model_copy.h"

#include <algorithm>
#include <cstring>

namespace vexal::testing {

void CopyLive(const Model& from, Model& to) {
  to.pointCount = from.pointCount;
  to.lineCount = from.lineCount;
  to.faceCount = from.faceCount;
  std::copy_n(from.points.begin(), from.pointCount + 1, to.points.begin());
  std::copy_n(from.lines.begin(), from.lineCount + 1, to.lines.begin());
  std::copy_n(from.faces.begin(), from.faceCount + 1, to.faces.begin());
  to.materials = from.materials;
}

bool SameRecords(const Model& a, const Model& b) {
  if (a.pointCount != b.pointCount || a.lineCount != b.lineCount || a.faceCount != b.faceCount) {
    return false;
  }
  auto same = [](const auto& x, const auto& y) { return std::memcmp(&x, &y, sizeof(x)) == 0; };
  for (int p = 1; p <= a.pointCount; ++p) {
    if (!same(a.points[p], b.points[p])) return false;
  }
  for (int l = 1; l <= a.lineCount; ++l) {
    if (!same(a.lines[l], b.lines[l])) return false;
  }
  for (int s = 1; s <= a.faceCount; ++s) {
    if (!same(a.faces[s], b.faces[s])) return false;
  }
  for (int m = 0; m < kMaterialCount; ++m) {
    const MATERIAL& x = a.materials[m];
    const MATERIAL& y = b.materials[m];
    if (x.textureWidth != y.textureWidth || x.textureHeight != y.textureHeight ||
        x.textureLoaded != y.textureLoaded || x.blend != y.blend ||
        x.smoothingAngle != y.smoothingAngle || x.light != y.light ||
        x.dark != y.dark || x.name != y.name || x.texture != y.texture) {
      return false;
    }
  }
  return true;
}

}  // namespace vexal::testing
