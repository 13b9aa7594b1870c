// TIM2 (little-endian). File header, 16 bytes: "TIM2", version, format id
// (1: the first picture starts at byte 128 instead of 16), uint16 picture
// count. Only the first picture is read. Picture header, 48 bytes: uint32
// total size, colour-table size, image size; uint16 header size,
// colour-table entry count; uint8 picture format, mip-map count,
// colour-table type, image type; uint16 width, height; GS registers. The
// image data starts header-size bytes after the picture header, the colour
// table follows the image data (of all mip levels).
//
// Image types: 1 16-bit (A1 B5 G5 R5), 2 24-bit (R G B), 3 32-bit (R G B A),
// 4 4-bit indexed (left pixel in the low nibble), 5 8-bit indexed. Colour
// table types (low 6 bits) 1, 2, 3 give 16-, 24- and 32-bit entries; with
// bit 7 clear, a 256-entry table is stored in the graphics chip's block
// order (entries 8-15 and 16-23 of every 32 swapped). Alpha is on the
// console's scale, 0x80 = opaque, and is widened to 0..255.
#include <algorithm>
#include <cstring>

#include "images/loaders.h"
#include "io/byte_reader.h"

namespace vexal {

namespace {

constexpr size_t kFileHeaderBytes = 16;
constexpr size_t kAlignedStart = 128;
constexpr size_t kPictureHeaderBytes = 48;
constexpr uint8_t kLinearTable = 0x80;

bool Fail(NImage& image) {
  image.Clear();
  return false;
}

uint8_t Expand5(uint32_t value) { return static_cast<uint8_t>((value << 3) | (value >> 2)); }

uint8_t WidenAlpha(uint8_t alpha) { return static_cast<uint8_t>(std::min(255, alpha * 255 / 128)); }

void Colour16(const uint8_t* in, uint8_t* rgba) {
  const uint32_t value = in[0] | in[1] << 8;
  rgba[0] = Expand5(value & 0x1F);
  rgba[1] = Expand5((value >> 5) & 0x1F);
  rgba[2] = Expand5((value >> 10) & 0x1F);
  rgba[3] = (value & 0x8000) ? 255 : 0;
}

void Colour32(const uint8_t* in, uint8_t* rgba) {
  std::memcpy(rgba, in, 3);
  rgba[3] = WidenAlpha(in[3]);
}

// Colour-table entry bytes for table types 1, 2, 3.
size_t TableEntryBytes(uint8_t type) {
  switch (type & 0x3F) {
    case 1:
      return 2;
    case 2:
      return 3;
    case 3:
      return 4;
    default:
      return 0;
  }
}

bool ReadTable(ByteReader& table, uint8_t tableType, uint32_t entryCount, uint32_t wanted,
               NImage& image) {
  const size_t entryBytes = TableEntryBytes(tableType);
  if (entryBytes == 0) return false;
  const uint32_t count = std::min(entryCount, wanted);
  const std::span<const uint8_t> entries = table.span(size_t{count} * entryBytes);
  if (!table.ok() || count == 0) return false;
  const int32_t channels = entryBytes == 3 ? 3 : 4;
  if (!image.AllocatePalette(static_cast<int32_t>(count), channels)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    // The stored position of entry i in the chip's block order.
    uint32_t stored = i;
    if (wanted == 256 && !(tableType & kLinearTable)) {
      const uint32_t block = i & 0x18;
      if (block == 0x08 || block == 0x10) stored = i ^ 0x18;
    }
    if (stored >= count) stored = i;
    const uint8_t* in = &entries[stored * entryBytes];
    uint8_t* out = &image.palette[size_t{i} * channels];
    if (entryBytes == 2) {
      Colour16(in, out);
    } else if (entryBytes == 3) {
      std::memcpy(out, in, 3);
    } else {
      Colour32(in, out);
    }
  }
  return true;
}

}  // namespace

bool LoadTim2Image(ImageBytes file, NImage& image) {
  image.Clear();
  if (file.size() < kFileHeaderBytes || std::memcmp(file.data(), "TIM2", 4) != 0) return false;
  ByteReader reader(file);
  reader.skip(5);
  const uint8_t formatId = reader.u8();
  const uint16_t pictureCount = reader.u16le();
  if (pictureCount == 0) return Fail(image);
  const size_t start = formatId == 1 ? kAlignedStart : kFileHeaderBytes;
  if (!reader.seek(start)) return Fail(image);

  ByteReader picture = reader.sub(std::min(reader.remaining(), size_t{UINT32_MAX}));
  picture.skip(4);  // total size: the parts below are checked one by one
  const uint32_t tableSize = picture.u32le();
  const uint32_t imageSize = picture.u32le();
  const uint16_t headerSize = picture.u16le();
  const uint16_t tableEntries = picture.u16le();
  picture.skip(2);  // picture format, mip-map count
  const uint8_t tableType = picture.u8();
  const uint8_t imageType = picture.u8();
  const int32_t width = picture.u16le();
  const int32_t height = picture.u16le();
  if (!picture.ok() || headerSize < kPictureHeaderBytes) return Fail(image);
  if (imageType < 1 || imageType > 5) return Fail(image);

  static constexpr uint32_t kBits[6] = {0, 16, 24, 32, 4, 8};
  static constexpr int32_t kChannels[6] = {0, 4, 3, 4, 1, 1};
  const uint32_t bits = kBits[imageType];
  const int32_t channels = kChannels[imageType];
  if (ImageByteSize(width, height, channels) == 0) return Fail(image);
  const size_t rowBytes = (static_cast<size_t>(width) * bits + 7) / 8;

  picture.seek(headerSize);
  ByteReader pixels = picture.sub(imageSize);
  ByteReader table = picture.sub(tableSize);
  const std::span<const uint8_t> data = pixels.span(rowBytes * static_cast<size_t>(height));
  if (!picture.ok() || !pixels.ok() || !image.Allocate(width, height, channels)) {
    return Fail(image);
  }

  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* in = &data[static_cast<size_t>(y) * rowBytes];
    uint8_t* out = image.row(y);
    for (int32_t x = 0; x < width; ++x) {
      switch (imageType) {
        case 1:
          Colour16(in + x * 2, out + x * 4);
          break;
        case 2:
          std::memcpy(out + x * 3, in + x * 3, 3);
          break;
        case 3:
          Colour32(in + x * 4, out + x * 4);
          break;
        case 4:
          out[x] = (in[x / 2] >> ((x & 1) * 4)) & 0xF;
          break;
        default:
          out[x] = in[x];
          break;
      }
    }
  }
  if (imageType >= 4 && !ReadTable(table, tableType, tableEntries, imageType == 4 ? 16 : 256, image)) {
    return Fail(image);
  }
  return true;
}

}  // namespace vexal
