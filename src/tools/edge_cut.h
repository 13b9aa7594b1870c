// The edge ring cut: a line, or the selected lines, and every line across
// the quads of their ring get one new point at the same place along the
// ring, and the quads of the ring are cut in two.
#pragma once

#include "model/document.h"

namespace vexal {

enum class EdgeCutResult {
  kCut,      // one undo step recorded
  kNothing,  // no line to cut (nothing recorded; the view is redrawn)
  kNoRoom,   // the tables have no room (nothing changed; the status says so)
};

// line 0: the selected lines. t: the fraction along the line from its
// first point, in (0, 1); other values cut nothing.
EdgeCutResult EdgeCut(Document& document, int line, float t);

}  // namespace vexal
