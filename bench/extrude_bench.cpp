// Extrusion of a selected torus, the step a Ctrl (or Shift) press in a
// transform tool takes before the drag: the 49 x 51 torus (2,499 quads,
// 4,998 lines), whole or with half of its rings selected, and the largest
// 99 x 101 torus (9,999 quads, 19,998 lines). A closed surface selected
// whole has no border, so an extrusion appends nothing there and the whole
// surface moves; a copy or a 3D extrusion of the large torus would need
// 19,998 more lines and is refused before any change. Each figure includes
// the undo step; the model is put back (Undo) outside the timing.
#include <benchmark/benchmark.h>

#include <memory>

#include "model/document.h"
#include "model/maintenance.h"
#include "support/test_models.h"
#include "tools/extrude.h"

namespace vexal {
namespace {

// rows x columns torus with its points selected, in rows [0, selectedRows).
std::unique_ptr<Document> SelectedTorus(int rows, int columns, int selectedRows) {
  auto document = std::make_unique<Document>();
  InitializeDocument(*document);
  testing::QuadTorus(document->model, rows, columns);
  Model& model = document->model;
  for (int p = 1; p <= selectedRows * columns; ++p) model.points[p].state = kStateSelected;
  RefreshSelection(*document);
  RefreshNormals(*document, kNormalsAngleSmoothed);
  ResetUndo(*document);
  return document;
}

// Arguments: rows, columns, selected rows, mode.
void BM_ExtrudeTorus(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  const int columns = static_cast<int>(state.range(1));
  auto document = SelectedTorus(rows, columns, static_cast<int>(state.range(2)));
  const int mode = static_cast<int>(state.range(3));
  const int before = document->model.lineCount;
  int added = 0;
  bool refused = false;
  for (auto _ : state) {
    refused = !ExtrudeSelection(*document, mode);
    state.PauseTiming();
    added = document->model.lineCount - before;
    if (!refused) StepUndo(*document, -1);
    state.ResumeTiming();
  }
  state.counters["refused"] = refused ? 1 : 0;
  state.counters["lines_added"] = added;
}
BENCHMARK(BM_ExtrudeTorus)
    ->ArgNames({"rows", "columns", "selected", "mode"})
    ->Args({49, 51, 49, 2})
    ->Args({49, 51, 24, 2})
    ->Args({49, 51, 49, 3})
    ->Args({99, 101, 99, 2})
    ->Args({99, 101, 99, 1})
    ->Args({99, 101, 99, 3})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexal
