#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "commands/edit_frame.h"
#include "commands/random_position.h"
#include "model/maintenance.h"
#include "io/message_catalog.h"

namespace vexal {

CommandResult RunRandomPosition(Document& document, const Settings& settings,
                                const std::function<int()>& next) {
  EditSteps steps;
  steps.syncMirror = true;
  steps.normalFlags = kNormalsAngleSmoothed;
  const bool checks[3] = {settings.RandomCheckX != 0, settings.RandomCheckY != 0,
                          settings.RandomCheckZ != 0};
  const float widths[3] = {settings.RandomWidthX, settings.RandomWidthY, settings.RandomWidthZ};
  return RunEdit(document, steps, [&](Document& target) {
    if (!checks[0] && !checks[1] && !checks[2]) {
      return CommandResult::Refused(Translate("no random axis is checked"));
    }
    if (target.scene.selectedCount == 0) return CommandResult::Refused(Translate("nothing is selected"));
    // The number of steps of 0.00002 in each width, kept in range even for
    // widths from a settings file that no window would have let through.
    int64_t stepCounts[3] = {0, 0, 0};
    for (int axis = 0; axis < 3; ++axis) {
      const double scaled = std::trunc(static_cast<double>(widths[axis] * 100000.0f));
      stepCounts[axis] = std::isfinite(scaled) ? static_cast<int64_t>(std::clamp(scaled, -2147483648.0, 2147483647.0))
                                           : 0;
    }
    Model& model = target.model;
    for (int p = 1; p <= model.pointCount; ++p) {
      VERT& point = model.points[p];
      if (point.state != kStateSelected) continue;
      float* coordinates[3] = {&point.position.x, &point.position.y, &point.position.z};
      for (int axis = 0; axis < 3; ++axis) {
        if (!checks[axis] || !std::isfinite(widths[axis])) continue;
        const int64_t n = stepCounts[axis] < 0 ? -stepCounts[axis] : stepCounts[axis];
        const int64_t r = n == 0 ? 0 : next() % n;
        *coordinates[axis] += static_cast<float>(r) * 0.00002f - widths[axis];
      }
    }
    return CommandResult{};
  });
}

}  // namespace vexal
