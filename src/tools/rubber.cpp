#include "tools/rubber.h"

#include <algorithm>

namespace vexal {
namespace {

void Invert(Document& document, const RubberLine& line) {
  auto& lines = document.rubber;
  const auto found = std::find(lines.begin(), lines.end(), line);
  if (found != lines.end()) {
    lines.erase(found);
  } else {
    lines.push_back(line);
  }
}

}  // namespace

void InvertRubberLine(Document& document, int x0, int y0, int x1, int y1) {
  Invert(document, {x0, y0, x1, y1});
  document.notify().overlayChanged();
}

void InvertRubberRectangle(Document& document, int x0, int y0, int x1, int y1) {
  Invert(document, {x0, y0, x1, y0});
  Invert(document, {x1, y0, x1, y1});
  Invert(document, {x1, y1, x0, y1});
  Invert(document, {x0, y1, x0, y0});
  document.notify().overlayChanged();
}

void TrackRubberRectangle(Document& document, int x, int y) {
  MODE& mode = document.mode;
  InvertRubberRectangle(document, mode.startX, mode.startY, mode.lastX, mode.lastY);
  mode.lastX = x;
  mode.lastY = y;
  InvertRubberRectangle(document, mode.startX, mode.startY, mode.lastX, mode.lastY);
}

}  // namespace vexal
