// The Paint, Spoit and Quad tools: a left stroke paints the surfaces it
// passes with the current palette entry, picks the entry from a surface, or
// merges the triangle pairs on the lines it passes (with their mirror
// images). A Paint or Quad stroke is one undo step, recorded only when it
// changed something; a right press during it takes the whole stroke back.
#pragma once

#include "model/document.h"
#include "tools/pointer_event.h"
#include "tools/workspace.h"

namespace vexal {

// For the tools Paint, Spoit and Quad (MODE.tool); other tools are ignored.
void PaintToolPress(Document& document, const Workspace& workspace, const PointerEvent& event);
void PaintToolMove(Document& document, const Workspace& workspace, const PointerEvent& event);
void PaintToolRelease(Document& document, const Workspace& workspace, const PointerEvent& event);

}  // namespace vexal
