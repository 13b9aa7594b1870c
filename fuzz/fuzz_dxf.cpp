// Feeds arbitrary bytes to the DXF reader: it must never read out of bounds or
// allocate without bound, whatever it accepts must be a valid model, and a
// file it refuses must leave the document's model as it was.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "formats/dxf_format.h"
#include "model/document.h"
#include "model/validate.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The reader takes a path, so each input goes through one scratch file.
  static const std::string path = "/tmp/vexal_fuzz_dxf." + std::to_string(::getpid());
  static const auto document = std::make_unique<vexal::Document>();
  static const vexal::Settings settings;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  const bool written = std::fwrite(data, 1, size, file) == size;
  std::fclose(file);
  if (!written) return 0;

  vexal::FormatContext context;
  context.settings = &settings;
  const int points = document->model.pointCount;
  const int faces = document->model.faceCount;
  if (vexal::LoadDxfFile(*document, path, context) == 1) {
    std::string why;
    if (!vexal::ValidateModel(document->model, &why, true)) {
      std::fprintf(stderr, "accepted an invalid model: %s\n", why.c_str());
      __builtin_trap();
    }
  } else if (document->model.pointCount != points || document->model.faceCount != faces) {
    std::fprintf(stderr, "a refused file changed the model\n");
    __builtin_trap();
  }
  return 0;
}
