// PCX (little-endian): a 128-byte header (manufacturer 10, version 5,
// encoding 1, bits per plane at 3, window xmin/ymin/xmax/ymax at 4, plane
// count at 65, bytes per plane line at 66), then run-length coded scan lines
// (a byte of 0xC0 or above repeats the next byte its low 6 bits times), each
// line holding its planes one after another.
//
// Two variants: one 8-bit plane with the 256-colour palette in the last 769
// bytes (marker 12, then R G B triples), or three 8-bit planes (R, G, B).
// Runs may cross line ends, as some writers emit them, so the whole image is
// decoded as one stream.
#include <algorithm>
#include <cstring>
#include <vector>

#include "images/loaders.h"
#include "io/byte_reader.h"

namespace vexal {

namespace {

constexpr size_t kHeaderBytes = 128;
constexpr size_t kPaletteTrailerBytes = 769;
constexpr uint8_t kPaletteMarker = 12;

bool Fail(NImage& image) {
  image.Clear();
  return false;
}

}  // namespace

bool LoadPcxImage(ImageBytes file, NImage& image) {
  image.Clear();
  if (file.size() < kHeaderBytes || file[0] != 10 || file[1] != 5 || file[2] != 1) return false;
  ByteReader header(file.data(), kHeaderBytes);
  header.seek(3);
  const uint8_t bitsPerPlane = header.u8();
  const int32_t xMin = header.u16le();
  const int32_t yMin = header.u16le();
  const int32_t xMax = header.u16le();
  const int32_t yMax = header.u16le();
  header.seek(65);
  const uint8_t planes = header.u8();
  const size_t bytesPerLine = header.u16le();
  const int32_t width = xMax - xMin + 1;
  const int32_t height = yMax - yMin + 1;
  if (!header.ok() || bitsPerPlane != 8 || (planes != 1 && planes != 3)) return Fail(image);
  if (ImageByteSize(width, height, planes) == 0 || bytesPerLine < static_cast<size_t>(width)) {
    return Fail(image);
  }

  size_t dataEnd = file.size();
  if (planes == 1) {
    if (file.size() < kHeaderBytes + kPaletteTrailerBytes ||
        file[file.size() - kPaletteTrailerBytes] != kPaletteMarker) {
      return Fail(image);
    }
    dataEnd -= kPaletteTrailerBytes;
  }

  // The decoded stream: every line has planes x bytesPerLine bytes, of which
  // the first width bytes of each plane are pixels.
  const size_t lineBytes = bytesPerLine * planes;
  const size_t total = lineBytes * static_cast<size_t>(height);
  // A run of two bytes yields at most 63, so the data bounds what it can
  // decode to: a short file with a huge header (or a huge line length) is
  // refused before the buffer is allocated.
  const size_t dataBytes = dataEnd - kHeaderBytes;
  if (total > dataBytes / 2 * 63 + dataBytes % 2) return Fail(image);
  std::vector<uint8_t> decoded(total);
  ByteReader data(file.data() + kHeaderBytes, dataBytes, kHeaderBytes);
  size_t position = 0;
  while (position < total) {
    uint8_t value = data.u8();
    size_t count = 1;
    if (value >= 0xC0) {
      count = value & 0x3F;
      value = data.u8();
    }
    if (!data.ok()) return Fail(image);
    count = std::min(count, total - position);
    std::memset(&decoded[position], value, count);
    position += count;
  }

  if (!image.Allocate(width, height, planes)) return Fail(image);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* line = &decoded[static_cast<size_t>(y) * lineBytes];
    uint8_t* out = image.row(y);
    for (int32_t x = 0; x < width; ++x) {
      for (int plane = 0; plane < planes; ++plane) {
        out[x * planes + plane] = line[plane * bytesPerLine + static_cast<size_t>(x)];
      }
    }
  }
  if (planes == 1) {
    if (!image.AllocatePalette(256, 3)) return Fail(image);
    std::memcpy(image.palette.data(), file.data() + file.size() - kPaletteTrailerBytes + 1, 768);
  }
  return true;
}

}  // namespace vexal
