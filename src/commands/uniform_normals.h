#pragma once

#include <cstdint>
#include <vector>

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

// Gives each connected group of visible, non-guide surfaces the winding of
// its lowest-numbered surface.
CommandResult UniformNormals(Document& document);

// The per-surface parity UniformNormals computes (+1 keep, -1 flip), for
// tests that compare it with the plain description.
void UniformParity(const Model& model, std::vector<int8_t>& parity);

}  // namespace vexal
