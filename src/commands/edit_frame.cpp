#include "commands/edit_frame.h"

#include <cassert>
#include <string>

#include "commands/mirror.h"
#include "model/maintenance.h"
#include "model/validate.h"

namespace vexal {

CommandResult RunEdit(Document& document, const EditSteps& steps,
                      const std::function<CommandResult(Document&)>& change) {
  FinishPendingDraw(document);
  CommandResult result = change(document);
  if (!result.ok()) return result;
  Model& model = document.model;
  if (steps.purgeMarked) PurgeMarked(model);
  if (steps.compact) CompactModel(model, steps.compactFlags);
  if (steps.syncMirror) SyncMirror(model);
  RefreshSelection(document);
  if (steps.normalFlags != 0) RefreshNormals(document, steps.normalFlags);
  if (steps.pushUndo) PushUndo(document, 1);
#ifndef NDEBUG
  std::string reason;
  assert(ValidateModel(model, &reason) && "an edit left the model inconsistent");
#endif
  Redraw(document);
  return result;
}

}  // namespace vexal
