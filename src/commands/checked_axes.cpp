#include "commands/checked_axes.h"

#include "commands/edit_frame.h"
#include "io/message_catalog.h"
#include "model/maintenance.h"

namespace vexal {

CommandResult MoveCheckedAxes(Document& document, const std::array<bool, 3>& checks,
                              const char* noAxisReason,
                              const std::function<void(float& coordinate, int axis)>& move) {
  EditSteps steps;
  steps.syncMirror = true;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [&](Document& target) {
    if (!checks[0] && !checks[1] && !checks[2]) return CommandResult::Refused(noAxisReason);
    if (target.scene.selectedCount == 0) return CommandResult::Refused(Translate("nothing is selected"));
    Model& model = target.model;
    for (int p = 1; p <= model.pointCount; ++p) {
      VERT& point = model.points[p];
      if (point.state != kStateSelected) continue;
      float* coordinates[3] = {&point.position.x, &point.position.y, &point.position.z};
      for (int axis = 0; axis < 3; ++axis) {
        if (checks[axis]) move(*coordinates[axis], axis);
      }
    }
    return CommandResult{};
  });
}

}  // namespace vexal
