#include <cmath>

#include "commands/primitives.h"
#include "commands/ring_mesh.h"
#include "io/message_catalog.h"

namespace vexal {

CommandResult AddSphere(Document& document, float radius, int around, int bands) {
  if (around < 3 || bands < 2) {
    return CommandResult::Refused(Translate("a sphere needs at least 3 segments and 2 bands"));
  }
  constexpr float kPi = 3.1415927f;
  return AddRingSolid(
      document, around, bands - 1,
      [&](int j, int k) {
        // Ring j lies on band border j + 1, counted from the top pole.
        const float theta = kPi * static_cast<float>(j + 1) / static_cast<float>(bands);
        const float phi = 2.0f * kPi * static_cast<float>(k) / static_cast<float>(around);
        return VECTOR(radius * std::sin(theta) * std::cos(phi), radius * std::cos(theta),
                      radius * std::sin(theta) * std::sin(phi));
      },
      {0, radius, 0}, {0, -radius, 0});
}

}  // namespace vexal
