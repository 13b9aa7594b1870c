// Commands that place the selected points: snapping to the grid, random
// displacement, the pivot mode, and moving the model so that the pivot is
// at the origin.
#pragma once

#include <functional>

#include "commands/command_dispatcher.h"
#include "model/document.h"
#include "settings/settings.h"

namespace vexal {

// Rounds each checked coordinate of the points whose own state is 1 to the
// nearest multiple of that axis's grid width (halves away from zero). A
// width of 0 or one that is not finite leaves its axis alone. Refused (no
// undo step) when no axis is checked or nothing is selected.
CommandResult RunSnapToGrid(Document& document, const Settings& settings);

// Moves each checked coordinate of the points whose own state is 1 by
// r x 0.00002 - w, r a draw of `next` (a non-negative 31-bit integer)
// modulo trunc(w x 100000), 0 when that is 0. Refused like Snap To Grid.
CommandResult RunRandomPosition(Document& document, const Settings& settings,
                                const std::function<int()>& next);

// Switches the pivot between the mean of the selection and the middle of
// its box. Records no undo step.
void ChangePivotPosition(Document& document);

// Moves every point by minus the pivot of the last RefreshSelection; when
// any point has a mirror partner, x is kept so the plane stays put.
CommandResult RunMoveToOrigin(Document& document);

}  // namespace vexal
