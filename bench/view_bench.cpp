// The software view at the limits: 19,999 points and 19,999 lines drawn into
// a 1024 x 768 window image, and a whole open of that model to its first
// frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "formats/document_io.h"
#include "formats/native_format.h"
#include "model/document.h"
#include "settings/settings.h"
#include "model/camera.h"
#include "view/software_renderer.h"

#ifdef VEXAL_HAVE_APP
#include "app/qt_canvas.h"
#endif

namespace vexal {
namespace {

// A wavy sheet of 19,999 points (141 rows of 141, less two) joined in rows,
// as a mesh's edges are: short lines, every seventh point selected. With
// longLines the points are scattered at random instead, so every line
// crosses much of the window: the worst case.
void FillLimitModel(Model& model, bool longLines = false) {
  std::mt19937 random(5);
  std::uniform_real_distribution<float> coordinate(-2.0f, 2.0f);
  for (int p = 1; p <= kMaxCount; ++p) {
    const int row = (p - 1) / 141;
    const int column = (p - 1) % 141;
    const float x = longLines ? coordinate(random) : -2.0f + column * (4.0f / 140);
    const float z = longLines ? coordinate(random) : -2.0f + row * (4.0f / 140);
    const float y = longLines ? coordinate(random) : 0.3f * std::sin(x * 2.0f) * std::cos(z * 2.0f);
    SetPoint(model, p, x, y, z, p % 7 == 0 ? kStateSelected : kStateNormal, 0);
  }
  model.pointCount = kMaxCount;
  for (int l = 1; l <= kMaxCount; ++l) SetLine(model, l, l, l % kMaxCount + 1, kStateNormal);
  model.lineCount = kMaxCount;
}

#ifdef VEXAL_HAVE_APP
void BM_RenderSoftware_Limits(benchmark::State& state) {
  auto document = std::make_unique<Document>();
  FillLimitModel(document->model);
  SetScreenSize(document->scene, 1024, 768);
  QImage image(1024, 768, QImage::Format_RGB32);
  for (auto _ : state) {
    app::QtCanvas canvas(image);
    RedrawSoftware(*document, ViewColors(), canvas);
  }
}
BENCHMARK(BM_RenderSoftware_Limits)->Unit(benchmark::kMillisecond);

void BM_RenderSoftware_LongLines(benchmark::State& state) {
  auto document = std::make_unique<Document>();
  FillLimitModel(document->model, true);
  SetScreenSize(document->scene, 1024, 768);
  QImage image(1024, 768, QImage::Format_RGB32);
  for (auto _ : state) {
    app::QtCanvas canvas(image);
    RedrawSoftware(*document, ViewColors(), canvas);
  }
}
BENCHMARK(BM_RenderSoftware_LongLines)->Unit(benchmark::kMillisecond);

void BM_OpenToFirstFrame_Limits(benchmark::State& state) {
  const std::string path = "/tmp/vexal_bench_limits.vxl";
  {
    auto document = std::make_unique<Document>();
    FillLimitModel(document->model);
    FormatContext context;
    if (SaveNativeFile(*document, path, context) != 1) state.SkipWithError("cannot write");
  }
  Settings settings;
  QImage image(1024, 768, QImage::Format_RGB32);
  for (auto _ : state) {
    auto document = std::make_unique<Document>();
    DocumentFile file;
    HeadlessDocumentPlatform platform;
    if (OpenDocumentFile(*document, file, path, 0, DocumentIo{settings, platform}) != 1) {
      state.SkipWithError("cannot open");
      break;
    }
    SetScreenSize(document->scene, 1024, 768);
    app::QtCanvas canvas(image);
    RedrawSoftware(*document, ViewColors(), canvas);
  }
  std::remove(path.c_str());
}
BENCHMARK(BM_OpenToFirstFrame_Limits)->Unit(benchmark::kMillisecond);
#endif

}  // namespace
}  // namespace vexal
