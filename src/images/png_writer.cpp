#include "images/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <vector>

#include "io/message_catalog.h"

namespace vexal {
namespace {

struct EncodeState {
  std::string* out = nullptr;
  const char* error = nullptr;
};

void WriteToString(png_structp png, png_bytep data, png_size_t length) {
  auto* state = static_cast<EncodeState*>(png_get_io_ptr(png));
  state->out->append(reinterpret_cast<const char*>(data), length);
}

void FlushNothing(png_structp) {}

void OnPngError(png_structp png, png_const_charp message) {
  auto* state = static_cast<EncodeState*>(png_get_error_ptr(png));
  state->error = message;
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// The libpng calls live in their own function with no objects that need
// destructors, since an error leaves it through longjmp.
bool EncodeRows(const NImage& source, std::string& out, const char** error) {
  EncodeState state;
  state.out = &out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnPngError, OnPngWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    *error = state.error;
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &state, WriteToString, FlushNothing);
  // Indices beyond the palette are the image's business, not an encoder error.
  png_set_benign_errors(png, 1);

  int colorType = PNG_COLOR_TYPE_RGBA;
  const bool indexed = source.channels == 1 && source.paletteCount > 0;
  if (indexed) {
    colorType = PNG_COLOR_TYPE_PALETTE;
  } else if (source.channels == 1) {
    colorType = PNG_COLOR_TYPE_GRAY;
  } else if (source.channels == 2) {
    colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
  } else if (source.channels == 3) {
    colorType = PNG_COLOR_TYPE_RGB;
  }
  png_set_IHDR(png, info, static_cast<png_uint_32>(source.width),
               static_cast<png_uint_32>(source.height), 8, colorType, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color colors[256] = {};
  png_byte alphas[256] = {};
  if (indexed) {
    const int count = source.paletteCount;
    for (int i = 0; i < count; ++i) {
      const uint8_t* entry = &source.palette[static_cast<size_t>(i) * source.paletteChannels];
      colors[i] = {entry[0], entry[1], entry[2]};
      alphas[i] = source.paletteChannels == 4 ? entry[3] : 255;
    }
    png_set_PLTE(png, info, colors, count);
    if (source.paletteChannels == 4) png_set_tRNS(png, info, alphas, count, nullptr);
  }
  png_set_compression_level(png, 6);
  png_write_info(png, info);
  for (int32_t y = 0; y < source.height; ++y) {
    png_write_row(png, const_cast<png_bytep>(source.row(y)));
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool EncodePng(const NImage& image, std::string& out, std::string* reason) {
  out.clear();
  if (image.empty() || image.width <= 0 || image.height <= 0) {
    if (reason) *reason = Translate("the image is empty");
    return false;
  }
  // PNG palettes hold at most 256 entries and no per-pixel alpha on an
  // index, so those layouts are written as direct colour.
  NImage expanded;
  const NImage* source = &image;
  const bool palette = image.paletteCount > 0;
  if ((image.channels == 2 && palette) || (image.channels == 1 && palette && image.paletteCount > 256)) {
    if (!expanded.CopyFrom(image) || !expanded.Convert(4)) {
      if (reason) *reason = Translate("the image cannot be expanded to RGBA");
      return false;
    }
    source = &expanded;
  }
  if (source->channels == 1 && palette && source->paletteChannels != 3 && source->paletteChannels != 4) {
    if (reason) *reason = Translate("the palette layout is not supported");
    return false;
  }
  const char* error = nullptr;
  if (!EncodeRows(*source, out, &error)) {
    out.clear();
    if (reason)
      *reason = error ? FormatMessage("PNG encoder error: %s", error)
                      : Translate("PNG encoder error: out of memory");
    return false;
  }
  return true;
}

}  // namespace vexal
