// Truevision TGA: 18-byte header, optional image id and colour map, then
// pixels (raw or run-length packets), bottom-up unless attribute bit 0x20,
// right-to-left when bit 0x10. Colour-mapped (1, 9) with 8-bit indices,
// true colour (2, 10) of 15/16/24/32 bits, grey (3, 11) of 8 bits.
#include <cstring>
#include <vector>

#include "images/image_codec_util.h"
#include "images/loaders.h"

namespace vexal {
namespace {

using image_detail::WidenBits;

struct TgaHeader {
  uint8_t idLength, colorMapType, imageType;
  uint16_t mapFirst, mapLength;
  uint8_t mapEntryBits;
  uint16_t width, height;
  uint8_t pixelBits, descriptor;
};

// 15/16-bit A1 R5 G5 B5, little-endian, to R G B A. The top bit is alpha
// only when the header says the image carries an alpha bit.
inline void Expand16(uint16_t value, bool alphaBit, uint8_t* out) {
  out[0] = WidenBits((value >> 10) & 31, 5);
  out[1] = WidenBits((value >> 5) & 31, 5);
  out[2] = WidenBits(value & 31, 5);
  out[3] = (!alphaBit || (value & 0x8000)) ? 255 : 0;
}

bool ReadHeader(ByteReader& in, TgaHeader& h) {
  h.idLength = in.u8();
  h.colorMapType = in.u8();
  h.imageType = in.u8();
  h.mapFirst = in.u16le();
  h.mapLength = in.u16le();
  h.mapEntryBits = in.u8();
  in.skip(4);  // origin
  h.width = in.u16le();
  h.height = in.u16le();
  h.pixelBits = in.u8();
  h.descriptor = in.u8();
  if (!in.ok()) return false;
  if (h.width == 0 || h.height == 0 || h.width > kMaxImageSide || h.height > kMaxImageSide) return false;
  if (h.colorMapType > 1 || (h.descriptor & 0xC0) != 0) return false;
  const int base = h.imageType & 7;
  if ((h.imageType & ~8) < 1 || (h.imageType & ~8) > 3) return false;
  if (h.colorMapType == 1) {
    if (h.mapEntryBits != 15 && h.mapEntryBits != 16 && h.mapEntryBits != 24 && h.mapEntryBits != 32) return false;
  }
  switch (base) {
    case 1: return h.colorMapType == 1 && h.pixelBits == 8 && h.mapLength > 0;
    case 2:
      return h.pixelBits == 15 || h.pixelBits == 16 || h.pixelBits == 24 || h.pixelBits == 32;
    default: return h.colorMapType == 0 && h.pixelBits == 8;
  }
}

}  // namespace

bool LoadTgaImage(ImageBytes file, NImage& image) {
  image.Clear();
  ByteReader in(file);
  TgaHeader h{};
  if (!ReadHeader(in, h)) return false;
  const int base = h.imageType & 7;
  const bool packed = (h.imageType & 8) != 0;
  if (!in.skip(h.idLength)) return false;

  // The colour map: entries before mapFirst stay black; indices are 8 bits,
  // so only the first 256 entries can ever be used.
  NImage palette;
  if (h.colorMapType == 1) {
    const int entryBytes = (h.mapEntryBits + 7) / 8;
    const uint32_t total = uint32_t{h.mapFirst} + h.mapLength;
    const bool wide = h.mapEntryBits == 15 || h.mapEntryBits == 16 || h.mapEntryBits == 32;
    const int kept = static_cast<int>(total < 256 ? total : 256);
    ByteReader map = in.sub(static_cast<size_t>(h.mapLength) * entryBytes);
    if (!map.ok()) return false;
    if (base == 1 && !palette.AllocatePalette(kept, wide ? 4 : 3)) return false;
    for (uint32_t i = h.mapFirst; i < total; ++i) {
      uint8_t rgba[4] = {0, 0, 0, 255};
      if (entryBytes == 2) {
        Expand16(map.u16le(), h.mapEntryBits == 16 && (h.descriptor & 15) != 0, rgba);
      } else {
        rgba[2] = map.u8();
        rgba[1] = map.u8();
        rgba[0] = map.u8();
        if (entryBytes == 4) rgba[3] = map.u8();
      }
      if (base == 1 && i < static_cast<uint32_t>(kept)) {
        std::memcpy(&palette.palette[i * palette.paletteChannels], rgba, static_cast<size_t>(palette.paletteChannels));
      }
    }
  }

  const int fileBytes = (h.pixelBits + 7) / 8;
  const size_t pixelCount = size_t{h.width} * h.height;
  // Check the data can possibly cover the image before allocating: raw
  // data needs every byte; a run packet of at least two bytes yields at
  // most 128 pixels.
  if (packed ? in.remaining() * 64 < pixelCount : in.remaining() < pixelCount * fileBytes) return false;
  std::vector<uint8_t> raw(pixelCount * fileBytes);
  if (!packed) {
    if (!in.bytes(raw.data(), raw.size())) return false;
  } else {
    // Packets may span rows; a packet reaching past the image is cut.
    size_t at = 0;
    while (at < raw.size()) {
      const uint8_t head = in.u8();
      const size_t count = static_cast<size_t>((head & 0x7F) + 1) * fileBytes;
      const size_t fit = count < raw.size() - at ? count : raw.size() - at;
      if (head & 0x80) {
        uint8_t value[4];
        if (!in.bytes(value, static_cast<size_t>(fileBytes))) return false;
        for (size_t k = 0; k < fit; ++k) raw[at + k] = value[k % fileBytes];
      } else {
        if (!in.has(count)) return false;
        std::memcpy(&raw[at], in.cursor(), fit);
        in.skip(count);
      }
      if (!in.ok()) return false;
      at += fit;
    }
  }

  const int channels = base == 2 ? (h.pixelBits == 24 ? 3 : 4) : 1;
  if (!image.Allocate(h.width, h.height, channels)) return false;
  const bool topDown = (h.descriptor & 0x20) != 0;
  const bool rightToLeft = (h.descriptor & 0x10) != 0;
  const bool alphaBit = h.pixelBits == 16 && (h.descriptor & 15) != 0;
  for (int32_t row = 0; row < h.height; ++row) {
    const uint8_t* src = &raw[static_cast<size_t>(row) * h.width * fileBytes];
    uint8_t* dst = image.row(topDown ? row : h.height - 1 - row);
    for (int32_t x = 0; x < h.width; ++x, src += fileBytes) {
      uint8_t* p = dst + static_cast<size_t>(rightToLeft ? h.width - 1 - x : x) * channels;
      switch (fileBytes) {
        case 1: p[0] = src[0]; break;
        case 2: Expand16(static_cast<uint16_t>(src[0] | src[1] << 8), alphaBit, p); break;
        case 3: p[0] = src[2]; p[1] = src[1]; p[2] = src[0]; break;
        default: p[0] = src[2]; p[1] = src[1]; p[2] = src[0]; p[3] = src[3]; break;
      }
    }
  }
  if (base == 1) {
    image.palette = std::move(palette.palette);
    image.paletteCount = palette.paletteCount;
    image.paletteChannels = palette.paletteChannels;
  } else if (base == 3 && !image_detail::SetGreyRamp(image)) {
    image.Clear();
    return false;
  }
  return true;
}

}  // namespace vexal
