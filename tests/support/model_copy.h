// Copying and comparing the live records of models, for the tests and the
// benchmarks.
#pragma once

#include "model/model.h"

namespace vexal::testing {

// Copies counts, records 0..count and the palette: a whole Model is 7 MB,
// too much to copy thousands of times.
void CopyLive(const Model& from, Model& to);

// True when the live records and the palette are identical in every field
// (normals and selection classes included): a do, undo, redo round trip
// must give this.
bool SameRecords(const Model& a, const Model& b);

}  // namespace vexal::testing
