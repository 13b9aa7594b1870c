// DXF and ROK import and every writer of the DXF, ROK, VRML, X and XSI
// formats on the largest closed quad model (a 99 x 101 torus: 9,999 quads,
// 9,999 points, 19,998 lines); DXF import side by side with assimp
// (ReadFile with JoinIdenticalVertices) on the same 3DFACE file.
//
// Imports report bytes per second of the file read; the 3DFACE file holds
// every corner of every quad (39,996 corners merged back to 9,999 points).
#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "formats/dxf_format.h"
#include "formats/rok_format.h"
#include "formats/scene_export.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "settings/settings.h"
#include "support/test_models.h"

#ifdef VEXAL_HAVE_ASSIMP
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#endif

namespace vexal {
namespace {

// Files go to memory when the system offers it, so that export times measure
// our formatting and the commit rather than the disk's flush.
std::string ScratchPath(const char* name) {
  const char* folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(folder) + "/vexal_dxf_bench_" + std::to_string(::getpid()) + "_" + name;
}

const Settings& DefaultSettings() {
  static const Settings settings;
  return settings;
}

// The quad torus with normals, every point its own mirror partner (so the
// ROK writer keeps all of it) and the surfaces spread over materials 0..12.
std::unique_ptr<Document> LimitDocument() {
  auto document = std::make_unique<Document>();
  Model& model = document->model;
  testing::QuadTorus(model, 99, 101);
  for (int i = 1; i <= model.pointCount; ++i) model.points[i].mirror = i;
  for (int f = 1; f <= model.faceCount; ++f) model.faces[f].material = f % 13;
  RefreshNormals(model, kNormalsFace | kNormalsAngleSmoothed, true);
  return document;
}

// The same torus in material 0 alone: one polyface mesh.
std::unique_ptr<Document> OneMaterialDocument() {
  auto document = LimitDocument();
  for (int f = 1; f <= document->model.faceCount; ++f) document->model.faces[f].material = 0;
  return document;
}

std::string WrittenFile(const char* name, WriterFunction save,
                        std::unique_ptr<Document> (*build)() = LimitDocument) {
  const std::string path = ScratchPath(name);
  FormatContext context;
  context.settings = &DefaultSettings();
  if (!save(*build(), path, context)) return {};
  return path;
}

int64_t FileSize(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? static_cast<int64_t>(info.st_size) : 0;
}

void Export(benchmark::State& state, WriterFunction save, const char* name) {
  const auto document = LimitDocument();
  const std::string path = ScratchPath(name);
  FormatContext context;
  context.settings = &DefaultSettings();
  for (auto _ : state) {
    if (!save(*document, path, context)) state.SkipWithError(context.reason.c_str());
  }
  state.SetBytesProcessed(state.iterations() * FileSize(path));
  ::unlink(path.c_str());
}

void Import(benchmark::State& state, WriterFunction save, ReaderFunction load, const char* name,
            int expectedPoints, std::unique_ptr<Document> (*build)() = LimitDocument) {
  const std::string path = WrittenFile(name, save, build);
  auto document = std::make_unique<Document>();
  FormatContext context;
  context.settings = &DefaultSettings();
  for (auto _ : state) {
    if (!load(*document, path, context)) state.SkipWithError(context.reason.c_str());
  }
  if (document->model.pointCount != expectedPoints) state.SkipWithError("wrong point count");
  state.SetBytesProcessed(state.iterations() * FileSize(path));
  state.counters["surfaces"] = document->model.faceCount;
  ::unlink(path.c_str());
}

void BM_Dxf3DFaceImport(benchmark::State& state) {
  Import(state, SaveDxf3DFaceFile, LoadDxfFile, "in_faces.dxf", 9999);
}
// One mesh: the polyface reader merges no points across meshes, so the
// thirteen-material torus would pass the point limit.
void BM_DxfPolylineImport(benchmark::State& state) {
  Import(state, SaveDxfPolylineFile, LoadDxfFile, "in_poly.dxf", 9999, OneMaterialDocument);
}
void BM_RokImport(benchmark::State& state) { Import(state, SaveRokFile, LoadRokFile, "in.rok", 9999); }

void BM_Dxf3DFaceExport(benchmark::State& state) { Export(state, SaveDxf3DFaceFile, "out_faces.dxf"); }
void BM_DxfPolylineExport(benchmark::State& state) { Export(state, SaveDxfPolylineFile, "out_poly.dxf"); }
void BM_RokExport(benchmark::State& state) { Export(state, SaveRokFile, "out.rok"); }
void BM_VrmlExport(benchmark::State& state) { Export(state, SaveVrmlFile, "out.wrl"); }
void BM_XExport(benchmark::State& state) { Export(state, SaveXFile, "out.x"); }
void BM_XsiExport(benchmark::State& state) { Export(state, SaveXsiFile, "out.xsi"); }

BENCHMARK(BM_Dxf3DFaceImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DxfPolylineImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RokImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Dxf3DFaceExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DxfPolylineExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RokExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VrmlExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XsiExport)->Unit(benchmark::kMillisecond);

#ifdef VEXAL_HAVE_ASSIMP
void BM_Dxf3DFaceImportAssimp(benchmark::State& state) {
  const std::string path = WrittenFile("assimp.dxf", SaveDxf3DFaceFile);
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
  state.SetBytesProcessed(state.iterations() * FileSize(path));
  state.counters["vertices"] = vertices;
  ::unlink(path.c_str());
}
BENCHMARK(BM_Dxf3DFaceImportAssimp)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace vexal
