// The frame of a drag. A tool makes one tracker at the press; it takes the
// snapshot the steps start from, each step changes the model from that
// snapshot, the release ends the drag as one undo step and a cancel (a
// right press or Escape) goes back to what the undo ring holds for the
// press. The tool owns the tracker with the rest of its drag state, inside
// the ToolDrag it leaves with the document between events.
#pragma once

#include <functional>

#include "model/document.h"
#include "model/edit_frame.h"
#include "model/model_snapshot.h"

namespace vexal {

class DragTracker {
 public:
  enum class Selection {
    kAsRecorded,  // a cancel brings back the selection of the last undo step
    kKeep,        // a cancel keeps the selection of the press
  };

  // Begins a drag on the document: takes the snapshot of the model. With
  // Selection::kKeep, the states of now are given to the undo ring's current
  // slot first (a click's selection records no step), so a cancel keeps them.
  explicit DragTracker(Document& document, Selection selection = Selection::kAsRecorded);

  // The model as the drag found it (or as rebase() last took it).
  const ModelSnapshot& start() const { return start_; }

  // The press changed the model on its own (a copy or extrusion made at the
  // press, a selection taken): later steps start from the model of now. A
  // cancel still goes back past it.
  void rebase();

  // One step of the drag. A refusal must come before the change touches the
  // model; the model is then left as the previous step left it.
  EditOutcome step(const std::function<EditOutcome(Document&)>& change);
  // Whether any step has changed the model.
  bool changed() const { return changed_; }

  // Ends the drag as one undo step, with the maintenance of steps.
  void end(const EditSteps& steps);
  // Takes the whole drag back (StepUndo(0)).
  void cancel();

 private:
  Document* document_;
  ModelSnapshot start_;
  bool changed_ = false;
};

// Copies the states of the current model's records into the undo ring's
// current slot when the slot holds the same records; otherwise nothing.
void KeepSelectionInUndo(Document& document);

}  // namespace vexal
