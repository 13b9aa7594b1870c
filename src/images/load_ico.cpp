// Windows icons: a 6-byte header (reserved 0, type 1, image count), 16-byte
// directory entries, and per image a bitmap with a 40-byte info header
// (1, 4, 8, 24 or 32 bits) whose height counts the colour rows and the
// 1-bit AND mask. Images stored as PNG files inside the icon are read
// through the PNG loader.
// Each image becomes a 4-channel layer (alpha from the mask or, for 32-bit
// images, from the pixels); the layered read gives the first image unless a
// selector names another.
#include <cstring>

#include "images/image_codec_util.h"
#include "images/loaders.h"

namespace vexal {

bool LoadIcoPicture(ImageBytes file, NPicture& picture, int layer) {
  picture.Clear();
  ByteReader in(file);
  if (in.u16le() != 0 || in.u16le() != 1) return false;
  const uint16_t count = in.u16le();
  if (!in.ok() || count == 0 || !in.has(size_t{count} * 16)) return false;
  if (layer < -1 || layer >= count) return false;
  const int chosen = layer < 0 ? 0 : layer;
  in.skip(static_cast<size_t>(chosen) * 16);
  in.skip(8);  // width, height, colours, reserved, planes, bit count
  const uint32_t size = in.u32le();
  const uint32_t offset = in.u32le();
  if (!in.ok() || !in.seek(offset) || size < 8) return false;
  // Some writers put a size slightly beyond the file end; the bitmap reader
  // checks every row against what is really there.
  ByteReader bitmap = in.sub(size < in.remaining() ? size : in.remaining());
  NLayer out;
  // Large icon images are often stored as whole PNG files.
  static constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (bitmap.has(8) && std::memcmp(bitmap.cursor(), kPngSignature, 8) == 0) {
    if (!LoadPngImage({bitmap.cursor(), bitmap.remaining()}, out.image) || !out.image.Convert(4)) return false;
  } else if (!image_detail::DecodeIconBitmap(bitmap, out.image)) {
    return false;
  }
  out.width = out.image.width;
  out.height = out.image.height;
  picture.width = out.width;
  picture.height = out.height;
  picture.layers.push_back(std::move(out));
  return true;
}

}  // namespace vexal
