#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// The current palette material onto every selected surface.
CommandResult RepaintFaces(Document& document);

}  // namespace vexal
