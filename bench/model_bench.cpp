// Maintenance and undo at the size limits: a closed torus of 99 x 101 quads
// (9,999 points, 19,998 lines, 9,999 quads), the largest closed quad model.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

#include "model/document.h"
#include "model/maintenance.h"
#include "support/model_copy.h"
#include "support/reference_maintenance.h"
#include "support/test_models.h"

namespace vexal {
namespace {

constexpr int kRows = 99;
constexpr int kColumns = 101;

using testing::CopyLive;

const Model& TorusSoup() {
  static const std::unique_ptr<Model> soup = [] {
    auto model = std::make_unique<Model>();
    testing::QuadTorusSoup(*model, kRows, kColumns);
    return model;
  }();
  return *soup;
}

std::unique_ptr<Document> TorusDocument() {
  auto document = std::make_unique<Document>();
  testing::QuadTorus(document->model, kRows, kColumns);
  // Every tenth point selected, as after a region selection.
  for (int p = 1; p <= document->model.pointCount; p += 10) {
    document->model.points[p].state = kStateSelected;
  }
  RefreshSelection(*document);
  RefreshNormals(*document, kNormalsAngleSmoothed);
  ResetUndo(*document);
  return document;
}

void BM_CompactModel_Merge(benchmark::State& state) {
  auto model = std::make_unique<Model>();
  for (auto _ : state) {
    state.PauseTiming();
    CopyLive(TorusSoup(), *model);
    state.ResumeTiming();
    benchmark::DoNotOptimize(CompactModel(*model, kCompactMerge | kCompactRebuildLines));
  }
  if (model->pointCount != 9999 || model->lineCount != 19998) state.SkipWithError("wrong weld");
}
BENCHMARK(BM_CompactModel_Merge)->Unit(benchmark::kMillisecond);

void BM_CompactModel_Merge_Reference(benchmark::State& state) {
  auto model = std::make_unique<Model>();
  for (auto _ : state) {
    state.PauseTiming();
    CopyLive(TorusSoup(), *model);
    state.ResumeTiming();
    benchmark::DoNotOptimize(reference::CompactModel(*model, kCompactMerge | kCompactRebuildLines));
  }
  if (model->pointCount != 9999 || model->lineCount != 19998) state.SkipWithError("wrong weld");
}
BENCHMARK(BM_CompactModel_Merge_Reference)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RelinkFaces(benchmark::State& state) {
  auto document = TorusDocument();
  for (auto _ : state) RelinkFaces(document->model);
}
BENCHMARK(BM_RelinkFaces)->Unit(benchmark::kMillisecond);

void BM_RefreshNormals(benchmark::State& state) {
  auto document = TorusDocument();
  for (auto _ : state) RefreshNormals(document->model, kNormalsAngleSmoothed, true);
}
BENCHMARK(BM_RefreshNormals)->Unit(benchmark::kMillisecond);

void BM_RefreshSelection(benchmark::State& state) {
  auto document = TorusDocument();
  for (auto _ : state) RefreshSelection(*document);
}
BENCHMARK(BM_RefreshSelection)->Unit(benchmark::kMillisecond);

void BM_PushUndo(benchmark::State& state) {
  auto document = TorusDocument();
  for (auto _ : state) PushUndo(*document, 1);
}
BENCHMARK(BM_PushUndo)->Unit(benchmark::kMillisecond);

// One whole edit as a delete command runs it: mark a few points with the
// lines and surfaces on them, purge, refresh selection and normals, push.
void BM_EditSequence(benchmark::State& state) {
  auto document = TorusDocument();
  auto original = std::make_unique<Model>();
  CopyLive(document->model, *original);
  Model& model = document->model;
  for (auto _ : state) {
    state.PauseTiming();
    CopyLive(*original, model);
    state.ResumeTiming();
    for (int p = 500; p <= 9500; p += 1000) model.points[p].state = kStateRemoved;
    for (int l = 1; l <= model.lineCount; ++l) {
      LINE& line = model.lines[l];
      if (model.points[line.a].state == kStateRemoved || model.points[line.b].state == kStateRemoved) {
        line.state = kStateRemoved;
      }
    }
    for (int s = 1; s <= model.faceCount; ++s) {
      FACE& face = model.faces[s];
      for (int32_t corner : face.corners) {
        if (model.points[corner].state == kStateRemoved) face.state = kStateRemoved;
      }
    }
    PurgeMarked(model);
    RefreshSelection(*document);
    RefreshNormals(*document, kNormalsAngleSmoothed);
    PushUndo(*document, 1);
  }
}
BENCHMARK(BM_EditSequence)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexal
