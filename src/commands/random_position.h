#pragma once

#include <functional>

#include "commands/command_dispatcher.h"
#include "model/document.h"
#include "settings/settings.h"

namespace vexal {

// Moves each checked coordinate of the points whose own state is 1 by
// r x 0.00002 - w, r a draw of `next` (a non-negative 31-bit integer)
// modulo trunc(w x 100000), 0 when that is 0. Refused like Snap To Grid.
CommandResult RunRandomPosition(Document& document, const Settings& settings,
                                const std::function<int()>& next);

}  // namespace vexal
