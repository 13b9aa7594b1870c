// The MAYAIFF loader alone, seeded from every test image.
#include "image_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return FuzzOneImageLoader(data, size, vexal::kImageFormatMayaIff);
}
