#include "math/matrix.h"

#include <cmath>
#include <utility>

namespace vexal {

VECTOR VECTOR::transformed(const MATRIX& matrix) const {
  const auto& m = matrix.m;
  float tx = x * m[0] + y * m[4] + z * m[8] + m[12];
  float ty = x * m[1] + y * m[5] + z * m[9] + m[13];
  float tz = x * m[2] + y * m[6] + z * m[10] + m[14];
  const float tw = x * m[3] + y * m[7] + z * m[11] + m[15];
  if (tw > 1e-6f) {
    const float inv = 1.0f / tw;
    tx *= inv;
    ty *= inv;
    tz *= inv;
  }
  return {tx, ty, tz};
}

void MATRIX::identity() { *this = MATRIX(); }

MATRIX MATRIX::operator*(const MATRIX& b) const {
  MATRIX r;
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      float sum = 0.0f;
      for (int k = 0; k < 4; ++k) sum += m[4 * row + k] * b.m[4 * k + column];
      r.m[4 * row + column] = sum;
    }
  }
  return r;
}

MATRIX& MATRIX::operator*=(const MATRIX& b) {
  *this = *this * b;
  return *this;
}

MATRIX MATRIX::rotation(float a, float b, float c) {
  const float sa = std::sin(a), ca = std::cos(a);
  const float sb = std::sin(b), cb = std::cos(b);
  const float sc = std::sin(c), cc = std::cos(c);
  const MATRIX rx({1, 0, 0, 0, 0, ca, sa, 0, 0, -sa, ca, 0, 0, 0, 0, 1});
  const MATRIX ry({cb, 0, -sb, 0, 0, 1, 0, 0, sb, 0, cb, 0, 0, 0, 0, 1});
  const MATRIX rz({cc, sc, 0, 0, -sc, cc, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
  return rz * rx * ry;
}

MATRIX MATRIX::translation(float tx, float ty, float tz) {
  MATRIX r;
  r.m[12] = tx;
  r.m[13] = ty;
  r.m[14] = tz;
  return r;
}

MATRIX MATRIX::scaling(float sx, float sy, float sz) {
  MATRIX r;
  r.m[0] = sx;
  r.m[5] = sy;
  r.m[10] = sz;
  return r;
}

MATRIX MATRIX::lookAt(const VECTOR& eye, const VECTOR& target, const VECTOR& up) {
  const VECTOR f = (target - eye).normalized();
  const VECTOR r = up.cross(f).normalized();
  const VECTOR u = f.cross(r);
  return MATRIX({r.x, u.x, f.x, 0, r.y, u.y, f.y, 0, r.z, u.z, f.z, 0, -r.dot(eye), -u.dot(eye),
                 -f.dot(eye), 1});
}

MATRIX MATRIX::boxProjection(float a, float b, float c, float d, float e, float f) {
  MATRIX r({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  r.m[0] = 2.0f / (c - a);
  r.m[5] = 2.0f / (b - d);
  r.m[10] = -2.0f / (f - e);
  r.m[12] = (c + a) / (c - a);
  r.m[13] = (b + d) / (b - d);
  r.m[14] = (f + e) / (f - e);
  r.m[15] = 1.0f;
  return r;
}

void MATRIX::invert() {
  MATRIX work = *this;
  MATRIX inverse;
  for (int column = 0; column < 4; ++column) {
    int pivotRow = column;
    float best = std::fabs(work(column, column));
    for (int row = column + 1; row < 4; ++row) {
      const float candidate = std::fabs(work(row, column));
      if (candidate > best) {
        best = candidate;
        pivotRow = row;
      }
    }
    const float pivot = work(pivotRow, column);
    if (pivot == 0.0f) {
      identity();
      return;
    }
    if (pivotRow != column) {
      for (int k = 0; k < 4; ++k) {
        std::swap(work(pivotRow, k), work(column, k));
        std::swap(inverse(pivotRow, k), inverse(column, k));
      }
    }
    const float inv = 1.0f / pivot;
    for (int k = 0; k < 4; ++k) {
      work(column, k) *= inv;
      inverse(column, k) *= inv;
    }
    for (int row = 0; row < 4; ++row) {
      if (row == column) continue;
      const float factor = work(row, column);
      if (factor == 0.0f) continue;
      for (int k = 0; k < 4; ++k) {
        work(row, k) -= factor * work(column, k);
        inverse(row, k) -= factor * inverse(column, k);
      }
    }
  }
  *this = inverse;
}

}  // namespace vexal
