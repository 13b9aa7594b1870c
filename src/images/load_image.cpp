// The dispatcher: recognition by content, loaders tried in a fixed order.
#include <array>
#include <new>
#include <vector>

#include "images/loaders.h"
#include "io/file_bytes.h"

namespace vexal {
namespace {

// A layered format read whole and flattened into one image.
template <bool (*Load)(ImageBytes, NPicture&, int), int Selector>
bool LoadComposited(ImageBytes file, NImage& image) {
  NPicture picture;
  if (!Load(file, picture, Selector)) return false;
  if (!Composite(picture, image)) {
    image.Clear();
    return false;
  }
  return true;
}

bool RefuseAll(ImageBytes, NImage&) { return false; }

struct LoaderEntry {
  int code;
  bool (*load)(ImageBytes, NImage&);
};

// Order matters: formats with weak signatures (TGA has none at all) come
// where a stronger check earlier could not be fooled by them.
constexpr std::array<LoaderEntry, 21> kLoaders{{
    {kImageFormatTga, LoadTgaImage},
    {kImageFormatBmp, LoadBmpImage},
    {kImageFormatDpx, LoadComposited<LoadDpxPicture, -1>},
    {kImageFormatEdge, LoadComposited<LoadEdgePicture, -1>},
    {kImageFormatJpeg, LoadJpegImage},
    {kImageFormatReserved13, RefuseAll},
    {kImageFormatPng, LoadPngImage},
    {kImageFormatPsd, LoadComposited<LoadPsdPicture, -2>},
    {kImageFormatTim2, LoadTim2Image},
    {kImageFormatGif, LoadComposited<LoadGifPicture, -1>},
    {kImageFormatIco, LoadComposited<LoadIcoPicture, -1>},
    {kImageFormatMaki, LoadMakiImage},
    {kImageFormatMag, LoadMagImage},
    {kImageFormatTim, LoadTimImage},
    {kImageFormatIlbm, LoadIlbmImage},
    {kImageFormatMayaIff, LoadMayaIffImage},
    {kImageFormatReserved28, RefuseAll},
    {kImageFormatPcx, LoadPcxImage},
    {kImageFormatBgra, LoadBgraImage},
    {kImageFormatDds, LoadDdsImage},
    {kImageFormatPic, LoadPicImage},
}};

bool RunLoader(const LoaderEntry& entry, ImageBytes file, NImage& image) {
  bool accepted = false;
  try {
    accepted = entry.load(file, image);
  } catch (const std::bad_alloc&) {
    accepted = false;
  }
  // A successful load must leave a usable image; anything else counts as a
  // refusal so the next loader gets its turn with an empty image.
  if (!accepted || image.empty() || image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != ImageByteSize(image.width, image.height, image.channels) ||
      image.palette.size() != static_cast<size_t>(image.paletteCount) * image.paletteChannels) {
    image.Clear();
    return false;
  }
  return true;
}

}  // namespace

int LoadImageFromMemory(ImageBytes file, NImage& image, int formatCode) {
  image.Clear();
  for (const LoaderEntry& entry : kLoaders) {
    if (formatCode != 0 && entry.code != formatCode) continue;
    if (RunLoader(entry, file, image)) return entry.code;
    if (formatCode != 0) break;
  }
  return kImageFormatNone;
}

int LoadImage(const std::string& path, NImage& image, int formatCode) {
  image.Clear();
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes, nullptr)) return kImageFormatNone;
  return LoadImageFromMemory(bytes, image, formatCode);
}

}  // namespace vexal
