// Delete and Delete Faces.
#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Removes the selected points with their mirror partners, the selected
// lines and surfaces with their mirror images, everything resting on a
// removed point or line, and the points left on no line and no surface;
// one undo step. Expects the selection classes RefreshSelection leaves.
CommandResult DeleteSelection(Document& document);

// Removes the selected surfaces and those whose corners are all selected;
// points and lines stay. One undo step.
CommandResult DeleteSelectedFaces(Document& document);

// The marking part of DeleteSelection, without the frame: state -1 on
// everything Delete removes.
void MarkSelectionForDeletion(Model& model);

}  // namespace vexal
