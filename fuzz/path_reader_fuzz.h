// A model reader that takes a path, under the fuzzer: each input goes
// through one scratch file. Whatever the reader accepts must be a valid
// model; with keepsModelOnRefusal, a file it refuses must leave the
// document's model as it was.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "formats/format.h"
#include "model/document.h"
#include "model/validate.h"
#include "settings/settings.h"

inline int FuzzPathReader(const uint8_t* data, size_t size, const char* name,
                          vexal::ReaderFunction reader, bool keepsModelOnRefusal) {
  static const std::string path =
      std::string("/tmp/vexal_fuzz_") + name + "." + std::to_string(::getpid());
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
  if (reader(*document, path, context) == 1) {
    std::string why;
    if (!vexal::ValidateModel(document->model, &why, true)) {
      std::fprintf(stderr, "accepted an invalid model: %s\n", why.c_str());
      __builtin_trap();
    }
  } else if (keepsModelOnRefusal &&
             (document->model.pointCount != points || document->model.faceCount != faces)) {
    std::fprintf(stderr, "a refused file changed the model\n");
    __builtin_trap();
  }
  return 0;
}
