#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Dissolves the selected edge loop: its points go and each pair of
// surfaces across a loop line becomes one surface of their other corners.
CommandResult AttachLoop(Document& document);

}  // namespace vexal
