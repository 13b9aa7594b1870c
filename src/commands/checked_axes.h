// The shared walk of Snap To Grid and Random: every selected point's
// coordinates on the axes checked in the settings, in the frame of one edit
// that restores the symmetry and smooths the normals afterwards.
#pragma once

#include <array>
#include <functional>

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Refused with noAxisReason when no axis is checked, and when nothing is
// selected. move is called for each selected point (in table order) and
// each checked axis (x, y, z in order) with the coordinate to change.
CommandResult MoveCheckedAxes(Document& document, const std::array<bool, 3>& checks,
                              const char* noAxisReason,
                              const std::function<void(float& coordinate, int axis)>& move);

}  // namespace vexal
