// Fuzzes the whole image dispatcher (every loader in turn) over memory, then
// the operations a viewer applies to whatever was accepted.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "images/image.h"
#include "images/loaders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vexal::NImage image;
  const int code = vexal::LoadImageFromMemory({data, size}, image, 0);
  if (code == 0) {
    if (!image.empty()) std::abort();
    return 0;
  }
  if (image.pixels.size() != vexal::ImageByteSize(image.width, image.height, image.channels)) std::abort();
  // Keep the follow-up work small so big accepted images do not time out.
  if (image.width <= 512 && image.height <= 512) {
    vexal::NImage copy = image;
    if (!copy.Convert(4)) std::abort();
    copy.Resize(7, 5, 1);
  }
  return 0;
}
