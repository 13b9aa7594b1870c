// Welding and mirroring at the size limits: a torus soup of 19,992 points
// (each place held by four points) plus seven loose points, all selected;
// the closed 9,999-quad torus; and a 4,998-quad torus at x > 0 mirrored to
// 19,992 lines. The literal all-pairs versions run beside the fast ones.
#include <benchmark/benchmark.h>

#include <memory>

#include "commands/mirror.h"
#include "model/weld.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "support/model_copy.h"
#include "support/reference_weld.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using testing::CopyLive;

struct Selected {
  std::unique_ptr<Document> document = std::make_unique<Document>();
  WeldSelection selection;
};

void SelectAll(Selected& s) {
  Model& model = s.document->model;
  for (int p = 1; p <= model.pointCount; ++p) model.points[p].state = kStateSelected;
  RefreshSelection(*s.document);
  s.selection = {s.document->scene.selectedCount, s.document->scene.mirrorSelection,
                 s.document->scene.handle};
}

// 19,999 points: the soup of a 49 x 102 torus with its lines rebuilt, and
// seven loose copies of its first points.
const Selected& FullSoup() {
  static const Selected soup = [] {
    Selected s;
    Model& model = s.document->model;
    testing::QuadTorusSoup(model, 49, 102);
    CompactModel(model, kCompactRebuildLines);
    for (int k = 1; k <= 7; ++k) {
      const VECTOR p = model.points[k].position;
      SetPoint(model, model.pointCount + 1, p.x, p.y, p.z, 0, 0);
      ++model.pointCount;
    }
    SelectAll(s);
    return s;
  }();
  return soup;
}

const Selected& FullTorus() {
  static const Selected torus = [] {
    Selected s;
    testing::QuadTorus(s.document->model, 99, 101);
    SelectAll(s);
    return s;
  }();
  return torus;
}

// The torus scaled to nothing: 9,999 selected points at one position, the
// worst case of the sort's tie-breaks.
const Selected& CollapsedTorus() {
  static const Selected torus = [] {
    Selected s;
    testing::QuadTorus(s.document->model, 99, 101);
    ScaleModel(s.document->model, 0, 0, 0);
    SelectAll(s);
    return s;
  }();
  return torus;
}

// Every other point of the torus moved to one spot: a long run of equal
// keys mixed with distinct ones.
const Selected& HalfCollapsedTorus() {
  static const Selected torus = [] {
    Selected s;
    testing::QuadTorus(s.document->model, 99, 101);
    Model& model = s.document->model;
    for (int p = 1; p <= model.pointCount; p += 2) model.points[p].position = VECTOR(0.25f, 0, 0);
    SelectAll(s);
    return s;
  }();
  return torus;
}

template <typename Weld>
void RunWeld(benchmark::State& state, const Selected& source, Weld weld) {
  auto model = std::make_unique<Model>();
  for (auto _ : state) {
    state.PauseTiming();
    CopyLive(source.document->model, *model);
    state.ResumeTiming();
    weld(*model, source.selection);
    benchmark::DoNotOptimize(model->pointCount);
  }
  state.counters["points"] = source.document->model.pointCount;
  state.counters["left"] = model->pointCount;
}

void BM_AttachSame_Soup19999(benchmark::State& state) {
  RunWeld(state, FullSoup(), [](Model& m, const WeldSelection& s) { return AttachSame(m, s); });
}
void BM_AttachSameLiteral_Soup19999(benchmark::State& state) {
  RunWeld(state, FullSoup(),
          [](Model& m, const WeldSelection& s) { return reference::AttachSame(m, s); });
}
void BM_AttachApproximate_Soup19999(benchmark::State& state) {
  RunWeld(state, FullSoup(),
          [](Model& m, const WeldSelection& s) { return AttachApproximate(m, s, 0.1f); });
}
void BM_AttachApproximateLiteral_Soup19999(benchmark::State& state) {
  RunWeld(state, FullSoup(), [](Model& m, const WeldSelection& s) {
    return reference::AttachApproximate(m, s, 0.1f);
  });
}
void BM_AttachSame_Torus9999(benchmark::State& state) {
  RunWeld(state, FullTorus(), [](Model& m, const WeldSelection& s) { return AttachSame(m, s); });
}
void BM_AttachApproximate_Torus9999(benchmark::State& state) {
  RunWeld(state, FullTorus(),
          [](Model& m, const WeldSelection& s) { return AttachApproximate(m, s, 0.1f); });
}
void BM_AttachSingle_Torus9999(benchmark::State& state) {
  RunWeld(state, FullTorus(), [](Model& m, const WeldSelection& s) { return AttachSingle(m, s); });
}
void BM_AttachSame_Collapsed9999(benchmark::State& state) {
  RunWeld(state, CollapsedTorus(), AttachSame);
}
BENCHMARK(BM_AttachSame_Collapsed9999)->Unit(benchmark::kMillisecond);
void BM_AttachSame_HalfCollapsed9999(benchmark::State& state) {
  RunWeld(state, HalfCollapsedTorus(), AttachSame);
}
BENCHMARK(BM_AttachSame_HalfCollapsed9999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AttachSame_Soup19999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AttachSameLiteral_Soup19999)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AttachApproximate_Soup19999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AttachApproximateLiteral_Soup19999)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_AttachSame_Torus9999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AttachApproximate_Torus9999)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AttachSingle_Torus9999)->Unit(benchmark::kMillisecond);

// 7 x 714 quads moved to x > 0, every point selected: 19,992 lines after.
void BM_MirrorSelection_4998Quads(benchmark::State& state) {
  Selected half;
  Model& source = half.document->model;
  testing::QuadTorus(source, 7, 714);
  for (int p = 1; p <= source.pointCount; ++p) source.points[p].position.x += 10;
  SelectAll(half);
  auto model = std::make_unique<Model>();
  for (auto _ : state) {
    state.PauseTiming();
    CopyLive(source, *model);
    state.ResumeTiming();
    benchmark::DoNotOptimize(MirrorSelection(*model));
  }
  state.counters["lines"] = model->lineCount;
}
BENCHMARK(BM_MirrorSelection_4998Quads)->Unit(benchmark::kMillisecond);

// The full torus has no room for one more line: the refusal must be quick.
void BM_MirrorSelection_FullTorusRefused(benchmark::State& state) {
  Model& model = FullTorus().document->model;
  for (auto _ : state) benchmark::DoNotOptimize(MirrorSelection(model));
}
BENCHMARK(BM_MirrorSelection_FullTorusRefused)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexal
