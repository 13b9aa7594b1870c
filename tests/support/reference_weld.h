// Literal, slow versions of the welds: all-pairs clustering, a dense
// (points + 2)^2 table of 16-bit line numbers for the folded quads, and
// pairwise comparison within every run of equal keys. They exist only to
// prove that the fast versions give the same results.
#pragma once

#include "model/weld.h"
#include "model/model.h"

namespace vexal::reference {

// false when the split quads would pass 19999 surfaces (the model is then
// half cleaned, as the fast version leaves it before restoring).
bool WeldCleanup(Model& model);
void SyncMirror(Model& model);
// Same contract as the fast versions, the restoring of a full table
// included.
MaybeRefusal AttachSingle(Model& model, const WeldSelection& selection);
MaybeRefusal AttachApproximate(Model& model, const WeldSelection& selection, float radius);
MaybeRefusal AttachSame(Model& model, const WeldSelection& selection);

}  // namespace vexal::reference
