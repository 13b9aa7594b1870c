#include "view/software_renderer.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/camera.h"

namespace vexal {
namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// Truncation toward zero, as every screen position is converted.
int Pixel(float value) {
  if (!(value > -2.0e9f && value < 2.0e9f)) return value > 0 ? 2000000000 : -2000000000;
  return static_cast<int>(value);
}

const VECTOR kCubePoints[8] = {{-1, 1, -1}, {-1, -1, -1}, {1, -1, -1}, {1, 1, -1},
                               {-1, 1, 1},  {-1, -1, 1},  {1, -1, 1},  {1, 1, 1}};
const int kCubeLines[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 4}, {1, 5},
                               {2, 6}, {3, 7}, {4, 5}, {5, 6}, {6, 7}, {7, 4}};

struct Projected {
  int x, y;
};

Projected Transform(const MATRIX& m, const VECTOR& p) {
  const VECTOR t = p.transformed(m);
  return {Pixel(t.x), Pixel(t.y)};
}

void ModelLine(Canvas& canvas, const MATRIX& m, const VECTOR& a, const VECTOR& b) {
  const Projected pa = Transform(m, a);
  const Projected pb = Transform(m, b);
  canvas.line(pa.x, pa.y, pb.x, pb.y);
}

}  // namespace

uint32_t StateColor(const ViewColors& colors, int32_t state) {
  if (state == kStateSelected) return colors.selected;
  if (state == kStateHidden) return colors.hidden;
  return colors.normal;
}

bool DrawingChain(const MODE& mode, int32_t tool) {
  return (mode.tool == tool && mode.state == 1) || (mode.savedTool == tool && mode.savedState == 1);
}

void RenderSoftware(const Document& document, const ViewColors& colors, Canvas& canvas) {
  const SCENE& scene = document.scene;
  const Model& model = document.model;
  canvas.fillRect(0, 0, canvas.width(), canvas.height(), colors.background);
  const MATRIX m = ViewMatrix(document, true);

  if (scene.showGrid == 1) {
    if (colors.gridType != -1 && colors.gridType != 0) {
      const float e = 12.0f * (1.0f / 3.0f);
      for (int i = -12; i <= 12; ++i) {
        const float x = static_cast<float>(i) * (1.0f / 3.0f);
        if (i != 0) {
          canvas.setPen(Rgb(128, 128, 128), 1, PenMode::kCopy);
          ModelLine(canvas, m, VECTOR(x, 0, -e), VECTOR(x, 0, e));
          ModelLine(canvas, m, VECTOR(-e, 0, x), VECTOR(e, 0, x));
        } else {
          canvas.setPen(Rgb(0, 0, 0), 1, PenMode::kCopy);
          ModelLine(canvas, m, VECTOR(0, 0, -e), VECTOR(0, 0, 0));
          ModelLine(canvas, m, VECTOR(-e, 0, 0), VECTOR(0, 0, 0));
        }
      }
      canvas.setPen(Rgb(255, 0, 0), 1, PenMode::kCopy);
      ModelLine(canvas, m, VECTOR(), VECTOR(5, 0, 0));
      canvas.setPen(Rgb(0, 255, 0), 1, PenMode::kCopy);
      ModelLine(canvas, m, VECTOR(), VECTOR(0, 5, 0));
      canvas.setPen(Rgb(0, 0, 255), 1, PenMode::kCopy);
      ModelLine(canvas, m, VECTOR(), VECTOR(0, 0, 5));
    } else {
      for (int edge = 0; edge < 12; ++edge) {
        canvas.setPen(edge < 8 ? Rgb(128, 255, 128) : Rgb(255, 128, 128), 1, PenMode::kCopy);
        ModelLine(canvas, m, kCubePoints[kCubeLines[edge][0]], kCubePoints[kCubeLines[edge][1]]);
      }
    }
  }

  if (scene.viewMode != 0 && scene.viewMode != 2) return;

  std::vector<Projected> pixels(static_cast<size_t>(model.pointCount) + 1);
  for (int p = 1; p <= model.pointCount; ++p) pixels[p] = Transform(m, model.points[p].position);

  for (int p = 1; p <= model.pointCount; ++p) {
    const VERT& point = model.points[p];
    if (point.state == kStateHidden) continue;
    const uint32_t color = StateColor(colors, point.state);
    canvas.setPen(color, 1, PenMode::kCopy);
    canvas.fillRect(pixels[p].x - 2, pixels[p].y - 2, pixels[p].x + 2, pixels[p].y + 2, color);
  }

  std::vector<uint8_t> mark(static_cast<size_t>(model.lineCount) + 1, 0);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.state != kStateSelected) continue;
    for (int32_t r : face.lines) {
      const int32_t index = r < 0 ? -r : r;
      if (index <= model.lineCount) mark[index] = 2;
    }
  }
  auto valid = [&](int32_t p) { return p >= 1 && p <= model.pointCount; };
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    const int32_t state = mark[l] != 0 ? mark[l] - 1 : line.state;
    canvas.setPen(StateColor(colors, state), 1, PenMode::kCopy);
    if ((line.state != kStateHidden || scene.showHiddenEdges == 1) && valid(line.a) &&
        valid(line.b)) {
      canvas.line(pixels[line.a].x, pixels[line.a].y, pixels[line.b].x, pixels[line.b].y);
    }
  }
}

void DrawHandleAxes(const Document& document, Canvas& canvas) {
  const SCENE& scene = document.scene;
  const MODE& mode = document.mode;
  auto isTransform = [](int32_t tool) { return tool >= kToolMove && tool <= kToolScale; };
  if (!(isTransform(mode.tool) || isTransform(mode.savedTool))) return;
  if (scene.selectedCount == 0 || scene.showHandle != 1) return;
  const VECTOR& h = scene.handle;
  const float d = ProjectPoint(document, h, false).z;
  const float length = PixelSize(document, d) * 80.0f;
  const VECTOR p = ProjectPoint(document, h, true);
  const int px = Pixel(p.x), py = Pixel(p.y);
  const VECTOR ends[3] = {h - VECTOR(length, 0, 0), h - VECTOR(0, length, 0),
                          h - VECTOR(0, 0, length)};
  const uint32_t colors[3] = {Rgb(255, 0, 0), Rgb(0, 128, 0), Rgb(0, 0, 255)};
  for (int axis = 0; axis < 3; ++axis) {
    canvas.setPen(colors[axis], 2, PenMode::kCopy);
    const VECTOR e = ProjectPoint(document, ends[axis], true);
    canvas.line(px, py, Pixel(e.x), Pixel(e.y));
  }
  canvas.frameRect(px - 10, py - 10, px + 10, py + 10, Rgb(255, 255, 0));
  canvas.setPen(Rgb(255, 0, 0), 1, PenMode::kCopy);
}

std::vector<RubberLine> RubberBandLines(const Document& document) {
  const Model& model = document.model;
  const MODE& mode = document.mode;
  auto anchor = [&](int line) {
    const int32_t a = model.lines[line].a;
    const VECTOR p = ProjectPoint(document, model.points[a >= 0 ? a : 0].position, true);
    return Projected{Pixel(p.x), Pixel(p.y)};
  };
  std::vector<RubberLine> lines;
  if (DrawingChain(mode, kToolPoint) && model.lineCount >= 1) {
    const Projected a = anchor(model.lineCount);
    lines.push_back({a.x, a.y, mode.rubberX, mode.rubberY});
  } else if (DrawingChain(mode, kToolDPoint) && model.lineCount >= 2) {
    const Projected a1 = anchor(model.lineCount - 1);
    const Projected a2 = anchor(model.lineCount);
    lines.push_back({a1.x, a1.y, mode.rubberX, mode.rubberY});
    // On the mirror plane both lines coincide; drawn twice they would cancel.
    const bool same = (a1.x == a2.x && a1.y == a2.y && mode.rubberX == mode.mirrorRubberX &&
                       mode.rubberY == mode.mirrorRubberY) ||
                      (a1.x == mode.mirrorRubberX && a1.y == mode.mirrorRubberY &&
                       a2.x == mode.rubberX && a2.y == mode.rubberY);
    if (!same) lines.push_back({a2.x, a2.y, mode.mirrorRubberX, mode.mirrorRubberY});
  }
  return lines;
}

void DrawRubberLines(const std::vector<RubberLine>& lines, Canvas& canvas) {
  if (lines.empty()) return;
  canvas.setPen(0, 1, PenMode::kInvert);
  for (const RubberLine& line : lines) canvas.line(line.x0, line.y0, line.x1, line.y1);
  canvas.setPen(0, 1, PenMode::kCopy);
}

void DrawRubberBand(const Document& document, Canvas& canvas) {
  DrawRubberLines(RubberBandLines(document), canvas);
}

void RedrawSoftware(Document& document, const ViewColors& colors, Canvas& canvas) {
  // The open rubber-band line(s) of a chain are in the table but are drawn
  // by the rubber band, not as model lines.
  int hidden = 0;
  if (DrawingChain(document.mode, kToolPoint)) hidden = 1;
  if (DrawingChain(document.mode, kToolDPoint)) hidden = 2;
  hidden = std::min(hidden, document.model.lineCount);
  document.model.lineCount -= hidden;
  RenderSoftware(document, colors, canvas);
  DrawHandleAxes(document, canvas);
  document.model.lineCount += hidden;
  DrawRubberBand(document, canvas);
}

}  // namespace vexal
