// The timing loops the format benchmarks share: a writer, a reader (through
// the dispatcher's path) and assimp on the same file.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "formats/format.h"
#include "model/document.h"
#include "support/bench_files.h"

#ifdef VEXAL_HAVE_ASSIMP
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <assimp/Importer.hpp>
#endif

namespace vexal::bench {

// Writes document with save each iteration; reports the file's bytes.
inline void ExportLoop(benchmark::State& state, WriterFunction save, const Document& document,
                       const std::string& name, const Settings& settings = testing::DefaultSettings()) {
  const std::string path = testing::BenchScratchPath(name);
  FormatContext context;
  context.settings = &settings;
  // Writers take the document by reference but leave it alone.
  Document& target = const_cast<Document&>(document);
  for (auto _ : state) {
    if (!save(target, path, context)) state.SkipWithError(context.reason.c_str());
  }
  state.SetBytesProcessed(state.iterations() * testing::FileSize(path));
}

// Reads path with reader each iteration as the open dispatcher does.
// expectedPoints > 0: the model must load with that many points; 0: the
// file must be refused (the figure is the time to the refusal).
inline void ImportLoop(benchmark::State& state, ReaderFunction reader, const std::string& path,
                       int expectedPoints) {
  auto document = std::make_unique<Document>();
  testing::FileLoader loader;
  FormatContext context;
  context.settings = &testing::DefaultSettings();
  const int expected = expectedPoints > 0 ? 1 : 0;
  for (auto _ : state) {
    if (loader.load(*document, path, reader, context) != expected) {
      state.SkipWithError(expected ? context.reason.c_str() : "the file was not refused");
    }
  }
  if (expected && document->model.pointCount != expectedPoints) {
    state.SkipWithError("wrong point count");
  }
  state.SetBytesProcessed(state.iterations() * testing::FileSize(path));
  state.counters["surfaces"] = document->model.faceCount;
}

#ifdef VEXAL_HAVE_ASSIMP
// assimp's ReadFile on the same file each iteration.
inline void AssimpLoop(benchmark::State& state, const std::string& path,
                       unsigned flags = aiProcess_JoinIdenticalVertices) {
  unsigned vertices = 0;
  unsigned faces = 0;
  for (auto _ : state) {
    Assimp::Importer importer;
    const aiScene* scene = importer.ReadFile(path, flags);
    if (!scene) {
      state.SkipWithError(importer.GetErrorString());
      break;
    }
    vertices = faces = 0;
    for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
      vertices += scene->mMeshes[m]->mNumVertices;
      faces += scene->mMeshes[m]->mNumFaces;
    }
  }
  state.SetBytesProcessed(state.iterations() * testing::FileSize(path));
  state.counters["vertices"] = vertices;
  state.counters["surfaces"] = faces;
}
#endif

}  // namespace vexal::bench
