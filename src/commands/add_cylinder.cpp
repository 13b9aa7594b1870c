#include <cmath>

#include "commands/edit_frame.h"
#include "commands/primitives.h"
#include "commands/ring_mesh.h"
#include "commands/table_room.h"
#include "model/maintenance.h"

namespace vexal {

CommandResult AddCylinder(Document& document, float radius, float height, int around,
                          int heightSegments) {
  if (around < 3 || heightSegments < 1) {
    return CommandResult::Refused("a cylinder needs at least 3 segments and 1 height segment");
  }
  const int rings = heightSegments + 1;
  const RingMeshCounts size = RingMeshSize(around, rings);
  const CommandResult room =
      CheckTableRoom(document.model, size.points, size.lines, size.surfaces, "The cylinder");
  if (!room.ok()) return room;
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [&](Document& doc) {
    Model& model = doc.model;
    DeselectAll(model);
    constexpr float kPi = 3.1415927f;
    const int first = model.pointCount + 1;
    const float half = height / 2;
    for (int j = 0; j < rings; ++j) {
      const float y = half - static_cast<float>(j) * height / static_cast<float>(heightSegments);
      for (int k = 0; k < around; ++k) {
        const float phi = 2.0f * kPi * static_cast<float>(k) / static_cast<float>(around);
        AppendSelectedPoint(model, {radius * std::cos(phi), y, radius * std::sin(phi)});
      }
    }
    const int top = AppendSelectedPoint(model, {0, half, 0});
    const int bottom = AppendSelectedPoint(model, {0, -half, 0});
    AppendRingMesh(model, first, around, rings, top, bottom, doc.scene.paletteIndex);
    return CommandResult{};
  });
}

}  // namespace vexal
