#include <array>

#include "commands/edit_frame.h"
#include "commands/primitives.h"
#include "commands/ring_mesh.h"
#include "model/maintenance.h"
#include "model/table_room.h"

namespace vexal {

CommandResult AddCube(Document& document, float sizeX, float sizeY, float sizeZ) {
  if (MaybeRefusal full = CheckRoom(document.model, 8, 12, 6)) return CommandResult::Refused(*full);
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [&](Document& doc) {
    Model& model = doc.model;
    DeselectAll(model);
    const float hx = sizeX / 2, hy = sizeY / 2, hz = sizeZ / 2;
    const int p0 = model.pointCount;
    const std::array<VECTOR, 8> corners = {{{-hx, hy, hz},
                                            {-hx, hy, -hz},
                                            {-hx, -hy, hz},
                                            {-hx, -hy, -hz},
                                            {hx, hy, hz},
                                            {hx, hy, -hz},
                                            {hx, -hy, hz},
                                            {hx, -hy, -hz}}};
    for (const VECTOR& corner : corners) AppendSelectedPoint(model, corner);
    const int l0 = model.lineCount;
    constexpr int kLines[12][2] = {{1, 2}, {2, 4}, {4, 3}, {3, 1}, {5, 6}, {6, 8},
                                   {8, 7}, {7, 5}, {1, 5}, {2, 6}, {4, 8}, {3, 7}};
    for (const auto& line : kLines) {
      SetLine(model, ++model.lineCount, p0 + line[0], p0 + line[1], kStateSelected);
    }
    constexpr int kCorners[6][4] = {{1, 2, 4, 3}, {5, 1, 3, 7}, {6, 5, 7, 8},
                                    {2, 6, 8, 4}, {1, 5, 6, 2}, {3, 4, 8, 7}};
    constexpr int kEdges[6][4] = {{1, 2, 3, 4},    {-9, -4, 12, 8},  {-5, -8, -7, -6},
                                  {10, 6, -11, -2}, {9, 5, -10, -1}, {-3, 11, 7, -12}};
    for (int s = 0; s < 6; ++s) {
      const int surface = ++model.faceCount;
      model.faces[surface] = FACE{};
      SetFace(model, surface, p0 + kCorners[s][0], p0 + kCorners[s][1], p0 + kCorners[s][2],
              p0 + kCorners[s][3], doc.scene.paletteIndex, kStateSelected);
      std::array<int32_t, 4> references{};
      for (int j = 0; j < 4; ++j) {
        const int edge = kEdges[s][j];
        references[j] = edge > 0 ? l0 + edge : -(l0 - edge);
      }
      SetFaceLines(model, surface, references[0], references[1], references[2], references[3]);
    }
    return CommandResult{};
  });
}

}  // namespace vexal
