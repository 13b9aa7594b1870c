// The Point tool ("Draw Vertex") and the DPoint tool ("Draw Mirror
// vertex"): each left click adds a point and a line from the previous
// point, a click on an existing point ends the stroke (splitting quads the
// new line crosses as a diagonal), Shift+Alt on a line ends it on a new
// point of that line, a right press takes back the last point. The DPoint
// tool draws every point twice, mirrored across x = 0. While a stroke is
// open its last line (two lines for DPoint) has no second end: it is the
// rubber band; FinishPendingDraw drops it.
#pragma once

#include "model/document.h"
#include "tools/pointer_event.h"

namespace vexal {

// A press of the Point or DPoint tool; point and line are what it picked.
// An addition that would pass 19999 records is refused with a status text.
void DrawToolPress(Document& document, const PointerEvent& event, int point, int line);

// The rubber band of an open stroke follows the pointer: snapped to a
// point under it, or straightened with Shift.
void PointRubberMove(Document& document, const PointerEvent& event);
// Both rubber bands of the DPoint tool, the second mirrored.
void DPointRubberMove(Document& document, const PointerEvent& event);

// Splits every quad (not marked for removal) that has `line` as a
// diagonal into two triangles; the second triangle is dropped when it
// repeats an existing triangle (which keeps the smaller material). Returns
// how many quads were split.
int SplitQuadByDiagonal(Model& model, int line);
// How many live quads have the points a and b as opposite corners.
int QuadsWithDiagonal(const Model& model, int32_t a, int32_t b);

// Marks for removal every surface with `line` as an edge and, with
// withMirror, every surface on the line joining the partners of its ends.
void DeleteFacesOnLine(Model& model, int line, bool withMirror);

}  // namespace vexal
