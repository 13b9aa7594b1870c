// Mirror symmetry across the plane x = 0: keeping partnered points mirror
// images of each other, making and clearing partners, and reflecting the
// selection in the view.
#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"
#include "model/model.h"
#include "model/sync_mirror.h"

namespace vexal {

// How many records MirrorSelection would append, without changing anything.
struct MirrorCopies {
  int points = 0;
  int lines = 0;
  int surfaces = 0;
};

// Gives every selected point without a partner a new partner at (-x, y, z)
// and appends the mirror copies of the selected lines and surfaces that do
// not exist yet (surfaces wound the other way), all selected. Refuses with
// false, changing nothing, when a table would pass 19999; `copies` (when
// given) says how many records were (or would have been) appended.
bool MirrorSelection(Model& model, MirrorCopies* copies = nullptr);
// Every point that is selected or mirror-side loses its partner.
void UnmirrorSelection(Model& model);
// Reflects the points of class 1 or 2 about the pivot along the view's
// x (axis 0) or y (axis 1) and re-winds the surfaces the reflection turned
// inside out. Positions of mirror-side points are left for SyncMirror.
void ReflectSelection(Document& document, int axis);

// The menu commands, each one undo step (none when refused).
CommandResult RunMirrorSelection(Document& document);
CommandResult RunUnmirrorSelection(Document& document);
CommandResult RunReflectSelection(Document& document, int axis);

}  // namespace vexal
