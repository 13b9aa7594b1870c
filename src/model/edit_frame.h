// The frame every model edit runs in: the half-drawn chain is finished,
// the change is made, the maintenance it asks for runs, the result becomes
// one undo step and the view is redrawn. A change that refuses must do so
// before it touches the model; nothing is recorded then. Commands, tools
// and windows all end their edits here; nothing else records undo steps.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "io/refusal.h"
#include "model/document.h"

namespace vexal {

// What an edit came to: done, or refused with a reason a person can read.
struct EditOutcome {
  bool refused = false;
  Refusal refusal;  // why, for a refusal

  bool ok() const { return !refused; }
  static EditOutcome Refused(Refusal refusal) { return {true, std::move(refusal)}; }
  static EditOutcome Refused(std::string reason) { return Refused(Refusal{std::move(reason)}); }
};

struct EditSteps {
  bool finishPendingDraw = true;  // a tool inside its own gesture has none
  bool purgeMarked = false;       // records were marked for removal
  bool compact = false;           // merge coincident points and relink
  int compactFlags = 0;
  bool syncMirror = false;        // partnered points moved: restore the symmetry
  bool refreshSelection = true;   // off for a caller that refreshed it already
  int normalFlags = 0;            // RefreshNormals after RefreshSelection (0 none)
  bool pushUndo = true;
};

// Runs change inside the frame. A refusal returns at once: no maintenance,
// no undo step, no redraw.
EditOutcome RunEdit(Document& document, const EditSteps& steps,
                    const std::function<EditOutcome(Document&)>& change);

// The frame's closing half for an edit that already happened (the end of a
// drag, a tool's click): the maintenance of steps, then the undo step,
// the check and the redraw. FinishPendingDraw is not run.
void EndEdit(Document& document, const EditSteps& steps);

}  // namespace vexal
