#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Every line of a selected surface gets a point at its middle (its mirror
// line too) and the surfaces on them are cut, quads with all four edges cut
// into four around a centre. Nothing split records nothing; refused when
// the tables have no room.
CommandResult SubdivideFaces(Document& document);

}  // namespace vexal
