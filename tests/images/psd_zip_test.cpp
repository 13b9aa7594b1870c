// Photoshop documents whose channels are ZIP-compressed (zlib streams, with
// or without per-row prediction): files written by ImageMagick against its
// own decode, hand-made prediction cases, and damaged streams.
#include <zlib.h>

#include "image_test_util.h"

namespace vexal {
namespace {

using test::Bytes;
using test::ExactBuffer;

constexpr uint16_t kRaw = 0, kZip = 2, kZipPredicted = 3;

std::vector<uint8_t> Deflate(const std::vector<uint8_t>& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> out(size);
  EXPECT_EQ(compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9), Z_OK);
  out.resize(size);
  return out;
}

// Each row's samples as differences from the one before (bytes, or
// big-endian 16-bit values), the way predicted channels are stored.
std::vector<uint8_t> Predict(std::vector<uint8_t> plane, size_t rowBytes, int depth) {
  for (size_t start = 0; start < plane.size(); start += rowBytes) {
    uint8_t* row = &plane[start];
    if (depth == 8) {
      for (size_t i = rowBytes - 1; i > 0; --i) row[i] = static_cast<uint8_t>(row[i] - row[i - 1]);
    } else {
      for (size_t i = rowBytes - 2; i > 0; i -= 2) {
        const unsigned value = (row[i] << 8) | row[i + 1];
        const unsigned before = (row[i - 2] << 8) | row[i - 1];
        const unsigned delta = (value - before) & 0xFFFF;
        row[i] = static_cast<uint8_t>(delta >> 8);
        row[i + 1] = static_cast<uint8_t>(delta);
      }
    }
  }
  return plane;
}

struct Channel {
  int16_t id;
  uint16_t compression;
  std::vector<uint8_t> data;  // what follows the compression field
};

// A width x height document (mode 1 grey or 3 RGB) holding one layer that
// covers the canvas with the given channels, and a merged image stored with
// mergedCompression from mergedData.
std::vector<uint8_t> MakeDocument(int mode, int depth, int width, int height, const std::vector<Channel>& channels,
                                  uint16_t mergedCompression, const std::vector<uint8_t>& mergedData) {
  Bytes info;
  info.u16be(1);
  info.u32be(0).u32be(0).u32be(height).u32be(width).u16be(static_cast<unsigned>(channels.size()));
  for (const Channel& channel : channels) {
    info.u16be(static_cast<uint16_t>(channel.id)).u32be(static_cast<uint32_t>(channel.data.size() + 2));
  }
  info.text("8BIMnorm").u8(255).u8(0).u8(0).u8(0);
  info.u32be(12).u32be(0).u32be(0).u8(3).text("zip");
  for (const Channel& channel : channels) info.u16be(channel.compression).append(channel.data);
  if (info.data.size() % 2) info.u8(0);

  Bytes file;
  file.text("8BPS").u16be(1).fill(6, 0).u16be(mode == 3 ? 3 : 1).u32be(height).u32be(width).u16be(depth).u16be(mode);
  file.u32be(0).u32be(0);
  file.u32be(static_cast<uint32_t>(info.data.size() + 4)).u32be(static_cast<uint32_t>(info.data.size()));
  file.append(info.data);
  file.u16be(mergedCompression).append(mergedData);
  return file.data;
}

std::vector<uint8_t> RawMerged(int mode, int depth, int width, int height) {
  return std::vector<uint8_t>(static_cast<size_t>(width) * height * (depth / 8) * (mode == 3 ? 3 : 1), 0);
}

// ---- ImageMagick's files ----

TEST(PsdZipLayers, ImageMagickLayersMatchItsOwnDecode) {
  struct Case {
    const char* file;
    int tolerance;  // 16-bit samples: our high byte against its rounding
  };
  const Case cases[] = {{"psd/zip_rgb8.psd", 0}, {"psd/zip_rgb16.psd", 1}, {"psd/zip_grey8.psd", 0}};
  const NRect placed[] = {{0, 0, 23, 17}, {3, 4, 22, 15}, {12, 2, 21, 9}};
  for (const Case& sample : cases) {
    SCOPED_TRACE(sample.file);
    const ExactBuffer bytes(test::ReadBytes(test::ImageDataPath(sample.file)));
    NPicture all;
    ASSERT_TRUE(LoadPsdPicture(bytes.bytes(), all, -1));
    ASSERT_EQ(all.layers.size(), 3u);
    for (int n = 0; n < 3; ++n) {
      SCOPED_TRACE(n);
      const NLayer& layer = all.layers[n];
      EXPECT_EQ((NRect{layer.left, layer.top, layer.left + layer.width, layer.top + layer.height}), placed[n]);
      test::ExpectConsistent(layer.image);
      test::RgbaPicture reference;
      ASSERT_TRUE(test::ReadPam(test::ImageDataPath(sample.file) + "." + std::to_string(n) + ".pam", reference));
      NImage rgba = layer.image;
      ASSERT_TRUE(rgba.Convert(4));
      EXPECT_LE(test::MaxDifference(rgba, reference), sample.tolerance);

      // The same layer read on its own.
      NPicture one;
      ASSERT_TRUE(LoadPsdPicture(bytes.bytes(), one, n));
      ASSERT_EQ(one.layers.size(), 1u);
      EXPECT_EQ(one.layers[0].image.pixels, layer.image.pixels);
      EXPECT_EQ(one.layers[0].left, layer.left);
    }
  }
}

// Cut anywhere or with any byte changed, a file written by ImageMagick is
// refused or read without reaching outside its buffer.
TEST(PsdZipLayers, ImageMagickFileTruncatedOrCorrupted) {
  const std::vector<uint8_t> whole = test::ReadBytes(test::ImageDataPath("psd/zip_rgb8.psd"));
  ASSERT_FALSE(whole.empty());
  NPicture picture;
  for (size_t size = 0; size < whole.size(); ++size) {
    const ExactBuffer prefix(whole.data(), size);
    // The merged image comes last, so every cut loses part of it.
    ASSERT_FALSE(LoadPsdPicture(prefix.bytes(), picture, -1)) << size;
    ASSERT_TRUE(picture.layers.empty());
  }
  for (size_t at = 0; at < whole.size(); ++at) {
    ExactBuffer damaged(whole);
    damaged.data()[at] ^= 0x5A;
    if (LoadPsdPicture(damaged.bytes(), picture, -1)) {
      for (const NLayer& layer : picture.layers) test::ExpectConsistent(layer.image);
    } else {
      ASSERT_TRUE(picture.layers.empty());
    }
  }
}

// ---- Hand-made prediction ----

// A 5 x 3 RGB layer with alpha whose rows wrap around 0 and 255, stored
// predicted and plain: both read back the same exact samples.
TEST(PsdZipLayers, PredictedEightBitChannels) {
  const int width = 5, height = 3;
  std::vector<uint8_t> planes[4];
  for (int c = 0; c < 4; ++c) {
    for (int i = 0; i < width * height; ++i) planes[c].push_back(static_cast<uint8_t>(250 + 7 * i * (c + 1) + 3 * c));
  }
  const int16_t ids[4] = {0, 1, 2, -1};
  std::vector<Channel> predicted, plain;
  for (int c = 0; c < 4; ++c) {
    predicted.push_back({ids[c], kZipPredicted, Deflate(Predict(planes[c], width, 8))});
    plain.push_back({ids[c], kZip, Deflate(planes[c])});
  }
  std::vector<uint8_t> expected;
  for (int i = 0; i < width * height; ++i) {
    for (int c = 0; c < 4; ++c) expected.push_back(planes[c][i]);
  }
  for (const auto* channels : {&predicted, &plain}) {
    const ExactBuffer bytes(MakeDocument(3, 8, width, height, *channels, kRaw, RawMerged(3, 8, width, height)));
    NPicture picture;
    ASSERT_TRUE(LoadPsdPicture(bytes.bytes(), picture, 1));
    ASSERT_EQ(picture.layers.size(), 1u);
    EXPECT_EQ(picture.layers[0].name, "zip");
    ASSERT_EQ(picture.layers[0].image.channels, 4);
    EXPECT_EQ(picture.layers[0].image.pixels, expected);
  }
}

// 16-bit prediction works on whole big-endian values: a carry from the low
// byte must reach the high byte the loader keeps. The same stream also
// serves as the merged image (one stream for all planes).
TEST(PsdZipLayers, PredictedSixteenBitValuesCarryIntoTheHighByte) {
  const int width = 4, height = 2;
  const uint16_t values[] = {0x00FF, 0x0100, 0xFFFF, 0x0001, 0x7F80, 0x8081, 0x1234, 0x12FF};
  std::vector<uint8_t> plane;
  std::vector<uint8_t> highBytes;
  for (uint16_t v : values) {
    plane.push_back(static_cast<uint8_t>(v >> 8));
    plane.push_back(static_cast<uint8_t>(v));
    highBytes.push_back(static_cast<uint8_t>(v >> 8));
  }
  const std::vector<uint8_t> stream = Deflate(Predict(plane, width * 2, 16));
  const ExactBuffer bytes(MakeDocument(1, 16, width, height, {{0, kZipPredicted, stream}}, kZipPredicted, stream));
  NPicture picture;
  ASSERT_TRUE(LoadPsdPicture(bytes.bytes(), picture, -1));
  ASSERT_EQ(picture.layers.size(), 2u);
  EXPECT_EQ(picture.layers[0].image.pixels, highBytes);
  ASSERT_EQ(picture.layers[1].image.channels, 2);
  for (size_t i = 0; i < highBytes.size(); ++i) {
    EXPECT_EQ(picture.layers[1].image.pixels[i * 2], highBytes[i]) << i;
    EXPECT_EQ(picture.layers[1].image.pixels[i * 2 + 1], 255) << i;
  }
}

// ---- Damaged streams ----

// A 7 x 5 grey layer stored as a predicted stream; the merged image raw.
std::vector<uint8_t> GreyPlane() {
  std::vector<uint8_t> plane;
  for (int i = 0; i < 7 * 5; ++i) plane.push_back(static_cast<uint8_t>(i * 37 + (i / 7) * 11));
  return plane;
}

std::vector<uint8_t> GreyDocument(const std::vector<uint8_t>& stream, uint16_t compression = kZipPredicted) {
  return MakeDocument(1, 8, 7, 5, {{0, compression, stream}}, kRaw, RawMerged(1, 8, 7, 5));
}

bool LoadsGreyLayer(const std::vector<uint8_t>& file, std::vector<uint8_t>* grey = nullptr) {
  const ExactBuffer bytes(file);
  NPicture picture;
  if (!LoadPsdPicture(bytes.bytes(), picture, -1)) {
    EXPECT_TRUE(picture.layers.empty());
    return false;
  }
  EXPECT_EQ(picture.layers.size(), 2u);
  if (grey && picture.layers.size() == 2) {
    grey->clear();
    const NImage& image = picture.layers[1].image;
    for (size_t i = 0; i < image.pixels.size(); i += 2) grey->push_back(image.pixels[i]);
  }
  return true;
}

TEST(PsdZipLayers, StreamsThatEndEarlyOrRunLong) {
  const std::vector<uint8_t> plane = GreyPlane();
  const std::vector<uint8_t> stream = Deflate(Predict(plane, 7, 8));
  std::vector<uint8_t> grey;
  ASSERT_TRUE(LoadsGreyLayer(GreyDocument(stream), &grey));
  EXPECT_EQ(grey, plane);

  // Every shorter stream, down to only the checksum missing, is refused.
  for (size_t size = 0; size < stream.size(); ++size) {
    const std::vector<uint8_t> cut(stream.begin(), stream.begin() + static_cast<ptrdiff_t>(size));
    EXPECT_FALSE(LoadsGreyLayer(GreyDocument(cut))) << size;
  }
  // A complete stream of one row less.
  const std::vector<uint8_t> shortPlane(plane.begin(), plane.end() - 7);
  EXPECT_FALSE(LoadsGreyLayer(GreyDocument(Deflate(Predict(shortPlane, 7, 8)))));
  // One row more: the layer's rows are taken, the rest is not inflated.
  std::vector<uint8_t> longPlane = plane;
  longPlane.insert(longPlane.end(), 7, 99);
  ASSERT_TRUE(LoadsGreyLayer(GreyDocument(Deflate(Predict(longPlane, 7, 8))), &grey));
  EXPECT_EQ(grey, plane);
  // Not a zlib stream at all.
  EXPECT_FALSE(LoadsGreyLayer(GreyDocument(plane, kZip)));
  // 1-bit documents have no prediction.
  const ExactBuffer bitmap(MakeDocument(0, 1, 8, 2, {{0, kZipPredicted, Deflate({1, 2})}}, kRaw, {0, 0}));
  NPicture picture;
  EXPECT_FALSE(LoadPsdPicture(bitmap.bytes(), picture, -1));
}

TEST(PsdZipLayers, CorruptedStreams) {
  const std::vector<uint8_t> plane = GreyPlane();
  const std::vector<uint8_t> stream = Deflate(Predict(plane, 7, 8));
  // The checksum at the end covers what inflates to the right length.
  for (size_t at = stream.size() - 4; at < stream.size(); ++at) {
    std::vector<uint8_t> damaged = stream;
    damaged[at] ^= 0x01;
    EXPECT_FALSE(LoadsGreyLayer(GreyDocument(damaged))) << at;
  }
  // Anywhere else: refused, or read consistently; never outside the buffer.
  int refused = 0;
  for (size_t at = 0; at < stream.size(); ++at) {
    for (int bit = 0; bit < 8; ++bit) {
      std::vector<uint8_t> damaged = stream;
      damaged[at] ^= static_cast<uint8_t>(1 << bit);
      std::vector<uint8_t> grey;
      if (!LoadsGreyLayer(GreyDocument(damaged), &grey)) {
        ++refused;
      } else {
        EXPECT_EQ(grey.size(), plane.size());
      }
    }
  }
  EXPECT_GT(refused, static_cast<int>(stream.size()) * 4);
}

// An all-zero 2048 x 2048 layer packs about a thousand to one, close to the
// most deflate can do; the size check that stops tiny streams claiming huge
// layers must still let it through.
TEST(PsdZipLayers, MostCompressibleLayerIsStillRead) {
  const int side = 2048;
  const std::vector<uint8_t> stream = Deflate(std::vector<uint8_t>(static_cast<size_t>(side) * side, 0));
  ASSERT_LT(stream.size() * 1000, static_cast<size_t>(side) * side);
  const ExactBuffer bytes(MakeDocument(1, 8, side, side, {{0, kZip, stream}}, kZip, stream));
  NPicture picture;
  ASSERT_TRUE(LoadPsdPicture(bytes.bytes(), picture, 1));
  ASSERT_EQ(picture.layers.size(), 1u);
  EXPECT_EQ(picture.layers[0].width, side);
  const auto& pixels = picture.layers[0].image.pixels;
  EXPECT_EQ(std::count(pixels.begin(), pixels.end(), uint8_t{0}), static_cast<ptrdiff_t>(side) * side);
}

}  // namespace
}  // namespace vexal
