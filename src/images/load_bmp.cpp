// Windows and OS/2 bitmaps: "BM" file header (14 bytes), then a 12-byte
// OS/2 core header or a Windows info header of 40 bytes or more (the longer
// versions add masks and colour-space data we do not need). 1, 4 and 8 bits
// with a palette; 16, 24 and 32 bits direct, with bit masks when the
// compression field is 3 (or 6, masks with alpha); 16 bits default to
// 5-5-5. Rows are bottom-up unless the height is negative, each padded to 4
// bytes. 8- and 4-bit bitmaps may be run-length coded (compression 1 and 2);
// pixels the runs skip stay index 0.
//
// Icons reuse the info-header decoding: their bitmaps carry a doubled
// height and a 1-bit AND mask after the colour rows.
#include <bit>
#include <cstring>

#include "images/image_codec_util.h"
#include "images/loaders.h"

namespace vexal {
namespace image_detail {
namespace {

struct DibInfo {
  int32_t width = 0;
  int32_t height = 0;  // always positive here
  bool topDown = false;
  int bits = 0;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  int paletteEntryBytes = 4;
  uint32_t masks[4] = {0, 0, 0, 0};  // R G B A
  bool hasMasks = false;
};

// Reads the info header at the reader's position; the reader ends after the
// header (and after bit masks stored behind a 40-byte header).
bool ReadInfoHeader(ByteReader& in, DibInfo& info, bool icon) {
  const size_t start = in.position();
  const uint32_t headerSize = in.u32le();
  if (!in.ok()) return false;
  if (headerSize == 12 && !icon) {
    info.width = in.u16le();
    const int32_t height = in.u16le();
    info.height = height;
    if (in.u16le() != 1) return false;
    info.bits = in.u16le();
    info.paletteEntryBytes = 3;
  } else if (headerSize >= 40 && headerSize <= 124 && (!icon || headerSize == 40)) {
    info.width = in.i32le();
    const int32_t height = in.i32le();
    if (in.u16le() != 1) return false;
    info.bits = in.u16le();
    info.compression = in.u32le();
    in.skip(12);  // image size, resolution
    info.colorsUsed = in.u32le();
    in.skip(4);
    if (!in.ok() || height == INT32_MIN) return false;
    info.topDown = height < 0;
    info.height = height < 0 ? -height : height;
    if (info.compression == 3 || info.compression == 6) {
      // Masks follow a 40-byte header, or sit inside a longer one.
      const int count = info.compression == 6 ? 4 : 3;
      for (int i = 0; i < count; ++i) info.masks[i] = in.u32le();
      if (headerSize >= 56 && count == 3) info.masks[3] = in.u32le();
      info.hasMasks = true;
    }
    if (headerSize > 40 && !in.seek(start + headerSize)) return false;
    if (info.compression == 6) info.compression = 3;
  } else {
    return false;
  }
  if (!in.ok() || info.width <= 0 || info.height <= 0) return false;
  if (icon) {
    if (info.topDown || info.height % 2 != 0) return false;
    info.height /= 2;
  }
  if (info.width > kMaxImageSide || info.height > kMaxImageSide) return false;
  // Run-length rows end early and leave the rest blank, so a few bytes can
  // describe any size: the pixel budget bounds the work.
  if (uint64_t(info.width) * uint64_t(info.height) > kMaxPicturePixels) return false;
  switch (info.bits) {
    case 1: case 4: case 8: case 24: break;
    case 16: case 32: if (icon && info.bits == 16) return false; break;
    default: return false;
  }
  const bool masked = info.compression == 3 && (info.bits == 16 || info.bits == 32);
  const bool runLength = (info.compression == 1 && info.bits == 8) || (info.compression == 2 && info.bits == 4);
  if (info.compression != 0 && !masked && !(runLength && !icon && !info.topDown)) return false;
  if (!info.hasMasks) {
    if (info.bits == 16) {
      info.masks[0] = 0x7C00;
      info.masks[1] = 0x03E0;
      info.masks[2] = 0x001F;
    } else if (info.bits == 32) {
      info.masks[0] = 0xFF0000;
      info.masks[1] = 0xFF00;
      info.masks[2] = 0xFF;
    }
  }
  return true;
}

// Reads the palette (entries of 3 or 4 bytes, blue first) into image.
bool ReadPalette(ByteReader& in, const DibInfo& info, NImage& image) {
  const uint32_t maxCount = 1u << info.bits;
  uint32_t count = info.colorsUsed == 0 ? maxCount : info.colorsUsed;
  // A count beyond what the file can hold is a damaged header.
  if (count > 65536 || !in.has(size_t{count} * info.paletteEntryBytes)) return false;
  const uint32_t kept = count < maxCount ? count : maxCount;
  if (!image.AllocatePalette(static_cast<int32_t>(kept), 3)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t blue = in.u8(), green = in.u8(), red = in.u8();
    if (info.paletteEntryBytes == 4) in.u8();
    if (i < kept) {
      image.palette[i * 3] = red;
      image.palette[i * 3 + 1] = green;
      image.palette[i * 3 + 2] = blue;
    }
  }
  return in.ok();
}

struct MaskField {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
};

MaskField FieldOf(uint32_t mask) {
  MaskField field;
  field.mask = mask;
  if (mask == 0) return field;
  field.shift = std::countr_zero(mask);
  field.bits = std::popcount(mask);
  if (field.bits > 8) {
    // Keep the top 8 bits of a wide field.
    field.shift += field.bits - 8;
    field.bits = 8;
  }
  return field;
}

inline uint8_t Extract(uint32_t pixel, const MaskField& field) {
  if (field.mask == 0) return 0;
  const uint32_t value = (pixel & field.mask) >> field.shift;
  return WidenBits(value & ((1u << field.bits) - 1), field.bits);
}

// Decodes the colour rows starting at the reader's position.
bool DecodeRows(ByteReader& in, const DibInfo& info, NImage& image, int channels) {
  const size_t stride = ((static_cast<size_t>(info.width) * info.bits + 31) / 32) * 4;
  const size_t lastRow = (static_cast<size_t>(info.width) * info.bits + 7) / 8;
  if (!in.has(stride * (info.height - 1) + lastRow)) return false;
  NImage keepPalette;
  keepPalette.palette = std::move(image.palette);
  keepPalette.paletteCount = image.paletteCount;
  keepPalette.paletteChannels = image.paletteChannels;
  if (!image.Allocate(info.width, info.height, channels)) return false;
  image.palette = std::move(keepPalette.palette);
  image.paletteCount = keepPalette.paletteCount;
  image.paletteChannels = keepPalette.paletteChannels;

  const MaskField fields[4] = {FieldOf(info.masks[0]), FieldOf(info.masks[1]), FieldOf(info.masks[2]),
                               FieldOf(info.masks[3])};
  const uint8_t* base = in.cursor();
  for (int32_t row = 0; row < info.height; ++row) {
    const uint8_t* src = base + stride * row;
    uint8_t* dst = image.row(info.topDown ? row : info.height - 1 - row);
    for (int32_t x = 0; x < info.width; ++x) {
      switch (info.bits) {
        case 1: dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1; break;
        case 4: dst[x] = (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15; break;
        case 8: dst[x] = src[x]; break;
        case 24: {
          uint8_t* p = dst + static_cast<size_t>(x) * channels;
          p[0] = src[x * 3 + 2];
          p[1] = src[x * 3 + 1];
          p[2] = src[x * 3];
          if (channels == 4) p[3] = 255;
          break;
        }
        default: {
          uint32_t pixel;
          if (info.bits == 16) {
            pixel = src[x * 2] | uint32_t{src[x * 2 + 1]} << 8;
          } else {
            const uint8_t* s = src + static_cast<size_t>(x) * 4;
            pixel = s[0] | uint32_t{s[1]} << 8 | uint32_t{s[2]} << 16 | uint32_t{s[3]} << 24;
          }
          uint8_t* p = dst + static_cast<size_t>(x) * channels;
          for (int c = 0; c < 3; ++c) p[c] = Extract(pixel, fields[c]);
          if (channels == 4) p[3] = fields[3].mask ? Extract(pixel, fields[3]) : 255;
          break;
        }
      }
    }
  }
  in.skip(stride * (info.height - 1) + lastRow);
  if (in.remaining() >= stride - lastRow) in.skip(stride - lastRow);
  return true;
}

// Run-length coded 8-bit (RLE8) or 4-bit (RLE4) indices: pairs of count
// and value, or an escape (0 then 0 end of line, 1 end of bitmap, 2 a jump
// by dx, dy, n >= 3 n literal indices padded to an even byte count).
// Writes outside the image are dropped.
bool DecodeRunLength(ByteReader& in, const DibInfo& info, NImage& image) {
  NImage indices;
  if (!indices.Allocate(info.width, info.height, 1)) return false;
  const bool nibbles = info.bits == 4;
  int64_t x = 0, y = 0;  // y counts from the bottom row
  auto put = [&](uint8_t value) {
    if (x >= 0 && x < info.width && y >= 0 && y < info.height) {
      indices.row(static_cast<int32_t>(info.height - 1 - y))[x] = value;
    }
    ++x;
  };
  while (true) {
    const uint8_t count = in.u8();
    const uint8_t value = in.u8();
    if (!in.ok()) return false;
    if (count > 0) {
      for (int i = 0; i < count; ++i) put(nibbles ? ((i & 1) ? value & 15 : value >> 4) : value);
      continue;
    }
    if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      x += in.u8();
      y += in.u8();
    } else {
      const size_t bytes = nibbles ? (value + 1u) / 2 : value;
      auto literal = in.span(bytes);
      if (!in.ok()) return false;
      for (int i = 0; i < value; ++i) {
        put(nibbles ? ((i & 1) ? literal[i / 2] & 15 : literal[i / 2] >> 4) : literal[i]);
      }
      if (bytes & 1) in.skip(1);
    }
    if (!in.ok()) return false;
    if (y >= info.height) break;
  }
  indices.palette = std::move(image.palette);
  indices.paletteCount = image.paletteCount;
  indices.paletteChannels = image.paletteChannels;
  image = std::move(indices);
  return true;
}

}  // namespace

bool DecodeIconBitmap(ByteReader& in, NImage& image) {
  image.Clear();
  DibInfo info;
  if (!ReadInfoHeader(in, info, true)) return false;
  if (info.bits <= 8 && !ReadPalette(in, info, image)) return false;
  const int channels = info.bits <= 8 ? 1 : (info.bits == 32 ? 4 : 3);
  if (info.bits == 32) info.masks[3] = 0xFF000000;
  if (!DecodeRows(in, info, image, channels)) {
    image.Clear();
    return false;
  }
  // The AND mask: 1 bit per pixel, set = transparent. Older icons may omit
  // it; they are then fully opaque.
  const size_t maskStride = ((static_cast<size_t>(info.width) + 31) / 32) * 4;
  bool anyAlpha = false;
  if (info.bits == 32) {
    for (size_t i = 3; i < image.pixels.size(); i += 4) anyAlpha |= image.pixels[i] != 0;
  }
  if (!image.Convert(4)) {
    image.Clear();
    return false;
  }
  const bool haveMask = in.has(maskStride * info.height);
  for (int32_t row = 0; row < info.height; ++row) {
    uint8_t* dst = image.row(info.height - 1 - row);
    const uint8_t* mask = haveMask ? in.cursor() + maskStride * row : nullptr;
    for (int32_t x = 0; x < info.width; ++x) {
      // 32-bit icons carry real alpha; the mask only matters for icons whose
      // alpha bytes are all zero (written by tools that ignore it).
      if (info.bits == 32 && anyAlpha) continue;
      const bool transparent = mask != nullptr && ((mask[x >> 3] >> (7 - (x & 7))) & 1);
      dst[static_cast<size_t>(x) * 4 + 3] = transparent ? 0 : 255;
    }
  }
  return true;
}

}  // namespace image_detail

bool LoadBmpImage(ImageBytes file, NImage& image) {
  image.Clear();
  ByteReader in(file);
  if (!in.peekMatches("BM")) return false;
  in.skip(10);
  const uint32_t dataOffset = in.u32le();
  image_detail::DibInfo info;
  if (!in.ok() || !image_detail::ReadInfoHeader(in, info, false)) return false;
  if (info.bits <= 8) {
    // The palette sits between the header and the pixels: a count beyond
    // that gap (written by careless tools for small palettes) keeps what
    // fits, and with no gap at all the indices are shown as grey levels
    // rather than reading pixel bytes as colours.
    const size_t room = dataOffset > in.position() ? (dataOffset - in.position()) / info.paletteEntryBytes : 0;
    const uint32_t wanted = info.colorsUsed == 0 ? (1u << info.bits) : info.colorsUsed;
    if (room < wanted) info.colorsUsed = static_cast<uint32_t>(room);
    if (info.colorsUsed == 0 && room == 0) {
      if (!image.AllocatePalette(0, 3)) return false;
    } else if (!image_detail::ReadPalette(in, info, image)) {
      image.Clear();
      return false;
    }
  }
  const bool alpha = info.hasMasks && info.masks[3] != 0 && info.bits != 24;
  const int channels = info.bits <= 8 ? 1 : (alpha ? 4 : 3);
  const bool runLength = info.compression == 1 || info.compression == 2;
  if (!in.seek(dataOffset) || !(runLength ? image_detail::DecodeRunLength(in, info, image)
                                          : image_detail::DecodeRows(in, info, image, channels))) {
    image.Clear();
    return false;
  }
  return true;
}

}  // namespace vexal
