#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// The inner points of selected chains move onto the straight line between
// their chain's two ends.
CommandResult RunMoveToEdge(Document& document);

}  // namespace vexal
