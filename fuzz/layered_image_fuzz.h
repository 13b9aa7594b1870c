// The layered read of one layered loader (all layers, selector -1) under
// the fuzzer, run with a memory limit: it must refuse (leaving the picture
// empty) or give layers whose images are consistent, and never allocate
// beyond the pixel budget whatever the file claims.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "images/image.h"
#include "images/loaders.h"

inline int FuzzLayeredLoader(const uint8_t* data, size_t size,
                             bool (*load)(vexal::ImageBytes, vexal::NPicture&, int)) {
  vexal::NPicture picture;
  if (!load({data, size}, picture, -1)) {
    if (!picture.layers.empty()) std::abort();
    return 0;
  }
  // A picture may have no layers (it then flattens to a transparent
  // canvas), but never an empty canvas.
  if (picture.width <= 0 || picture.height <= 0) std::abort();
  uint64_t pixels = static_cast<uint64_t>(picture.width) * static_cast<uint64_t>(picture.height);
  for (const vexal::NLayer& layer : picture.layers) {
    const vexal::NImage& image = layer.image;
    if (image.pixels.size() != vexal::ImageByteSize(image.width, image.height, image.channels)) {
      std::abort();
    }
    pixels += static_cast<uint64_t>(image.width) * static_cast<uint64_t>(image.height);
  }
  // The canvas is counted once more by loaders that keep the merged image
  // as a layer, hence the factor.
  if (pixels > 2 * vexal::kMaxPicturePixels) std::abort();
  return 0;
}
