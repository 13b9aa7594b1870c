// Maya IFF (big-endian, chunks aligned to 4 bytes): "FOR4", length, "CIMG",
// then chunks (tag, uint32 length). "TBHD": uint32 width, height, uint16
// pixel ratio numerator, denominator, uint32 flags (1 colour, 2 alpha),
// uint16 bytes per channel (0: 8 bits), uint16 tile count, uint32
// compression (1: run-length). Then a "FOR4" group "TBMP" whose "RGBA"
// chunks are tiles: uint16 x1, y1, x2, y2 (inclusive, y counted from the
// bottom), then the tile's pixels bottom row first.
//
// A raw tile stores each pixel's channels in reverse (A B G R or B G R). A
// run-length tile (any tile shorter than its raw size when the header says
// so) stores the same channels as planes, alpha plane first, each coded in
// runs: a count byte c, then (c & 0x7F) + 1 literal bytes, or with bit 7
// set one byte repeated that many times.
//
// Flags 1 give R G B, flags 3 R G B A; other flags and 16-bit channels are
// refused.
#include <algorithm>
#include <cstring>
#include <vector>

#include "images/image_codec_util.h"
#include "images/loaders.h"
#include "io/byte_reader.h"

namespace vexal {

namespace {

constexpr uint32_t kFlagsRgb = 1;
constexpr uint32_t kFlagsRgba = 3;

bool Fail(NImage& image) {
  image.Clear();
  return false;
}

size_t Align4(size_t length) { return (length + 3) & ~size_t{3}; }

// Reads one chunk header and its data; the reader moves past the padding.
bool NextChunk(ByteReader& reader, char tag[4], ByteReader& chunk) {
  if (!reader.bytes(tag, 4)) return false;
  const size_t length = reader.u32be();
  chunk = reader.sub(length);
  if (!reader.ok()) return false;
  reader.skip(std::min(Align4(length) - length, reader.remaining()));
  return true;
}

bool DecodeRuns(ByteReader& reader, uint8_t* out, size_t size) {
  size_t position = 0;
  while (position < size) {
    const uint8_t control = reader.u8();
    const size_t count = (control & 0x7Fu) + 1;
    if (!reader.ok() || count > size - position) return false;
    if (control & 0x80) {
      std::memset(out + position, reader.u8(), count);
    } else if (!reader.bytes(out + position, count)) {
      return false;
    }
    if (!reader.ok()) return false;
    position += count;
  }
  return true;
}

struct TileHeader {
  bool compressed = false;
  int32_t channels = 0;
};

bool ReadTile(ByteReader& tile, const TileHeader& header, NImage& image) {
  const int32_t x1 = tile.u16be();
  const int32_t y1 = tile.u16be();
  const int32_t x2 = tile.u16be();
  const int32_t y2 = tile.u16be();
  if (!tile.ok() || x2 < x1 || y2 < y1 || x2 >= image.width || y2 >= image.height) return false;
  const size_t tileWidth = static_cast<size_t>(x2 - x1 + 1);
  const size_t tileHeight = static_cast<size_t>(y2 - y1 + 1);
  const size_t pixelCount = tileWidth * tileHeight;
  const auto channels = static_cast<size_t>(header.channels);
  const size_t rawSize = pixelCount * channels;

  // Both layouts end up as planes in file order: plane 0 is the last image
  // channel (alpha, or blue without alpha).
  std::vector<uint8_t> planes(rawSize);
  if (header.compressed && tile.remaining() < rawSize) {
    if (!DecodeRuns(tile, planes.data(), rawSize)) return false;
  } else {
    const std::span<const uint8_t> raw = tile.span(rawSize);
    if (!tile.ok()) return false;
    for (size_t i = 0; i < pixelCount; ++i) {
      for (size_t c = 0; c < channels; ++c) planes[c * pixelCount + i] = raw[i * channels + c];
    }
  }
  for (size_t row = 0; row < tileHeight; ++row) {
    const int32_t y = image.height - 1 - (y1 + static_cast<int32_t>(row));
    uint8_t* out = image.row(y) + static_cast<size_t>(x1) * channels;
    for (size_t x = 0; x < tileWidth; ++x) {
      const size_t i = row * tileWidth + x;
      for (size_t c = 0; c < channels; ++c) {
        out[x * channels + (channels - 1 - c)] = planes[c * pixelCount + i];
      }
    }
  }
  return true;
}

}  // namespace

bool LoadMayaIffImage(ImageBytes file, NImage& image) {
  image.Clear();
  ByteReader form;
  if (!image_detail::OpenIffForm(file, "FOR4", "CIMG", form)) return false;

  TileHeader tileHeader;
  bool haveHeader = false;
  bool haveTiles = false;
  char tag[4];
  ByteReader chunk;
  while (form.remaining() >= 8) {
    if (!NextChunk(form, tag, chunk)) return Fail(image);
    if (std::memcmp(tag, "TBHD", 4) == 0) {
      const uint32_t width = chunk.u32be();
      const uint32_t height = chunk.u32be();
      chunk.skip(4);  // pixel ratio
      const uint32_t flags = chunk.u32be();
      const uint16_t channelBytes = chunk.u16be();
      chunk.skip(2);  // tile count: the tiles are counted as they come
      const uint32_t compression = chunk.u32be();
      if (!chunk.ok() || (flags != kFlagsRgb && flags != kFlagsRgba) || channelBytes != 0 ||
          compression > 1) {
        return Fail(image);
      }
      tileHeader.channels = flags == kFlagsRgba ? 4 : 3;
      tileHeader.compressed = compression == 1;
      // The tiles that follow must cover the picture, and a run of two bytes
      // gives at most 128: a short file cannot ask for a huge image.
      const uint64_t pictureBytes = uint64_t{width} * height * static_cast<uint64_t>(tileHeader.channels);
      if (pictureBytes > uint64_t{form.remaining()} * 64) return Fail(image);
      if (width > static_cast<uint32_t>(kMaxImageSide) || height > static_cast<uint32_t>(kMaxImageSide) ||
          !image.Allocate(static_cast<int32_t>(width), static_cast<int32_t>(height),
                          tileHeader.channels) ||
          image.empty()) {
        return Fail(image);
      }
      haveHeader = true;
    } else if (std::memcmp(tag, "FOR4", 4) == 0 && chunk.peekMatches("TBMP")) {
      if (!haveHeader) return Fail(image);
      chunk.skip(4);
      ByteReader tile;
      while (chunk.remaining() >= 8) {
        if (!NextChunk(chunk, tag, tile)) return Fail(image);
        if (std::memcmp(tag, "RGBA", 4) != 0) continue;
        if (!ReadTile(tile, tileHeader, image)) return Fail(image);
        haveTiles = true;
      }
    }
  }
  if (!haveTiles) return Fail(image);
  return true;
}

}  // namespace vexal
