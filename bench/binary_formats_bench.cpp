// FCW, MX and 3DS import and export at the size limits, and 3DS import side
// by side with assimp (ReadFile with JoinIdenticalVertices) on the same file.
//
// Models: the largest closed triangle torus whose lines still fit the table
// once a reader rebuilds them (66 x 101 x 2 = 13,332 triangles, 6,666 points,
// 19,998 lines) for the triangle formats, and the largest closed quad torus
// (99 x 101 = 9,999 quads, 19,998 lines) for MX and for export, where FCW
// and 3DS write it as 19,998 triangles.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench_loops.h"
#include "formats/3ds_format.h"
#include "formats/fcw_format.h"
#include "formats/mx_format.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "settings/settings.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using bench::ExportLoop;
using bench::ImportLoop;
using testing::QuadLimitDocument;
using testing::TriangleLimitDocument;
using testing::WrittenFile;

void BM_FcwExport(benchmark::State& state) {
  ExportLoop(state, SaveFcwFile, *QuadLimitDocument(), "out.fcw");
}
void BM_FcwImport(benchmark::State& state) {
  ImportLoop(state, ReadFcwBytes, WrittenFile("in.fcw", SaveFcwFile, *TriangleLimitDocument()), 6666);
}
void BM_MxExport(benchmark::State& state) {
  ExportLoop(state, SaveMxFile, *QuadLimitDocument(), "out.mx");
}
void BM_MxImport(benchmark::State& state) {
  ImportLoop(state, ReadMxBytes, WrittenFile("in.mx", SaveMxFile, *QuadLimitDocument()), 9999);
}
void BM_3dsExport(benchmark::State& state) {
  ExportLoop(state, Save3dsFile, *QuadLimitDocument(), "out.3ds");
}
void BM_3dsImport(benchmark::State& state) {
  ImportLoop(state, Read3dsBytes, WrittenFile("in.3ds", Save3dsFile, *TriangleLimitDocument()), 6666);
}

BENCHMARK(BM_FcwExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FcwImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MxExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MxImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_3dsExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_3dsImport)->Unit(benchmark::kMillisecond);

#ifdef VEXAL_HAVE_ASSIMP
void BM_3dsImportAssimp(benchmark::State& state) {
  bench::AssimpLoop(state, WrittenFile("assimp.3ds", Save3dsFile, *TriangleLimitDocument()));
}
BENCHMARK(BM_3dsImportAssimp)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace vexal
