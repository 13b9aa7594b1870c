#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Merges pairs of selected triangles (and their mirror images) that share
// a line, face the same way, lie within 45 degrees of one plane, make a
// convex quad, have one material and agree in UV at the shared corners;
// the most even pairs first.
CommandResult QuadrangulateFaces(Document& document);

}  // namespace vexal
