// One drag step of each transform tool at the limit: the 9,999-quad torus
// with every point selected, from the press to the step's mirror sync and
// face normals (the redraw is the renderer's own and measured there).
#include <benchmark/benchmark.h>

#include <memory>

#include "model/camera.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "support/test_models.h"
#include "tools/tool_dispatch.h"

namespace vexal {
namespace {

struct DragFixture {
  std::unique_ptr<Document> document = std::make_unique<Document>();
  Workspace workspace;
  int x = 0;
  int y = 0;

  explicit DragFixture(int32_t tool) {
    InitializeDocument(*document);
    Model& model = document->model;
    testing::QuadTorus(model, 99, 101);
    for (int p = 1; p <= model.pointCount; ++p) model.points[p].state = kStateSelected;
    SetScreenSize(document->scene, 1024, 768);
    document->scene.angle = VECTOR(30, 15, 0);
    document->scene.zoom = 0.45f;
    RefreshSelection(*document);
    ResetUndo(*document);
    SetTool(*document, tool);
    // Grab the point nearest the viewer that no handle arm covers.
    const VECTOR s = ProjectPoint(*document, model.points[1].position, true);
    x = static_cast<int>(s.x);
    y = static_cast<int>(s.y);
    MousePress(*document, workspace, {MouseButton::kLeft, 0, x, y});
  }
};

void DragSteps(benchmark::State& state, int32_t tool) {
  DragFixture f(tool);
  if (f.document->mode.state != 1) {
    state.SkipWithError("the press did not start a drag");
    return;
  }
  int step = 0;
  for (auto _ : state) {
    ++step;
    MouseMove(*f.document, f.workspace, {MouseButton::kLeft, 0, f.x + step % 40, f.y - step % 30});
    benchmark::DoNotOptimize(f.document->model.points[1].position);
  }
}

void BM_MoveDragStep(benchmark::State& state) { DragSteps(state, kToolMove); }
void BM_RotateDragStep(benchmark::State& state) { DragSteps(state, kToolRotate); }
void BM_ScaleDragStep(benchmark::State& state) { DragSteps(state, kToolScale); }
void BM_NormalMoveDragStep(benchmark::State& state) { DragSteps(state, kToolNormalMove); }

// The pointer-shape feedback of an idle transform tool: one mouse move
// picks the handle, a point and a line.
void BM_TransformHover(benchmark::State& state) {
  DragFixture f(kToolMove);
  MouseRelease(*f.document, f.workspace, {MouseButton::kLeft, 0, f.x, f.y});
  int step = 0;
  for (auto _ : state) {
    ++step;
    MouseMove(*f.document, f.workspace, {MouseButton::kLeft, 0, f.x + step % 40, f.y - step % 30});
  }
}

BENCHMARK(BM_TransformHover)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveDragStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RotateDragStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScaleDragStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NormalMoveDragStep)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexal
