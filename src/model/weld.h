// Welding points together: the three attach commands and the clean-up that
// removes what a weld leaves degenerate or duplicated.
//
// The model-level operations read the selection as RefreshSelection left it
// (the selection classes of the points, and the summary passed in) and
// change only the tables; the document-level commands run them inside the
// edit frame with their finishing steps and one undo step.
//
// Every step is linear or n log n in the size of the model: where the
// original design compares all pairs or fills a dense point-pair table, a
// grid, hashes and sorted runs give the same survivors, numbering and
// tie-breaks (the tests hold them to a literal all-pairs version).
#pragma once

#include <cstdint>
#include <vector>

#include "io/refusal.h"
#include "model/document.h"
#include "model/model.h"

namespace vexal {

// What the attach commands read of the last RefreshSelection.
struct WeldSelection {
  int32_t selectedCount = 0;
  int32_t mirrorSelection = 0;  // 2 x (a selected partner) + (an unselected partner)
  VECTOR pivot;
};

// Squared distance (single precision, in x, y, z order) at most
// radiusSquared. A NaN anywhere makes points never close.
inline bool WithinWeldRadius(const VECTOR& a, const VECTOR& b, float radiusSquared) {
  const float dx = b.x - a.x;
  const float dy = b.y - a.y;
  const float dz = b.z - a.z;
  return dx * dx + dy * dy + dz * dz <= radiusSquared;
}

// The sort key of AttachSame: a single-precision linear form of the position.
inline float SamePositionKey(const VECTOR& p) {
  return 3411.04296875f * p.x + 64.04388f * p.y + 42.113f * p.z;
}

// The in-place quicksort the welds order by (not stable; the tie-breaks of
// AttachSame and DropDuplicateSurfaces are the order it produces). Sorts
// entries 1..n of keys and items together (entry 0 is unused). The pivot of
// a range lo..hi is its middle entry moved to lo; it walks right past
// every smaller entry and sends every other one to the end of the range.
void WeldQuicksort(std::vector<float>& keys, std::vector<int32_t>& items, int n);
void WeldQuicksort(std::vector<int32_t>& keys, std::vector<int32_t>& items, int n);

// The clean-up steps, in the order WeldCleanup runs them.
// Lines whose two ends are the same point get state -1.
void DropDegenerateLines(Model& model);
// Surfaces folded onto a diagonal or onto two points are marked -1; a quad
// with two equal neighbouring corners becomes a triangle.
void CollapseSurfaces(Model& model);
// A quad whose diagonal is a live line is replaced by the two triangles on
// either side of it (appended; the quad gets state -1). Returns false, with
// the model unchanged, when the appended surfaces would pass 19999.
bool SplitFoldedQuads(Model& model);
// Of surfaces with the same key whose corners all lie among the corners of
// the first in sorted order, only that first one stays; it keeps the
// smallest material of the group.
void DropDuplicateSurfaces(Model& model);
// All seven steps: the four above, MarkUnusedPoints, MarkDuplicateLines and
// PurgeMarked. Returns false when SplitFoldedQuads refused; the model is
// then half cleaned and the caller must restore it.
bool WeldCleanup(Model& model);

// The table changes of the three commands, the clean-up included (and for
// AttachApproximate and AttachSame also SyncMirror and DeselectAll).
// Refused, with the model as it was, when nothing is selected or when a
// table would pass 19999 records (TableFull).
MaybeRefusal AttachSingle(Model& model, const WeldSelection& selection);
// Selected points within radius of a representative (the lowest-numbered
// point not yet absorbed) weld at their centroid; no chaining.
MaybeRefusal AttachApproximate(Model& model, const WeldSelection& selection, float radius);
MaybeRefusal AttachSame(Model& model, const WeldSelection& selection);

}  // namespace vexal
