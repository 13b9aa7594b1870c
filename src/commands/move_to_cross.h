#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// The ends of two open chains (see FindChainEnds) move to the closest
// points of their end edges' lines; a line joins them when they do not
// meet. Refused when the selection is not two chain ends or the edges are
// parallel, and when the line table has no room for the joining line.
CommandResult RunMoveToCross(Document& document);

}  // namespace vexal
