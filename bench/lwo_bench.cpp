// LWOB and LWO2 import and export at the size limits, and LWO2 import side by
// side with assimp (ReadFile with JoinIdenticalVertices) on the same file.
//
// Models: a closed torus of 100 x 199 = 19,900 quads on 19,900 points. Its
// 39,800 edges cannot fit the 19,999-line table, so our readers refuse it
// once the file is read (the figure is the time to that refusal); the
// largest quad model that loads is the 99 x 101 torus (9,999 quads, 19,998
// lines), measured as well. Exports write the 19,900-quad model.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>

#include "bench_loops.h"
#include "formats/lwo_format.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "settings/settings.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using bench::ExportLoop;
using bench::ImportLoop;
using testing::WrittenFile;

// 100 x 199 quads on shared points, no lines (the table could not hold them).
std::unique_ptr<Document> LargeQuadDocument() {
  auto document = std::make_unique<Document>();
  Model& model = document->model;
  ClearModel(model);
  const int rows = 100;
  const int columns = 199;
  const double pi = 3.14159265358979323846;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      const double u = 2 * pi * r / rows;
      const double v = 2 * pi * c / columns;
      const double radius = 3.0 + std::cos(u);
      SetPoint(model, r * columns + c + 1, static_cast<float>(radius * std::cos(v)),
               static_cast<float>(std::sin(u)), static_cast<float>(radius * std::sin(v)), 0, 0);
    }
  }
  model.pointCount = rows * columns;
  auto at = [&](int r, int c) { return (r % rows) * columns + (c % columns) + 1; };
  int surface = 0;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      ++surface;
      SetFace(model, surface, at(r, c), at(r, c + 1), at(r + 1, c + 1), at(r + 1, c),
              surface % 15, 0);
    }
  }
  model.faceCount = surface;
  return document;
}

std::unique_ptr<Document> LoadableQuadDocument() {
  auto document = std::make_unique<Document>();
  testing::QuadTorus(document->model, 99, 101);
  return document;
}

// The readers of the dispatcher's table (the names are overloaded).
constexpr ReaderFunction kReadLwob = ReadLwobBytes;
constexpr ReaderFunction kReadLwo2 = ReadLwo2Bytes;

void BM_LwobExport19900Quads(benchmark::State& state) {
  ExportLoop(state, SaveLwobFile, *LargeQuadDocument(), "out_b.lwo");
}
void BM_Lwo2Export19900Quads(benchmark::State& state) {
  ExportLoop(state, SaveLwo2File, *LargeQuadDocument(), "out_2.lwo");
}
void BM_LwobImport9999Quads(benchmark::State& state) {
  ImportLoop(state, kReadLwob, WrittenFile("in_b.lwo", SaveLwobFile, *LoadableQuadDocument()), 9999);
}
void BM_Lwo2Import9999Quads(benchmark::State& state) {
  ImportLoop(state, kReadLwo2, WrittenFile("in_2.lwo", SaveLwo2File, *LoadableQuadDocument()), 9999);
}
void BM_Lwo2Import19900QuadsRefused(benchmark::State& state) {
  ImportLoop(state, kReadLwo2, WrittenFile("big_2.lwo", SaveLwo2File, *LargeQuadDocument()), 0);
}

BENCHMARK(BM_LwobExport19900Quads)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lwo2Export19900Quads)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LwobImport9999Quads)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lwo2Import9999Quads)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lwo2Import19900QuadsRefused)->Unit(benchmark::kMillisecond);

#ifdef VEXAL_HAVE_ASSIMP
void AssimpImport(benchmark::State& state, std::unique_ptr<Document> (*build)(), const char* name) {
  bench::AssimpLoop(state, WrittenFile(name, SaveLwo2File, *build()));
}
void BM_Lwo2Import9999QuadsAssimp(benchmark::State& state) {
  AssimpImport(state, LoadableQuadDocument, "assimp_small.lwo");
}
void BM_Lwo2Import19900QuadsAssimp(benchmark::State& state) {
  AssimpImport(state, LargeQuadDocument, "assimp_big.lwo");
}
BENCHMARK(BM_Lwo2Import9999QuadsAssimp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Lwo2Import19900QuadsAssimp)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace vexal
