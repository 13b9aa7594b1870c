#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// A line from every open-boundary point of the selection to its mirror
// partner, closing the seam between the two halves.
CommandResult RunMirrorEdge(Document& document);

}  // namespace vexal
