// The four transform tools: Move, Rotate, Scale and Move Normal Direction.
// A press grabs the handle, a point or a line (selecting it first when
// needed) or starts a region on empty space; Shift, Ctrl or both at the
// press first copy or extrude the selection and the drag moves the result.
// The press makes the drag's tracker: every drag step recomputes the
// affected points from the positions the press left, so a drag never
// accumulates rounding; the release records one undo step, a right press
// takes the whole drag back.
#pragma once

#include <cstdint>

#include "model/document.h"
#include "tools/pointer_event.h"
#include "tools/workspace.h"

namespace vexal {

// The press of a transform tool; handle, point and line are what the
// dispatch picked at the press.
void TransformPress(Document& document, const Workspace& workspace, const PointerEvent& event,
                    int handle, int point, int line);
// A move with state 0 (pointer-shape feedback), 1 or 4 (a drag step).
void TransformMove(Document& document, const Workspace& workspace, const PointerEvent& event);
// A left release ends the drag; a right release ends a pending attach.
void TransformRelease(Document& document, const Workspace& workspace, const PointerEvent& event);

// Whether the pointer should show the cross over (x, y): a selected point or
// line, or a part of the handle.
bool TransformHoverHit(const Document& document, int x, int y);

}  // namespace vexal
