#include "view/thumbnail.h"

#include <algorithm>
#include <cstdlib>

namespace vexal {

NImage MatteFromBlackAndWhite(const NImage& overBlack, const NImage& overWhite) {
  NImage result;
  if (overBlack.channels != 3 || overWhite.channels != 3 || overBlack.width != overWhite.width ||
      overBlack.height != overWhite.height || overBlack.empty() || overWhite.empty())
    return result;
  if (!result.Allocate(overBlack.width, overBlack.height, 4)) return result;
  for (int32_t y = 0; y < overBlack.height; ++y) {
    const uint8_t* black = overBlack.row(y);
    const uint8_t* white = overWhite.row(y);
    uint8_t* out = result.row(y);
    for (int32_t x = 0; x < overBlack.width; ++x, black += 3, white += 3, out += 4) {
      // The background shows through by (white - black) / 255 in each
      // channel; the largest channel difference is the most trustworthy.
      int through = 0;
      for (int c = 0; c < 3; ++c) through = std::max(through, white[c] - black[c]);
      const int alpha = 255 - std::clamp(through, 0, 255);
      out[3] = static_cast<uint8_t>(alpha);
      for (int c = 0; c < 3; ++c) {
        out[c] = alpha == 0 ? 0 : static_cast<uint8_t>(std::min(255, black[c] * 255 / alpha));
      }
    }
  }
  return result;
}

NRect OpaqueBounds(const NImage& rgba) {
  NRect bounds{rgba.width, rgba.height, 0, 0};
  if (rgba.channels != 4 || rgba.empty()) return {};
  for (int32_t y = 0; y < rgba.height; ++y) {
    const uint8_t* pixel = rgba.row(y);
    for (int32_t x = 0; x < rgba.width; ++x, pixel += 4) {
      if (pixel[3] == 0) continue;
      bounds.left = std::min(bounds.left, x);
      bounds.top = std::min(bounds.top, y);
      bounds.right = std::max(bounds.right, x + 1);
      bounds.bottom = std::max(bounds.bottom, y + 1);
    }
  }
  return bounds.empty() ? NRect{} : bounds;
}

NImage CropImage(const NImage& image, const NRect& area) {
  NImage result;
  const NRect clipped = area.intersect(NRect{0, 0, image.width, image.height});
  if (image.empty() || clipped.empty() || image.paletteCount != 0) return result;
  if (!result.Allocate(clipped.width(), clipped.height(), image.channels)) return result;
  const size_t rowBytes = static_cast<size_t>(clipped.width()) * image.channels;
  for (int32_t y = 0; y < clipped.height(); ++y) {
    const uint8_t* from = image.row(clipped.top + y) + static_cast<size_t>(clipped.left) * image.channels;
    std::copy(from, from + rowBytes, result.row(y));
  }
  return result;
}

}  // namespace vexal
