// MAKI version 1 (big-endian): a fixed 640 x 400 picture in 16 colours.
//
//   0     "MAKI01A " or "MAKI01B "
//   8     machine and user name (24 bytes)
//   32    uint16 flag B size, pixel data A size, pixel data B size,
//         extension flags, display x0, y0, x1 + 1, y1 + 1
//   48    palette, 16 x (G, R, B), 4 significant bits in the high nibble
//   96    flag A, 1000 bytes
//   1096  flag B, then pixel data A and pixel data B (one stream)
//
// The picture is handled as 320 x 400 bytes of two pixels each (left pixel
// in the high nibble), cut into 4 x 4-byte blocks. Each flag A bit (most
// significant first, blocks left to right, top to bottom) marks a block
// holding non-zero bytes; such a block takes 16 bits from flag B, one per
// byte of the block row by row; the bytes so marked take the pixel data
// bytes in screen order, the others are 0. Finally every byte is XORed with
// the byte 2 rows up ("A") or 4 rows up ("B"), top to bottom.
#include <cstring>
#include <vector>

#include "images/loaders.h"
#include "io/byte_reader.h"

namespace vexal {

namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 400;
constexpr size_t kByteWidth = kWidth / 2;
constexpr size_t kPaletteOffset = 48;
constexpr size_t kFlagAOffset = 96;
constexpr size_t kFlagABytes = 1000;
constexpr size_t kFlagBOffset = kFlagAOffset + kFlagABytes;
constexpr size_t kBlocksPerRow = kByteWidth / 4;

bool Fail(NImage& image) {
  image.Clear();
  return false;
}

}  // namespace

bool LoadMakiImage(ImageBytes file, NImage& image) {
  image.Clear();
  if (file.size() < 8) return false;
  size_t xorRows = 0;
  if (std::memcmp(file.data(), "MAKI01A ", 8) == 0) {
    xorRows = 2;
  } else if (std::memcmp(file.data(), "MAKI01B ", 8) == 0) {
    xorRows = 4;
  } else {
    return false;
  }
  ByteReader reader(file);
  reader.seek(32);
  const size_t flagBSize = reader.u16be();
  const size_t pixelASize = reader.u16be();
  const size_t pixelBSize = reader.u16be();
  reader.seek(kPaletteOffset);
  const std::span<const uint8_t> grb = reader.span(48);
  ByteReader flagA = reader.sub(kFlagABytes);
  ByteReader flagB = reader.sub(flagBSize);
  ByteReader pixelData = reader.sub(pixelASize + pixelBSize);
  if (!reader.ok()) return Fail(image);

  // First the mask of stored bytes, block by block; then the stored bytes
  // fill it in screen order.
  std::vector<uint8_t> bytes(kByteWidth * kHeight);
  uint8_t flagByte = 0;
  for (size_t block = 0; block < kFlagABytes * 8; ++block) {
    if (block % 8 == 0) flagByte = flagA.u8();
    if (!(flagByte & (0x80 >> (block % 8)))) continue;
    const uint16_t bits = flagB.u16be();
    const size_t left = block % kBlocksPerRow * 4;
    const size_t top = block / kBlocksPerRow * 4;
    for (size_t i = 0; i < 16; ++i) {
      if (bits & (0x8000 >> i)) bytes[(top + i / 4) * kByteWidth + left + i % 4] = 1;
    }
  }
  if (!flagB.ok()) return Fail(image);
  for (uint8_t& value : bytes) {
    if (value) value = pixelData.u8();
  }
  if (!pixelData.ok()) return Fail(image);
  for (size_t i = xorRows * kByteWidth; i < bytes.size(); ++i) bytes[i] ^= bytes[i - xorRows * kByteWidth];

  if (!image.Allocate(kWidth, kHeight, 1) || !image.AllocatePalette(16, 3)) return Fail(image);
  for (size_t i = 0; i < bytes.size(); ++i) {
    image.pixels[i * 2] = bytes[i] >> 4;
    image.pixels[i * 2 + 1] = bytes[i] & 0xF;
  }
  for (size_t i = 0; i < 16; ++i) {
    const uint8_t* entry = &grb[i * 3];
    uint8_t* out = &image.palette[i * 3];
    // Widen the 4 stored bits so that 0xF0 becomes full intensity.
    out[0] = static_cast<uint8_t>((entry[1] & 0xF0) | entry[1] >> 4);
    out[1] = static_cast<uint8_t>((entry[0] & 0xF0) | entry[0] >> 4);
    out[2] = static_cast<uint8_t>((entry[2] & 0xF0) | entry[2] >> 4);
  }
  return true;
}

}  // namespace vexal
