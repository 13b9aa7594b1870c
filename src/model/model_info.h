// The counts of the Information window: surfaces counted per material as
// quads and triangles, a quad counting as two polygons (as triangulating
// exporters see it), guide surfaces (material 15) counted apart as dummy
// polygons.
#pragma once

#include <array>
#include <string>

#include "model/model.h"

namespace vexal {

struct ModelInfo {
  int points = 0;
  int lines = 0;
  int quads = 0;          // Q: quads of materials 0..14
  int triangles = 0;      // T: triangles of materials 0..14
  int polygons = 0;       // 2 Q + T
  int dummyPolygons = 0;  // 2 x quads + triangles of material 15
};

// Counts surfaces 1..surface count; a surface whose material lies outside
// 0..15 (never produced by a reader) is not counted.
ModelInfo CountModelInfo(const Model& model);

// The window's four lines, each ending in "\n", UTF-8:
//   "Total Vertex : 8", "Total Edge : 12", "Total Polygon : 12 (□ 6 △ 0)",
//   "Dummy Polygon : 0".
std::string ModelInfoText(const ModelInfo& info);

}  // namespace vexal
