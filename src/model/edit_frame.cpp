#include "model/edit_frame.h"

#include <cassert>
#include <string>

#include "model/maintenance.h"
#include "model/sync_mirror.h"
#include "model/validate.h"

namespace vexal {

EditOutcome RunEdit(Document& document, const EditSteps& steps,
                    const std::function<EditOutcome(Document&)>& change) {
  if (steps.finishPendingDraw) FinishPendingDraw(document);
  EditOutcome outcome = change(document);
  if (!outcome.ok()) return outcome;
  EndEdit(document, steps);
  return outcome;
}

void EndEdit(Document& document, const EditSteps& steps) {
  Model& model = document.model;
  if (steps.purgeMarked) PurgeMarked(model);
  if (steps.compact) CompactModel(model, steps.compactFlags);
  if (steps.syncMirror) SyncMirror(model);
  if (steps.refreshSelection) RefreshSelection(document);
  if (steps.normalFlags != 0) RefreshNormals(document, steps.normalFlags);
  if (steps.pushUndo) PushUndo(document, 1);
#ifndef NDEBUG
  std::string reason;
  assert(ValidateModel(model, &reason) && "an edit left the model inconsistent");
#endif
  Redraw(document);
}

}  // namespace vexal
