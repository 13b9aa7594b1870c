// "DPX" layered palette pictures (little-endian).
//
// File header, 160 bytes: "DPX" at 0, int32 canvas width at 136, height at
// 140, layer count at 144; then the shared palette, 256 x (B, G, R, unused).
// Each layer: a 128-byte header (flag byte A at 4, flag byte B at 6, int32
// transparent index at 12, name from 32), then in this order a 256-byte
// block to skip (B bit 4), an own palette (A bit 1), the canvas-sized
// palette indices (bottom row first, rows padded to 4 bytes; run-length
// coded when A bit 5 is set) and an alpha mask (A bit 0, compressed when A
// bit 4 is set). Tagged chunks (4-character tag, int32 size) follow the
// layers up to the tag "EOF ".
//
// The alpha mask is read as 2 bits per pixel (4 pixels per byte, rows padded
// to 4 bytes) only to get past it: its values are not used, a masked layer
// becomes index + alpha with an opaque mask.
#include <algorithm>
#include <cstring>

#include "images/loaders.h"
#include "io/byte_reader.h"

namespace vexal {

namespace {

constexpr size_t kFileHeaderBytes = 160;
constexpr size_t kPaletteBytes = 1024;
constexpr size_t kLayerHeaderBytes = 128;
constexpr size_t kSkippedBlockBytes = 256;

constexpr uint8_t kHasMask = 0x01;
constexpr uint8_t kOwnPalette = 0x02;
constexpr uint8_t kMaskCompressed = 0x10;
constexpr uint8_t kIndicesCompressed = 0x20;
constexpr uint8_t kVisible = 0x01;
constexpr uint8_t kHasSkippedBlock = 0x10;

bool Fail(NPicture& picture) {
  picture.Clear();
  return false;
}

// Fills out (size bytes) from the stream: a byte equal to the byte before it
// is followed by a count n, and the pair with its count stands for n copies.
// False when the stream ends first.
bool DecodeRepeatPairs(ByteReader& reader, uint8_t* out, size_t size) {
  size_t position = 0;
  int previous = -1;
  while (position < size) {
    const uint8_t value = reader.u8();
    if (!reader.ok()) return false;
    if (value != previous) {
      out[position++] = value;
      previous = value;
      continue;
    }
    const uint8_t count = reader.u8();
    if (!reader.ok()) return false;
    // One copy is already written (the first byte of the pair).
    if (count == 0) {
      --position;
    } else {
      const size_t more = std::min<size_t>(count - 1u, size - position);
      std::memset(out + position, value, more);
      position += more;
    }
    previous = -1;
  }
  return true;
}

bool ReadPlane(ByteReader& reader, bool compressed, std::vector<uint8_t>& out, size_t size) {
  // Three bytes (a pair and its count) give at most 255, so what is left of
  // the file bounds the plane before it is allocated.
  const size_t room = reader.remaining();
  if (compressed ? size / 85 > room : size > room) {
    reader.fail();
    return false;
  }
  out.resize(size);
  if (compressed) return DecodeRepeatPairs(reader, out.data(), size);
  return reader.bytes(out.data(), size);
}

void ExpandPalette(std::span<const uint8_t> bgrx, int32_t transparent, std::vector<uint8_t>& rgba) {
  rgba.resize(256 * 4);
  for (size_t i = 0; i < 256; ++i) {
    rgba[i * 4 + 0] = bgrx[i * 4 + 2];
    rgba[i * 4 + 1] = bgrx[i * 4 + 1];
    rgba[i * 4 + 2] = bgrx[i * 4 + 0];
    rgba[i * 4 + 3] = static_cast<int32_t>(i) == transparent ? 0 : 255;
  }
}

}  // namespace

bool LoadDpxPicture(ImageBytes file, NPicture& picture, int layer) {
  picture.Clear();
  if (file.size() < kFileHeaderBytes + kPaletteBytes || std::memcmp(file.data(), "DPX", 3) != 0) {
    return false;
  }
  ByteReader reader(file);
  reader.seek(136);
  const int32_t width = reader.i32le();
  const int32_t height = reader.i32le();
  const int32_t layerCount = reader.i32le();
  reader.seek(kFileHeaderBytes);
  const std::span<const uint8_t> sharedPalette = reader.span(kPaletteBytes);
  if (!reader.ok() || ImageByteSize(width, height, 1) == 0 || layerCount < 0 ||
      static_cast<size_t>(layerCount) > reader.remaining() / kLayerHeaderBytes) {
    return Fail(picture);
  }
  if (layer >= 0 && layer >= layerCount) return Fail(picture);

  const size_t indexStride = (static_cast<size_t>(width) + 3) & ~size_t{3};
  const size_t maskStride = ((static_cast<size_t>(width) + 3) / 4 + 3) & ~size_t{3};
  const uint64_t keptLayers = layer >= 0 ? 1 : static_cast<uint64_t>(layerCount);
  if (std::max<uint64_t>(keptLayers, 1) * static_cast<uint64_t>(width) * height > kMaxPicturePixels) {
    return Fail(picture);
  }

  picture.width = width;
  picture.height = height;
  std::vector<uint8_t> indices;
  std::vector<uint8_t> mask;
  for (int32_t index = 0; index < layerCount; ++index) {
    ByteReader header = reader.sub(kLayerHeaderBytes);
    header.seek(4);
    const uint8_t flagsA = header.u8();
    header.seek(6);
    const uint8_t flagsB = header.u8();
    header.seek(12);
    const int32_t transparent = header.i32le();
    header.seek(32);
    std::string name = header.fixedString(kLayerHeaderBytes - 32);
    if (!reader.ok() || !header.ok()) return Fail(picture);

    if ((flagsB & kHasSkippedBlock) && !reader.skip(kSkippedBlockBytes)) return Fail(picture);
    std::span<const uint8_t> layerPalette = sharedPalette;
    if (flagsA & kOwnPalette) {
      layerPalette = reader.span(kPaletteBytes);
      if (!reader.ok()) return Fail(picture);
    }
    if (!ReadPlane(reader, (flagsA & kIndicesCompressed) != 0, indices,
                   indexStride * static_cast<size_t>(height))) {
      return Fail(picture);
    }
    const bool masked = (flagsA & kHasMask) != 0;
    if (masked && !ReadPlane(reader, (flagsA & kMaskCompressed) != 0, mask,
                             maskStride * static_cast<size_t>(height))) {
      return Fail(picture);
    }
    if (layer >= 0 && layer != index) continue;

    NLayer entry;
    entry.name = std::move(name);
    entry.width = width;
    entry.height = height;
    entry.flags = (flagsB & kVisible) ? 0 : NLayer::kHidden;
    const int32_t channels = masked ? 2 : 1;
    if (!entry.image.Allocate(width, height, channels)) return Fail(picture);
    ExpandPalette(layerPalette, transparent, entry.image.palette);
    entry.image.paletteCount = 256;
    entry.image.paletteChannels = 4;
    for (int32_t y = 0; y < height; ++y) {
      const uint8_t* source = &indices[static_cast<size_t>(height - 1 - y) * indexStride];
      uint8_t* target = entry.image.row(y);
      if (!masked) {
        std::memcpy(target, source, static_cast<size_t>(width));
        continue;
      }
      for (int32_t x = 0; x < width; ++x) {
        target[x * 2] = source[x];
        target[x * 2 + 1] = 255;
      }
    }
    picture.layers.push_back(std::move(entry));
  }

  // The chunks after the layers carry nothing the picture needs; the file is
  // complete only when its end marker is there.
  for (;;) {
    char tag[4];
    if (!reader.bytes(tag, 4)) return Fail(picture);
    const int32_t size = reader.i32le();
    if (!reader.ok()) return Fail(picture);
    if (std::memcmp(tag, "EOF ", 4) == 0) return true;
    if (size < 0 || !reader.skip(static_cast<size_t>(size))) return Fail(picture);
  }
}

}  // namespace vexal
