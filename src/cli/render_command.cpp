// vexal-tool render IN OUT.png: opens IN as the Open command does and draws
// it as a document window of the given size would show it, into a PNG.
//
//   --size WxH (or --width W --height H)   frame size, default 640x480
//   --renderer gl|soft (or --soft)          OpenGL through EGL, or the
//                                           wireframe software renderer
//   --angles X,Y (or --angle X,Y)           camera elevation and azimuth
//   --zoom Z                                magnification
//   --view wire|faces|all (or --mode)       what is drawn
//   --ortho                                 orthographic projection
//   --settings FILE.ini                     display switches and colours
//
// Without an OpenGL context the software renderer draws instead, with a
// note on stderr, as a window without OpenGL does.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/document_files.h"
#include "formats/document_io.h"
#include "images/png_writer.h"
#include "io/file_bytes.h"
#include "model/document.h"
#include "settings/settings.h"
#include "view/gl_offscreen.h"
#include "io/message_catalog.h"

namespace vexal::cli {
namespace {

constexpr const char* kUsageText =
    "usage: vexal-tool render IN OUT.png [--size WxH] [--renderer gl|soft] [--angles X,Y]\n"
    "                         [--zoom Z] [--view wire|faces|all] [--ortho] [--settings FILE.ini]\n";

int Usage(const char* problem = nullptr) {
  if (problem != nullptr)
    std::fprintf(stderr, "%s\n",
                 FormatMessage("vexal-tool render: %s", Translate(problem)).c_str());
  std::fputs(kUsageText, stderr);
  return 2;
}

bool ParseInt(std::string_view text, int& value) {
  const std::string copy(text);
  char* end = nullptr;
  const long parsed = std::strtol(copy.c_str(), &end, 10);
  if (copy.empty() || *end != '\0' || parsed < 1 || parsed > kMaxImageSide) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool ParseFloat(std::string_view text, float& value) {
  const std::string copy(text);
  char* end = nullptr;
  const float parsed = std::strtof(copy.c_str(), &end);
  if (copy.empty() || *end != '\0' || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

// "A<sep>B" split at the first separator.
bool ParsePair(std::string_view text, char separator, std::string_view& a, std::string_view& b) {
  const size_t at = text.find(separator);
  if (at == std::string_view::npos) return false;
  a = text.substr(0, at);
  b = text.substr(at + 1);
  return true;
}

}  // namespace

int RunRenderCommand(int argc, char** argv) {
  std::string input, output, settingsPath;
  SnapshotOptions options;
  bool haveAngles = false, haveZoom = false, ortho = false;
  float angleX = 0, angleY = 0, zoom = 1;
  int viewMode = -1;
  const auto takeOption = [&](std::string_view argument, int& i) -> const char* {
    const bool hasValue = i + 1 < argc;
    auto value = [&]() { return std::string_view(argv[++i]); };
    if (argument == "--size") {
      std::string_view w, h;
      if (!hasValue || !ParsePair(value(), 'x', w, h) || !ParseInt(w, options.width) ||
          !ParseInt(h, options.height)) {
        return MarkMessage("--size wants WxH, each 1..16384");
      }
    } else if (argument == "--width" || argument == "--height") {
      if (!hasValue || !ParseInt(value(), argument == "--width" ? options.width : options.height)) {
        return MarkMessage("the width and height must be 1..16384");
      }
    } else if (argument == "--renderer") {
      const std::string_view name = hasValue ? value() : std::string_view();
      if (name == "gl") {
        options.renderer = SnapshotRenderer::kOpenGL;
      } else if (name == "soft") {
        options.renderer = SnapshotRenderer::kSoftware;
      } else {
        return MarkMessage("--renderer is gl or soft");
      }
    } else if (argument == "--soft") {
      options.renderer = SnapshotRenderer::kSoftware;
    } else if (argument == "--angles" || argument == "--angle") {
      std::string_view x, y;
      if (!hasValue || !ParsePair(value(), ',', x, y) || !ParseFloat(x, angleX) ||
          !ParseFloat(y, angleY)) {
        return MarkMessage("--angles wants X,Y in degrees");
      }
      haveAngles = true;
    } else if (argument == "--zoom") {
      if (!hasValue || !ParseFloat(value(), zoom) || !(zoom > 0)) {
        return MarkMessage("--zoom wants a positive number");
      }
      haveZoom = true;
    } else if (argument == "--view" || argument == "--mode") {
      const std::string_view name = hasValue ? value() : std::string_view();
      if (name == "wire") {
        viewMode = 0;
      } else if (name == "faces") {
        viewMode = 1;
      } else if (name == "all") {
        viewMode = 2;
      } else {
        return MarkMessage("--view is wire, faces or all");
      }
    } else if (argument == "--ortho") {
      ortho = true;
    } else if (argument == "--settings") {
      if (!hasValue) return MarkMessage("--settings wants a file");
      settingsPath = value();
    } else {
      return MarkMessage("unknown option");
    }
    return nullptr;
  };
  const char* problem = ReadInOutArguments(argc, argv, input, output, takeOption);
  if (problem != nullptr) return Usage(*problem != '\0' ? problem : nullptr);

  Settings settings;
  if (settingsPath.empty()) settingsPath = DefaultSettingsFile();
  if (!settingsPath.empty()) {
    std::string reason;
    std::vector<uint8_t> probe;
    if (!ReadFileBytes(settingsPath, probe, &reason) ||
        !LoadSettings(settingsPath, settings, &reason)) {
      std::fprintf(stderr, "%s: %s\n", settingsPath.c_str(), reason.c_str());
      return 1;
    }
  }

  const std::unique_ptr<Document> document = OpenForDrawing(input, settings);
  if (!document) return 1;
  SCENE& scene = document->scene;
  if (haveAngles) {
    scene.angle.x = angleX;
    scene.angle.y = angleY;
  }
  if (haveZoom) scene.zoom = zoom;
  if (viewMode >= 0) scene.viewMode = viewMode;
  if (ortho) scene.perspective = scene.perspectiveDefault = 0;

  NImage image;
  std::string reason;
  bool usedOpenGL = false;
  if (!RenderSnapshot(*document, settings, options, image, reason, &usedOpenGL)) {
    std::fprintf(stderr, "%s: %s\n", input.c_str(), reason.c_str());
    return 1;
  }
  if (options.renderer == SnapshotRenderer::kOpenGL && !usedOpenGL) {
    std::fprintf(stderr, "%s\n", FormatMessage("vexal-tool render: no OpenGL context, drawn with the software renderer").c_str());
  }
  std::string png;
  if (!EncodePng(image, png, &reason)) {
    std::fprintf(stderr, "%s: %s\n", output.c_str(), reason.c_str());
    return 1;
  }
  if (!WriteFileAtomically(output, png, &reason)) {
    std::fprintf(stderr, "%s: %s\n", output.c_str(), reason.c_str());
    return 1;
  }
  return 0;
}

}  // namespace vexal::cli
