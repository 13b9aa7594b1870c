#include "images/image.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <unordered_map>

namespace vexal {

size_t ImageByteSize(int64_t width, int64_t height, int64_t channels) {
  if (width <= 0 || height <= 0 || channels < 1 || channels > 4) return 0;
  if (width > kMaxImageSide || height > kMaxImageSide) return 0;
  // At most 16384 * 16384 * 4 = 2^30: no overflow in 64 bits, and it fits a
  // size_t on every platform we build for.
  return static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(channels);
}

NRect NRect::intersect(const NRect& other) const {
  NRect out{std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
            std::min(bottom, other.bottom)};
  if (out.empty()) return NRect{};
  return out;
}

bool NImage::Allocate(int32_t newWidth, int32_t newHeight, int32_t newChannels) {
  Clear();
  if (newWidth < 0 || newHeight < 0 || newChannels < 0 || newChannels > 4) return false;
  if (newWidth > kMaxImageSide || newHeight > kMaxImageSide) return false;
  if (newWidth == 0 || newHeight == 0 || newChannels == 0) return true;
  const size_t bytes = ImageByteSize(newWidth, newHeight, newChannels);
  try {
    pixels.assign(bytes, 0);
  } catch (const std::bad_alloc&) {
    pixels = {};
    return false;
  }
  width = newWidth;
  height = newHeight;
  channels = newChannels;
  return true;
}

bool NImage::AllocatePalette(int32_t count, int32_t entryChannels) {
  if (count < 0 || count > 65536 || (entryChannels != 3 && entryChannels != 4)) return false;
  try {
    palette.assign(static_cast<size_t>(count) * entryChannels, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  paletteCount = count;
  paletteChannels = count > 0 ? entryChannels : 0;
  if (count == 0) palette.clear();
  return true;
}

void NImage::Clear() {
  width = height = channels = 0;
  paletteCount = paletteChannels = 0;
  pixels = {};
  palette = {};
}

bool NImage::CopyFrom(const NImage& other) {
  if (this == &other) return true;
  try {
    NImage copy = other;
    *this = std::move(copy);
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool NImage::Crop(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (empty()) return false;
  const int64_t newWidth = int64_t{right} - left;
  const int64_t newHeight = int64_t{bottom} - top;
  if (ImageByteSize(newWidth, newHeight, channels) == 0) return false;
  if (left == 0 && top == 0 && newWidth == width && newHeight == height) return true;
  NImage out;
  if (!out.Allocate(static_cast<int32_t>(newWidth), static_cast<int32_t>(newHeight), channels)) {
    return false;
  }
  const NRect overlap = NRect{0, 0, width, height}.intersect(NRect{left, top, right, bottom});
  if (!overlap.empty()) {
    const size_t rowBytes = static_cast<size_t>(overlap.width()) * channels;
    for (int32_t y = overlap.top; y < overlap.bottom; ++y) {
      std::memcpy(out.row(y - top) + static_cast<size_t>(overlap.left - left) * channels,
                  row(y) + static_cast<size_t>(overlap.left) * channels, rowBytes);
    }
  }
  out.palette = std::move(palette);
  out.paletteCount = paletteCount;
  out.paletteChannels = paletteChannels;
  *this = std::move(out);
  return true;
}

namespace {

// The colour of palette entry index as R G B A; indices beyond the palette
// read as opaque black. Without a palette the index is a grey level.
inline void PaletteColor(const NImage& image, uint32_t index, uint8_t* rgba) {
  if (image.paletteCount == 0) {
    const uint8_t grey = static_cast<uint8_t>(index);
    rgba[0] = rgba[1] = rgba[2] = grey;
    rgba[3] = 255;
    return;
  }
  if (index >= static_cast<uint32_t>(image.paletteCount)) {
    rgba[0] = rgba[1] = rgba[2] = 0;
    rgba[3] = 255;
    return;
  }
  const uint8_t* entry = &image.palette[static_cast<size_t>(index) * image.paletteChannels];
  rgba[0] = entry[0];
  rgba[1] = entry[1];
  rgba[2] = entry[2];
  rgba[3] = image.paletteChannels == 4 ? entry[3] : 255;
}

// Median-cut quantiser: the distinct colours (with their pixel counts) are
// split at the weighted median of the widest channel until there are count
// boxes; each box's weighted mean becomes a palette entry. Images with at
// most count distinct colours keep them exactly.
struct ColorCount {
  uint32_t color;  // R | G << 8 | B << 16 | A << 24
  uint32_t count;
};

inline uint8_t ChannelOf(uint32_t color, int channel) {
  return static_cast<uint8_t>(color >> (8 * channel));
}

std::vector<uint32_t> MedianCut(std::vector<ColorCount> colors, int dimensions, size_t count) {
  struct Box {
    size_t begin, end;
  };
  std::vector<Box> boxes{{0, colors.size()}};
  while (boxes.size() < count) {
    // Split the box with the widest range on any channel.
    int bestBox = -1, bestChannel = 0, bestRange = 0;
    for (size_t b = 0; b < boxes.size(); ++b) {
      if (boxes[b].end - boxes[b].begin < 2) continue;
      for (int c = 0; c < dimensions; ++c) {
        int low = 255, high = 0;
        for (size_t i = boxes[b].begin; i < boxes[b].end; ++i) {
          const int v = ChannelOf(colors[i].color, c);
          low = std::min(low, v);
          high = std::max(high, v);
        }
        if (high - low > bestRange) {
          bestRange = high - low;
          bestBox = static_cast<int>(b);
          bestChannel = c;
        }
      }
    }
    if (bestBox < 0) break;
    Box box = boxes[bestBox];
    std::sort(colors.begin() + box.begin, colors.begin() + box.end,
              [bestChannel](const ColorCount& a, const ColorCount& b) {
                return ChannelOf(a.color, bestChannel) < ChannelOf(b.color, bestChannel);
              });
    uint64_t total = 0;
    for (size_t i = box.begin; i < box.end; ++i) total += colors[i].count;
    uint64_t running = 0;
    size_t split = box.begin + 1;
    for (size_t i = box.begin; i < box.end - 1; ++i) {
      running += colors[i].count;
      split = i + 1;
      if (running * 2 >= total) break;
    }
    boxes[bestBox] = {box.begin, split};
    boxes.push_back({split, box.end});
  }
  std::vector<uint32_t> palette;
  for (const Box& box : boxes) {
    uint64_t sum[4] = {0, 0, 0, 0};
    uint64_t total = 0;
    for (size_t i = box.begin; i < box.end; ++i) {
      for (int c = 0; c < 4; ++c) sum[c] += uint64_t{ChannelOf(colors[i].color, c)} * colors[i].count;
      total += colors[i].count;
    }
    uint32_t color = 0;
    for (int c = 0; c < 4; ++c) color |= static_cast<uint32_t>((sum[c] + total / 2) / total) << (8 * c);
    palette.push_back(color);
  }
  return palette;
}

// Direct colour (3 or 4 channels) to target 1 or 2 channels. With target 2
// the alpha stays per pixel and the palette holds colours only; with target
// 1 a 4-channel image gets a 4-byte palette.
bool Quantize(NImage& image, int32_t target) {
  const int source = image.channels;
  const bool paletteAlpha = source == 4 && target == 1;
  const int dimensions = paletteAlpha ? 4 : 3;
  const size_t pixelCount = static_cast<size_t>(image.width) * image.height;
  auto key = [&](const uint8_t* p) {
    uint32_t color = p[0] | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
    color |= (paletteAlpha ? uint32_t{p[3]} : 255u) << 24;
    return color;
  };
  std::unordered_map<uint32_t, uint32_t> histogram;
  for (size_t i = 0; i < pixelCount; ++i) ++histogram[key(&image.pixels[i * source])];
  std::vector<ColorCount> colors;
  colors.reserve(histogram.size());
  for (const auto& [color, count] : histogram) colors.push_back({color, count});
  std::sort(colors.begin(), colors.end(),
            [](const ColorCount& a, const ColorCount& b) { return a.color < b.color; });
  const std::vector<uint32_t> entries = MedianCut(std::move(colors), dimensions, 256);

  std::unordered_map<uint32_t, uint8_t> nearest;
  auto lookup = [&](uint32_t color) -> uint8_t {
    auto found = nearest.find(color);
    if (found != nearest.end()) return found->second;
    int best = 0;
    int64_t bestDistance = std::numeric_limits<int64_t>::max();
    for (size_t e = 0; e < entries.size(); ++e) {
      int64_t distance = 0;
      for (int c = 0; c < dimensions; ++c) {
        const int d = int{ChannelOf(color, c)} - int{ChannelOf(entries[e], c)};
        distance += d * d;
      }
      if (distance < bestDistance) {
        bestDistance = distance;
        best = static_cast<int>(e);
      }
    }
    nearest.emplace(color, static_cast<uint8_t>(best));
    return static_cast<uint8_t>(best);
  };

  NImage out;
  if (!out.Allocate(image.width, image.height, target) ||
      !out.AllocatePalette(static_cast<int32_t>(entries.size()), paletteAlpha ? 4 : 3)) {
    return false;
  }
  for (size_t e = 0; e < entries.size(); ++e) {
    for (int c = 0; c < out.paletteChannels; ++c) {
      out.palette[e * out.paletteChannels + c] = ChannelOf(entries[e], c);
    }
  }
  for (size_t i = 0; i < pixelCount; ++i) {
    const uint8_t* p = &image.pixels[i * source];
    out.pixels[i * target] = lookup(key(p));
    if (target == 2) out.pixels[i * 2 + 1] = source == 4 ? p[3] : 255;
  }
  image = std::move(out);
  return true;
}

}  // namespace

bool NImage::Convert(int32_t target) {
  if (empty() || target < 0 || target > 4) return false;
  if (target == 0) {
    if (channels >= 3) return true;
    target = (channels == 2 || paletteChannels == 4) ? 4 : 3;
  }
  if (target == channels) return true;
  const size_t pixelCount = static_cast<size_t>(width) * height;

  if (channels >= 3 && target <= 2) return Quantize(*this, target);

  NImage out;
  if (!out.Allocate(width, height, target)) return false;
  const uint8_t* in = pixels.data();
  uint8_t* o = out.pixels.data();
  if (channels <= 2 && target <= 2) {
    // Between index and index + alpha the index stays.
    for (size_t i = 0; i < pixelCount; ++i) {
      o[i * target] = in[i * channels];
      if (target == 2) o[i * 2 + 1] = 255;
    }
    out.palette = std::move(palette);
    out.paletteCount = paletteCount;
    out.paletteChannels = paletteChannels;
  } else if (channels <= 2) {
    uint8_t rgba[4];
    for (size_t i = 0; i < pixelCount; ++i) {
      PaletteColor(*this, in[i * channels], rgba);
      if (channels == 2) rgba[3] = static_cast<uint8_t>(rgba[3] * in[i * 2 + 1] / 255);
      std::memcpy(o + i * target, rgba, static_cast<size_t>(target));
    }
  } else {
    // 3 <-> 4: add an opaque alpha or drop it.
    for (size_t i = 0; i < pixelCount; ++i) {
      std::memcpy(o + i * target, in + i * channels, 3);
      if (target == 4) o[i * 4 + 3] = 255;
    }
  }
  *this = std::move(out);
  return true;
}

namespace {

void ResizeNearest(const NImage& source, NImage& out) {
  const int channels = source.channels;
  std::vector<int32_t> columns(static_cast<size_t>(out.width));
  for (int32_t x = 0; x < out.width; ++x) {
    const auto sx = static_cast<int64_t>((x + 0.5) * source.width / out.width);
    columns[x] = static_cast<int32_t>(std::clamp<int64_t>(sx, 0, source.width - 1));
  }
  for (int32_t y = 0; y < out.height; ++y) {
    const auto sy = static_cast<int64_t>((y + 0.5) * source.height / out.height);
    const uint8_t* in = source.row(static_cast<int32_t>(std::clamp<int64_t>(sy, 0, source.height - 1)));
    uint8_t* o = out.row(y);
    for (int32_t x = 0; x < out.width; ++x) {
      std::memcpy(o + static_cast<size_t>(x) * channels, in + static_cast<size_t>(columns[x]) * channels,
                  static_cast<size_t>(channels));
    }
  }
}

// Bilinear sampling. Without centres, target pixel x samples source
// x * sw / w (corner-aligned); with centres, (x + 0.5) * sw / w - 0.5.
void ResizeBilinear(const NImage& source, NImage& out, bool centres) {
  const int channels = source.channels;
  // Product before quotient, so the sample positions are exactly x * sw / w.
  const double sw = source.width, sh = source.height;
  for (int32_t y = 0; y < out.height; ++y) {
    double sy = centres ? (y + 0.5) * sh / out.height - 0.5 : y * sh / out.height;
    if (centres) sy = std::clamp(sy, 0.0, sh - 1);
    const auto iy = static_cast<int32_t>(sy);
    const double fy = sy - iy;
    const int32_t iy1 = iy + 1 < source.height ? iy + 1 : -1;
    uint8_t* o = out.row(y);
    for (int32_t x = 0; x < out.width; ++x) {
      double sx = centres ? (x + 0.5) * sw / out.width - 0.5 : x * sw / out.width;
      if (centres) sx = std::clamp(sx, 0.0, sw - 1);
      const auto ix = static_cast<int32_t>(sx);
      const double fx = sx - ix;
      const int32_t ix1 = ix + 1 < source.width ? ix + 1 : -1;
      const uint8_t* s00 = source.row(iy) + static_cast<size_t>(ix) * channels;
      // A neighbour beyond the right or bottom edge is the (ix, iy) sample.
      const uint8_t* s10 = ix1 >= 0 ? source.row(iy) + static_cast<size_t>(ix1) * channels : s00;
      const uint8_t* s01 = iy1 >= 0 ? source.row(iy1) + static_cast<size_t>(ix) * channels : s00;
      const uint8_t* s11 =
          (ix1 >= 0 && iy1 >= 0) ? source.row(iy1) + static_cast<size_t>(ix1) * channels : s00;
      for (int c = 0; c < channels; ++c) {
        const double value = ((1 - fx) * s00[c] + fx * s10[c]) * (1 - fy) + fy * ((1 - fx) * s01[c] + fx * s11[c]);
        o[static_cast<size_t>(x) * channels + c] =
            static_cast<uint8_t>(std::clamp(static_cast<int>(value), 0, 255));
      }
    }
  }
}

// For each target cell along one axis, the source cells under its footprint
// with their coverage (summing to 1).
struct Tap {
  int32_t index;
  double weight;
};
std::vector<std::vector<Tap>> AreaTaps(int32_t sourceSize, int32_t targetSize) {
  std::vector<std::vector<Tap>> taps(static_cast<size_t>(targetSize));
  const double scale = static_cast<double>(sourceSize) / targetSize;
  for (int32_t t = 0; t < targetSize; ++t) {
    const double begin = t * scale;
    const double end = (t + 1) * scale;
    const auto first = static_cast<int32_t>(std::floor(begin));
    const auto last = std::min(static_cast<int32_t>(std::ceil(end)), sourceSize);
    for (int32_t s = first; s < last; ++s) {
      const double cover = std::min<double>(end, s + 1) - std::max<double>(begin, s);
      if (cover > 0) taps[t].push_back({s, cover / scale});
    }
  }
  return taps;
}

void ResizeArea(const NImage& source, NImage& out) {
  const int channels = source.channels;
  const auto columnTaps = AreaTaps(source.width, out.width);
  const auto rowTaps = AreaTaps(source.height, out.height);
  // Horizontal pass into doubles, then the vertical pass.
  std::vector<double> wide(static_cast<size_t>(out.width) * source.height * channels);
  for (int32_t y = 0; y < source.height; ++y) {
    const uint8_t* in = source.row(y);
    double* w = &wide[static_cast<size_t>(y) * out.width * channels];
    for (int32_t x = 0; x < out.width; ++x) {
      for (const Tap& tap : columnTaps[x]) {
        for (int c = 0; c < channels; ++c) {
          w[static_cast<size_t>(x) * channels + c] += tap.weight * in[static_cast<size_t>(tap.index) * channels + c];
        }
      }
    }
  }
  const size_t rowValues = static_cast<size_t>(out.width) * channels;
  std::vector<double> sum(rowValues);
  for (int32_t y = 0; y < out.height; ++y) {
    std::fill(sum.begin(), sum.end(), 0.0);
    for (const Tap& tap : rowTaps[y]) {
      const double* w = &wide[static_cast<size_t>(tap.index) * rowValues];
      for (size_t i = 0; i < rowValues; ++i) sum[i] += tap.weight * w[i];
    }
    uint8_t* o = out.row(y);
    for (size_t i = 0; i < rowValues; ++i) {
      o[i] = static_cast<uint8_t>(std::clamp(static_cast<int>(std::lround(sum[i])), 0, 255));
    }
  }
}

}  // namespace

bool NImage::Resize(int32_t newWidth, int32_t newHeight, int32_t mode) {
  if (mode < 0 || mode > 3 || newWidth <= 0 || newHeight <= 0) return false;
  if (newWidth > kMaxImageSide || newHeight > kMaxImageSide || empty()) return false;
  if (newWidth == width && newHeight == height) return true;
  if (channels <= 2) mode = 0;
  NImage out;
  if (!out.Allocate(newWidth, newHeight, channels)) return false;
  try {
    switch (mode) {
      case 0: ResizeNearest(*this, out); break;
      case 1: ResizeBilinear(*this, out, false); break;
      case 2: ResizeBilinear(*this, out, true); break;
      default: ResizeArea(*this, out); break;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  out.palette = std::move(palette);
  out.paletteCount = paletteCount;
  out.paletteChannels = paletteChannels;
  *this = std::move(out);
  return true;
}

namespace {

// True when every pixel of image is fully opaque.
bool IsOpaque(const NImage& image) {
  const size_t pixelCount = static_cast<size_t>(image.width) * image.height;
  if (image.channels == 3) return true;
  if (image.channels == 4) {
    for (size_t i = 0; i < pixelCount; ++i) {
      if (image.pixels[i * 4 + 3] != 255) return false;
    }
    return true;
  }
  uint8_t rgba[4];
  for (size_t i = 0; i < pixelCount; ++i) {
    if (image.channels == 2 && image.pixels[i * 2 + 1] != 255) return false;
    PaletteColor(image, image.pixels[i * image.channels], rgba);
    if (rgba[3] != 255) return false;
  }
  return true;
}

}  // namespace

bool Composite(const NPicture& picture, NImage& image) {
  image.Clear();
  const NRect canvas{0, 0, picture.width, picture.height};
  if (ImageByteSize(picture.width, picture.height, 4) == 0) return false;
  bool placed = false;
  for (size_t n = picture.layers.size(); n-- > 0;) {
    const NLayer& layer = picture.layers[n];
    if (layer.hidden() || layer.image.empty()) continue;
    // Positions come from files: a layer wholly off the canvas shows
    // nothing, and skipping it keeps the arithmetic below in range.
    const int64_t right = int64_t{layer.left} + layer.image.width;
    const int64_t bottom = int64_t{layer.top} + layer.image.height;
    if (right <= 0 || bottom <= 0 || layer.left >= picture.width || layer.top >= picture.height) continue;
    const NRect area{layer.left, layer.top, static_cast<int32_t>(right), static_cast<int32_t>(bottom)};
    const NRect clipped = area.intersect(canvas);
    const bool coversCanvas = clipped == canvas;
    if (!placed) {
      if (!image.CopyFrom(layer.image)) return false;
      // A layer that leaves part of the canvas uncovered needs an alpha
      // channel so the uncovered part is transparent, not palette entry 0.
      if (!coversCanvas && !image.Convert(4)) return false;
      if (!image.Crop(-layer.left, -layer.top, picture.width - layer.left, picture.height - layer.top)) {
        image.Clear();
        return false;
      }
      placed = true;
    } else if (!clipped.empty()) {
      if (image.channels != 4 && !image.Convert(4)) {
        image.Clear();
        return false;
      }
      NImage below;
      if (!below.CopyFrom(layer.image) || !below.Convert(4)) {
        image.Clear();
        return false;
      }
      for (int32_t y = clipped.top; y < clipped.bottom; ++y) {
        uint8_t* result = image.row(y) + static_cast<size_t>(clipped.left) * 4;
        const uint8_t* under = below.row(y - layer.top) + static_cast<size_t>(clipped.left - layer.left) * 4;
        for (int32_t x = clipped.left; x < clipped.right; ++x, result += 4, under += 4) {
          const int a = result[3];
          if (a == 255) continue;
          for (int c = 0; c < 3; ++c) result[c] = static_cast<uint8_t>((a * result[c] + (255 - a) * under[c]) / 255);
          result[3] = static_cast<uint8_t>(a + under[3] * (255 - a) / 255);
        }
      }
    }
    // Lower layers cannot show through once the canvas is covered and
    // opaque; a covering layer with transparent pixels lets them through.
    if (coversCanvas && IsOpaque(image)) return true;
  }
  if (!placed) return image.Allocate(picture.width, picture.height, 4);
  return true;
}

}  // namespace vexal
