#include "model/model_info.h"

#include <array>

namespace vexal {

ModelInfo CountModelInfo(const Model& model) {
  std::array<int, kMaterialCount> quads{};
  std::array<int, kMaterialCount> triangles{};
  for (int surface = 1; surface <= model.faceCount; ++surface) {
    const FACE& face = model.faces[static_cast<size_t>(surface)];
    if (face.material < 0 || face.material >= kMaterialCount) continue;
    ++(IsQuad(face) ? quads : triangles)[static_cast<size_t>(face.material)];
  }
  ModelInfo info;
  info.points = model.pointCount;
  info.lines = model.lineCount;
  for (int material = 0; material < kGuideMaterial; ++material) {
    info.quads += quads[static_cast<size_t>(material)];
    info.triangles += triangles[static_cast<size_t>(material)];
  }
  info.polygons = 2 * info.quads + info.triangles;
  info.dummyPolygons = 2 * quads[kGuideMaterial] + triangles[kGuideMaterial];
  return info;
}

std::string ModelInfoText(const ModelInfo& info) {
  std::string text;
  text += "Total Vertex : " + std::to_string(info.points) + "\n";
  text += "Total Edge : " + std::to_string(info.lines) + "\n";
  text += "Total Polygon : " + std::to_string(info.polygons) + " (\u25A1 " +
          std::to_string(info.quads) + " \u25B3 " + std::to_string(info.triangles) + ")\n";
  text += "Dummy Polygon : " + std::to_string(info.dummyPolygons) + "\n";
  return text;
}

}  // namespace vexal
