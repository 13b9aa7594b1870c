// The one-pixel line both software canvases draw: the window's and the
// off-screen one.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vexal {

// The pixels a line may touch: [left, right) x [top, bottom).
struct RasterClip {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Calls plot(x, y) for each pixel of the line from (x0, y0) to (x1, y1) that
// lies inside clip, stepped as GDI's LineTo steps it: every pixel but the
// last, so that a chain of lines sets each joint once. The line is clipped
// first, so ends far outside (a perspective point behind the eye) cost no
// more than the visible part; any int coordinates are safe.
template <typename Plot>
void ForEachLinePixel(int x0, int y0, int x1, int y1, const RasterClip& clip, Plot&& plot) {
  const double dx = static_cast<double>(x1) - x0;
  const double dy = static_cast<double>(y1) - y0;
  const double steps = std::max(std::fabs(dx), std::fabs(dy));
  if (steps == 0) return;
  // The parameter range [0, 1) cut to the pixels inside the clip.
  double t0 = 0.0, t1 = 1.0;
  auto cut = [&](double p, double q) {
    if (p == 0) return q >= 0;
    const double r = q / p;
    if (p < 0) {
      if (r > t1) return false;
      if (r > t0) t0 = r;
    } else {
      if (r < t0) return false;
      if (r < t1) t1 = r;
    }
    return true;
  };
  if (!cut(-dx, x0 - clip.left + 0.5) || !cut(dx, clip.right - 0.5 - x0) ||
      !cut(-dy, y0 - clip.top + 0.5) || !cut(dy, clip.bottom - 0.5 - y0)) {
    return;
  }
  const long long first = static_cast<long long>(std::ceil(t0 * steps));
  long long last = static_cast<long long>(std::floor(t1 * steps));
  if (last >= static_cast<long long>(steps)) last = static_cast<long long>(steps) - 1;
  const double stepX = dx / steps;
  const double stepY = dy / steps;
  // Fixed-point stepping (16 fractional bits) from the first pixel inside.
  constexpr double kOne = 65536.0;
  int64_t fx = std::llround((x0 + stepX * static_cast<double>(first)) * kOne) + 32768;
  int64_t fy = std::llround((y0 + stepY * static_cast<double>(first)) * kOne) + 32768;
  const int64_t ix = std::llround(stepX * kOne);
  const int64_t iy = std::llround(stepY * kOne);
  for (long long i = first; i <= last; ++i, fx += ix, fy += iy) {
    const int64_t x = fx >> 16;
    const int64_t y = fy >> 16;
    if (x < clip.left || y < clip.top || x >= clip.right || y >= clip.bottom) continue;
    plot(static_cast<int>(x), static_cast<int>(y));
  }
}

}  // namespace vexal
