#include "tools/select_tool.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <memory>
#include <numbers>

#include "model/edit_frame.h"
#include "model/maintenance.h"
#include "tools/picking.h"
#include "tools/rubber.h"

namespace vexal {
namespace {

constexpr int64_t kOrigin = -1000;  // the far end of every crossing test

int16_t Slot(int value) { return static_cast<int16_t>(std::clamp(value, -32768, 32767)); }

// Sets the state of one picked element by the click's modifier code.
void ClickElement(Model& model, int32_t& state, int code) {
  switch (code) {
    case 1: state = kStateSelected; break;
    case 4: state = kStateNormal; break;
    case 5: state = state == kStateSelected ? kStateNormal : kStateSelected; break;
    default:
      DeselectAll(model);
      state = kStateSelected;
      break;
  }
}

// The region's effect on the points, then the shared ending.
void ApplyRegion(Document& document, const std::vector<uint8_t>& inside) {
  Model& model = document.model;
  const int code = document.mode.modifiers;
  for (int p = 1; p <= model.pointCount; ++p) {
    int32_t& state = model.points[p].state;
    if (state == kStateHidden) continue;
    if (inside[p]) {
      switch (code) {
        case 1: state = state == kStateSelected ? kStateNormal : kStateSelected; break;
        case 4: state = kStateNormal; break;
        default: state = kStateSelected; break;
      }
    } else if (code != 1 && code != 4 && code != 5) {
      state = kStateNormal;
    }
  }
  if (code != 5) {
    // Lines and surfaces follow their points again in RefreshSelection.
    for (int l = 1; l <= model.lineCount; ++l) {
      if (model.lines[l].state == kStateSelected) model.lines[l].state = kStateNormal;
    }
    for (int s = 1; s <= model.faceCount; ++s) {
      if (model.faces[s].state == kStateSelected) model.faces[s].state = kStateNormal;
    }
  }
  document.mode.state = 0;
  RefreshSelection(document);
  if (document.scene.selectedCount == 0) {
    Redraw(document);
    return;
  }
  EditSteps steps;
  steps.refreshSelection = false;
  EndEdit(document, steps);
}

int CrossingCount(int64_t px, int64_t py, const std::vector<std::array<int16_t, 2>>& polygon) {
  int crossings = 0;
  for (size_t i = 1; i < polygon.size(); ++i) {
    crossings += SegmentsCross(kOrigin, kOrigin, px, py, polygon[i - 1][0], polygon[i - 1][1],
                               polygon[i][0], polygon[i][1]);
  }
  return crossings;
}

// Direction of (x, y) seen from the origin corner, for vertices and points
// strictly right of and below it: an angle in (0, pi/2).
double Direction(int64_t x, int64_t y) {
  return std::atan2(static_cast<double>(y - kOrigin), static_cast<double>(x - kOrigin));
}

}  // namespace

bool SegmentsCross(int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t cx, int64_t cy,
                   int64_t dx, int64_t dy) {
  const int64_t rx = bx - ax, ry = by - ay;
  const int64_t sx = dx - cx, sy = dy - cy;
  int64_t denominator = rx * sy - ry * sx;
  if (denominator == 0) return false;
  const int64_t qx = cx - ax, qy = cy - ay;
  int64_t t = qx * sy - qy * sx;
  int64_t u = qx * ry - qy * rx;
  if (denominator < 0) {
    denominator = -denominator;
    t = -t;
    u = -u;
  }
  return t >= 0 && t <= denominator && u >= 0 && u <= denominator;
}

void StartRegion(Document& document, const PointerEvent& event, bool lasso) {
  MODE& mode = document.mode;
  mode.startX = mode.lastX = event.x;
  mode.startY = mode.lastY = event.y;
  mode.state = 1;
  mode.modifiers = event.modifiers();
  document.toolDrag.reset();
  if (lasso) {
    auto buffer = std::make_unique<LassoBuffer>();
    buffer->vertices[0] = {Slot(event.x), Slot(event.y)};
    document.toolDrag = std::move(buffer);
  }
}

void SelectionPress(Document& document, const Workspace& workspace, const PointerEvent& event,
                    int point, int line) {
  MODE& mode = document.mode;
  if (event.button == MouseButton::kRight) {
    if (mode.state == 1) {
      mode.state = 0;
      Redraw(document);
    }
    return;
  }
  if (event.button != MouseButton::kLeft) return;
  const bool lasso = mode.tool == kToolLasso;
  Picks picks{point, line, 0};
  if (!lasso || workspace.settings.UseSelectFace != 0) {
    picks.surface = PickSurface(document, event.x, event.y);
  }
  picks = ResolvePicks(document, picks);
  Model& model = document.model;
  const int code = event.modifiers();
  if (picks.point != 0) {
    ClickElement(model, model.points[picks.point].state, code);
  } else if (picks.line != 0) {
    ClickElement(model, model.lines[picks.line].state, code);
  } else if (picks.surface != 0) {
    ClickElement(model, model.faces[picks.surface].state, code);
  } else {
    StartRegion(document, event, lasso);
    return;
  }
  RefreshSelection(document);
  Redraw(document);
}

LassoBuffer* RunningLasso(Document& document) {
  return dynamic_cast<LassoBuffer*>(document.toolDrag.get());
}

void TrackLasso(Document& document, int x, int y) {
  LassoBuffer* running = RunningLasso(document);
  assert(running != nullptr && "a lasso move without the lasso of its press");
  LassoBuffer& lasso = *running;
  const auto previous = lasso.vertices[lasso.count];
  if (lasso.count < kLassoMaxCount) ++lasso.count;
  lasso.vertices[lasso.count] = {Slot(x), Slot(y)};
  document.mode.lastX = x;
  document.mode.lastY = y;
  InvertRubberLine(document, previous[0], previous[1], lasso.vertices[lasso.count][0],
                   lasso.vertices[lasso.count][1]);
}

std::vector<uint8_t> PointsInRectangle(const Document& document, int x0, int y0, int x1, int y1) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  const std::vector<VECTOR> projected = ProjectAllPoints(document);
  std::vector<uint8_t> inside(projected.size(), 0);
  for (size_t p = 1; p < projected.size(); ++p) {
    const int x = ScreenInt(projected[p].x);
    const int y = ScreenInt(projected[p].y);
    inside[p] = x0 < x && x < x1 && y0 < y && y < y1;
  }
  return inside;
}

std::vector<uint8_t> PointsInLasso(const Document& document,
                                   const std::vector<std::array<int16_t, 2>>& polygon) {
  const std::vector<VECTOR> projected = ProjectAllPoints(document);
  std::vector<uint8_t> inside(projected.size(), 0);
  const size_t edges = polygon.empty() ? 0 : polygon.size() - 1;
  if (edges <= 2) return inside;

  // Only the edges whose range of directions from the origin corner holds
  // a point's direction can meet the segment to it. Edges are filed in
  // buckets of direction (one bucket of margin each side, so rounding never
  // drops one); the crossing test itself stays exact.
  bool cornerClear = true;
  for (const auto& vertex : polygon) {
    if (vertex[0] <= kOrigin || vertex[1] <= kOrigin) cornerClear = false;
  }
  // The buckets span the lasso's own range of directions; a point outside
  // it lands in an end bucket, whose edges it cannot cross.
  constexpr int kBuckets = 4096;
  double low = std::numbers::pi, high = 0;
  for (const auto& vertex : polygon) {
    if (!cornerClear) break;
    low = std::min(low, Direction(vertex[0], vertex[1]));
    high = std::max(high, Direction(vertex[0], vertex[1]));
  }
  const double scale = kBuckets / std::max(high - low, 1e-9);
  auto bucketOf = [&](double angle) {
    const double place = (angle - low) * scale;
    return place <= 0 ? 0 : place >= kBuckets - 1 ? kBuckets - 1 : static_cast<int>(place);
  };
  std::vector<int> start(kBuckets + 1, 0);
  std::vector<int> filed;
  if (cornerClear) {
    std::vector<std::pair<int, int>> ranges(edges);
    for (size_t i = 1; i <= edges; ++i) {
      const double a = Direction(polygon[i - 1][0], polygon[i - 1][1]);
      const double b = Direction(polygon[i][0], polygon[i][1]);
      ranges[i - 1] = {std::max(bucketOf(std::min(a, b)) - 1, 0),
                       std::min(bucketOf(std::max(a, b)) + 1, kBuckets - 1)};
      for (int k = ranges[i - 1].first; k <= ranges[i - 1].second; ++k) ++start[k + 1];
    }
    for (int k = 0; k < kBuckets; ++k) start[k + 1] += start[k];
    filed.resize(static_cast<size_t>(start[kBuckets]));
    std::vector<int> fill(start.begin(), start.end() - 1);
    for (size_t i = 1; i <= edges; ++i) {
      for (int k = ranges[i - 1].first; k <= ranges[i - 1].second; ++k) filed[fill[k]++] = static_cast<int>(i);
    }
  }

  for (size_t p = 1; p < projected.size(); ++p) {
    const int64_t x = ScreenInt(projected[p].x);
    const int64_t y = ScreenInt(projected[p].y);
    int crossings = 0;
    if (cornerClear && x > kOrigin && y > kOrigin) {
      const int bucket = bucketOf(Direction(x, y));
      for (int k = start[bucket]; k < start[bucket + 1]; ++k) {
        const size_t i = static_cast<size_t>(filed[k]);
        // An edge wholly right of or below the point cannot meet the
        // segment, which runs up and left from it.
        if (std::min(polygon[i - 1][0], polygon[i][0]) > x || std::min(polygon[i - 1][1], polygon[i][1]) > y) {
          continue;
        }
        crossings += SegmentsCross(kOrigin, kOrigin, x, y, polygon[i - 1][0], polygon[i - 1][1],
                                   polygon[i][0], polygon[i][1]);
      }
    } else {
      crossings = CrossingCount(x, y, polygon);
    }
    inside[p] = crossings % 2 == 1;
  }
  return inside;
}

void RectangleSelect(Document& document, int x, int y) {
  const MODE& mode = document.mode;
  ApplyRegion(document, PointsInRectangle(document, mode.startX, mode.startY, x, y));
}

void LassoSelect(Document& document) {
  LassoBuffer* running = RunningLasso(document);
  assert(running != nullptr && "a lasso release without the lasso of its press");
  LassoBuffer& lasso = *running;
  // Closed by a copy of the press after the last vertex.
  lasso.vertices[lasso.count + 1] = lasso.vertices[0];
  ++lasso.count;
  const std::vector<std::array<int16_t, 2>> polygon(lasso.vertices.begin(),
                                                    lasso.vertices.begin() + lasso.count + 1);
  document.toolDrag.reset();
  ApplyRegion(document, PointsInLasso(document, polygon));
}

}  // namespace vexal
