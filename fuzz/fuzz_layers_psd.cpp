// The layered read of the Photoshop loader, every layer, seeded from the image
// test files.
#include "layered_image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzLayeredLoader(data, size, vexal::LoadPsdPicture);
}
