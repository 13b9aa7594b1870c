// FCW, MX and 3DS import and export at the size limits, and 3DS import side
// by side with assimp (ReadFile with JoinIdenticalVertices) on the same file.
//
// Models: the largest closed triangle torus whose lines still fit the table
// once a reader rebuilds them (66 x 101 x 2 = 13,332 triangles, 6,666 points,
// 19,998 lines) for the triangle formats, and the largest closed quad torus
// (99 x 101 = 9,999 quads, 19,998 lines) for MX and for export, where FCW
// and 3DS write it as 19,998 triangles.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "formats/3ds_format.h"
#include "formats/fcw_format.h"
#include "formats/mx_format.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "settings/settings.h"
#include "support/test_models.h"

#ifdef VEXAL_HAVE_ASSIMP
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#endif

namespace vexal {
namespace {

// Files go to memory when the system offers it, so that export times measure
// our formatting and the commit rather than the disk's flush.
std::string ScratchPath(const char* name) {
  const char* folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(folder) + "/vexal_bench_" + std::to_string(::getpid()) + "_" + name;
}

const Settings& DefaultSettings() {
  static const Settings settings;
  return settings;
}

std::unique_ptr<Document> QuadLimitDocument() {
  auto document = std::make_unique<Document>();
  testing::QuadTorus(document->model, 99, 101);
  RefreshNormals(document->model, kNormalsFace | kNormalsAngleSmoothed, true);
  return document;
}

std::unique_ptr<Document> TriangleLimitDocument() {
  auto document = std::make_unique<Document>();
  testing::TriangleTorus(document->model, 66, 101);
  RefreshNormals(document->model, kNormalsFace | kNormalsAngleSmoothed, true);
  return document;
}

// Writes the file once with `save` and returns its path.
std::string WrittenFile(const char* name, WriterFunction save, Document& document) {
  const std::string path = ScratchPath(name);
  FormatContext context;
  context.settings = &DefaultSettings();
  if (!save(document, path, context)) return {};
  return path;
}

void Export(benchmark::State& state, WriterFunction save, const char* name,
            std::unique_ptr<Document> (*build)()) {
  const auto document = build();
  const std::string path = ScratchPath(name);
  FormatContext context;
  context.settings = &DefaultSettings();
  for (auto _ : state) {
    if (!save(*document, path, context)) state.SkipWithError(context.reason.c_str());
  }
  ::unlink(path.c_str());
}

void Import(benchmark::State& state, WriterFunction save, ReaderFunction load, const char* name,
            std::unique_ptr<Document> (*build)(), int expectedPoints) {
  const std::string path = WrittenFile(name, save, *build());
  auto document = std::make_unique<Document>();
  FormatContext context;
  context.settings = &DefaultSettings();
  for (auto _ : state) {
    if (!load(*document, path, context)) state.SkipWithError(context.reason.c_str());
  }
  if (document->model.pointCount != expectedPoints) state.SkipWithError("wrong point count");
  state.counters["surfaces"] = document->model.faceCount;
  ::unlink(path.c_str());
}

void BM_FcwExport(benchmark::State& state) {
  Export(state, SaveFcwFile, "out.fcw", QuadLimitDocument);
}
void BM_FcwImport(benchmark::State& state) {
  Import(state, SaveFcwFile, LoadFcwFile, "in.fcw", TriangleLimitDocument, 6666);
}
void BM_MxExport(benchmark::State& state) {
  Export(state, SaveMxFile, "out.mx", QuadLimitDocument);
}
void BM_MxImport(benchmark::State& state) {
  Import(state, SaveMxFile, LoadMxFile, "in.mx", QuadLimitDocument, 9999);
}
void BM_3dsExport(benchmark::State& state) {
  Export(state, Save3dsFile, "out.3ds", QuadLimitDocument);
}
void BM_3dsImport(benchmark::State& state) {
  Import(state, Save3dsFile, Load3dsFile, "in.3ds", TriangleLimitDocument, 6666);
}

BENCHMARK(BM_FcwExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FcwImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MxExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MxImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_3dsExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_3dsImport)->Unit(benchmark::kMillisecond);

#ifdef VEXAL_HAVE_ASSIMP
void BM_3dsImportAssimp(benchmark::State& state) {
  const std::string path = WrittenFile("assimp.3ds", Save3dsFile, *TriangleLimitDocument());
  unsigned vertices = 0;
  for (auto _ : state) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, aiProcess_JoinIdenticalVertices);
    if (!scene) {
      state.SkipWithError(importer.GetErrorString());
      break;
    }
    vertices = 0;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) vertices += scene->mMeshes[m]->mNumVertices;
  }
  state.counters["vertices"] = vertices;
  ::unlink(path.c_str());
}
BENCHMARK(BM_3dsImportAssimp)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace vexal
