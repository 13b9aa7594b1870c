// Hiding and showing parts of the model: points hidden plainly come back
// with Show Hidden Parts, points hidden as templates only with Show
// Templates. Each is one undo step.
#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Mode 1 hides the selection; mode 0 hides everything else.
CommandResult HidePoints(Document& document, int mode);
// Shows hidden points (not templates), lines and surfaces.
CommandResult ShowHidden(Document& document);
// Hides points as templates (mode as HidePoints), which Show Hidden Parts
// leaves hidden; deselects everything.
CommandResult HideTemplate(Document& document, int mode);
// Shows the template points and the hidden lines and surfaces on them.
CommandResult ShowTemplates(Document& document);

}  // namespace vexal
