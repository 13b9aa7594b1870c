#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Makes a triangle of every closed loop of three eligible lines and a quad
// of every loop of four without a diagonal, unless a surface covers it
// already, in the current palette material. Mode 0 takes every line that
// is not hidden, mode 1 the selected lines and their mirror images.
// Refused when the surfaces would pass 19999.
CommandResult CreateFaces(Document& document, int mode);

}  // namespace vexal
