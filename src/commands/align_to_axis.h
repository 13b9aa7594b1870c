#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Every selected point takes the pivot's coordinate along one axis of the
// view. axis: 0 view x, 1 view y, 2 view z. Refused when nothing is
// selected.
CommandResult RunAlignToAxis(Document& document, int axis);

}  // namespace vexal
