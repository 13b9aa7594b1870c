#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Removes each selected point (or point whose partner is selected) that
// lies on exactly two lines and on no surface, joining its two neighbours
// by one line.
CommandResult DeleteChainPoints(Document& document);

}  // namespace vexal
