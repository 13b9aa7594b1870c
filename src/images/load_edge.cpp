// "EDGE" layered palette pictures (little-endian).
//
//   0    10 bytes  "EDGE", NUL, rest unchecked
//   10   int32     canvas width
//   14   int32     canvas height
//   18   uint16    layer count
//   20   uint8     transparent palette index
//   21   768 bytes palette, 256 x (R, G, B)
//   per layer: 80-byte name, 1 byte visible flag, then width x height
//   palette indices (row 0 first) packed by CEdgeCompress.
//
// Every layer covers the whole canvas and shares the palette, expanded to
// R G B A with alpha 0 for the transparent index. The file lists the top
// layer first, so the layers are reversed to put the top one last.
#include <algorithm>
#include <cstring>

#include "images/loaders.h"
#include "io/byte_reader.h"

namespace vexal {

namespace {

constexpr size_t kHeaderBytes = 21 + 768;
constexpr size_t kLayerNameBytes = 80;

bool Fail(NPicture& picture) {
  picture.Clear();
  return false;
}

}  // namespace

bool LoadEdgePicture(ImageBytes file, NPicture& picture, int layer) {
  picture.Clear();
  ByteReader reader(file);
  if (file.size() < kHeaderBytes || std::memcmp(file.data(), "EDGE", 5) != 0) return false;

  reader.skip(10);
  const int32_t width = reader.i32le();
  const int32_t height = reader.i32le();
  const uint16_t layerCount = reader.u16le();
  const uint8_t transparent = reader.u8();
  const std::span<const uint8_t> rgb = reader.span(768);
  const size_t layerBytes = ImageByteSize(width, height, 1);
  if (!reader.ok() || layerBytes == 0) return Fail(picture);
  if (layer >= 0 && layer >= layerCount) return Fail(picture);

  NImage shared;
  if (!shared.AllocatePalette(256, 4)) return Fail(picture);
  for (size_t i = 0; i < 256; ++i) {
    std::memcpy(&shared.palette[i * 4], &rgb[i * 3], 3);
    shared.palette[i * 4 + 3] = i == transparent ? 0 : 255;
  }

  // With one layer asked for, the others are decoded into a scratch buffer
  // (the packing has no sizes to skip by) and dropped.
  const int keepFromFile = layer >= 0 ? layerCount - 1 - layer : -1;
  // Runs let a few bytes ask for a whole canvas, and a missing tail reads as
  // index 0, so the file size says nothing of the work: the layers kept are
  // capped by the pixel budget instead.
  const uint64_t keptLayers = layer >= 0 ? 1 : std::max<uint64_t>(layerCount, 1);
  if (keptLayers * layerBytes > kMaxPicturePixels) return Fail(picture);
  // Each layer stores at least its name, its flag and two empty counts.
  if (layerCount > reader.remaining() / (kLayerNameBytes + 1 + 8)) return Fail(picture);

  std::vector<uint8_t> scratch;
  picture.width = width;
  picture.height = height;
  for (int index = 0; index < layerCount; ++index) {
    NLayer entry;
    entry.name = reader.fixedString(kLayerNameBytes);
    const uint8_t visible = reader.u8();
    if (!reader.ok()) return Fail(picture);
    const bool keep = keepFromFile < 0 || keepFromFile == index;
    uint8_t* target = nullptr;
    if (keep) {
      if (!entry.image.Allocate(width, height, 1)) return Fail(picture);
      entry.image.palette = shared.palette;
      entry.image.paletteCount = 256;
      entry.image.paletteChannels = 4;
      target = entry.image.pixels.data();
    } else {
      scratch.resize(layerBytes);
      target = scratch.data();
    }
    if (!CEdgeCompress::Decode(reader, target, layerBytes)) return Fail(picture);
    if (!keep) continue;
    entry.width = width;
    entry.height = height;
    entry.flags = visible == 0 ? NLayer::kHidden : 0;
    picture.layers.push_back(std::move(entry));
  }
  std::reverse(picture.layers.begin(), picture.layers.end());
  return true;
}

}  // namespace vexal
