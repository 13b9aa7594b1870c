#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "commands/random_position.h"
#include "commands/checked_axes.h"
#include "io/message_catalog.h"

namespace vexal {

CommandResult RunRandomPosition(Document& document, const Settings& settings,
                                const std::function<int()>& next) {
  const std::array<bool, 3> checks = {settings.RandomCheckX != 0, settings.RandomCheckY != 0,
                                      settings.RandomCheckZ != 0};
  const float widths[3] = {settings.RandomWidthX, settings.RandomWidthY, settings.RandomWidthZ};
  // The number of steps of 0.00002 in each width, kept in range even for
  // widths from a settings file that no window would have let through.
  int64_t stepCounts[3] = {0, 0, 0};
  for (int axis = 0; axis < 3; ++axis) {
    const double scaled = std::trunc(static_cast<double>(widths[axis] * 100000.0f));
    stepCounts[axis] = std::isfinite(scaled) ? static_cast<int64_t>(std::clamp(scaled, -2147483648.0, 2147483647.0))
                                         : 0;
  }
  return MoveCheckedAxes(document, checks, Translate("no random axis is checked"), [&](float& coordinate, int axis) {
    if (!std::isfinite(widths[axis])) return;
    const int64_t n = stepCounts[axis] < 0 ? -stepCounts[axis] : stepCounts[axis];
    const int64_t r = n == 0 ? 0 : next() % n;
    coordinate += static_cast<float>(r) * 0.00002f - widths[axis];
  });
}

}  // namespace vexal
