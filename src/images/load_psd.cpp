// Photoshop documents (version 1): 26-byte header, colour mode data (the
// palette of indexed documents), image resources (skipped), layer and mask
// information, then the merged image as planar channels, raw, PackBits
// with a table of row byte counts, or ZIP (one zlib stream for all the
// planes, optionally with per-row prediction; see psd_zip.h). Layer channels
// use the same four compressions, each channel on its own. Bitmap, grey,
// duotone (as grey), indexed, RGB and CMYK at 8 bits (16-bit samples keep
// their high byte; bitmap documents 1 bit) are read.
//
// The layered read gives the merged image as layer 0 followed by the
// document's layers, bottom first; selector -2 reads only the merged image.
#include <array>
#include <cstring>
#include <vector>

#include "images/image_codec_util.h"
#include "images/loaders.h"
#include "images/psd_zip.h"

namespace vexal {
namespace {

enum PsdMode : uint16_t { kBitmap = 0, kGrey = 1, kIndexed = 2, kRgb = 3, kCmyk = 4, kDuotone = 8 };

struct PsdHeader {
  uint16_t channels = 0;
  int32_t width = 0, height = 0;
  uint16_t depth = 0;
  uint16_t mode = 0;
};

using Plane = std::vector<uint8_t>;

size_t RowBytes(int32_t width, int depth) {
  return depth == 1 ? (static_cast<size_t>(width) + 7) / 8 : static_cast<size_t>(width) * (depth / 8);
}

// Turns one stored row into 8-bit samples.
void NarrowRow(const uint8_t* stored, int32_t width, int depth, uint8_t* out) {
  if (depth == 8) {
    std::memcpy(out, stored, static_cast<size_t>(width));
  } else if (depth == 16) {
    for (int32_t x = 0; x < width; ++x) out[x] = stored[x * 2];  // big-endian high byte
  } else {
    // Bitmap documents: a set bit is black.
    for (int32_t x = 0; x < width; ++x) out[x] = ((stored[x >> 3] >> (7 - (x & 7))) & 1) ? 0 : 255;
  }
}

// Reads planeCount planes of width x height. Compression 0: raw planes one
// after another; 1: all row byte counts first, then the packed rows; 2: the
// rest of the reader is one zlib stream of all the rows; 3: the same with
// each row's samples stored as differences.
bool ReadPlanes(ByteReader& in, uint16_t compression, int32_t width, int32_t height, int depth,
                int planeCount, std::vector<Plane>& planes) {
  const size_t rowBytes = RowBytes(width, depth);
  const size_t rows = static_cast<size_t>(height) * planeCount;
  std::vector<uint8_t> stored(rowBytes);
  std::vector<uint16_t> counts;
  if (compression == 1) {
    if (!in.has(rows * 2)) return false;
    counts.resize(rows);
    // A packed row needs at least two bytes per 128 output bytes; checking
    // the counts first keeps a short file from allocating huge planes.
    const size_t minimumRow = 2 * ((rowBytes + 127) / 128);
    size_t total = 0;
    for (auto& count : counts) {
      count = in.u16be();
      if (count < minimumRow) return false;
      total += count;
    }
    if (total > in.remaining()) return false;
  } else if (compression == 2 || compression == 3) {
    // Prediction is undefined for 1-bit samples.
    if ((compression == 3 && depth == 1) || !image_detail::ZipStreamCanFill(in.remaining(), rows, rowBytes)) {
      return false;
    }
  } else if (compression != 0) {
    return false;
  } else if (!in.has(rows * rowBytes)) {
    return false;
  }
  planes.assign(static_cast<size_t>(planeCount), Plane(static_cast<size_t>(width) * height));
  if (compression >= 2) {
    const auto prediction = compression == 2 ? image_detail::RowPrediction::kNone
                            : depth == 16    ? image_detail::RowPrediction::kDelta16
                                             : image_detail::RowPrediction::kDelta8;
    return image_detail::InflateRows(in.span(in.remaining()), rows, rowBytes, prediction,
                                     [&](size_t r, const uint8_t* row) {
                                       const size_t y = r % height;
                                       NarrowRow(row, width, depth, &planes[r / height][y * width]);
                                     });
  }
  for (size_t r = 0; r < rows; ++r) {
    if (compression == 0) {
      if (!in.bytes(stored.data(), rowBytes)) return false;
    } else {
      ByteReader packed = in.sub(counts[r]);
      if (!in.ok() || !image_detail::UnpackBits(packed, stored.data(), rowBytes)) return false;
    }
    const size_t plane = r / height;
    const size_t y = r % height;
    NarrowRow(stored.data(), width, depth, &planes[plane][y * width]);
  }
  return true;
}

// Builds an image from colour planes (and an optional alpha plane).
bool BuildImage(const PsdHeader& header, const std::array<uint8_t, 768>& palette, int32_t width,
                int32_t height, const Plane* color[4], const Plane* alpha, NImage& image) {
  const size_t count = static_cast<size_t>(width) * height;
  const bool indexedLike = header.mode != kRgb && header.mode != kCmyk;
  const int channels = indexedLike ? (alpha ? 2 : 1) : (alpha ? 4 : 3);
  if (!image.Allocate(width, height, channels)) return false;
  uint8_t* out = image.pixels.data();
  for (size_t i = 0; i < count; ++i, out += channels) {
    if (indexedLike) {
      out[0] = (*color[0])[i];
    } else if (header.mode == kRgb) {
      for (int c = 0; c < 3; ++c) out[c] = (*color[c])[i];
    } else {
      // Stored CMYK values are inverted (255 = no ink).
      const int k = (*color[3])[i];
      for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>((*color[c])[i] * k / 255);
    }
    if (alpha) out[channels - 1] = (*alpha)[i];
  }
  if (header.mode == kIndexed) {
    if (!image.AllocatePalette(256, 3)) return false;
    for (int i = 0; i < 256; ++i) {
      for (int c = 0; c < 3; ++c) image.palette[i * 3 + c] = palette[c * 256 + i];
    }
  } else if (indexedLike && !image_detail::SetGreyRamp(image)) {
    return false;
  }
  return true;
}

int ColorPlaneCount(uint16_t mode) {
  switch (mode) {
    case kRgb: return 3;
    case kCmyk: return 4;
    default: return 1;
  }
}

struct LayerChannel {
  int16_t id;
  uint32_t length;
};

struct LayerRecord {
  int32_t top, left, bottom, right;
  std::vector<LayerChannel> channels;
  uint8_t opacity, flags;
  std::string name;
};

bool ReadLayerRecord(ByteReader& in, LayerRecord& record) {
  record.top = in.i32be();
  record.left = in.i32be();
  record.bottom = in.i32be();
  record.right = in.i32be();
  const uint16_t channelCount = in.u16be();
  if (!in.ok() || channelCount > 56) return false;
  for (int c = 0; c < channelCount; ++c) {
    LayerChannel channel;
    channel.id = in.i16be();
    channel.length = in.u32be();
    record.channels.push_back(channel);
  }
  if (!in.peekMatches("8BIM")) return false;
  in.skip(8);  // signature, blend mode
  record.opacity = in.u8();
  in.skip(1);  // clipping
  record.flags = in.u8();
  in.skip(1);
  ByteReader extra = in.sub(in.u32be());
  if (!in.ok()) return false;
  extra.skip(extra.u32be());  // layer mask data
  extra.skip(extra.u32be());  // blending ranges
  const uint8_t nameLength = extra.u8();
  record.name = std::string(reinterpret_cast<const char*>(extra.cursor()),
                            extra.has(nameLength) ? nameLength : 0);
  // Damaged extra data only costs the name.
  if (!extra.ok()) record.name.clear();
  const int64_t width = int64_t{record.right} - record.left;
  const int64_t height = int64_t{record.bottom} - record.top;
  return width >= 0 && height >= 0 && width <= kMaxImageSide && height <= kMaxImageSide;
}

// The smallest layer record: bounds, channel count, blend signature and
// mode, opacity, clipping, flags, filler and the extra data length.
constexpr size_t kMinLayerRecordBytes = 16 + 2 + 4 + 4 + 4 + 4;

// Whether the records can be read without allocating beyond what the file
// and the pixel budget allow: every wanted layer with pixels stores each of
// its colour channels, the channel data fits the bytes after the records,
// and the layers' pixels stay within budget.
bool LayersFit(const std::vector<LayerRecord>& records, int colorPlanes, int wanted,
               size_t bytesLeft, uint64_t budget) {
  uint64_t dataBytes = 0;
  uint64_t pixels = 0;
  for (size_t n = 0; n < records.size(); ++n) {
    const LayerRecord& record = records[n];
    int colours = 0;
    for (const LayerChannel& channel : record.channels) {
      dataBytes += channel.length;
      if (channel.id >= 0 && channel.id < colorPlanes) colours |= 1 << channel.id;
    }
    if (wanted >= 0 && static_cast<size_t>(wanted) != n) continue;
    const uint64_t area = static_cast<uint64_t>(int64_t{record.right} - record.left) *
                          static_cast<uint64_t>(int64_t{record.bottom} - record.top);
    if (area == 0) continue;
    // A layer without its colour data would be made up from nothing.
    if (colours != (1 << colorPlanes) - 1) return false;
    pixels += area;
  }
  return dataBytes <= bytesLeft && pixels <= budget;
}

// Reads the layer records and their channel data into picture (appended
// after the merged layer). wanted: -1 all, else that layer only. budget:
// the pixels the layers may hold together.
bool ReadLayers(ByteReader& in, const PsdHeader& header, const std::array<uint8_t, 768>& palette, int wanted,
                uint64_t budget, NPicture& picture) {
  const int16_t signedCount = in.i16be();
  if (!in.ok()) return false;
  const int count = signedCount < 0 ? -signedCount : signedCount;
  if (static_cast<size_t>(count) > in.remaining() / kMinLayerRecordBytes) return false;
  std::vector<LayerRecord> records(static_cast<size_t>(count));
  for (auto& record : records) {
    if (!ReadLayerRecord(in, record)) return false;
  }
  const int colorPlanes = ColorPlaneCount(header.mode);
  if (!LayersFit(records, colorPlanes, wanted, in.remaining(), budget)) return false;
  for (int n = 0; n < count; ++n) {
    const LayerRecord& record = records[n];
    const int32_t width = record.right - record.left;
    const int32_t height = record.bottom - record.top;
    std::vector<Plane> planes(5);
    bool have[5] = {false, false, false, false, false};
    for (const LayerChannel& channel : record.channels) {
      ByteReader data = in.sub(channel.length);
      if (!in.ok()) return false;
      const bool colour = channel.id >= 0 && channel.id < colorPlanes;
      const bool alpha = channel.id == -1;
      if ((!colour && !alpha) || width == 0 || height == 0 || (wanted >= 0 && wanted != n)) continue;
      if (channel.length < 2) return false;
      const uint16_t compression = data.u16be();
      std::vector<Plane> one;
      if (!ReadPlanes(data, compression, width, height, header.depth, 1, one)) return false;
      const int slot = alpha ? 4 : channel.id;
      planes[slot] = std::move(one[0]);
      have[slot] = true;
    }
    if (wanted >= 0 && wanted != n) continue;
    NLayer layer;
    layer.left = record.left;
    layer.top = record.top;
    layer.width = width;
    layer.height = height;
    layer.name = record.name;
    if (record.flags & 0x02) layer.flags |= NLayer::kHidden;
    if (width > 0 && height > 0) {
      // Every colour plane was read (LayersFit); a layer without an alpha
      // channel is opaque.
      const Plane* color[4] = {&planes[0], &planes[1], &planes[2], &planes[3]};
      Plane alpha = have[4] ? std::move(planes[4]) : Plane(static_cast<size_t>(width) * height, 255);
      if (record.opacity != 255) {
        for (auto& a : alpha) a = static_cast<uint8_t>(a * record.opacity / 255);
      }
      if (!BuildImage(header, palette, width, height, color, &alpha, layer.image)) return false;
    }
    picture.layers.push_back(std::move(layer));
  }
  return true;
}

}  // namespace

bool LoadPsdPicture(ImageBytes file, NPicture& picture, int layer) {
  picture.Clear();
  ByteReader in(file);
  if (!in.peekMatches("8BPS")) return false;
  in.skip(4);
  if (in.u16be() != 1) return false;  // version 2 is the large-document variant
  in.skip(6);
  PsdHeader header;
  header.channels = in.u16be();
  const uint32_t height = in.u32be();
  const uint32_t width = in.u32be();
  header.depth = in.u16be();
  header.mode = in.u16be();
  if (!in.ok() || header.channels < 1 || header.channels > 56) return false;
  if (width == 0 || height == 0 || width > kMaxImageSide || height > kMaxImageSide) return false;
  const uint64_t canvasPixels = uint64_t{width} * height;
  if (canvasPixels > kMaxPicturePixels) return false;
  header.width = static_cast<int32_t>(width);
  header.height = static_cast<int32_t>(height);
  const bool depthOk = header.mode == kBitmap ? header.depth == 1 : (header.depth == 8 || header.depth == 16);
  if (!depthOk) return false;
  if (header.mode != kBitmap && header.mode != kGrey && header.mode != kIndexed && header.mode != kRgb &&
      header.mode != kCmyk && header.mode != kDuotone) {
    return false;
  }
  const int colorPlanes = ColorPlaneCount(header.mode);
  if (header.channels < colorPlanes || layer < -2) return false;

  std::array<uint8_t, 768> palette{};
  ByteReader modeData = in.sub(in.u32be());
  if (!in.ok()) return false;
  if (header.mode == kIndexed && !modeData.bytes(palette.data(), palette.size())) return false;
  in.skip(in.u32be());  // image resources
  ByteReader layerAndMask = in.sub(in.u32be());
  if (!in.ok()) return false;

  picture.width = header.width;
  picture.height = header.height;
  // The merged image: colour planes, then an alpha plane when one more
  // channel is stored (bitmap documents have none).
  if (layer == -2 || layer == -1 || layer == 0) {
    const uint16_t compression = in.u16be();
    const bool withAlpha = header.channels > colorPlanes && header.mode != kBitmap;
    const int planeCount = colorPlanes + (withAlpha ? 1 : 0);
    std::vector<Plane> planes;
    if (!in.ok() || !ReadPlanes(in, compression, header.width, header.height, header.depth, planeCount, planes)) {
      picture.Clear();
      return false;
    }
    const Plane* color[4] = {&planes[0], nullptr, nullptr, nullptr};
    for (int c = 1; c < colorPlanes; ++c) color[c] = &planes[c];
    NLayer merged;
    merged.width = header.width;
    merged.height = header.height;
    if (!BuildImage(header, palette, header.width, header.height, color,
                    withAlpha ? &planes[colorPlanes] : nullptr, merged.image)) {
      picture.Clear();
      return false;
    }
    picture.layers.push_back(std::move(merged));
  }
  if (layer == -1 || layer > 0) {
    // Documents without layers have an empty layer block, or none at all.
    if (layerAndMask.size() >= 4) {
      ByteReader layerInfo = layerAndMask.sub(layerAndMask.u32be());
      if (!layerAndMask.ok() ||
          (layerInfo.size() > 0 && !ReadLayers(layerInfo, header, palette, layer > 0 ? layer - 1 : -1,
                                               kMaxPicturePixels - canvasPixels, picture))) {
        picture.Clear();
        return false;
      }
    }
  }
  if (picture.layers.empty()) {
    picture.Clear();
    return false;
  }
  return true;
}

}  // namespace vexal
