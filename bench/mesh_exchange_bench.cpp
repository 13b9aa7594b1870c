// glTF, GLB and STL export of the 9,999-quad torus and import of the
// 13,332-triangle torus, side by side with assimp reading the same files
// (ReadFile with JoinIdenticalVertices, as our readers merge corners), and
// the refusal of the 9,999-quad torus written as 19,998 triangles (29,997
// lines would be needed).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "formats/gltf_format.h"
#include "formats/stl_format.h"
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

std::string ScratchPath(const std::string& name) {
  const char* folder = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(folder) + "/vexal_bench_" + std::to_string(::getpid()) + "_" + name;
}

std::unique_ptr<Document> Torus(int rows, int columns, bool quads) {
  auto document = std::make_unique<Document>();
  if (quads) {
    testing::QuadTorus(document->model, rows, columns);
  } else {
    testing::TriangleTorus(document->model, rows, columns);
  }
  RefreshNormals(document->model, kNormalsFace | kNormalsAngleSmoothed, true);
  return document;
}

std::unique_ptr<Document> QuadLimit() {
  return Torus(99, 101, true);
}
std::unique_ptr<Document> TriangleLimit() {
  return Torus(66, 101, false);
}

// A whole-file load into a document.
using LoadFunction = int (*)(Document& document, const std::string& path, FormatContext& context);

// Writes the file once and returns its path ("" on failure).
std::string Written(const std::string& name, WriterFunction save, Document& document) {
  const std::string path = ScratchPath(name);
  FormatContext context;
  return save(document, path, context) == 1 ? path : std::string();
}

void Remove(const std::string& path) {
  ::unlink(path.c_str());
  if (path.size() > 5 && path.compare(path.size() - 5, 5, ".gltf") == 0) {
    ::unlink((path.substr(0, path.size() - 5) + ".bin").c_str());
  }
}

void Export(benchmark::State& state, WriterFunction save, const char* name) {
  const auto document = QuadLimit();
  const std::string path = ScratchPath(name);
  FormatContext context;
  for (auto _ : state) {
    if (!save(*document, path, context)) state.SkipWithError(context.reason.c_str());
  }
  Remove(path);
}

void Import(benchmark::State& state, WriterFunction save, LoadFunction load, const char* name) {
  const std::string path = Written(name, save, *TriangleLimit());
  auto document = std::make_unique<Document>();
  FormatContext context;
  for (auto _ : state) {
    if (!load(*document, path, context)) state.SkipWithError(context.reason.c_str());
  }
  if (document->model.pointCount != 6666 || document->model.faceCount != 13332) {
    state.SkipWithError("wrong counts");
  }
  Remove(path);
}

// The quad torus as triangles needs 29,997 lines: the reader must say no.
void Refusal(benchmark::State& state, WriterFunction save, LoadFunction load, const char* name) {
  const std::string path = Written(name, save, *QuadLimit());
  auto document = std::make_unique<Document>();
  FormatContext context;
  for (auto _ : state) {
    if (load(*document, path, context) != 0)
      state.SkipWithError("the 9,999-quad torus was accepted");
  }
  Remove(path);
}

void BM_GltfExport(benchmark::State& state) {
  Export(state, SaveGltfFile, "out.gltf");
}
void BM_GlbExport(benchmark::State& state) {
  Export(state, SaveGlbFile, "out.glb");
}
void BM_StlExport(benchmark::State& state) {
  Export(state, SaveStlFile, "out.stl");
}
void BM_StlAsciiExport(benchmark::State& state) {
  Export(state, SaveStlAsciiFile, "outa.stl");
}
void BM_GltfImport(benchmark::State& state) {
  Import(state, SaveGltfFile, LoadGltfFile, "in.gltf");
}
void BM_GlbImport(benchmark::State& state) {
  Import(state, SaveGlbFile, LoadGltfFile, "in.glb");
}
void BM_StlImport(benchmark::State& state) {
  Import(state, SaveStlFile, LoadStlFile, "in.stl");
}
void BM_StlAsciiImport(benchmark::State& state) {
  Import(state, SaveStlAsciiFile, LoadStlFile, "ina.stl");
}
void BM_GlbRefuseQuadTorus(benchmark::State& state) {
  Refusal(state, SaveGlbFile, LoadGltfFile, "q.glb");
}
void BM_StlRefuseQuadTorus(benchmark::State& state) {
  Refusal(state, SaveStlFile, LoadStlFile, "q.stl");
}

BENCHMARK(BM_GltfExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GlbExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StlExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StlAsciiExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GltfImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GlbImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StlImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StlAsciiImport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GlbRefuseQuadTorus)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StlRefuseQuadTorus)->Unit(benchmark::kMillisecond);

#ifdef VEXAL_HAVE_ASSIMP
void AssimpImport(benchmark::State& state, WriterFunction save, const char* name) {
  const std::string path = Written(name, save, *TriangleLimit());
  unsigned faces = 0;
  for (auto _ : state) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, aiProcess_JoinIdenticalVertices);
    if (!scene) {
      state.SkipWithError(importer.GetErrorString());
      break;
    }
    faces = 0;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) faces += scene->mMeshes[m]->mNumFaces;
  }
  if (faces != 13332) state.SkipWithError("assimp read other counts");
  Remove(path);
}
void BM_GltfImportAssimp(benchmark::State& state) {
  AssimpImport(state, SaveGltfFile, "assimp.gltf");
}
void BM_GlbImportAssimp(benchmark::State& state) {
  AssimpImport(state, SaveGlbFile, "assimp.glb");
}
void BM_StlImportAssimp(benchmark::State& state) {
  AssimpImport(state, SaveStlFile, "assimp.stl");
}
void BM_StlAsciiImportAssimp(benchmark::State& state) {
  AssimpImport(state, SaveStlAsciiFile, "assimpa.stl");
}
BENCHMARK(BM_GltfImportAssimp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GlbImportAssimp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StlImportAssimp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StlAsciiImportAssimp)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace vexal
