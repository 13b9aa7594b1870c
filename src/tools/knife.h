// The knife: a Shift+Alt drag across the view inserts a point into every
// visible line the dragged segment crosses and cuts the surfaces around
// them; a Shift+Alt click on a line inserts one point there.
#pragma once

#include "model/document.h"
#include "tools/pointer_event.h"
#include "tools/workspace.h"

namespace vexal {

// A move of the knife drag: the rubber line from the press to the pointer.
void KnifeMove(Document& document, int x, int y);

// The release of the knife drag at (x, y): the cut, one undo step when any
// line was split. A cut that would pass 19999 records is refused.
void KnifeCut(Document& document, int x, int y);

// A Shift+Alt click: when, after pick resolution, a line remains under the
// pointer it is split there and true is returned; false means the press is
// on empty space (or on a point) and starts a knife drag instead.
bool KnifeClick(Document& document, const Workspace& workspace, const PointerEvent& event, int point,
                int line);

}  // namespace vexal
