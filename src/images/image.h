// The image library's pixel containers.
//
// NImage holds one picture as a plain pixel buffer, row 0 at the top, with an
// optional palette. NPicture holds a layered picture (a canvas and layers
// placed on it); Composite flattens it into one NImage.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vexal {

// Largest width or height any image may have. Loaders refuse larger headers
// before allocating anything.
inline constexpr int32_t kMaxImageSide = 16384;

// Byte size of width x height x channels, or 0 when a side is not positive,
// a side exceeds kMaxImageSide or channels is outside 1..4.
size_t ImageByteSize(int64_t width, int64_t height, int64_t channels);

struct NRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;   // exclusive
  int32_t bottom = 0;  // exclusive

  int32_t width() const { return right - left; }
  int32_t height() const { return bottom - top; }
  bool empty() const { return right <= left || bottom <= top; }
  // The overlap of two rectangles (empty when they do not meet).
  NRect intersect(const NRect& other) const;
  bool operator==(const NRect&) const = default;
};

class NImage {
 public:
  // channels: 1 palette index, 2 palette index + alpha, 3 R G B, 4 R G B A,
  // 0 = empty. Pixel (x, y) starts at (y * width + x) * channels.
  int32_t width = 0;
  int32_t height = 0;
  int32_t channels = 0;
  int32_t paletteCount = 0;
  int32_t paletteChannels = 0;  // 3 (R G B) or 4 (R G B A); 0 without palette
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> palette;

  bool empty() const { return channels == 0 || pixels.empty(); }
  uint8_t* row(int32_t y) { return pixels.data() + static_cast<size_t>(y) * width * channels; }
  const uint8_t* row(int32_t y) const {
    return pixels.data() + static_cast<size_t>(y) * width * channels;
  }

  // Zero-filled buffer of width x height x channels. A zero dimension gives
  // an empty buffer (and true). False, leaving the image empty, when a size
  // is negative, larger than kMaxImageSide, channels is outside 1..4 or
  // memory is exhausted. Any palette is dropped.
  bool Allocate(int32_t width, int32_t height, int32_t channels);
  // Zero-filled palette of count entries (0..65536) of 3 or 4 bytes each.
  // False (palette unchanged) on bad arguments or exhausted memory.
  bool AllocatePalette(int32_t count, int32_t channels);
  void Clear();
  bool CopyFrom(const NImage& other);

  // Keeps the pixels inside [left, right) x [top, bottom) (which may reach
  // outside the image; new area is zero). False on an empty or oversize
  // rectangle.
  bool Crop(int32_t left, int32_t top, int32_t right, int32_t bottom);

  // Changes the pixel layout. 0 = the natural direct layout (1 with 3-byte
  // palette -> 3; 1 with 4-byte palette, or 2 -> 4). Indexed -> direct
  // expands the palette (indices beyond the palette read as black, alpha
  // 255); direct -> indexed quantises to at most 256 entries. False on a bad
  // target or an empty image.
  bool Convert(int32_t channels);

  // mode 0 nearest, 1 bilinear, 2 bilinear with half-pixel centres,
  // 3 area average. Indexed images always use nearest. Same size does
  // nothing; non-positive size or a mode outside 0..3 fails.
  bool Resize(int32_t width, int32_t height, int32_t mode);
};

struct NLayer {
  static constexpr uint32_t kHidden = 0x20;

  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint32_t flags = 0;
  std::string name;
  NImage image;

  bool hidden() const { return (flags & kHidden) != 0; }
};

struct NPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<NLayer> layers;

  void Clear() {
    width = height = 0;
    layers.clear();
  }
};

// Flattens picture into image (layers with a higher index lie on top).
// With no visible layer the result is a canvas-sized transparent 4-channel
// image. False (image empty) on a canvas that cannot be allocated.
bool Composite(const NPicture& picture, NImage& image);

}  // namespace vexal
