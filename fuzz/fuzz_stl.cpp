// Feeds arbitrary bytes to the STL reader from memory: it must never read
// out of bounds or allocate without bound, whatever it accepts must be a
// valid model, and whatever it refuses must leave the model as it was and
// say why.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "formats/stl_format.h"
#include "model/document.h"
#include "model/validate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const auto document = std::make_unique<vexal::Document>();
  vexal::FormatContext context;
  const int points = document->model.pointCount;
  const int faces = document->model.faceCount;
  // A folder that does not exist: URIs of external files lead nowhere.
  const std::string name = "/nonexistent-vexal-fuzz/input.stl";
  if (vexal::LoadStlBytes(document->model, std::span<const uint8_t>(data, size), name, context) ==
      1) {
    std::string why;
    if (!vexal::ValidateModel(document->model, &why, true)) {
      std::fprintf(stderr, "accepted an invalid model: %s\n", why.c_str());
      __builtin_trap();
    }
  } else if (context.reason.empty()) {
    std::fprintf(stderr, "refused without a reason\n");
    __builtin_trap();
  } else if (document->model.pointCount != points || document->model.faceCount != faces) {
    std::fprintf(stderr, "a refused file changed the model\n");
    __builtin_trap();
  }
  return 0;
}
