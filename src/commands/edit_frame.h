// The frame every model edit runs in: the half-drawn chain is finished,
// the change is made, the maintenance it asks for runs, the result becomes
// one undo step and the view is redrawn. A change that refuses must do so
// before it touches the model; nothing is recorded then.
#pragma once

#include <functional>

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

struct EditSteps {
  bool purgeMarked = false;   // records were marked for removal
  bool compact = false;       // merge coincident points and relink
  int compactFlags = 0;
  bool syncMirror = false;    // partnered points moved: restore the symmetry
  int normalFlags = 0;        // RefreshNormals after RefreshSelection (0 none)
  bool pushUndo = true;
};

CommandResult RunEdit(Document& document, const EditSteps& steps,
                      const std::function<CommandResult(Document&)>& change);

}  // namespace vexal
