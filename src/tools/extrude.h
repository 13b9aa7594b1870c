// Quick copy, extrusion and 3D extrusion of the selection: what a transform
// drag started with Shift, Ctrl or Shift+Ctrl does before it moves anything.
#pragma once

#include <cstdint>
#include <vector>

#include "model/document.h"

namespace vexal {

enum ExtrudeMode : int {
  kExtrudeQuickCopy = 1,  // copies of the selection, nothing joins them
  kExtrudeExtrude = 2,    // the selection moves off its border, side quads join
  kExtrudeSolid = 3,      // a turned-over copy joined to the source by side quads
};

// Works on the selection classes and states the last RefreshSelection left.
// A surface takes part when it is selected or is the mirror image of a
// selected one. Copies of the affected points are appended (their mirror
// partners are the copies of their sources' partners, or the copy itself on
// the mirror plane, or none when the partner is not copied), the selected
// lines and the edges of the taking-part surfaces get copies between the
// copied points, and (extrude, 3D) every border edge gets a side quad joined
// to its source by a line from each source point to its copy. The sources
// are deselected, so the copies are what a following drag moves. Ends with
// RelinkFaces and the edit frame (RefreshNormals(2), one undo step) and the
// provisional flag set, so that the drag belongs to the same undo step.
// Returns false, with the model, undo ring and MODE untouched and the
// table-full status text shown, when the copies would pass 19999 points,
// lines or surfaces. When copyOf is given it receives, for every point of
// before the call, the index of its copy or 0 (an inner point of an
// extrusion stays where it is and has none).
bool ExtrudeSelection(Document& document, int mode, std::vector<int32_t>* copyOf = nullptr);

}  // namespace vexal
