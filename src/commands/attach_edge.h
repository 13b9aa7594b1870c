#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// The arc segments of AttachEdge brought into 2..96, as the Drawing window
// keeps them (a settings file can hold anything).
int ArcSegments(int attachLineSegment);

// Bridges the ends of two open chains (see FindChainEnds) with an arc of
// `segments` lines in the view plane. One undo step; refused when the
// selection is not two chain ends or the tables have no room.
CommandResult RunAttachEdge(Document& document, int segments);

}  // namespace vexal
