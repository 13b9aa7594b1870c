#include <algorithm>
#include <unordered_set>
#include <vector>

#include "commands/edit_frame.h"
#include "commands/create_faces.h"
#include "model/table_room.h"
#include "model/maintenance.h"
#include "model/point_pair_table.h"
#include "model/table_room.h"

namespace vexal {
namespace {

// An ordered pair of line indices.
uint64_t LinePair(int32_t first, int32_t second) {
  auto magnitude = [](int32_t r) { return static_cast<uint64_t>(r < 0 ? -r : r); };
  return (magnitude(first) << 32) | magnitude(second);
}

}  // namespace

CommandResult CreateFaces(Document& document, int mode) {
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [mode](Document& doc) {
    Model& model = doc.model;
    const int points = model.pointCount;
    auto mirrorOfSelection = [&model](int32_t point) {
      const int32_t c = model.points[point].selectionClass;
      return c == 3 || c == 4;
    };
    PointPairTable lineBetween;
    lineBetween.reset(static_cast<size_t>(model.lineCount) * 2);
    std::vector<std::vector<int32_t>> neighbours(static_cast<size_t>(points) + 1);
    for (int l = 1; l <= model.lineCount; ++l) {
      const LINE& line = model.lines[l];
      const bool eligible = line.state == kStateSelected ||
                            (mirrorOfSelection(line.a) && mirrorOfSelection(line.b)) ||
                            (mode == 0 && line.state != kStateHidden);
      if (!eligible || line.a == line.b) continue;
      lineBetween.store(line.a, line.b, l);
      lineBetween.store(line.b, line.a, -l);
      neighbours[line.a].push_back(line.b);
      neighbours[line.b].push_back(line.a);
    }
    for (auto& list : neighbours) {
      std::sort(list.begin(), list.end());
      list.erase(std::unique(list.begin(), list.end()), list.end());
    }

    // Pairs of lines that already bound a surface: any two edges of a
    // triangle, the opposite edges of a quad.
    std::unordered_set<uint64_t> used;
    for (int s = 1; s <= model.faceCount; ++s) {
      const auto& r = model.faces[s].lines;
      if (IsQuad(model.faces[s])) {
        for (auto [x, y] : {std::pair{0, 2}, std::pair{1, 3}}) {
          used.insert(LinePair(r[x], r[y]));
          used.insert(LinePair(r[y], r[x]));
        }
      } else {
        for (int x = 0; x < 3; ++x) {
          for (int y = 0; y < 3; ++y) {
            if (x != y) used.insert(LinePair(r[x], r[y]));
          }
        }
      }
    }

    std::vector<FACE> created;
    auto add = [&](std::array<int32_t, 4> corners, std::array<int32_t, 4> lines) {
      FACE face;
      face.corners = corners;
      face.lines = lines;
      face.material = doc.scene.paletteIndex;
      face.state = kStateNormal;
      created.push_back(face);
    };
    for (int32_t i = 1; i <= points; ++i) {
      const auto& around = neighbours[i];
      for (size_t x = 0; x < around.size(); ++x) {
        const int32_t l = around[x];
        if (l <= i) continue;
        for (size_t y = x + 1; y < around.size(); ++y) {
          const int32_t j = around[y];
          const int32_t il = lineBetween.find(i, l);
          const int32_t lj = lineBetween.find(l, j);
          const int32_t ji = lineBetween.find(j, i);
          if (lj != 0) {
            if (used.insert(LinePair(il, lj)).second) add({i, l, j, i}, {il, lj, ji, il});
            continue;
          }
          for (int32_t k : neighbours[l]) {
            if (k <= i || k == j) continue;
            const int32_t kj = lineBetween.find(k, j);
            if (kj == 0 || lineBetween.find(i, k) != 0) continue;
            if (used.insert(LinePair(il, kj)).second) {
              add({i, l, k, j}, {il, lineBetween.find(l, k), kj, ji});
            }
          }
        }
      }
    }
    if (!HasRoomFor(model, 0, 0, static_cast<int64_t>(created.size())))
      return CommandResult::Refused(TableFull());
    for (const FACE& face : created) model.faces[++model.faceCount] = face;
    return CommandResult{};
  });
}

}  // namespace vexal
