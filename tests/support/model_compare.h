// gtest comparison of two models' live records.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/model.h"
#include "support/model_copy.h"

namespace vexal::testing {

// Fails naming the first record that differs: positions bit for bit (-0 is
// not +0), partners, states, flags, corners, line references, UVs,
// materials and surface states.
inline void ExpectSameModel(const Model& actual, const Model& expected, const std::string& where) {
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

}  // namespace vexal::testing
