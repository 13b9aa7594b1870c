// IFF ILBM (big-endian): "FORM", length, "ILBM", then chunks (tag, uint32
// length, data padded to an even length). Used: "BMHD" (uint16 width,
// height, int16 x, y, uint8 planes, masking, compression, pad, uint16
// transparent colour, aspect, page size), "CMAP" (R G B triples), "CAMG"
// (display mode; 0x80 extra half-bright) and "BODY".
//
// Each row stores its planes one after another, each plane a bit row of
// width rounded up to 16 bits, most significant bit leftmost; with masking 1
// a mask plane follows the colour planes. The body is raw or ByteRun1 coded
// (n >= 0: n + 1 literal bytes; -127..-1: the next byte 1 - n times; -128:
// nothing) and decoded as one stream. 1 to 8 planes give palette indices
// with a palette of 2^planes entries from "CMAP" (a grey ramp without one);
// 24 planes give R G B, planes 0-7 red from the least significant bit up,
// then green, then blue.
#include <algorithm>
#include <cstring>
#include <vector>

#include "images/image_codec_util.h"
#include "images/loaders.h"
#include "io/byte_reader.h"

namespace vexal {

namespace {

constexpr uint32_t kExtraHalfBright = 0x80;

bool Fail(NImage& image) {
  image.Clear();
  return false;
}

struct BitmapHeader {
  int32_t width = 0;
  int32_t height = 0;
  int planes = 0;
  uint8_t masking = 0;
  uint8_t compression = 0;
};

bool DecodeByteRun1(ByteReader& reader, uint8_t* out, size_t size) {
  size_t position = 0;
  while (position < size) {
    const int8_t control = reader.i8();
    if (!reader.ok()) return false;
    if (control >= 0) {
      const size_t count = static_cast<size_t>(control) + 1;
      const std::span<const uint8_t> literal = reader.span(count);
      if (!reader.ok()) return false;
      const size_t kept = std::min(count, size - position);
      std::memcpy(out + position, literal.data(), kept);
      position += kept;
    } else if (control != -128) {
      const uint8_t value = reader.u8();
      if (!reader.ok()) return false;
      const size_t kept = std::min(static_cast<size_t>(1 - control), size - position);
      std::memset(out + position, value, kept);
      position += kept;
    }
  }
  return true;
}

}  // namespace

bool LoadIlbmImage(ImageBytes file, NImage& image) {
  image.Clear();
  ByteReader form;
  if (!image_detail::OpenIffForm(file, "FORM", "ILBM", form)) return false;

  BitmapHeader header;
  bool haveHeader = false;
  std::span<const uint8_t> colourMap;
  uint32_t displayMode = 0;
  ByteReader body;
  bool haveBody = false;
  while (form.remaining() >= 8 && !haveBody) {
    char tag[4];
    form.bytes(tag, 4);
    const size_t length = form.u32be();
    ByteReader chunk = form.sub(length);
    if (!form.ok()) return Fail(image);
    if (length & 1) form.skip(1);
    if (std::memcmp(tag, "BMHD", 4) == 0) {
      header.width = chunk.u16be();
      header.height = chunk.u16be();
      chunk.skip(4);
      header.planes = chunk.u8();
      header.masking = chunk.u8();
      header.compression = chunk.u8();
      if (!chunk.ok()) return Fail(image);
      haveHeader = true;
    } else if (std::memcmp(tag, "CMAP", 4) == 0) {
      colourMap = chunk.span(length - length % 3);
    } else if (std::memcmp(tag, "CAMG", 4) == 0) {
      displayMode = chunk.u32be();
    } else if (std::memcmp(tag, "BODY", 4) == 0) {
      body = chunk;
      haveBody = true;
    }
  }
  if (!haveHeader || !haveBody) return Fail(image);
  const bool indexed = header.planes >= 1 && header.planes <= 8;
  if (!indexed && header.planes != 24) return Fail(image);
  if (header.compression > 1) return Fail(image);
  const int32_t channels = indexed ? 1 : 3;
  if (ImageByteSize(header.width, header.height, channels) == 0) return Fail(image);

  const size_t planeRowBytes = (static_cast<size_t>(header.width) + 15) / 16 * 2;
  const size_t storedPlanes = static_cast<size_t>(header.planes) + (header.masking == 1 ? 1 : 0);
  const size_t rowBytes = planeRowBytes * storedPlanes;
  const size_t total = rowBytes * static_cast<size_t>(header.height);
  std::vector<uint8_t> planar;
  if (header.compression == 1) {
    // ByteRun1 expands at most 128 times, which bounds the buffer by the
    // file before it is allocated.
    if (total / 128 > body.remaining()) return Fail(image);
    planar.resize(total);
    if (!DecodeByteRun1(body, planar.data(), total)) return Fail(image);
  } else {
    const std::span<const uint8_t> raw = body.span(total);
    if (!body.ok()) return Fail(image);
    planar.assign(raw.begin(), raw.end());
  }

  if (!image.Allocate(header.width, header.height, channels)) return Fail(image);
  for (int32_t y = 0; y < header.height; ++y) {
    const uint8_t* row = &planar[static_cast<size_t>(y) * rowBytes];
    uint8_t* out = image.row(y);
    for (int32_t x = 0; x < header.width; ++x) {
      const size_t byte = static_cast<size_t>(x) / 8;
      const int shift = 7 - x % 8;
      uint32_t value = 0;
      for (int plane = 0; plane < header.planes; ++plane) {
        value |= static_cast<uint32_t>((row[plane * planeRowBytes + byte] >> shift) & 1) << plane;
      }
      if (indexed) {
        out[x] = static_cast<uint8_t>(value);
      } else {
        out[x * 3 + 0] = static_cast<uint8_t>(value);
        out[x * 3 + 1] = static_cast<uint8_t>(value >> 8);
        out[x * 3 + 2] = static_cast<uint8_t>(value >> 16);
      }
    }
  }
  if (!indexed) return true;

  const int32_t entries = 1 << header.planes;
  if (!image.AllocatePalette(entries, 3)) return Fail(image);
  if (colourMap.empty()) {
    for (int32_t i = 0; i < entries; ++i) {
      const auto grey = static_cast<uint8_t>(i * 255 / std::max(1, entries - 1));
      std::memset(&image.palette[static_cast<size_t>(i) * 3], grey, 3);
    }
    return true;
  }
  const size_t copied = std::min(colourMap.size(), image.palette.size());
  std::memcpy(image.palette.data(), colourMap.data(), copied);
  // Extra half-bright: the upper half of a 64-colour palette repeats the
  // lower half at half intensity.
  if ((displayMode & kExtraHalfBright) && header.planes == 6 && copied <= 32 * 3) {
    for (size_t i = 0; i < 32 * 3; ++i) image.palette[32 * 3 + i] = image.palette[i] / 2;
  }
  return true;
}

}  // namespace vexal
