// Where Window > Cascade puts the document windows inside the frame.
#pragma once

#include <span>
#include <vector>

#include "settings/start_up.h"

namespace vexal {

// The cascade of windows, given in the order they are stacked (the last on
// top): each keeps its width and height, clamped to the frame (and at least
// 1), and stands `step` pixels right of and below the one before, the first
// at the frame's top-left corner. A window that would reach past the
// frame's right or bottom edge at its step starts the run again at the
// corner. A frame without area or a step below 1 is treated as 1.
std::vector<WindowRect> CascadePlacement(std::span<const WindowRect> windows, ScreenSize frame,
                                         int step);

}  // namespace vexal
