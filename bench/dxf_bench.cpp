// DXF and ROK import and every writer of the DXF, ROK, VRML, X and XSI
// formats on the largest closed quad model (a 99 x 101 torus: 9,999 quads,
// 9,999 points, 19,998 lines); DXF import side by side with assimp
// (ReadFile with JoinIdenticalVertices) on the same 3DFACE and POLYLINE
// files.
//
// Imports report bytes per second of the file read; the 3DFACE file holds
// every corner of every quad (39,996 corners merged back to 9,999 points).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench_loops.h"
#include "formats/dxf_format.h"
#include "formats/rok_format.h"
#include "formats/scene_export.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "settings/settings.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using bench::ExportLoop;
using bench::ImportLoop;

// The quad torus with normals, every point its own mirror partner (so the
// ROK writer keeps all of it) and the surfaces spread over materials 0..12.
std::unique_ptr<Document> LimitDocument() {
  auto document = testing::QuadLimitDocument();
  Model& model = document->model;
  for (int i = 1; i <= model.pointCount; ++i) model.points[i].mirror = i;
  for (int f = 1; f <= model.faceCount; ++f) model.faces[f].material = f % 13;
  return document;
}

// The same torus in material 0 alone: one polyface mesh.
std::unique_ptr<Document> OneMaterialDocument() {
  auto document = LimitDocument();
  for (int f = 1; f <= document->model.faceCount; ++f) document->model.faces[f].material = 0;
  return document;
}

const std::string& FacesFile() {
  static const std::string path = testing::WrittenFile("in_faces.dxf", SaveDxf3DFaceFile, *LimitDocument());
  return path;
}
// One mesh: the polyface reader merges no points across meshes, so the
// thirteen-material torus would pass the point limit.
const std::string& PolylineFile() {
  static const std::string path =
      testing::WrittenFile("in_poly.dxf", SaveDxfPolylineFile, *OneMaterialDocument());
  return path;
}

void Export(benchmark::State& state, WriterFunction save, const char* name) {
  ExportLoop(state, save, *LimitDocument(), name);
}

void BM_Dxf3DFaceImport(benchmark::State& state) { ImportLoop(state, ReadDxfBytes, FacesFile(), 9999); }
void BM_DxfPolylineImport(benchmark::State& state) {
  ImportLoop(state, ReadDxfBytes, PolylineFile(), 9999);
}
void BM_RokImport(benchmark::State& state) {
  static const std::string path = testing::WrittenFile("in.rok", SaveRokFile, *LimitDocument());
  ImportLoop(state, ReadRokBytes, path, 9999);
}

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
void BM_Dxf3DFaceImportAssimp(benchmark::State& state) { bench::AssimpLoop(state, FacesFile()); }
void BM_DxfPolylineImportAssimp(benchmark::State& state) { bench::AssimpLoop(state, PolylineFile()); }
BENCHMARK(BM_Dxf3DFaceImportAssimp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DxfPolylineImportAssimp)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace vexal
