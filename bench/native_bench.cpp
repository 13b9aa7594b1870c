// Native document load and save at the table limits: the largest closed
// quad torus (99 x 101 = 9,999 points, 19,998 lines, 9,999 quads) and
// 19,999 loose points. Each should stay under 30 ms.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <memory>
#include <random>
#include <string>

#include "formats/native_format.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "support/test_models.h"

namespace vexal {
namespace {

// In memory when the system offers it, so that the figures measure our
// formatting and parsing rather than the disk.
std::string NativeScratchPath(const char* name) {
  const char* folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(folder) + "/vexal_native_bench_" + std::to_string(::getpid()) + "_" + name;
}

std::unique_ptr<Document> TorusDocument() {
  auto document = std::make_unique<Document>();
  testing::QuadTorus(document->model, 99, 101);
  return document;
}

std::unique_ptr<Document> LoosePointsDocument() {
  auto document = std::make_unique<Document>();
  Model& model = document->model;
  std::mt19937 random(3);
  std::uniform_real_distribution<float> coordinate(-50, 50);
  for (int i = 1; i <= kMaxCount; ++i) {
    SetPoint(model, i, coordinate(random), coordinate(random), coordinate(random), 0, 0);
  }
  model.pointCount = kMaxCount;
  return document;
}

void SaveBenchmark(benchmark::State& state, std::unique_ptr<Document> (*build)(),
                   const char* name) {
  auto document = build();
  const std::string path = NativeScratchPath(name);
  for (auto _ : state) {
    FormatContext context;
    if (SaveNativeFile(*document, path, context) != 1) state.SkipWithError(context.reason.c_str());
  }
  ::unlink(path.c_str());
}

void LoadBenchmark(benchmark::State& state, std::unique_ptr<Document> (*build)(),
                   const char* name) {
  auto source = build();
  const std::string path = NativeScratchPath(name);
  FormatContext context;
  if (SaveNativeFile(*source, path, context) != 1) {
    state.SkipWithError(context.reason.c_str());
    return;
  }
  auto document = std::make_unique<Document>();
  for (auto _ : state) {
    if (LoadNativeFile(*document, path, context) != 1) state.SkipWithError(context.reason.c_str());
  }
  if (document->model.pointCount != source->model.pointCount) state.SkipWithError("count mismatch");
  ::unlink(path.c_str());
}

void BM_NativeSaveTorus(benchmark::State& state) {
  SaveBenchmark(state, TorusDocument, "torus_save.vxl");
}
void BM_NativeLoadTorus(benchmark::State& state) {
  LoadBenchmark(state, TorusDocument, "torus_load.vxl");
}
void BM_NativeSaveLoosePoints(benchmark::State& state) {
  SaveBenchmark(state, LoosePointsDocument, "points_save.vxl");
}
void BM_NativeLoadLoosePoints(benchmark::State& state) {
  LoadBenchmark(state, LoosePointsDocument, "points_load.vxl");
}

BENCHMARK(BM_NativeSaveTorus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NativeLoadTorus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NativeSaveLoosePoints)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NativeLoadLoosePoints)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexal
