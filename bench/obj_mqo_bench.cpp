// OBJ and MQO import and export, and OBJ import side by side with assimp
// (Importer::ReadFile with and without JoinIdenticalVertices) on the same
// files.
//
// Files:
// - a generated OBJ of 19,900 quads (a closed 100 x 199 torus, one v, vt
//   and vn line per point, "f a/a/a ..." faces; about 3 MB). Its 39,800
//   edges are more than the line table holds, so the whole import ends in a
//   refusal when the rebuilt lines pass 19,999: that figure is the parse plus
//   the rebuild up to the limit.
// - the largest closed quad model that does import (99 x 101 = 9,999 quads,
//   19,998 lines), written by our own OBJ and MQO writers.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench_loops.h"
#include "formats/mqo_format.h"
#include "formats/obj_format.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "settings/settings.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using testing::BenchScratchPath;
using testing::DefaultSettings;
using testing::FileSize;

// The 19,900-quad torus as OBJ text with texture coordinates and normals.
const std::string& GeneratedObjText() {
  static const std::string text = [] {
    const int rows = 100;
    const int columns = 199;
    const double pi = 3.14159265358979323846;
    std::string out;
    out.reserve(3200000);
    char line[128];
    out += "# torus of 19900 quads\n";
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        const double u = 2 * pi * r / rows;
        const double v = 2 * pi * c / columns;
        const double radius = 3.0 + std::cos(u);
        std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\n", radius * std::cos(v), std::sin(u),
                      radius * std::sin(v));
        out += line;
        std::snprintf(line, sizeof line, "vt %.6f %.6f\n", static_cast<double>(c) / columns,
                      static_cast<double>(r) / rows);
        out += line;
        std::snprintf(line, sizeof line, "vn %.6f %.6f %.6f\n", std::cos(u) * std::cos(v), std::sin(u),
                      std::cos(u) * std::sin(v));
        out += line;
      }
    }
    out += "g torus\nusemtl skin\n";
    const auto index = [&](int r, int c) { return (r % rows) * columns + (c % columns) + 1; };
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        const int a = index(r, c), b = index(r + 1, c), d = index(r + 1, c + 1), e = index(r, c + 1);
        std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, b, b, b, d, d, d, e,
                      e, e);
        out += line;
      }
    }
    return out;
  }();
  return text;
}

const std::string& GeneratedObjFile() {
  static const std::string path = [] {
    const std::string file = BenchScratchPath("torus19900.obj");
    std::ofstream(file, std::ios::binary) << GeneratedObjText();
    return file;
  }();
  return path;
}

// The 9,999-quad torus written by one of our writers, with UVs and normals.
std::string LimitModelFile(const char* name, WriterFunction save) {
  auto document = testing::QuadLimitDocument();
  Model& model = document->model;
  for (int s = 1; s <= model.faceCount; ++s) {
    for (int j = 0; j < 4; ++j) model.faces[s].uv[j] = UV(j & 1 ? 1.0f : 0.0f, j & 2 ? 1.0f : 0.0f);
  }
  return testing::WrittenFile(name, save, *document);
}

const std::string& LimitObjFile() {
  static const std::string path = LimitModelFile("torus9999.obj", SaveObjFile);
  return path;
}

const std::string& LimitMqoFile() {
  static const std::string path = LimitModelFile("torus9999.mqo", SaveMqoFile);
  return path;
}

void BM_ObjParse19900Quads(benchmark::State& state) {
  const std::string& text = GeneratedObjText();
  FormatContext context;
  context.settings = &DefaultSettings();
  ObjCounts counts;
  for (auto _ : state) {
    if (!ParseObjText(text, counts, context)) state.SkipWithError(context.reason.c_str());
    benchmark::DoNotOptimize(counts);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["quads"] = counts.surfaces;
}
BENCHMARK(BM_ObjParse19900Quads)->Unit(benchmark::kMillisecond);

// The same text with CR LF line ends, as text-mode writers (ours included)
// produce them.
void BM_ObjParse19900QuadsCrLf(benchmark::State& state) {
  static const std::string text = [] {
    std::string out;
    for (char c : GeneratedObjText()) {
      if (c == '\n') out += '\r';
      out += c;
    }
    return out;
  }();
  FormatContext context;
  context.settings = &DefaultSettings();
  ObjCounts counts;
  for (auto _ : state) {
    if (!ParseObjText(text, counts, context)) state.SkipWithError(context.reason.c_str());
    benchmark::DoNotOptimize(counts);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ObjParse19900QuadsCrLf)->Unit(benchmark::kMillisecond);

void BM_ObjImport19900QuadsUntilLineLimit(benchmark::State& state) {
  const std::string& path = GeneratedObjFile();
  auto document = std::make_unique<Document>();
  testing::FileLoader loader;
  FormatContext context;
  context.settings = &DefaultSettings();
  int result = 0;
  for (auto _ : state) {
    result = loader.load(*document, path, ReadObjBytes, context);
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize(path)));
  state.SetLabel(result ? "loaded" : "refused: " + context.reason);
}
BENCHMARK(BM_ObjImport19900QuadsUntilLineLimit)->Unit(benchmark::kMillisecond);

void BM_ObjImport9999Quads(benchmark::State& state) {
  bench::ImportLoop(state, ReadObjBytes, LimitObjFile(), 9999);
}
BENCHMARK(BM_ObjImport9999Quads)->Unit(benchmark::kMillisecond);

void BM_MqoImport9999Quads(benchmark::State& state) {
  bench::ImportLoop(state, ReadMqoBytes, LimitMqoFile(), 9999);
}
BENCHMARK(BM_MqoImport9999Quads)->Unit(benchmark::kMillisecond);

void Export(benchmark::State& state, WriterFunction save, const char* name, int exportGroup) {
  Settings settings;
  settings.ObjExportGroup = exportGroup;
  settings.ObjExportMaterial = exportGroup;
  bench::ExportLoop(state, save, *testing::QuadLimitDocument(), name, settings);
}

void BM_ObjExport9999Quads(benchmark::State& state) { Export(state, SaveObjFile, "export.obj", 0); }
BENCHMARK(BM_ObjExport9999Quads)->Unit(benchmark::kMillisecond);
void BM_ObjExportWithLibrary9999Quads(benchmark::State& state) { Export(state, SaveObjFile, "export2.obj", 1); }
BENCHMARK(BM_ObjExportWithLibrary9999Quads)->Unit(benchmark::kMillisecond);
void BM_MqoExport9999Quads(benchmark::State& state) { Export(state, SaveMqoFile, "export.mqo", 0); }
BENCHMARK(BM_MqoExport9999Quads)->Unit(benchmark::kMillisecond);

#ifdef VEXAL_HAVE_ASSIMP
void Assimp(benchmark::State& state, const std::string& path, unsigned flags) {
  bench::AssimpLoop(state, path, flags);
}
void BM_AssimpObj19900QuadsJoin(benchmark::State& state) {
  Assimp(state, GeneratedObjFile(), aiProcess_JoinIdenticalVertices);
}
BENCHMARK(BM_AssimpObj19900QuadsJoin)->Unit(benchmark::kMillisecond);
void BM_AssimpObj19900Quads(benchmark::State& state) { Assimp(state, GeneratedObjFile(), 0); }
BENCHMARK(BM_AssimpObj19900Quads)->Unit(benchmark::kMillisecond);
void BM_AssimpObj9999QuadsJoin(benchmark::State& state) {
  Assimp(state, LimitObjFile(), aiProcess_JoinIdenticalVertices);
}
BENCHMARK(BM_AssimpObj9999QuadsJoin)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace vexal
