#include "commands/line_lookup.h"

namespace vexal {

LineLookup::LineLookup(const Model& model) {
  table_.reset(static_cast<size_t>(model.lineCount) * 2);
  for (int i = 1; i <= model.lineCount; ++i) {
    const LINE& line = model.lines[i];
    if (line.state == kStateRemoved) continue;
    add(i, line.a, line.b);
  }
}

int32_t LineLookup::find(int32_t pointA, int32_t pointB) const {
  if (pointA == 0 || pointB == 0) return 0;
  return table_.find(pointA, pointB);
}

void LineLookup::add(int32_t line, int32_t pointA, int32_t pointB) {
  if (table_.find(pointA, pointB) == 0) table_.store(pointA, pointB, line);
  if (table_.find(pointB, pointA) == 0) table_.store(pointB, pointA, -line);
}

}  // namespace vexal
