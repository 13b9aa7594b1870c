// The topology and clipboard commands on whole models at the table limits,
// each run through the command dispatcher with its whole edit frame
// (maintenance, undo step): Triangulate of the 6,666-quad torus (13,332
// triangles and 19,998 lines after), Quadrangulate of the 13,332-triangle
// torus back to quads, Triangulate of the 9,999-quad torus refused (it
// would need 29,997 lines), and Copy + Paste of a 4,998-quad torus (a
// 4,999-quad torus has no rows x columns shape; doubled it holds 9,996
// quads and 19,992 lines), Subdivide of the 2,499-quad torus (9,996 quads
// and 19,992 lines after), and one move of a Paint stroke over the 9,999-quad
// torus.
#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

#include "commands/command_dispatcher.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/camera.h"
#include "support/test_models.h"
#include "tools/tool_dispatch.h"

namespace vexal {
namespace {

struct Session {
  Workspace workspace;
  std::unique_ptr<Document> document = std::make_unique<Document>();
  std::unique_ptr<Model> start;
  CommandTarget target;

  explicit Session(const std::function<void(Model&)>& build) {
    InitializeDocument(*document);
    build(document->model);
    Model& model = document->model;
    for (int p = 1; p <= model.pointCount; ++p) model.points[p].state = kStateSelected;
    RefreshSelection(*document);
    RefreshNormals(*document, kNormalsAngleSmoothed);
    ResetUndo(*document);
    start = std::make_unique<Model>(model);
    target.document = document.get();
    target.documentCount = 1;
    target.workspace = &workspace;
  }
  void restore() {
    Model& model = document->model;
    model.pointCount = start->pointCount;
    model.lineCount = start->lineCount;
    model.faceCount = start->faceCount;
    std::copy(start->points.begin(), start->points.end(), model.points.begin());
    std::copy(start->lines.begin(), start->lines.end(), model.lines.begin());
    std::copy(start->faces.begin(), start->faces.end(), model.faces.begin());
    RefreshSelection(*document);
  }
};

void RunOnFreshModel(benchmark::State& state, Session& session, const char* command,
                     CommandStatus expected) {
  for (auto _ : state) {
    state.PauseTiming();
    session.restore();
    state.ResumeTiming();
    const CommandResult result = RunCommand(command, session.target);
    if (result.status != expected) state.SkipWithError(result.refusal.reason.c_str());
  }
}

void BM_TriangulateWholeQuadTorus6666(benchmark::State& state) {
  Session session([](Model& m) { testing::QuadTorus(m, 66, 101); });
  RunOnFreshModel(state, session, "TriangleItem", CommandStatus::kDone);
  state.counters["lines"] = session.document->model.lineCount;
}
BENCHMARK(BM_TriangulateWholeQuadTorus6666)->Unit(benchmark::kMillisecond);

void BM_QuadrangulateWholeTriangleTorus13332(benchmark::State& state) {
  Session session([](Model& m) { testing::TriangleTorus(m, 66, 101); });
  RunOnFreshModel(state, session, "QuadrangulateItem", CommandStatus::kDone);
  state.counters["surfaces"] = session.document->model.faceCount;
}
BENCHMARK(BM_QuadrangulateWholeTriangleTorus13332)->Unit(benchmark::kMillisecond);

void BM_TriangulateRefusedQuadTorus9999(benchmark::State& state) {
  Session session([](Model& m) { testing::QuadTorus(m, 99, 101); });
  RunOnFreshModel(state, session, "TriangleItem", CommandStatus::kRefused);
  if (session.document->model.faceCount != 9999) state.SkipWithError("the model changed");
}
BENCHMARK(BM_TriangulateRefusedQuadTorus9999)->Unit(benchmark::kMillisecond);

void BM_CopyPasteWholeQuadTorus4998(benchmark::State& state) {
  Session session([](Model& m) { testing::QuadTorus(m, 49, 102); });
  for (auto _ : state) {
    state.PauseTiming();
    session.restore();
    state.ResumeTiming();
    if (!RunCommand("CopyItem", session.target).ok() ||
        !RunCommand("PasteItem", session.target).ok()) {
      state.SkipWithError("copy or paste failed");
    }
  }
  state.counters["lines"] = session.document->model.lineCount;
}
BENCHMARK(BM_CopyPasteWholeQuadTorus4998)->Unit(benchmark::kMillisecond);

void BM_SubdivideWholeQuadTorus2499(benchmark::State& state) {
  Session session([](Model& m) { testing::QuadTorus(m, 49, 51); });
  RunOnFreshModel(state, session, "SubDivideItem", CommandStatus::kDone);
  state.counters["lines"] = session.document->model.lineCount;
}
BENCHMARK(BM_SubdivideWholeQuadTorus2499)->Unit(benchmark::kMillisecond);

// Each move paints the surface under the pointer with the other of two
// palette entries, so every step changes the model.
void BM_PaintStrokeStep(benchmark::State& state) {
  Session session([](Model& m) { testing::QuadTorus(m, 99, 101); });
  Document& document = *session.document;
  SetScreenSize(document.scene, 1024, 768);
  document.scene.angle = VECTOR(30, 15, 0);
  document.scene.zoom = 0.45f;
  SetTool(document, kToolPaint);
  // The pixel at the middle of a surface on the near side of the ring.
  const FACE& face = document.model.faces[25];
  VECTOR middle;
  for (int32_t c : face.corners) middle += document.model.points[c].position;
  const VECTOR at = ProjectPoint(document, middle * 0.25f, true);
  const int x = static_cast<int>(at.x), y = static_cast<int>(at.y);
  MousePress(document, session.workspace, {MouseButton::kLeft, kLeftHeld, x, y});
  int step = 0;
  for (auto _ : state) {
    document.scene.paletteIndex = ++step % 2 + 1;
    MouseMove(document, session.workspace, {MouseButton::kLeft, kLeftHeld, x, y});
  }
  if (document.mode.backup.x != 1.0f) state.SkipWithError("nothing was painted");
  MouseRelease(document, session.workspace, {MouseButton::kLeft, 0, x, y});
}
BENCHMARK(BM_PaintStrokeStep)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexal
