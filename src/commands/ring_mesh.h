// The shared topology of the sphere and the cylinder: rings of points
// closed around, joined ring to ring by quads and to a pole at each end by
// fans of triangles.
#pragma once

#include <functional>
#include <string_view>

#include "commands/command_dispatcher.h"
#include "model/document.h"
#include "model/model.h"

namespace vexal {

struct RingMeshCounts {
  int points = 0;
  int lines = 0;
  int surfaces = 0;
};

// What AppendRingMesh adds for `rings` rings of `around` points (rings >= 1).
RingMeshCounts RingMeshSize(int around, int rings);

// Appends the lines and surfaces over points already in the model: ring j
// (0-based), point k is firstPoint + around*j + k; topPole is joined to the
// first ring and bottomPole to the last. Lines: the rings, the lines between
// consecutive rings, the spokes to the top pole, the spokes to the bottom
// pole. Surfaces: the quads ring by ring, then per k the top and the bottom
// triangle. All selected, in the given material, UVs zero.
void AppendRingMesh(Model& model, int firstPoint, int around, int rings, int topPole,
                    int bottomPole, int material);

// Appends a selected point without a mirror partner; returns its index.
int AppendSelectedPoint(Model& model, const VECTOR& position);

// A whole ring solid as one edit: refused (table full) when it would not
// fit; else the selection is cleared, ringPoint(j, k) places point k of
// ring j, the poles go last, and the mesh is built in the current palette
// entry, selected.
CommandResult AddRingSolid(Document& document, int around, int rings,
                           const std::function<VECTOR(int ring, int k)>& ringPoint,
                           const VECTOR& topPole, const VECTOR& bottomPole);

}  // namespace vexal
