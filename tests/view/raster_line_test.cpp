// The one-pixel line of both software canvases, against a literal
// reference: exact rational stepping of every pixel but the last.
#include "view/raster_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace vexal {
namespace {

using Pixels = std::vector<std::pair<int, int>>;

Pixels Drawn(int x0, int y0, int x1, int y1, const RasterClip& clip) {
  Pixels pixels;
  ForEachLinePixel(x0, y0, x1, y1, clip, [&](int x, int y) { pixels.emplace_back(x, y); });
  return pixels;
}

// floor(a / b + 1/2) for b > 0, exactly.
long long RoundedQuotient(long long a, long long b) {
  const long long twice = 2 * a + b;
  const long long denominator = 2 * b;
  return twice >= 0 ? twice / denominator : -((-twice + denominator - 1) / denominator);
}

Pixels Reference(int x0, int y0, int x1, int y1, const RasterClip& clip) {
  const long long dx = x1 - x0, dy = y1 - y0;
  const long long steps = std::max(std::llabs(dx), std::llabs(dy));
  Pixels pixels;
  for (long long i = 0; i < steps; ++i) {
    const long long x = RoundedQuotient(x0 * steps + i * dx, steps);
    const long long y = RoundedQuotient(y0 * steps + i * dy, steps);
    if (x >= clip.left && y >= clip.top && x < clip.right && y < clip.bottom) {
      pixels.emplace_back(static_cast<int>(x), static_cast<int>(y));
    }
  }
  return pixels;
}

// Whether a step of the line lands exactly between two pixels, where the
// fixed-point stepping may round either way.
bool HasTie(int x0, int y0, int x1, int y1) {
  const long long dx = x1 - x0, dy = y1 - y0;
  const long long steps = std::max(std::llabs(dx), std::llabs(dy));
  for (long long i = 0; i < steps; ++i) {
    for (const long long d : {dx, dy}) {
      const long long twice = (2 * i * std::llabs(d)) % (2 * steps);
      if (twice == steps) return true;
    }
  }
  return false;
}

// Short lines starting inside the clip step exactly as the reference does:
// the start pixel, never the end pixel, nothing outside.
TEST(RasterLine, StepsLikeTheReferenceAndLeavesOutTheLastPixel) {
  const RasterClip clip{-3, 0, 40, 30};
  std::mt19937 random(7);
  std::uniform_int_distribution<int> x(-3, 39), y(0, 29), end(-60, 60);
  for (int trial = 0; trial < 4000; ++trial) {
    const int x0 = x(random), y0 = y(random);
    const int x1 = x0 + end(random) / 2, y1 = y0 + end(random) / 2;
    if (HasTie(x0, y0, x1, y1)) continue;
    SCOPED_TRACE(testing::Message() << x0 << "," << y0 << " -> " << x1 << "," << y1);
    ASSERT_EQ(Drawn(x0, y0, x1, y1, clip), Reference(x0, y0, x1, y1, clip));
  }
  EXPECT_TRUE(Drawn(5, 5, 5, 5, clip).empty());
  EXPECT_EQ(Drawn(1, 1, 4, 1, clip), (Pixels{{1, 1}, {2, 1}, {3, 1}}));
  EXPECT_EQ(Drawn(4, 1, 1, 1, clip), (Pixels{{4, 1}, {3, 1}, {2, 1}}));
}

// Ends far outside, up to the int range: only pixels inside, one per column
// (or row) the line crosses inside, each within half a pixel of the line.
TEST(RasterLine, FarEndsAreClippedToTheVisiblePart) {
  const RasterClip clip{0, 0, 64, 48};
  const int cases[][4] = {{-1000000, 5, 1000000, 5},
                          {-2000000000, 0, 2000000000, 47},
                          {32, -2000000000, 33, 2000000000},
                          {-500, -400, 700, 500},
                          {100, 100, 200, 200}};  // wholly outside
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c[0] << "," << c[1] << " -> " << c[2] << "," << c[3]);
    const Pixels pixels = Drawn(c[0], c[1], c[2], c[3], clip);
    const bool wide = std::llabs(static_cast<long long>(c[2]) - c[0]) >=
                      std::llabs(static_cast<long long>(c[3]) - c[1]);
    std::set<int> along;
    for (const auto& [px, py] : pixels) {
      ASSERT_TRUE(px >= 0 && py >= 0 && px < 64 && py < 48);
      along.insert(wide ? px : py);
      // The distance from the ideal line, along the minor axis.
      const double t = wide ? (px - static_cast<double>(c[0])) / (static_cast<double>(c[2]) - c[0])
                            : (py - static_cast<double>(c[1])) / (static_cast<double>(c[3]) - c[1]);
      const double ideal = wide ? c[1] + t * (static_cast<double>(c[3]) - c[1])
                                : c[0] + t * (static_cast<double>(c[2]) - c[0]);
      EXPECT_LE(std::fabs((wide ? py : px) - ideal), 0.5 + 1e-3);
    }
    EXPECT_EQ(along.size(), pixels.size()) << "one pixel per step";
  }
  EXPECT_EQ(Drawn(-1000000, 5, 1000000, 5, clip).size(), 64u);
  EXPECT_TRUE(Drawn(100, 100, 200, 200, clip).empty());
}

}  // namespace
}  // namespace vexal
