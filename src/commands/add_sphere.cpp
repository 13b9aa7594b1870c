#include <cmath>

#include "commands/edit_frame.h"
#include "commands/primitives.h"
#include "commands/ring_mesh.h"
#include "commands/table_room.h"
#include "model/maintenance.h"

namespace vexal {

CommandResult AddSphere(Document& document, float radius, int around, int bands) {
  if (around < 3 || bands < 2) {
    return CommandResult::Refused("a sphere needs at least 3 segments and 2 bands");
  }
  const int rings = bands - 1;
  const RingMeshCounts size = RingMeshSize(around, rings);
  const CommandResult room =
      CheckTableRoom(document.model, size.points, size.lines, size.surfaces, "The sphere");
  if (!room.ok()) return room;
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [&](Document& doc) {
    Model& model = doc.model;
    DeselectAll(model);
    constexpr float kPi = 3.1415927f;
    const int first = model.pointCount + 1;
    for (int j = 1; j <= rings; ++j) {
      const float theta = kPi * static_cast<float>(j) / static_cast<float>(bands);
      for (int k = 0; k < around; ++k) {
        const float phi = 2.0f * kPi * static_cast<float>(k) / static_cast<float>(around);
        AppendSelectedPoint(model, {radius * std::sin(theta) * std::cos(phi),
                                    radius * std::cos(theta),
                                    radius * std::sin(theta) * std::sin(phi)});
      }
    }
    const int top = AppendSelectedPoint(model, {0, radius, 0});
    const int bottom = AppendSelectedPoint(model, {0, -radius, 0});
    AppendRingMesh(model, first, around, rings, top, bottom, doc.scene.paletteIndex);
    return CommandResult{};
  });
}

}  // namespace vexal
