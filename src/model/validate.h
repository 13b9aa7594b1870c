// The model's invariants as one check, for tests and for readers that want
// to confirm what they built.
#pragma once

#include <string>

#include "model/model.h"

namespace vexal {

// True when every count is within 0..19999, every line end, surface corner
// and mirror partner is in range, partners are symmetric, materials are
// 0..15, no record is marked for removal, and every coordinate is finite.
// With checkLineReferences, every surface's line references must also agree
// with the line table (as after RelinkFaces). On failure, reason says which
// record broke which rule.
bool ValidateModel(const Model& model, std::string* reason, bool checkLineReferences = false);

}  // namespace vexal
