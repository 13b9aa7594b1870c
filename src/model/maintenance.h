// Maintenance operations that restore the model's invariants and refresh its
// derived fields after an edit. All work in place on one Model and assume its
// indices are valid (every corner and line end in 1..point count).
#pragma once

#include <cstdint>

#include "model/model.h"

namespace vexal {

enum CompactFlags : int {
  kCompactMerge = 1,          // merge coincident points, drop degenerate surfaces
  kCompactRebuildLines = 2,   // append lines for surface edges and link them
  kCompactRequirePoints = 4,  // an empty result is a failure
};

enum NormalFlags : int {
  kNormalsFace = 1,
  kNormalsAngleSmoothed = 2,
  kNormalsPointAveraged = 4,
  kNormalsSelectedPoints = 8,
  kNormalsForceAngleSmoothed = 128,
};

// Returns 1 on success, 0 when a table would pass 19999 records (or, with
// kCompactRequirePoints, when no point is left). A refusal leaves a model
// whose records are all in range, so later operations can still run on it.
int CompactModel(Model& model, int flags);

// Every surface's line references recomputed from the line table; where two
// lines join the same pair of points the later one wins.
void RelinkFaces(Model& model);

// Face, corner and selected-point normals. When useAngleSmooth is false a
// request with flag 2 has flags 2 and 4 swapped; flag 128 always smooths by
// angle.
void RefreshNormals(Model& model, int flags, bool useAngleSmooth);

// State -1 on every point that is an end of no live line.
void MarkUnusedPoints(Model& model);

// A line that joins the same two points as an earlier one gets a = -1,
// state = -1 and b = the survivor's signed index (negative when it runs the
// other way), so PurgeMarked can forward references to it.
void MarkDuplicateLines(Model& model);

// Removes every record with state -1 and renumbers all references.
void PurgeMarked(Model& model);

// +i for the first live line from a to b, -i for one from b to a, 0 if none.
int32_t FindLine(const Model& model, int32_t pointA, int32_t pointB);

// 1 when splitting the quad along corner 0 - corner 2 gives the flatter pair
// of triangles, else 0.
int ChooseQuadSplit(const Model& model, int surface);

// Normal of the triangle (p0, p1, p2): normalise((p0 - p1) x (p1 - p2)).
VECTOR TriangleNormal(const VECTOR& p0, const VECTOR& p1, const VECTOR& p2);
// Cosine of the angle between two normals, snapped to +-1 beyond 0.9999;
// 1 when either is zero.
float NormalCosine(const VECTOR& a, const VECTOR& b);

}  // namespace vexal
