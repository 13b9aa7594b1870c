#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Reverses the winding of every selected surface.
CommandResult FlipSelectedFaces(Document& document);

}  // namespace vexal
