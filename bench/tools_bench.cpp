// Navigation at the limits: one mouse move of a view rotation including the
// redraw it causes (software view into a 1024 x 768 image, and OpenGL
// off-screen), and Zoom To Fit, on the closed 9,999-quad torus and on
// 19,999 loose points.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <memory>
#include <random>
#include <string>

#include "model/camera.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "support/test_models.h"
#include "tools/navigation.h"
#include "tools/tool_dispatch.h"
#include "view/gl_offscreen.h"
#include "view/software_renderer.h"

#ifdef VEXAL_HAVE_APP
#include "app/qt_canvas.h"
#endif

namespace vexal {
namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

enum class Limit { kTorus, kLoosePoints };

void FillModel(Model& model, Limit limit) {
  if (limit == Limit::kTorus) {
    testing::QuadTorus(model, 99, 101);
    RefreshNormals(model, kNormalsFace | kNormalsAngleSmoothed, true);
    return;
  }
  std::mt19937 random(3);
  std::uniform_real_distribution<float> coordinate(-2.0f, 2.0f);
  for (int p = 1; p <= kMaxCount; ++p) {
    SetPoint(model, p, coordinate(random), coordinate(random), coordinate(random),
             kStateNormal, 0);
  }
  model.pointCount = kMaxCount;
}

std::unique_ptr<Document> LimitDocument(Limit limit) {
  auto document = std::make_unique<Document>();
  InitializeDocument(*document);
  FillModel(document->model, limit);
  RefreshSelection(*document);
  SCENE& scene = document->scene;
  SetScreenSize(scene, kWidth, kHeight);
  scene.viewMode = 2;
  scene.angle = VECTOR(30, 15, 0);
  scene.zoom = 0.45f;
  return document;
}

// Starts a Rotate View drag; each iteration is one move of it.
template <typename Draw>
void RotateSteps(benchmark::State& state, Document& document, Draw draw) {
  struct Redrawing : DocumentObserver {
    Draw* draw;
    void redrawRequested() override { (*draw)(); }
  } observer;
  observer.draw = &draw;
  document.observer = &observer;
  Workspace workspace;
  SetTool(document, kToolCamera);
  MousePress(document, workspace, {MouseButton::kLeft, kLeftHeld, 500, 400});
  int x = 500;
  for (auto _ : state) {
    x += (x % 2 == 0) ? 3 : -1;
    MouseMove(document, workspace, {MouseButton::kLeft, kLeftHeld, x, 400});
  }
  document.observer = nullptr;
}

#ifdef VEXAL_HAVE_APP
void BM_RotateStepSoftware(benchmark::State& state) {
  auto document = LimitDocument(static_cast<Limit>(state.range(0)));
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  Document& d = *document;
  RotateSteps(state, d, [&] {
    app::QtCanvas canvas(image);
    RedrawSoftware(d, ViewColors(), canvas);
  });
}
BENCHMARK(BM_RotateStepSoftware)->Arg(0)->Arg(1)->ArgNames({"loose"})->Unit(benchmark::kMillisecond);
#endif

void BM_RotateStepGL(benchmark::State& state) {
  static OffscreenGLView view(kWidth, kHeight);
  static std::string failure;
  static const bool opened = view.open(failure);
  if (!opened) {
    state.SkipWithError(("no OpenGL context: " + failure).c_str());
    return;
  }
  auto document = LimitDocument(static_cast<Limit>(state.range(0)));
  document->scene.showLight = 1;
  document->scene.smooth = 1;
  GLRenderBuffers buffers;
  const GLViewSettings settings;
  Document& d = *document;
  GLLib& gl = view.gl();
  RotateSteps(state, d, [&] {
    if (!gl.Begin()) return;
    gl.SetProjection(kWidth, kHeight, d.scene.perspective != 0);
    DrawFrameGL(d, view.textures(), settings, buffers);
    glFinish();
    gl.End();
  });
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RotateStepGL)->Arg(0)->Arg(1)->ArgNames({"loose"})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ZoomToFit(benchmark::State& state) {
  auto document = LimitDocument(static_cast<Limit>(state.range(0)));
  for (auto _ : state) {
    ZoomToFit(*document, false);
    benchmark::DoNotOptimize(document->scene.zoom);
  }
}
BENCHMARK(BM_ZoomToFit)->Arg(0)->Arg(1)->ArgNames({"loose"})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vexal
