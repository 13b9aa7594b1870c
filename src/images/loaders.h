// The image loaders, one per file format, and the dispatcher that tries them.
//
// Common contract of every loader below:
// - It reads the whole file from `file` (all of its bytes, already in memory;
//   use vexal::ByteReader over it) and never reads outside that span.
// - Not recognised (wrong signature or header check fails): return false
//   at once with `image` / `picture` empty; no side effects (no output, no
//   global state), so the dispatcher can go on with the next loader.
// - Recognised but damaged or unsupported (bad size, truncated data, bad run
//   length, an unsupported variant): return false with `image` / `picture`
//   empty (call Clear()). Never throw, never assert on file content, never
//   allocate from an unchecked size: widths and heights beyond
//   kMaxImageSide are refused, counts are checked against the bytes left,
//   and a picture whose canvas and layers together pass kMaxPicturePixels is
//   refused before its pixels are allocated.
//   Truncated pixel data is a failure, not a partial image.
// - Success: true, `image` holds the pixels in the layout of the format
//   table (row 0 at the top, R G B order, palette 3 or 4 bytes per entry).
//   Palette indices beyond the palette are left as they are in the pixels
//   (users of the image clamp them); the loader never reads a palette entry
//   it did not allocate.
//
// Layered loaders take a layer selector: -1 reads all layers, -2 (Photoshop)
// the merged image only, n >= 0 only layer n (a selector beyond the layers
// gives false). They fill an NPicture; the dispatcher calls them with -1
// (Photoshop: -2) and flattens the result with Composite.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "images/image.h"

namespace vexal {

class ByteReader;

using ImageBytes = std::span<const uint8_t>;

// The work budget of every loader: the pixels one picture may hold, its
// canvas and all the layers read together (64 M, 8192 x 8192). It is far
// beyond any texture the renderer uses or picture the viewer shows, and it
// keeps a file of a few hundred bytes whose runs or compression could
// describe any size from asking for gigabytes.
inline constexpr uint64_t kMaxPicturePixels = uint64_t{64} << 20;

// The format codes LoadImage returns and accepts.
enum ImageFormatCode : int {
  kImageFormatNone = 0,
  kImageFormatBgra = 1,
  kImageFormatBmp = 2,
  kImageFormatDds = 3,
  kImageFormatDpx = 4,
  kImageFormatEdge = 6,
  kImageFormatGif = 8,
  kImageFormatIco = 10,
  kImageFormatIlbm = 11,
  kImageFormatMayaIff = 12,
  kImageFormatReserved13 = 13,
  kImageFormatJpeg = 14,
  kImageFormatMag = 15,
  kImageFormatMaki = 16,
  kImageFormatPcx = 21,
  kImageFormatPic = 23,
  kImageFormatPng = 24,
  kImageFormatPsd = 25,
  kImageFormatTga = 26,
  kImageFormatReserved28 = 28,
  kImageFormatTim = 29,
  kImageFormatTim2 = 30,
};

// Reads the file at path and tries the loaders in their fixed order
// (formatCode 0) or only the one loader for formatCode. Returns the code of
// the loader that accepted the file, or 0 (image empty) when none did, the
// file cannot be read, or the code is unknown. The image is emptied first.
int LoadImage(const std::string& path, NImage& image, int formatCode);
// The same over bytes already in memory (used by tests and the fuzzer).
int LoadImageFromMemory(ImageBytes file, NImage& image, int formatCode);

// Single-image loaders.
bool LoadTgaImage(ImageBytes file, NImage& image);      // 26, Truevision TGA
bool LoadBmpImage(ImageBytes file, NImage& image);      // 2, Windows / OS/2 bitmap
bool LoadJpegImage(ImageBytes file, NImage& image);     // 14, JPEG via libjpeg
bool LoadPngImage(ImageBytes file, NImage& image);      // 24, PNG via libpng
bool LoadTim2Image(ImageBytes file, NImage& image);     // 30, TIM2
bool LoadMakiImage(ImageBytes file, NImage& image);     // 16, MAKI version 1
bool LoadMagImage(ImageBytes file, NImage& image);      // 15, MAG
bool LoadTimImage(ImageBytes file, NImage& image);      // 29, PlayStation TIM
bool LoadIlbmImage(ImageBytes file, NImage& image);     // 11, IFF ILBM
bool LoadMayaIffImage(ImageBytes file, NImage& image);  // 12, Maya IFF
bool LoadPcxImage(ImageBytes file, NImage& image);      // 21, PCX
bool LoadBgraImage(ImageBytes file, NImage& image);     // 1, raw "BGRA"
bool LoadDdsImage(ImageBytes file, NImage& image);      // 3, DirectDraw surface
bool LoadPicImage(ImageBytes file, NImage& image);      // 23, Softimage PIC

// Layered loaders.
bool LoadPsdPicture(ImageBytes file, NPicture& picture, int layer);   // 25, Photoshop
bool LoadGifPicture(ImageBytes file, NPicture& picture, int layer);   // 8, GIF, frames as layers
bool LoadIcoPicture(ImageBytes file, NPicture& picture, int layer);   // 10, Windows icon
bool LoadDpxPicture(ImageBytes file, NPicture& picture, int layer);   // 4, "DPX"
bool LoadEdgePicture(ImageBytes file, NPicture& picture, int layer);  // 6, "EDGE"

// The run/literal packing of "EDGE" layers.
class CEdgeCompress {
 public:
  // Decodes one block from reader into out (outSize bytes, zero-filled
  // first). Output beyond outSize is dropped; missing bytes stay 0. False
  // when the block's counts exceed the bytes left in reader.
  static bool Decode(ByteReader& reader, uint8_t* out, size_t outSize);
};

}  // namespace vexal
