// Feeds arbitrary bytes to both LWO readers: they must never read out of
// bounds, whatever they accept must be a valid model, and that model written
// back in either generation must read again with the same surface count.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>

#include "formats/lwo_format.h"
#include "io/file_bytes.h"
#include "model/model.h"
#include "model/validate.h"

namespace {

void Fail(const char* what, const std::string& why) {
  std::fprintf(stderr, "%s: %s\n", what, why.c_str());
  __builtin_trap();
}

void CheckAccepted(const vexal::Model& model) {
  std::string why;
  if (!vexal::ValidateModel(model, &why, true)) Fail("accepted an invalid model", why);

  static const auto back = std::make_unique<vexal::Model>();
  for (bool lwob : {true, false}) {
    vexal::OutputBuffer out;
    if (lwob) {
      vexal::WriteLwobBytes(model, 1.0f, out);
    } else {
      vexal::WriteLwo2Bytes(model, 1.0f, out);
    }
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(out.str().data()),
                                         out.str().size());
    vexal::FormatContext context;
    const int ok = lwob ? vexal::ReadLwobBytes(bytes, 1.0f, *back, context)
                        : vexal::ReadLwo2Bytes(bytes, 1.0f, *back, context);
    if (ok != 1) Fail("our own output was refused", context.reason);
    if (back->faceCount != model.faceCount) Fail("surface count changed", std::to_string(back->faceCount));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const auto model = std::make_unique<vexal::Model>();
  const std::span<const uint8_t> bytes(data, size);
  vexal::FormatContext context;
  if (vexal::ReadLwobBytes(bytes, 1.0f, *model, context) == 1) CheckAccepted(*model);
  vexal::FormatContext context2;
  if (vexal::ReadLwo2Bytes(bytes, 1.0f, *model, context2) == 1) CheckAccepted(*model);
  return 0;
}
