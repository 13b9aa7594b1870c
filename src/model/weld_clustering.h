// The grouping step of the approximate and exact welds: which selected
// points a representative absorbs. rep holds, for every point, its
// representative (itself to begin with, 0 for a point that takes no part);
// an absorbed point gets the index of the point that absorbed it. Points
// are not moved here.
#pragma once

#include <cstdint>
#include <vector>

#include "model/model.h"

namespace vexal {

// Greedy in index order without chaining: each point still its own
// representative absorbs every later such point within the radius of it.
// A radius that is not a number absorbs nothing.
void ClusterNearPoints(Model& model, std::vector<int32_t>& rep, float radius);

// The first of each group of exactly equal positions absorbs the rest.
void ClusterSamePoints(Model& model, std::vector<int32_t>& rep);

}  // namespace vexal
