// VECTOR and UV: the single-precision value types every geometric routine
// uses for positions, directions, normals, angle triples and texture corners.
#pragma once

#include <cmath>

namespace vexal {

struct MATRIX;

struct VECTOR {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  constexpr VECTOR() = default;
  constexpr VECTOR(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

  constexpr void set(float x_, float y_, float z_) {
    x = x_;
    y = y_;
    z = z_;
  }
  constexpr void zero() { x = y = z = 0.0f; }

  constexpr VECTOR operator+(const VECTOR& b) const { return {x + b.x, y + b.y, z + b.z}; }
  constexpr VECTOR operator-(const VECTOR& b) const { return {x - b.x, y - b.y, z - b.z}; }
  constexpr VECTOR operator-() const { return {-x, -y, -z}; }
  constexpr VECTOR operator*(float s) const { return {x * s, y * s, z * s}; }
  constexpr VECTOR& operator+=(const VECTOR& b) {
    x += b.x;
    y += b.y;
    z += b.z;
    return *this;
  }
  constexpr VECTOR& operator-=(const VECTOR& b) {
    x -= b.x;
    y -= b.y;
    z -= b.z;
    return *this;
  }
  constexpr VECTOR& operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
  }
  constexpr bool operator==(const VECTOR&) const = default;

  constexpr float dot(const VECTOR& b) const { return x * b.x + y * b.y + z * b.z; }
  constexpr VECTOR cross(const VECTOR& b) const {
    return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
  }
  float length() const { return std::sqrt(x * x + y * y + z * z); }

  // Scales to unit length; a zero vector stays zero (no division).
  void normalize() {
    const float len = length();
    if (len > 0.0f) {
      const float inv = 1.0f / len;
      x *= inv;
      y *= inv;
      z *= inv;
    }
  }
  VECTOR normalized() const {
    VECTOR copy = *this;
    copy.normalize();
    return copy;
  }

  // [x y z 1] x M with the perspective divide only when w' > 1e-6.
  VECTOR transformed(const MATRIX& m) const;
  void transform(const MATRIX& m) { *this = transformed(m); }
};

constexpr VECTOR operator*(float s, const VECTOR& a) { return a * s; }

struct UV {
  float u = 0.0f;
  float v = 0.0f;

  constexpr UV() = default;
  constexpr UV(float u_, float v_) : u(u_), v(v_) {}
  constexpr void set(float u_, float v_) {
    u = u_;
    v = v_;
  }
  constexpr void zero() { u = v = 0.0f; }
  constexpr UV operator+(const UV& b) const { return {u + b.u, v + b.v}; }
  constexpr UV operator*(float s) const { return {u * s, v * s}; }
  constexpr bool operator==(const UV&) const = default;
};

}  // namespace vexal
