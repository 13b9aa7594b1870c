// One image loader under the fuzzer: the loader of `code` alone must either
// refuse the bytes (leaving the image empty) or give a consistent image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "images/image.h"
#include "images/loaders.h"

inline int FuzzOneImageLoader(const uint8_t* data, size_t size, int code) {
  vexal::NImage image;
  const int accepted = vexal::LoadImageFromMemory({data, size}, image, code);
  if (accepted == 0) {
    if (!image.empty()) std::abort();
    return 0;
  }
  if (accepted != code) std::abort();
  if (image.pixels.size() != vexal::ImageByteSize(image.width, image.height, image.channels)) {
    std::abort();
  }
  if (image.width <= 256 && image.height <= 256) {
    vexal::NImage copy = image;
    if (!copy.Convert(4)) std::abort();
  }
  return 0;
}
