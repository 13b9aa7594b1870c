// vexal-tool thumbnail [-s SIZE] IN OUT.png: the preview picture a file
// manager shows for a model file (the desktop's thumbnailer runs it). The
// model is drawn shaded from above and to one side, centred and fitted, on a
// transparent background, and the picture is cut to the model, so it is at
// most SIZE pixels wide and high (128 without -s).
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/document_files.h"
#include "formats/document_io.h"
#include "images/png_writer.h"
#include "io/file_bytes.h"
#include "io/message_catalog.h"
#include "model/camera.h"
#include "model/document.h"
#include "settings/settings.h"
#include "tools/navigation.h"
#include "view/gl_offscreen.h"
#include "view/software_renderer.h"
#include "view/thumbnail.h"

namespace vexal::cli {
namespace {

constexpr int kDefaultSize = 128;
constexpr int kLargestSize = 2048;
constexpr float kElevation = 20.0f;
constexpr float kAzimuth = 30.0f;
constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

int Usage(const char* problem = nullptr) {
  if (problem != nullptr) std::fprintf(stderr, "vexal-tool thumbnail: %s\n", Translate(problem));
  std::fputs("usage: vexal-tool thumbnail [-s SIZE] IN OUT.png\n", stderr);
  return 2;
}

// A preview shows the model itself: no selection colours, no handle, grid,
// dummy or background picture; surfaces shaded when there are any, else
// the lines.
void PrepareView(Document& document, int size) {
  Model& model = document.model;
  for (int i = 1; i <= model.pointCount; ++i)
    if (model.points[i].state == 1) model.points[i].state = 0;
  for (int i = 1; i <= model.lineCount; ++i)
    if (model.lines[i].state == 1) model.lines[i].state = 0;
  for (int i = 1; i <= model.faceCount; ++i)
    if (model.faces[i].state == 1) model.faces[i].state = 0;
  SCENE& scene = document.scene;
  scene.viewMode = model.faceCount > 0 ? 1 : 0;
  scene.useGL = 1;
  scene.showHandle = 0;
  scene.showGrid = 0;
  scene.showDummy = 0;
  scene.showBackPicture = 0;
  scene.showLight = 1;
  scene.cellEdge = 0;
  // Three sides of a box at once: a front view of one would show a square.
  scene.angle.x = kElevation;
  scene.angle.y = kAzimuth;
  scene.perspective = scene.perspectiveDefault = 1;
  SetScreenSize(scene, size, size);
  ZoomToFit(document, false);
}

// The frame over black and over white, with OpenGL when a context can be
// had, else with the software renderer (lines only).
bool DrawTwice(Document& document, int size, NImage& overBlack, NImage& overWhite,
               std::string& reason) {
  Settings settings;
  settings.WindowNormalColor = 0x404040;
  OffscreenGLView view(size, size);
  if (view.open(reason)) {
    view.loadTextures(document);
    settings.WindowBGColor = kBlack;
    GLViewSettings black = GLViewSettingsFrom(settings);
    settings.WindowBGColor = kWhite;
    GLViewSettings white = GLViewSettingsFrom(settings);
    if (view.render(document, black, overBlack) && view.render(document, white, overWhite))
      return true;
  }
  std::fprintf(stderr, "vexal-tool thumbnail: %s\n",
               Translate("no OpenGL context, drawn with the software renderer"));
  document.scene.viewMode = 0;
  for (auto [background, image] : {std::pair{kBlack, &overBlack}, std::pair{kWhite, &overWhite}}) {
    ImageCanvas canvas(size, size);
    if (canvas.image().empty()) {
      reason = Translate("out of memory for the image");
      return false;
    }
    settings.WindowBGColor = static_cast<int>(background);
    RedrawSoftware(document, ViewColorsFrom(settings), canvas);
    *image = std::move(canvas.image());
  }
  return true;
}

}  // namespace

int RunThumbnailCommand(int argc, char** argv) {
  int size = kDefaultSize;
  std::string input, output;
  const auto takeOption = [&](std::string_view argument, int& i) -> const char* {
    if (argument != "-s" && argument != "--size") return MarkMessage("unknown option");
    if (i + 1 >= argc) return MarkMessage("-s wants a size");
    char* end = nullptr;
    const long value = std::strtol(argv[++i], &end, 10);
    if (*argv[i] == '\0' || *end != '\0' || value < 1 || value > kLargestSize)
      return MarkMessage("the size is 1 to 2048 pixels");
    size = static_cast<int>(value);
    return nullptr;
  };
  const char* problem = ReadInOutArguments(argc, argv, input, output, takeOption);
  if (problem != nullptr) return Usage(*problem != '\0' ? problem : nullptr);

  // The built-in settings: a preview looks the same for every user.
  Settings settings;
  const std::unique_ptr<Document> document = OpenForDrawing(input, settings);
  if (!document) return 1;
  PrepareView(*document, size);

  std::string reason;
  NImage overBlack, overWhite;
  if (!DrawTwice(*document, size, overBlack, overWhite, reason)) {
    std::fprintf(stderr, "%s: %s\n", input.c_str(), reason.c_str());
    return 1;
  }
  const NImage matte = MatteFromBlackAndWhite(overBlack, overWhite);
  const NRect bounds = OpaqueBounds(matte);
  if (bounds.empty()) {
    std::fprintf(stderr, "%s: nothing to show: the model has no visible part\n", input.c_str());
    return 1;
  }
  std::string png;
  if (!EncodePng(CropImage(matte, bounds), png, &reason) ||
      !WriteFileAtomically(output, png, &reason)) {
    std::fprintf(stderr, "%s: %s\n", output.c_str(), reason.c_str());
    return 1;
  }
  return 0;
}

}  // namespace vexal::cli
