// Frames per second of the OpenGL renderer off-screen (EGL, Mesa llvmpipe)
// for the "Show All" view (faces, lines, points), lit and smoothed, of the
// closed 9,999-quad torus at 1024 x 768: batched vertex arrays against one
// glBegin/glEnd per polygon. Skipped when no OpenGL context can be had.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <memory>
#include <string>

#include "model/document.h"
#include "model/maintenance.h"
#include "support/test_models.h"
#include "view/gl_offscreen.h"
#include "model/camera.h"

namespace vexal {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

struct Fixture {
  std::unique_ptr<OffscreenGLView> view;
  std::unique_ptr<Document> document;
  GLRenderBuffers buffers;
  std::string failure;
};

Fixture& Shared() {
  static Fixture fixture = [] {
    Fixture f;
    f.view = std::make_unique<OffscreenGLView>(kWidth, kHeight);
    if (!f.view->open(f.failure)) f.view.reset();
    f.document = std::make_unique<Document>();
    InitializeDocument(*f.document);
    testing::QuadTorus(f.document->model, 99, 101);
    RefreshNormals(f.document->model, kNormalsFace | kNormalsAngleSmoothed, true);
    SCENE& scene = f.document->scene;
    SetScreenSize(scene, kWidth, kHeight);
    scene.viewMode = 2;
    scene.showLight = 1;
    scene.smooth = 1;
    scene.angle = VECTOR(30, 15, 0);
    scene.zoom = 0.45f;
    return f;
  }();
  return fixture;
}

void Frames(benchmark::State& state, GLDrawPath path, int viewMode) {
  Fixture& f = Shared();
  if (!f.view) {
    state.SkipWithError(("no OpenGL context: " + f.failure).c_str());
    return;
  }
  f.document->scene.viewMode = viewMode;
  GLLib& gl = f.view->gl();
  const GLViewSettings settings;
  for (auto _ : state) {
    if (!gl.Begin()) {
      state.SkipWithError("the context could not be made current");
      return;
    }
    gl.SetProjection(kWidth, kHeight, true);
    DrawFrameGL(*f.document, f.view->textures(), settings, f.buffers, path);
    glFinish();  // the frame is drawn, not only queued
    gl.End();
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_GLShowAllLitSmoothBatched(benchmark::State& state) {
  Frames(state, GLDrawPath::kBatched, 2);
}
void BM_GLShowAllLitSmoothImmediate(benchmark::State& state) {
  Frames(state, GLDrawPath::kImmediate, 2);
}
void BM_GLFacesLitSmoothBatched(benchmark::State& state) { Frames(state, GLDrawPath::kBatched, 1); }
void BM_GLFacesLitSmoothImmediate(benchmark::State& state) {
  Frames(state, GLDrawPath::kImmediate, 1);
}

BENCHMARK(BM_GLShowAllLitSmoothBatched)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GLShowAllLitSmoothImmediate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GLFacesLitSmoothBatched)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_GLFacesLitSmoothImmediate)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace vexal
