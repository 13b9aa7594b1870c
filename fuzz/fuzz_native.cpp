// libFuzzer target: the native document reader on arbitrary bytes. A load
// that succeeds must leave a model that passes validation; one that fails
// must leave the document as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "formats/native_format.h"
#include "model/document.h"
#include "model/validate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static vexal::Document* document = new vexal::Document();
  const int pointsBefore = document->model.pointCount;
  vexal::FormatContext context;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (vexal::LoadNativeText(*document, text, context) == 1) {
    std::string reason;
    if (!vexal::ValidateModel(document->model, &reason)) std::abort();
  } else if (context.reason.empty() || document->model.pointCount != pointsBefore) {
    std::abort();
  }
  return 0;
}
