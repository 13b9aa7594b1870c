#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Splits every selected quad (and the mirror image of each) into two
// triangles along the flatter diagonal, or along the mirror of the
// diagonal its mirror image already has. Guide surfaces are left alone.
// Refused when the new lines or surfaces would pass 19999.
CommandResult TriangulateFaces(Document& document);

}  // namespace vexal
