#include "commands/model_compare.h"

#include <gtest/gtest.h>

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

void ExpectSameModel(const Model& actual, const Model& expected, const std::string& where) {
  ASSERT_EQ(actual.pointCount, expected.pointCount) << where;
  ASSERT_EQ(actual.lineCount, expected.lineCount) << where;
  ASSERT_EQ(actual.faceCount, expected.faceCount) << where;
  for (int p = 1; p <= actual.pointCount; ++p) {
    const VERT& a = actual.points[p];
    const VERT& e = expected.points[p];
    // Bitwise, so that -0 and +0 differ.
    ASSERT_EQ(std::memcmp(&a.position, &e.position, sizeof(VECTOR)), 0)
        << where << " point " << p << " at " << a.position.x << "," << a.position.y << ","
        << a.position.z << " expected " << e.position.x << "," << e.position.y << ","
        << e.position.z;
    ASSERT_TRUE(a.mirror == e.mirror && a.state == e.state && a.flags == e.flags)
        << where << " point " << p << " partner " << a.mirror << "/" << e.mirror << " state "
        << a.state << "/" << e.state;
  }
  for (int l = 1; l <= actual.lineCount; ++l) {
    const LINE& a = actual.lines[l];
    const LINE& e = expected.lines[l];
    ASSERT_TRUE(a.a == e.a && a.b == e.b && a.state == e.state) << where << " line " << l;
  }
  for (int s = 1; s <= actual.faceCount; ++s) {
    const FACE& a = actual.faces[s];
    const FACE& e = expected.faces[s];
    ASSERT_EQ(a.corners, e.corners) << where << " surface " << s;
    ASSERT_EQ(a.lines, e.lines) << where << " surface " << s;
    ASSERT_EQ(a.uv, e.uv) << where << " surface " << s;
    ASSERT_EQ(a.material, e.material) << where << " surface " << s;
    ASSERT_EQ(a.state, e.state) << where << " surface " << s;
  }
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
    if (x.blend != y.blend || x.smoothingAngle != y.smoothingAngle || x.light != y.light ||
        x.dark != y.dark || x.name != y.name || x.texture != y.texture) {
      return false;
    }
  }
  return true;
}

}  // namespace vexal::testing
