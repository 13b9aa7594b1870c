// Small helpers shared by the image loaders (not part of the public API).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

#include "images/image.h"
#include "io/byte_reader.h"

namespace vexal::image_detail {

// Widens an n-bit sample (1..8 bits) to 8 bits by repeating its bit pattern,
// so 0 stays 0 and the maximum becomes 255.
inline uint8_t WidenBits(uint32_t value, int bits) {
  if (bits <= 0) return 0;
  if (bits >= 8) return static_cast<uint8_t>(value >> (bits - 8));
  uint32_t out = 0;
  int filled = 0;
  while (filled < 8) {
    out = (out << bits) | value;
    filled += bits;
  }
  return static_cast<uint8_t>(out >> (filled - 8));
}

// A 256-entry grey ramp palette of 3-byte entries.
inline bool SetGreyRamp(NImage& image) {
  if (!image.AllocatePalette(256, 3)) return false;
  for (int i = 0; i < 256; ++i) {
    image.palette[i * 3] = image.palette[i * 3 + 1] = image.palette[i * 3 + 2] = static_cast<uint8_t>(i);
  }
  return true;
}

// PackBits (Apple, also Photoshop's and IFF's ByteRun1) into out[0, size).
// Returns false when the input ends first or a run would overflow out.
bool UnpackBits(ByteReader& in, uint8_t* out, size_t size);

// Decodes a BMP-style device-independent bitmap whose 40-byte (or larger)
// info header starts at the reader's position. Used by the icon loader;
// bottom-up rows, optional AND mask (icons) of the same size following the
// colour rows. Produces 4 channels when the icon has a mask or 32 bits.
bool DecodeIconBitmap(ByteReader& in, NImage& image);

// Opens an IFF-style form: true when file starts with formId, a 32-bit
// big-endian length and formType, with form then reading the chunks after
// the type. A length beyond the file is cut to the file: some writers leave
// the length at a placeholder, and every chunk is bounds-checked anyway.
inline bool OpenIffForm(std::span<const uint8_t> file, const char (&formId)[5],
                        const char (&formType)[5], ByteReader& form) {
  if (file.size() < 12 || std::memcmp(file.data(), formId, 4) != 0 ||
      std::memcmp(file.data() + 8, formType, 4) != 0) {
    return false;
  }
  ByteReader outer(file);
  outer.skip(4);
  const size_t formLength = outer.u32be();
  form = outer.sub(std::min(formLength, outer.remaining()));
  form.skip(4);
  return true;
}

}  // namespace vexal::image_detail
