// The angle palette: a small pad whose mouse events drive the navigation
// of the active document window. Each event is translated into the
// modifier-key gesture the document window already understands and passed
// to its handlers; positions are passed unchanged, since the gestures use
// only differences from the press. A null document ignores everything.
#pragma once

#include "model/document.h"
#include "tools/pointer_event.h"
#include "tools/workspace.h"

namespace vexal {

// Left press: Alt + left (rotate). Middle press: Alt + middle (pan). Right
// press: a plain right press while a rotation or pan runs (which cancels
// it), otherwise Alt+Ctrl + middle (zoom).
void LocatePress(Document* document, Workspace& workspace, const PointerEvent& event);
void LocateMove(Document* document, Workspace& workspace, const PointerEvent& event);
// Left arrives as left; right and middle arrive as middle.
void LocateRelease(Document* document, Workspace& workspace, const PointerEvent& event);
void LocateDoubleClick(Document* document, Workspace& workspace);
void LocateWheel(Document* document, Workspace& workspace, int delta);

}  // namespace vexal
