// MATRIX: 4x4 single-precision matrix for row vectors multiplied on the left.
// Element (row r, column c) is m[4r + c]; the translation lives in m[12..14].
// The sixteen floats have OpenGL's memory order, so m can be handed to GL as is.
#pragma once

#include <array>

#include "math/vector.h"

namespace vexal {

struct MATRIX {
  std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  constexpr MATRIX() = default;
  constexpr explicit MATRIX(const std::array<float, 16>& values) : m(values) {}

  void set(const std::array<float, 16>& values) { m = values; }
  void identity();

  float operator()(int row, int column) const { return m[4 * row + column]; }
  float& operator()(int row, int column) { return m[4 * row + column]; }
  bool operator==(const MATRIX&) const = default;

  // A x B: A acts first on a row vector, then B.
  MATRIX operator*(const MATRIX& b) const;
  MATRIX& operator*=(const MATRIX& b);

  // Rz x Rx x Ry for angles in radians: about Z first, then X, then Y.
  static MATRIX rotation(float a, float b, float c);
  static MATRIX translation(float tx, float ty, float tz);
  static MATRIX scaling(float sx, float sy, float sz);
  // View matrix whose third axis points from eye to target.
  static MATRIX lookAt(const VECTOR& eye, const VECTOR& target, const VECTOR& up);
  static MATRIX boxProjection(float a, float b, float c, float d, float e, float f);

  void rotate(float a, float b, float c) { *this *= rotation(a, b, c); }
  void rotate(const VECTOR& angles) { rotate(angles.x, angles.y, angles.z); }
  void translate(float tx, float ty, float tz) { *this *= translation(tx, ty, tz); }
  void translate(const VECTOR& t) { translate(t.x, t.y, t.z); }
  void scale(float sx, float sy, float sz) { *this *= scaling(sx, sy, sz); }
  void scale(const VECTOR& s) { scale(s.x, s.y, s.z); }

  // Gauss-Jordan with the largest pivot (upper row on ties). A singular
  // matrix becomes the identity.
  void invert();
};

}  // namespace vexal
