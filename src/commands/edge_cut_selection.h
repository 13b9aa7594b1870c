#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Edge Cut of the menu: the rings of the selected lines cut at their middle.
CommandResult EdgeCutSelection(Document& document);

}  // namespace vexal
