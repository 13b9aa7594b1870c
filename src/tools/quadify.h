// Merging the two triangles on a line into one quadrilateral, as the Quad
// tool does under the pointer.
#pragma once

#include <cstdint>

#include "model/model.h"

namespace vexal {

// When exactly two triangles (and no quad) among the non-guide surfaces use
// `line`, marks the line and both triangles for removal (state -1) and
// appends the quad of their four corners: material the smaller of theirs,
// state 0, each corner with its UV from its triangle, line references
// taken over. Returns 1 then, else 0 (also when the surface table is full);
// the caller purges.
int QuadifyAt(Model& model, int32_t line);

}  // namespace vexal
