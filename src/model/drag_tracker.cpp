#include "model/drag_tracker.h"

#include <cstddef>

namespace vexal {

DragTracker::DragTracker(Document& document, Selection selection) : document_(&document) {
  if (selection == Selection::kKeep) KeepSelectionInUndo(document);
  start_.capture(document.model);
}

void DragTracker::rebase() { start_.capture(document_->model); }

EditOutcome DragTracker::step(const std::function<EditOutcome(Document&)>& change) {
  EditOutcome outcome = change(*document_);
  if (outcome.ok()) changed_ = true;
  return outcome;
}

void DragTracker::end(const EditSteps& steps) { EndEdit(*document_, steps); }

void DragTracker::cancel() { StepUndo(*document_, 0); }

void KeepSelectionInUndo(Document& document) {
  ModelSnapshot& slot = document.undo.snapshots[document.undo.current];
  const Model& model = document.model;
  if (slot.pointCount != model.pointCount || slot.lineCount != model.lineCount ||
      slot.faceCount != model.faceCount || slot.points.size() <= static_cast<size_t>(slot.pointCount) ||
      slot.lines.size() <= static_cast<size_t>(slot.lineCount) ||
      slot.faces.size() <= static_cast<size_t>(slot.faceCount)) {
    return;
  }
  for (int p = 1; p <= model.pointCount; ++p) slot.points[p].state = model.points[p].state;
  for (int l = 1; l <= model.lineCount; ++l) slot.lines[l].state = model.lines[l].state;
  for (int s = 1; s <= model.faceCount; ++s) slot.faces[s].state = model.faces[s].state;
}

}  // namespace vexal
