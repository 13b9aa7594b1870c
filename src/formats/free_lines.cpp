#include "formats/free_lines.h"

#include <algorithm>

#include "model/model.h"
#include "model/point_pair_table.h"

namespace vexal {

std::vector<int32_t> FreeLines(const Model& model) {
  PointPairTable edges;
  edges.reset(static_cast<size_t>(model.faceCount) * 4);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material == kGuideMaterial) continue;
    const int corners = CornerCount(face);
    for (int j = 0; j < corners; ++j) {
      const int32_t a = face.corners[j];
      const int32_t b = face.corners[(j + 1) % corners];
      edges.store(std::min(a, b), std::max(a, b), 1);
    }
  }
  std::vector<int32_t> free;
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (edges.find(std::min(line.a, line.b), std::max(line.a, line.b)) == 0) free.push_back(l);
  }
  return free;
}

}  // namespace vexal
