#include <cmath>

#include "commands/edit_frame.h"
#include "commands/snap_to_grid.h"
#include "model/maintenance.h"
#include "io/message_catalog.h"

namespace vexal {

CommandResult RunSnapToGrid(Document& document, const Settings& settings) {
  EditSteps steps;
  steps.syncMirror = true;
  steps.normalFlags = kNormalsAngleSmoothed;
  const bool checks[3] = {settings.GridCheckX != 0, settings.GridCheckY != 0,
                          settings.GridCheckZ != 0};
  const float widths[3] = {settings.GridWidthX, settings.GridWidthY, settings.GridWidthZ};
  return RunEdit(document, steps, [&](Document& target) {
    if (!checks[0] && !checks[1] && !checks[2]) {
      return CommandResult::Refused(Translate("no grid axis is checked"));
    }
    if (target.scene.selectedCount == 0) return CommandResult::Refused(Translate("nothing is selected"));
    Model& model = target.model;
    for (int p = 1; p <= model.pointCount; ++p) {
      VERT& point = model.points[p];
      if (point.state != kStateSelected) continue;
      float* coordinates[3] = {&point.position.x, &point.position.y, &point.position.z};
      for (int axis = 0; axis < 3; ++axis) {
        const float width = widths[axis];
        // A zero width (possible from a settings file) has no multiples.
        if (!checks[axis] || width == 0.0f || !std::isfinite(width)) continue;
        *coordinates[axis] = std::round(*coordinates[axis] / width) * width;
      }
    }
    return CommandResult{};
  });
}

}  // namespace vexal
