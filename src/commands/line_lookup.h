// FindLine for commands that ask it many times: the first live line between
// two points, answered from a table built once instead of a scan per call.
#pragma once

#include <cstdint>

#include "model/model.h"
#include "model/point_pair_table.h"

namespace vexal {

class LineLookup {
 public:
  // Indexes the live lines 1..line count of the model.
  explicit LineLookup(const Model& model);
  // +i for the first live line from a to b, -i for one from b to a, 0 if
  // none (what FindLine returns); 0 also when either point is 0.
  int32_t find(int32_t pointA, int32_t pointB) const;
  // Takes in a line appended after the table was built; earlier lines keep
  // answering for their pair.
  void add(int32_t line, int32_t pointA, int32_t pointB);

 private:
  PointPairTable table_;
};

}  // namespace vexal
