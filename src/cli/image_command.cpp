// vexal-tool image FILE [--format CODE] [--png OUT]
//
// Loads FILE through the image library and prints
// "<code> <width>x<height> channels=<c> palette=<entries>"; with --png the
// image is also written, converted to RGBA, as a PNG file.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/commands.h"
#include "images/image.h"
#include "images/loaders.h"
#include "images/png_writer.h"
#include "io/file_bytes.h"
#include "io/message_catalog.h"

namespace vexal::cli {
namespace {

int Usage() {
  std::fprintf(stderr, "usage: vexal-tool image FILE [--format CODE] [--png OUT]\n");
  return 2;
}

bool ParseFormatCode(const char* text, int& code) {
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value < 0 || value > 1000) return false;
  code = static_cast<int>(value);
  return true;
}

}  // namespace

int RunImageCommand(int argc, char** argv) {
  std::string input;
  std::string pngOutput;
  int formatCode = 0;
  for (int i = 0; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--format") {
      if (i + 1 >= argc || !ParseFormatCode(argv[i + 1], formatCode)) return Usage();
      ++i;
    } else if (argument == "--png") {
      if (i + 1 >= argc) return Usage();
      pngOutput = argv[++i];
    } else if (!argument.empty() && argument[0] == '-' && argument != "-") {
      return Usage();
    } else if (input.empty()) {
      input = argument;
    } else {
      return Usage();
    }
  }
  if (input.empty()) return Usage();

  std::vector<uint8_t> bytes;
  std::string reason;
  if (!ReadFileBytes(input, bytes, &reason)) {
    std::fprintf(stderr, "%s: %s\n", input.c_str(), reason.c_str());
    return 1;
  }
  NImage image;
  const int code = LoadImageFromMemory(bytes, image, formatCode);
  if (code == 0) {
    if (formatCode != 0) {
      std::fprintf(stderr, "%s\n", FormatMessage("%s: not a supported image of format %d", input.c_str(), formatCode).c_str());
    } else {
      std::fprintf(stderr, "%s\n", FormatMessage("%s: not a supported image", input.c_str()).c_str());
    }
    return 1;
  }
  std::printf("%d %dx%d channels=%d palette=%d\n", code, image.width, image.height, image.channels,
              image.paletteCount);
  std::fflush(stdout);

  if (!pngOutput.empty()) {
    if (!image.Convert(4)) {
      std::fprintf(stderr, "%s\n", FormatMessage("%s: the image cannot be converted to RGBA", input.c_str()).c_str());
      return 1;
    }
    std::string encoded;
    if (!EncodePng(image, encoded, &reason) || !WriteFileAtomically(pngOutput, encoded, &reason)) {
      std::fprintf(stderr, "%s: %s\n", pngOutput.c_str(), reason.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace vexal::cli
