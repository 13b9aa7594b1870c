// The pivot: where it sits, and moving the model to put it at the origin.
#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Switches the pivot between the mean of the selection and the middle of
// its box. Records no undo step.
void ChangePivotPosition(Document& document);

// Moves every point by minus the pivot of the last RefreshSelection; when
// any point has a mirror partner, x is kept so the plane stays put.
CommandResult RunMoveToOrigin(Document& document);

}  // namespace vexal
