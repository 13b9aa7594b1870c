// Keeping mirror partners mirror images of each other after a move. It
// lives with the model so that both the drag tools and the commands can
// end with it.
#pragma once

#include "model/model.h"

namespace vexal {

// Restores the symmetry of partnered points, reading the selection classes
// as stored: a point on the plane (its own partner) gets x = 0; a pair whose
// points are both selected (class 1 or 2) is made symmetric about their
// mean; a mirror-side point (class 3 or 4) becomes the image of its partner.
// Changes positions only.
void SyncMirror(Model& model);

}  // namespace vexal
