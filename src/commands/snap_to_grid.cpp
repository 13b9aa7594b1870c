#include <cmath>

#include "commands/snap_to_grid.h"
#include "commands/checked_axes.h"
#include "io/message_catalog.h"

namespace vexal {

CommandResult RunSnapToGrid(Document& document, const Settings& settings) {
  const std::array<bool, 3> checks = {settings.GridCheckX != 0, settings.GridCheckY != 0,
                                      settings.GridCheckZ != 0};
  const float widths[3] = {settings.GridWidthX, settings.GridWidthY, settings.GridWidthZ};
  return MoveCheckedAxes(document, checks, Translate("no grid axis is checked"), [&](float& coordinate, int axis) {
    const float width = widths[axis];
    // A zero width (possible from a settings file) has no multiples.
    if (width == 0.0f || !std::isfinite(width)) return;
    coordinate = std::round(coordinate / width) * width;
  });
}

}  // namespace vexal
