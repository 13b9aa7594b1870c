// The lines a surface writer would lose: writers that store only polygons
// write these as two-point polygons.
#pragma once

#include <cstdint>
#include <vector>

namespace vexal {

struct Model;

// The lines of model (in table order) that lie on no edge of a surface the
// writers export, that is a surface outside the guide material.
std::vector<int32_t> FreeLines(const Model& model);

}  // namespace vexal
