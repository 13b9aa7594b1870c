// PlayStation TIM (little-endian): uint32 id 0x10, uint32 flags (bits 0-2
// pixel mode: 0 4-bit, 1 8-bit, 2 15-bit direct, 3 24-bit direct; bit 3 a
// colour lookup table follows). Each block (table, then image) starts with
// uint32 block length (including its 12 header bytes), uint16 x, y, width,
// height. Table width is in entries, image width in 16-bit units, so an
// image row holds 4, 2, 1 or 2/3 pixels per unit.
//
// 15-bit colours are R in the low 5 bits, then G, B and the
// semi-transparency bit. The console draws the value 0 as transparent and
// everything else (including black with the semi-transparency bit) opaque;
// alpha follows that. Indexed images use the first row of the table (a file
// may hold several tables); an indexed image without a table gets a grey
// ramp. 4-bit pixels hold the left pixel in the low nibble.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "images/loaders.h"
#include "io/byte_reader.h"

namespace vexal {

namespace {

constexpr uint32_t kTimId = 0x10;
constexpr uint32_t kHasTable = 0x08;
constexpr size_t kBlockHeaderBytes = 12;

bool Fail(NImage& image) {
  image.Clear();
  return false;
}

uint8_t Expand5(uint32_t value) { return static_cast<uint8_t>((value << 3) | (value >> 2)); }

void Colour15(uint16_t value, uint8_t* rgba) {
  rgba[0] = Expand5(value & 0x1F);
  rgba[1] = Expand5((value >> 5) & 0x1F);
  rgba[2] = Expand5((value >> 10) & 0x1F);
  rgba[3] = value == 0 ? 0 : 255;
}

struct Block {
  uint32_t length = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  ByteReader data;
};

bool ReadBlock(ByteReader& reader, Block& block) {
  block.length = reader.u32le();
  reader.skip(4);  // position in video memory
  block.width = reader.u16le();
  block.height = reader.u16le();
  if (!reader.ok() || block.length < kBlockHeaderBytes) return false;
  block.data = reader.sub(block.length - kBlockHeaderBytes);
  return reader.ok();
}

}  // namespace

bool LoadTimImage(ImageBytes file, NImage& image) {
  image.Clear();
  ByteReader reader(file);
  const uint32_t id = reader.u32le();
  const uint32_t flags = reader.u32le();
  if (!reader.ok() || id != kTimId || (flags & ~uint32_t{0xF}) != 0) return false;
  const uint32_t mode = flags & 0x7;
  if (mode > 3) return false;
  const bool indexed = mode <= 1;

  Block table;
  if ((flags & kHasTable) && !ReadBlock(reader, table)) return Fail(image);
  Block pixels;
  if (!ReadBlock(reader, pixels)) return Fail(image);

  static constexpr uint32_t kPixelsPerUnitTimes2[4] = {8, 4, 2, 0};
  const uint64_t rowBytes = uint64_t{pixels.width} * 2;
  const uint64_t width = mode == 3 ? rowBytes / 3 : pixels.width * kPixelsPerUnitTimes2[mode] / 2;
  const auto w = static_cast<int32_t>(std::min<uint64_t>(width, INT32_MAX));
  const auto h = static_cast<int32_t>(pixels.height);
  static constexpr int32_t kChannels[4] = {1, 1, 4, 3};
  if (ImageByteSize(w, h, kChannels[mode]) == 0) return Fail(image);
  const std::span<const uint8_t> data = pixels.data.span(rowBytes * pixels.height);
  if (!pixels.data.ok() || !image.Allocate(w, h, kChannels[mode])) return Fail(image);

  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* in = &data[static_cast<size_t>(y) * rowBytes];
    uint8_t* out = image.row(y);
    for (int32_t x = 0; x < w; ++x) {
      switch (mode) {
        case 0:
          out[x] = (in[x / 2] >> ((x & 1) * 4)) & 0xF;
          break;
        case 1:
          out[x] = in[x];
          break;
        case 2:
          Colour15(static_cast<uint16_t>(in[x * 2] | in[x * 2 + 1] << 8), out + x * 4);
          break;
        default:
          std::memcpy(out + x * 3, in + x * 3, 3);
          break;
      }
    }
  }
  if (!indexed) return true;

  const uint32_t wanted = mode == 0 ? 16 : 256;
  if (!(flags & kHasTable)) {
    if (!image.AllocatePalette(static_cast<int32_t>(wanted), 4)) return Fail(image);
    for (uint32_t i = 0; i < wanted; ++i) {
      const auto grey = static_cast<uint8_t>(i * 255 / (wanted - 1));
      uint8_t* entry = &image.palette[i * 4];
      entry[0] = entry[1] = entry[2] = grey;
      entry[3] = 255;
    }
    return true;
  }
  const uint32_t count = std::min(table.width, wanted);
  const std::span<const uint8_t> entries = table.data.span(size_t{count} * 2);
  if (!table.data.ok() || count == 0 ||
      !image.AllocatePalette(static_cast<int32_t>(count), 4)) {
    return Fail(image);
  }
  for (uint32_t i = 0; i < count; ++i) {
    Colour15(static_cast<uint16_t>(entries[i * 2] | entries[i * 2 + 1] << 8), &image.palette[i * 4]);
  }
  return true;
}

}  // namespace vexal
