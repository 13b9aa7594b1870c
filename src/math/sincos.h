// SINCOS: the sine table the software projection reads instead of calling
// the library functions; 4096 steps per turn plus a quarter turn so that a
// cosine is the sine 1024 entries further on.
#pragma once

#include <array>
#include <cstdint>

namespace vexal {

struct SINCOS {
  static constexpr int kSteps = 4096;
  static constexpr int kEntries = 5120;
  // Radians to table steps. Stored as given, slightly off 4096/2pi; the
  // table itself is built with 2pi/4096.
  static constexpr double kRadiansToSteps = 651.898782528094;

  std::array<float, kEntries> table{};

  SINCOS() { fill(); }
  void fill();

  static int index(float radians) {
    // Truncate toward zero, then wrap through the two's-complement bits so
    // that negative angles land in 0..4095.
    const double steps = static_cast<double>(radians) * kRadiansToSteps;
    const int64_t k = (steps > -9.0e18 && steps < 9.0e18) ? static_cast<int64_t>(steps) : 0;
    return static_cast<int>(static_cast<uint64_t>(k) & 4095u);
  }
  float sin(float radians) const { return table[index(radians)]; }
  float cos(float radians) const { return table[index(radians) + 1024]; }
};

}  // namespace vexal
