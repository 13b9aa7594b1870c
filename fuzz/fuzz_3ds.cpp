// Feeds arbitrary bytes to the 3DS reader: it must never read out of bounds,
// and whatever it accepts must be a valid model.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "formats/3ds_format.h"
#include "model/document.h"
#include "model/validate.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The reader takes a path, so each input goes through one scratch file.
  static const std::string path = "/tmp/vexal_fuzz_3ds." + std::to_string(::getpid());
  static const auto document = std::make_unique<vexal::Document>();
  static const vexal::Settings settings;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  const bool written = std::fwrite(data, 1, size, file) == size;
  std::fclose(file);
  if (!written) return 0;

  vexal::FormatContext context;
  context.settings = &settings;
  if (vexal::Load3dsFile(*document, path, context) == 1) {
    std::string why;
    if (!vexal::ValidateModel(document->model, &why, true)) {
      std::fprintf(stderr, "accepted an invalid model: %s\n", why.c_str());
      __builtin_trap();
    }
  }
  return 0;
}
