// DirectDraw surfaces (little-endian): "DDS " and a 124-byte header whose
// pixel format sits at file offset 76 (size, flags, FourCC, bit count, red,
// green, blue and alpha masks). Only the first surface (top mip level, first
// face or slice) is read; rows are packed, row 0 at the top.
//
// - Palette-indexed 8 bits (flag 0x20): a 256 x (R, G, B, A) palette follows
//   the header, then one index per pixel. The header's bit count is not
//   trusted for this variant (writers are known to put 24 there).
// - Bit-mask formats of 8, 16, 24 or 32 bits: RGB (flag 0x40), luminance
//   (flag 0x20000, the red mask holds the grey level) and alpha only (flag
//   0x2, read as black with that alpha). Each component is scaled from its
//   mask width to 8 bits. An alpha mask with the alpha flags gives 4
//   channels, otherwise 3.
// - Block-compressed (FourCC) and other layouts are refused.
#include <bit>
#include <cstring>

#include "images/image_codec_util.h"
#include "images/loaders.h"
#include "io/byte_reader.h"

namespace vexal {

namespace {

constexpr size_t kHeaderBytes = 128;
constexpr uint32_t kAlphaPixels = 0x1;
constexpr uint32_t kAlphaOnly = 0x2;
constexpr uint32_t kFourCc = 0x4;
constexpr uint32_t kPaletteIndexed8 = 0x20;
constexpr uint32_t kRgb = 0x40;
constexpr uint32_t kLuminance = 0x20000;

// One colour component described by a bit mask, widened to 8 bits by
// repeating its bit pattern (wider components keep their top 8 bits).
struct MaskedComponent {
  uint32_t mask = 0;
  int shift = 0;
  int bits = 0;

  explicit MaskedComponent(uint32_t maskBits) : mask(maskBits) {
    if (mask == 0) return;
    shift = std::countr_zero(mask);
    bits = std::bit_width(mask >> shift);
  }
  bool present() const { return mask != 0; }
  uint8_t operator()(uint32_t pixel) const {
    return image_detail::WidenBits((pixel & mask) >> shift, bits);
  }
};

bool Fail(NImage& image) {
  image.Clear();
  return false;
}

bool ReadPalettized(ByteReader& reader, int32_t width, int32_t height, NImage& image) {
  const std::span<const uint8_t> palette = reader.span(1024);
  const size_t count = ImageByteSize(width, height, 1);
  const std::span<const uint8_t> indices = reader.span(count);
  if (!reader.ok()) return false;
  if (!image.Allocate(width, height, 1) || !image.AllocatePalette(256, 4)) return false;
  std::memcpy(image.palette.data(), palette.data(), palette.size());
  std::memcpy(image.pixels.data(), indices.data(), count);
  return true;
}

bool ReadMasked(ByteReader& reader, int32_t width, int32_t height, uint32_t flags,
                uint32_t bitCount, const uint32_t masks[4], NImage& image) {
  if (bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32) return false;
  const size_t bytesPerPixel = bitCount / 8;
  const MaskedComponent red(masks[0]);
  const MaskedComponent green(masks[1]);
  const MaskedComponent blue(masks[2]);
  const MaskedComponent alpha((flags & (kAlphaPixels | kAlphaOnly)) ? masks[3] : 0);
  const bool luminance = (flags & kLuminance) != 0;
  const bool alphaOnly = (flags & (kRgb | kLuminance)) == 0;
  if (alphaOnly && !alpha.present()) return false;
  if (!alphaOnly && !red.present() && !green.present() && !blue.present()) return false;

  const int32_t channels = alpha.present() ? 4 : 3;
  const size_t pixelCount = ImageByteSize(width, height, 1);
  const std::span<const uint8_t> data = reader.span(pixelCount * bytesPerPixel);
  if (!reader.ok() || !image.Allocate(width, height, channels)) return false;

  uint8_t* out = image.pixels.data();
  for (size_t i = 0; i < pixelCount; ++i, out += channels) {
    const uint8_t* in = &data[i * bytesPerPixel];
    uint32_t pixel = 0;
    for (size_t b = 0; b < bytesPerPixel; ++b) pixel |= static_cast<uint32_t>(in[b]) << (8 * b);
    if (alphaOnly) {
      out[0] = out[1] = out[2] = 0;
    } else if (luminance) {
      out[0] = out[1] = out[2] = red(pixel);
    } else {
      out[0] = red(pixel);
      out[1] = green(pixel);
      out[2] = blue(pixel);
    }
    if (channels == 4) out[3] = alpha(pixel);
  }
  return true;
}

}  // namespace

bool LoadDdsImage(ImageBytes file, NImage& image) {
  image.Clear();
  if (file.size() < kHeaderBytes || std::memcmp(file.data(), "DDS ", 4) != 0) return false;
  ByteReader reader(file);
  reader.skip(4);
  const uint32_t headerSize = reader.u32le();
  reader.skip(4);  // header flags: the fields used below are required anyway
  const uint32_t height = reader.u32le();
  const uint32_t width = reader.u32le();
  reader.seek(80);
  const uint32_t flags = reader.u32le();
  const uint32_t fourCc = reader.u32le();
  const uint32_t bitCount = reader.u32le();
  uint32_t masks[4];
  for (uint32_t& mask : masks) mask = reader.u32le();
  reader.seek(kHeaderBytes);
  if (!reader.ok() || headerSize != 124) return false;
  if (width == 0 || height == 0 || width > static_cast<uint32_t>(kMaxImageSide) ||
      height > static_cast<uint32_t>(kMaxImageSide)) {
    return Fail(image);
  }
  const auto w = static_cast<int32_t>(width);
  const auto h = static_cast<int32_t>(height);

  bool loaded = false;
  if ((flags & kFourCc) && fourCc != 0) {
    loaded = false;
  } else if (flags & kPaletteIndexed8) {
    loaded = ReadPalettized(reader, w, h, image);
  } else if (flags & (kRgb | kLuminance | kAlphaOnly)) {
    loaded = ReadMasked(reader, w, h, flags, bitCount, masks, image);
  }
  return loaded ? true : Fail(image);
}

}  // namespace vexal
