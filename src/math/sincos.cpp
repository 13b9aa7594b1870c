#include "math/sincos.h"

#include <cmath>

namespace vexal {

void SINCOS::fill() {
  for (int i = 0; i < kEntries; ++i) {
    table[i] = static_cast<float>(std::sin(i * 6.28318530717958 * 0.000244140625));
  }
}

}  // namespace vexal
