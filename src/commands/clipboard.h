// Copy, Cut and Paste through the application's clipboard. Copy takes the
// mirror image of what is selected along, so a symmetric part stays
// symmetric when it is pasted, into this document or another.
#pragma once

#include "commands/command_dispatcher.h"
#include "model/clipboard.h"
#include "model/document.h"

namespace vexal {

// Replaces the clipboard with the selected points, lines and surfaces, the
// lines and corners they need, and their mirror partners, mirror lines and
// mirror surfaces. Does nothing when nothing is selected. Changes nothing
// in the document.
void CopySelection(const Document& document, PointClipboard& clipboard);

// Appends the clipboard's records after the document's own, selected, with
// everything else deselected; one undo step. Refused (nothing changed) when
// a table would pass 19999 records or the clipboard is empty.
CommandResult PasteClipboard(Document& document, const PointClipboard& clipboard);

// Copy, then Delete.
CommandResult CutSelection(Document& document, PointClipboard& clipboard);

}  // namespace vexal
