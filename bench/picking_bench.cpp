// Picking and selecting at the size limit (19,999 points, lines and
// surfaces), and one Point-tool click with its maintenance and undo step.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "model/camera.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "support/test_models.h"
#include "tools/draw_tool.h"
#include "tools/picking.h"
#include "tools/select_tool.h"
#include "tools/tool_dispatch.h"

namespace vexal {
namespace {

std::unique_ptr<Document> SheetDocument() {
  auto document = std::make_unique<Document>();
  InitializeDocument(*document);
  SetScreenSize(document->scene, 800, 600);
  testing::FullSheet(document->model);
  RefreshSelection(*document);
  ResetUndo(*document);
  return document;
}

// Pixels in the middle of the sheet where each kind of pick finds
// something: a point, the middle of a line, the centre of a triangle.
std::pair<int, int> PixelAt(const Document& document, const VECTOR& position) {
  const VECTOR s = ProjectPoint(document, position, true);
  return {static_cast<int>(s.x), static_cast<int>(s.y)};
}
std::pair<int, int> MiddlePixel(const Document& document) {
  return PixelAt(document, document.model.points[10101].position);
}
std::pair<int, int> LinePixel(const Document& document) {
  const LINE& line = document.model.lines[10101];
  const Model& model = document.model;
  return PixelAt(document, (model.points[line.a].position + model.points[line.b].position) * 0.5f);
}
std::pair<int, int> SurfacePixel(const Document& document) {
  const Model& model = document.model;
  const FACE& face = model.faces[10001];
  VECTOR sum;
  for (int k = 0; k < 3; ++k) sum += model.points[face.corners[k]].position;
  return PixelAt(document, sum * (1.0f / 3));
}

void BM_PickPoint(benchmark::State& state) {
  auto document = SheetDocument();
  const auto [x, y] = MiddlePixel(*document);
  for (auto _ : state) benchmark::DoNotOptimize(PickPoint(*document, x, y));
  if (PickPoint(*document, x, y) == 0) state.SkipWithError("nothing picked");
}
BENCHMARK(BM_PickPoint)->Unit(benchmark::kMillisecond);

void BM_PickLine(benchmark::State& state) {
  auto document = SheetDocument();
  const auto [x, y] = LinePixel(*document);
  for (auto _ : state) benchmark::DoNotOptimize(PickLine(*document, x, y));
  if (PickLine(*document, x, y) == 0) state.SkipWithError("nothing picked");
}
BENCHMARK(BM_PickLine)->Unit(benchmark::kMillisecond);

void BM_PickSurface(benchmark::State& state) {
  auto document = SheetDocument();
  const auto [x, y] = SurfacePixel(*document);
  for (auto _ : state) benchmark::DoNotOptimize(PickSurface(*document, x, y));
  if (PickSurface(*document, x, y) == 0) state.SkipWithError("nothing picked");
}
BENCHMARK(BM_PickSurface)->Unit(benchmark::kMillisecond);

// The release of a rectangle drag around every point: the test of each
// point, the state changes, RefreshSelection and the undo step.
void BM_RectangleRegion(benchmark::State& state) {
  auto document = SheetDocument();
  for (auto _ : state) {
    document->mode.startX = 0;
    document->mode.startY = 0;
    document->mode.modifiers = 0;
    document->mode.state = 1;
    RectangleSelect(*document, 799, 599);
  }
  if (document->scene.selectedCount != kMaxCount) state.SkipWithError("not all selected");
}
BENCHMARK(BM_RectangleRegion)->Unit(benchmark::kMillisecond);

// A lasso of 509 moves winding around the sheet (a star, so that many of
// its edges lie over the points), released: the same work as above with
// the crossing test.
void BM_Lasso509(benchmark::State& state) {
  auto document = SheetDocument();
  for (auto _ : state) {
    state.PauseTiming();
    document->toolDrag = std::make_unique<LassoBuffer>();
    LassoBuffer& lasso = *RunningLasso(*document);
    for (int k = 0; k <= kLassoMaxCount; ++k) {
      const double angle = 2 * 3.14159265358979 * k / (kLassoMaxCount + 1);
      const double radius = k % 2 == 0 ? 390 : 250;
      lasso.vertices[k] = {static_cast<int16_t>(400 + radius * std::cos(angle)),
                        static_cast<int16_t>(300 + 0.75 * radius * std::sin(angle))};
    }
    lasso.count = kLassoMaxCount;
    document->mode.modifiers = 0;
    document->mode.state = 1;
    state.ResumeTiming();
    LassoSelect(*document);
  }
  if (document->scene.selectedCount == 0) state.SkipWithError("nothing selected");
}
BENCHMARK(BM_Lasso509)->Unit(benchmark::kMillisecond);

// The click that ends a stroke on an existing point of the largest closed
// quad model: the closing line, the quad split along it, PurgeMarked,
// RefreshSelection, RefreshNormals and PushUndo.
void BM_PointToolClick(benchmark::State& state) {
  auto document = std::make_unique<Document>();
  InitializeDocument(*document);
  SetScreenSize(document->scene, 800, 600);
  testing::QuadTorus(document->model, 99, 101);
  RefreshSelection(*document);
  ResetUndo(*document);
  Workspace workspace;
  SetTool(*document, kToolPoint);
  // Opposite corners of one quad facing the viewer.
  const FACE& quad = document->model.faces[1];
  const int32_t from = quad.corners[0], to = quad.corners[2];
  for (auto _ : state) {
    state.PauseTiming();
    DrawToolPress(*document, {MouseButton::kLeft, 0, 0, 0}, from, 0);
    state.ResumeTiming();
    DrawToolPress(*document, {MouseButton::kLeft, 0, 0, 0}, to, 0);
    state.PauseTiming();
    StepUndo(*document, -1);
    state.ResumeTiming();
  }
  if (document->model.faceCount != 9999) state.SkipWithError("not restored");
}
BENCHMARK(BM_PointToolClick)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexal
