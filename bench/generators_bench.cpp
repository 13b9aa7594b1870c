// The generators and projections at the sizes a user reaches: UV projection
// of every kind over all 9,999 quads of the largest torus, and a pipe of 6
// around a selected chain of 1,000 lines (6,006 points, 12,006 lines and
// 6,000 quads added). Each includes its undo step; each should stay under
// 10 ms.
#include <benchmark/benchmark.h>

#include <memory>

#include "commands/make_pipe.h"
#include "commands/uv_projection.h"
#include "model/camera.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "support/test_models.h"

namespace vexal {
namespace {

std::unique_ptr<Document> SelectedTorus() {
  auto document = std::make_unique<Document>();
  InitializeDocument(*document);
  testing::QuadTorus(document->model, 99, 101);
  Model& model = document->model;
  for (int p = 1; p <= model.pointCount; ++p) model.points[p].state = kStateSelected;
  for (int s = 1; s <= model.faceCount; ++s) model.faces[s].state = kStateSelected;
  RefreshSelection(*document);
  ResetUndo(*document);
  return document;
}

void BM_ProjectUVTorus(benchmark::State& state) {
  auto document = SelectedTorus();
  UVProjection projection;
  projection.kind = static_cast<ProjectionKind>(state.range(0));
  projection.axis = ProjectionAxis::kY;
  projection.angle = 30;
  for (auto _ : state) {
    if (!ProjectUV(*document, projection).ok()) state.SkipWithError("projection refused");
    benchmark::DoNotOptimize(document->model.faces[1].uv[0].u);
  }
}
BENCHMARK(BM_ProjectUVTorus)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

void BM_MakePipeChain1000(benchmark::State& state) {
  // A wavy selected chain of 1,001 points.
  auto base = std::make_unique<Document>();
  InitializeDocument(*base);
  Model& model = base->model;
  for (int i = 0; i <= 1000; ++i) {
    const float t = static_cast<float>(i) * 0.1f;
    SetPoint(model, i + 1, t, std::sin(t), std::cos(0.7f * t), kStateSelected, 0);
  }
  model.pointCount = 1001;
  for (int i = 1; i <= 1000; ++i) SetLine(model, i, i, i + 1, kStateSelected);
  model.lineCount = 1000;
  RefreshSelection(*base);
  ResetUndo(*base);
  auto document = std::make_unique<Document>();
  for (auto _ : state) {
    state.PauseTiming();
    document->model = base->model;
    document->scene = base->scene;
    document->undo = base->undo;
    state.ResumeTiming();
    if (!MakePipe(*document, {6, 0.05f, 0}).ok() || document->model.faceCount != 6000) {
      state.SkipWithError("pipe not built");
    }
  }
}
BENCHMARK(BM_MakePipeChain1000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexal
