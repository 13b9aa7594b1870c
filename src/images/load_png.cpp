// PNG through libpng. Palette images stay indexed (1 channel; the palette
// gets 4-byte entries when a transparency chunk exists, entries beyond it
// opaque); grey and grey+alpha give 1 or 2 channels without a palette (grey
// with a transparency key gives grey+alpha); colour gives 3 or 4 (a
// transparency key gives 4). Bit depths below 8 are unpacked, 16 reduced.
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "images/loaders.h"

namespace vexal {
namespace {

struct PngSource {
  const uint8_t* data;
  size_t size;
  size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  if (length > source->size - source->position) png_error(png, "truncated");
  std::memcpy(out, source->data + source->position, length);
  source->position += length;
}

void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

struct PngLayout {
  png_uint_32 width = 0, height = 0;
  int channels = 0;
  bool indexed = false;
};

// Everything that can longjmp lives in these two functions, which own no
// objects with destructors.
bool ReadHeader(png_structp png, png_infop info, PngLayout& layout, png_colorp palette, int& paletteCount,
                png_byte* alphas, int& alphaCount) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  int bitDepth = 0, colorType = 0;
  png_get_IHDR(png, info, &layout.width, &layout.height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
  // Deflate lets a small file describe a huge picture: the pixel budget,
  // not the file size, bounds the work.
  if (layout.width == 0 || layout.height == 0 || layout.width > kMaxImageSide ||
      layout.height > kMaxImageSide || uint64_t{layout.width} * layout.height > kMaxPicturePixels) {
    return false;
  }
  if (bitDepth == 16) png_set_scale_16(png);
  const bool hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  switch (colorType) {
    case PNG_COLOR_TYPE_PALETTE: {
      layout.indexed = true;
      layout.channels = 1;
      if (bitDepth < 8) png_set_packing(png);
      png_colorp colors = nullptr;
      if (!png_get_PLTE(png, info, &colors, &paletteCount) || paletteCount <= 0 || paletteCount > 256) {
        return false;
      }
      std::memcpy(palette, colors, sizeof(png_color) * static_cast<size_t>(paletteCount));
      if (hasTransparency) {
        png_bytep trans = nullptr;
        png_get_tRNS(png, info, &trans, &alphaCount, nullptr);
        if (alphaCount > 256) alphaCount = 256;
        if (trans != nullptr && alphaCount > 0) std::memcpy(alphas, trans, static_cast<size_t>(alphaCount));
        else alphaCount = 0;
      }
      break;
    }
    case PNG_COLOR_TYPE_GRAY:
      if (bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
      layout.channels = 1;
      if (hasTransparency) {
        png_set_tRNS_to_alpha(png);
        layout.channels = 2;
      }
      break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: layout.channels = 2; break;
    case PNG_COLOR_TYPE_RGB:
      layout.channels = 3;
      if (hasTransparency) {
        png_set_tRNS_to_alpha(png);
        layout.channels = 4;
      }
      break;
    case PNG_COLOR_TYPE_RGB_ALPHA: layout.channels = 4; break;
    default: return false;
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  // Deflate expands at most about 1032:1, so a file too small to hold the
  // pixels is refused before the image is allocated.
  const size_t storedBytes = (png_get_rowbytes(png, info) + 1) * layout.height;
  // (Output rows can be 16 times the stored ones: 1-bit grey with alpha.)
  if (static_cast<const PngSource*>(png_get_io_ptr(png))->size * 1100 < storedBytes / 16) return false;
  return png_get_rowbytes(png, info) == static_cast<size_t>(layout.width) * layout.channels;
}

bool ReadPixels(png_structp png, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  return true;
}

}  // namespace

bool LoadPngImage(ImageBytes file, NImage& image) {
  image.Clear();
  if (file.size() < 8 || png_sig_cmp(file.data(), 0, 8) != 0) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  PngSource source{file.data(), file.size(), 0};
  png_set_read_fn(png, &source, ReadFromMemory);
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  // Ancillary chunk damage (a bad CRC on a text chunk) should not cost the
  // picture; critical chunks still fail.
  png_set_crc_action(png, PNG_CRC_DEFAULT, PNG_CRC_WARN_DISCARD);

  PngLayout layout;
  png_color palette[256];
  png_byte alphas[256];
  int paletteCount = 0, alphaCount = 0;
  bool ok = ReadHeader(png, info, layout, palette, paletteCount, alphas, alphaCount);
  std::vector<png_bytep> rows;
  if (ok) ok = image.Allocate(static_cast<int32_t>(layout.width), static_cast<int32_t>(layout.height), layout.channels);
  if (ok) {
    rows.resize(layout.height);
    for (png_uint_32 y = 0; y < layout.height; ++y) rows[y] = image.row(static_cast<int32_t>(y));
    ok = ReadPixels(png, rows.data());
  }
  png_destroy_read_struct(&png, &info, nullptr);
  if (ok && layout.indexed) {
    const int entryBytes = alphaCount > 0 ? 4 : 3;
    ok = image.AllocatePalette(paletteCount, entryBytes);
    for (int i = 0; ok && i < paletteCount; ++i) {
      uint8_t* entry = &image.palette[static_cast<size_t>(i) * entryBytes];
      entry[0] = palette[i].red;
      entry[1] = palette[i].green;
      entry[2] = palette[i].blue;
      if (entryBytes == 4) entry[3] = i < alphaCount ? alphas[i] : 255;
    }
  }
  if (!ok) {
    image.Clear();
    return false;
  }
  return true;
}

}  // namespace vexal
