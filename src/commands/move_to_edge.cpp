// MoveToEdge: the inner points of selected chains move onto the straight
// line between their chain's two ends.
#include <array>
#include <vector>

#include "commands/edit_frame.h"
#include "commands/move_to_edge.h"
#include "commands/line_geometry.h"

namespace vexal {
namespace {

// The end reached walking from start away from `from` while the points
// stay selected; 0 when the walk comes back to where it began (a loop).
int WalkToEnd(const Model& model, const std::vector<std::array<int32_t, 2>>& neighbours, int origin,
              int start) {
  int previous = origin;
  int current = start;
  for (int steps = 0; current != 0 && model.points[current].state == kStateSelected; ++steps) {
    if (current == origin || steps > model.pointCount) return 0;
    const auto& next = neighbours[current];
    const int step = next[0] != previous ? next[0] : next[1];
    previous = current;
    current = step;
  }
  return current;
}

}  // namespace

CommandResult RunMoveToEdge(Document& document) {
  EditSteps steps;
  steps.syncMirror = true;
  return RunEdit(document, steps, [](Document& target) {
    Model& model = target.model;
    const int n = model.pointCount;
    std::vector<int32_t> count(static_cast<size_t>(n) + 1, 0);
    std::vector<std::array<int32_t, 2>> neighbours(static_cast<size_t>(n) + 1, {0, 0});
    auto note = [&](int32_t point, int32_t other) {
      if (point < 1 || point > n) return;
      auto& slots = neighbours[point];
      slots[count[point] == 0 ? 0 : 1] = other;  // a third overwrites the second
      ++count[point];
    };
    for (int l = 1; l <= model.lineCount; ++l) {
      const LINE& line = model.lines[l];
      if (line.state != kStateSelected) continue;
      note(line.a, line.b);
      note(line.b, line.a);
    }
    // Chain ends and stray points are deselected; hidden points stay hidden.
    for (int p = 1; p <= n; ++p) {
      VERT& point = model.points[p];
      if (count[p] != 2 && point.state == kStateSelected) point.state = kStateNormal;
    }
    for (int j = 1; j <= n; ++j) {
      if (model.points[j].state != kStateSelected) continue;
      const int first = WalkToEnd(model, neighbours, j, neighbours[j][0]);
      const int second = WalkToEnd(model, neighbours, j, neighbours[j][1]);
      if (first == 0 || second == 0) continue;
      LineFoot foot;
      // A point already on the line has no foot and stays.
      if (FootOnLine(model.points[j].position, model.points[first].position,
                     model.points[second].position, foot)) {
        model.points[j].position = foot.foot;
      }
    }
    return CommandResult{};
  });
}

}  // namespace vexal
