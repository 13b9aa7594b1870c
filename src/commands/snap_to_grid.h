#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"
#include "settings/settings.h"

namespace vexal {

// Rounds each checked coordinate of the points whose own state is 1 to the
// nearest multiple of that axis's grid width (halves away from zero). A
// width of 0 or one that is not finite leaves its axis alone. Refused (no
// undo step) when no axis is checked or nothing is selected.
CommandResult RunSnapToGrid(Document& document, const Settings& settings);

}  // namespace vexal
