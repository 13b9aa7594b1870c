// MAG (little-endian): "MAKI02  ", a 4-byte machine name and a comment up
// to the byte 0x1A; the header starts at the next zero byte and every
// offset in it is counted from there.
//
//   0   0, machine code, machine flags, screen mode (bit 7: 256 colours)
//   4   uint16 x0, y0, x1, y1 (inclusive)
//   12  uint32 flag A offset, flag B offset, flag B size,
//       pixel data offset, pixel data size
//   32  palette, 16 or 256 x (G, R, B)
//
// Rows are decoded in 2-byte units (4 pixels at 16 colours, 2 at 256) over
// the columns x0..x1 widened to whole 4-byte groups. A flag line of one
// byte per 4 row bytes carries over from row to row: each flag A bit (most
// significant first) set XORs the next flag B byte into its flag byte. Each
// flag nibble, high first, then yields one unit: 0 takes the next two pixel
// data bytes, 1..15 copies the unit at one of 15 places to the left and
// above. The picture is then cut to x0..x1.
#include <algorithm>
#include <cstring>
#include <vector>

#include "images/loaders.h"
#include "io/byte_reader.h"

namespace vexal {

namespace {

constexpr size_t kSignatureBytes = 8;
constexpr size_t kHeaderBytes = 32;

// Where a copy nibble takes its unit from: units to the left, rows up.
constexpr int kCopyUnits[16] = {0, 1, 2, 4, 0, 1, 0, 1, 2, 0, 1, 2, 0, 1, 2, 0};
constexpr int kCopyRows[16] = {0, 0, 0, 0, 1, 1, 2, 2, 2, 4, 4, 4, 8, 8, 8, 16};

bool Fail(NImage& image) {
  image.Clear();
  return false;
}

// A part of the file given by an offset from the header and a size.
ByteReader Section(ImageBytes file, size_t header, uint64_t offset, uint64_t size) {
  ByteReader whole(file);
  const uint64_t start = header + offset;
  if (start > file.size() || size > file.size() - start) {
    whole.fail();
    return whole;
  }
  whole.seek(static_cast<size_t>(start));
  return whole.sub(static_cast<size_t>(size));
}

}  // namespace

bool LoadMagImage(ImageBytes file, NImage& image) {
  image.Clear();
  if (file.size() < kSignatureBytes || std::memcmp(file.data(), "MAKI02  ", kSignatureBytes) != 0) {
    return false;
  }
  const auto* end = file.data() + file.size();
  const auto* commentEnd = std::find(file.data() + kSignatureBytes, end, uint8_t{0x1A});
  const auto* headerStart = std::find(commentEnd, end, uint8_t{0});
  if (headerStart == end) return Fail(image);
  const auto header = static_cast<size_t>(headerStart - file.data());

  ByteReader reader(file);
  reader.seek(header + 3);
  const uint8_t screenMode = reader.u8();
  const int32_t x0 = reader.u16le();
  const int32_t y0 = reader.u16le();
  const int32_t x1 = reader.u16le();
  const int32_t y1 = reader.u16le();
  const uint32_t flagAOffset = reader.u32le();
  const uint32_t flagBOffset = reader.u32le();
  const uint32_t flagBSize = reader.u32le();
  const uint32_t pixelOffset = reader.u32le();
  const uint32_t pixelSize = reader.u32le();
  const bool colours256 = (screenMode & 0x80) != 0;
  const int32_t paletteCount = colours256 ? 256 : 16;
  const std::span<const uint8_t> grb = reader.span(static_cast<size_t>(paletteCount) * 3);
  if (!reader.ok() || x1 < x0 || y1 < y0) return Fail(image);

  const int32_t width = x1 - x0 + 1;
  const int32_t height = y1 - y0 + 1;
  if (ImageByteSize(width, height, 1) == 0) return Fail(image);

  const int32_t pixelsPerByte = colours256 ? 1 : 2;
  const size_t leftByte = static_cast<size_t>(x0 / pixelsPerByte) & ~size_t{3};
  const size_t rightByte = (static_cast<size_t>(x1 / pixelsPerByte) + 4) & ~size_t{3};
  const size_t byteWidth = rightByte - leftByte;
  const size_t flagsPerRow = byteWidth / 4;

  // Flag A has no stored size: it runs at most to the end of the file.
  const uint64_t flagAStart = uint64_t{header} + flagAOffset;
  ByteReader flagA =
      Section(file, header, flagAOffset, flagAStart <= file.size() ? file.size() - flagAStart : 1);
  ByteReader flagB = Section(file, header, flagBOffset, flagBSize);
  ByteReader pixelData = Section(file, header, pixelOffset, pixelSize);
  if (!flagA.ok() || !flagB.ok() || !pixelData.ok()) return Fail(image);
  // Each row takes flagsPerRow bits of flag A: the file must hold them all
  // before the work buffer is allocated.
  if ((flagsPerRow * static_cast<size_t>(height) + 7) / 8 > flagA.remaining()) return Fail(image);

  std::vector<uint8_t> bytes(byteWidth * static_cast<size_t>(height));
  std::vector<uint8_t> flags(flagsPerRow);
  uint8_t flagAByte = 0;
  size_t flagBit = 0;
  size_t position = 0;
  for (int32_t y = 0; y < height; ++y) {
    for (size_t f = 0; f < flagsPerRow; ++f, ++flagBit) {
      if (flagBit % 8 == 0) flagAByte = flagA.u8();
      if (flagAByte & (0x80 >> (flagBit % 8))) flags[f] ^= flagB.u8();
      for (const int nibble : {flags[f] >> 4, flags[f] & 0xF}) {
        if (nibble == 0) {
          bytes[position] = pixelData.u8();
          bytes[position + 1] = pixelData.u8();
        } else {
          const size_t back =
              static_cast<size_t>(kCopyUnits[nibble]) * 2 + static_cast<size_t>(kCopyRows[nibble]) * byteWidth;
          if (back > position) return Fail(image);
          bytes[position] = bytes[position - back];
          bytes[position + 1] = bytes[position - back + 1];
        }
        position += 2;
      }
    }
    if (!flagA.ok() || !flagB.ok() || !pixelData.ok()) return Fail(image);
  }

  if (!image.Allocate(width, height, 1) || !image.AllocatePalette(paletteCount, 3)) return Fail(image);
  const size_t firstPixel = static_cast<size_t>(x0) - leftByte * static_cast<size_t>(pixelsPerByte);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* row = &bytes[static_cast<size_t>(y) * byteWidth];
    uint8_t* out = image.row(y);
    for (int32_t x = 0; x < width; ++x) {
      const size_t source = firstPixel + static_cast<size_t>(x);
      if (colours256) {
        out[x] = row[source];
      } else {
        out[x] = (source & 1) ? (row[source / 2] & 0xF) : (row[source / 2] >> 4);
      }
    }
  }
  for (int32_t i = 0; i < paletteCount; ++i) {
    const uint8_t* entry = &grb[static_cast<size_t>(i) * 3];
    uint8_t* out = &image.palette[static_cast<size_t>(i) * 3];
    out[0] = entry[1];
    out[1] = entry[0];
    out[2] = entry[2];
  }
  return true;
}

}  // namespace vexal
