// Literal, slow versions of the maintenance operations: dense
// (points + 2)^2 tables of 16-bit line indices and an all-pairs point merge.
// They exist only to prove that the fast versions give the same results.
#pragma once

#include "model/model.h"

namespace vexal::reference {

int CompactModel(Model& model, int flags);
void RelinkFaces(Model& model);
void MarkDuplicateLines(Model& model);
void PurgeMarked(Model& model);

}  // namespace vexal::reference
