// Finding the point, line, surface or handle arm under the pointer, in the
// window pixels of a document's view. Every point is projected with the
// full view matrix; a larger depth is nearer the viewer. Hidden elements
// and records whose references leave their table are never picked.
#pragma once

#include <cstdint>
#include <vector>

#include "model/document.h"

namespace vexal {

// Window position and depth of every point, index 0 unused.
std::vector<VECTOR> ProjectAllPoints(const Document& document);

// The point within 3 pixels on each axis of (x, y); a selected point beats
// an unselected one, then the greatest depth (strictly). 0 when none.
// exclude is never picked.
int PickPoint(const Document& document, int x, int y);
int PickPoint(const Document& document, const std::vector<VECTOR>& projected, int x, int y,
              int exclude = 0);

// The line closer than 3 pixels to (x, y), inside the box of its ends
// widened by 4; selected lines first, then the greatest depth sum. Lines
// marked for removal are never picked.
int PickLine(const Document& document, int x, int y);
int PickLine(const Document& document, const std::vector<VECTOR>& projected, int x, int y);

// The surface whose one triangle (of two for a quad) holds (x, y), the
// nearest at that spot winning. 0 when none.
int PickSurface(const Document& document, int x, int y);
int PickSurface(const Document& document, const std::vector<VECTOR>& projected, int x, int y);

enum HandlePart : int { kHandleNone = 0, kHandleX = 1, kHandleY = 2, kHandleZ = 3, kHandleCentre = 4 };
// The part of the transform handle at (x, y): only while Move, Rotate or
// Scale is the tool (or the tool a gesture will hand back to), something is
// selected and the handle is shown.
int PickHandle(const Document& document, int x, int y);

struct Picks {
  int point = 0;
  int line = 0;
  int surface = 0;
};
// Leaves at most one of the three candidates: selected elements and an
// element's own corners or edges win, then the nearer by mean depth.
Picks ResolvePicks(const Document& document, Picks picks);

// Truncates a window coordinate toward zero, kept inside +-1e9 (a point far
// off screen or a non-finite projection never overflows).
int ScreenInt(float value);

}  // namespace vexal
