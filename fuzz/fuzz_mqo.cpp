// Feeds arbitrary bytes to the MQO reader (from memory): it must never
// read out of bounds or allocate without bound, and whatever it accepts
// must be a valid model.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "formats/mqo_format.h"
#include "model/document.h"
#include "model/validate.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const auto document = std::make_unique<vexal::Document>();
  static const vexal::Settings settings;
  vexal::FormatContext context;
  context.settings = &settings;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (vexal::LoadMqoText(document->model, text, context) == 1) {
    std::string why;
    if (!vexal::ValidateModel(document->model, &why, true)) {
      std::fprintf(stderr, "accepted an invalid model: %s\n", why.c_str());
      __builtin_trap();
    }
  } else if (context.reason.empty()) {
    std::fprintf(stderr, "refused without a reason\n");
    __builtin_trap();
  }
  return 0;
}
