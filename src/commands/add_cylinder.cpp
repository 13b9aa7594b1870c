#include <cmath>

#include "commands/primitives.h"
#include "commands/ring_mesh.h"
#include "io/message_catalog.h"

namespace vexal {

CommandResult AddCylinder(Document& document, float radius, float height, int around,
                          int heightSegments) {
  if (around < 3 || heightSegments < 1) {
    return CommandResult::Refused(Translate("a cylinder needs at least 3 segments and 1 height segment"));
  }
  constexpr float kPi = 3.1415927f;
  const float half = height / 2;
  return AddRingSolid(
      document, around, heightSegments + 1,
      [&](int j, int k) {
        const float y = half - static_cast<float>(j) * height / static_cast<float>(heightSegments);
        const float phi = 2.0f * kPi * static_cast<float>(k) / static_cast<float>(around);
        return VECTOR(radius * std::cos(phi), y, radius * std::sin(phi));
      },
      {0, half, 0}, {0, -half, 0});
}

}  // namespace vexal
