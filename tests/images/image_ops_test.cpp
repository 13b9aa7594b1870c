// NImage operations and Composite. Resize and Composite are compared with
// literal, slow versions of their rules on random inputs.
#include <random>

#include "image_test_util.h"

namespace vexal {
namespace {

NImage RandomImage(std::mt19937& random, int width, int height, int channels) {
  NImage image;
  EXPECT_TRUE(image.Allocate(width, height, channels));
  for (auto& byte : image.pixels) byte = static_cast<uint8_t>(random());
  return image;
}

// An indexed image whose palette entry i is (i, 2i, 3i[, alpha]).
NImage IndexedImage(int width, int height, int channels, int paletteCount, int paletteChannels) {
  NImage image;
  EXPECT_TRUE(image.Allocate(width, height, channels));
  EXPECT_TRUE(image.AllocatePalette(paletteCount, paletteChannels));
  for (int i = 0; i < paletteCount; ++i) {
    uint8_t* entry = &image.palette[static_cast<size_t>(i) * paletteChannels];
    entry[0] = static_cast<uint8_t>(i);
    entry[1] = static_cast<uint8_t>(2 * i);
    entry[2] = static_cast<uint8_t>(3 * i);
    if (paletteChannels == 4) entry[3] = static_cast<uint8_t>(255 - i);
  }
  return image;
}

TEST(NImageTest, AllocateRefusesHostileSizesAndZeroSizesGiveEmptyBuffers) {
  NImage image;
  EXPECT_TRUE(image.Allocate(3, 2, 4));
  EXPECT_EQ(image.pixels.size(), 24u);
  EXPECT_TRUE(std::all_of(image.pixels.begin(), image.pixels.end(), [](uint8_t b) { return b == 0; }));
  EXPECT_TRUE(image.Allocate(0, 5, 3));
  EXPECT_TRUE(image.empty());
  EXPECT_FALSE(image.Allocate(-1, 5, 3));
  EXPECT_FALSE(image.Allocate(kMaxImageSide + 1, 1, 1));
  EXPECT_FALSE(image.Allocate(4, 4, 5));
  EXPECT_TRUE(image.empty());
  EXPECT_EQ(ImageByteSize(kMaxImageSide, kMaxImageSide, 4), size_t{1} << 30);
  EXPECT_EQ(ImageByteSize(int64_t{1} << 31, int64_t{1} << 31, 4), 0u);
  EXPECT_FALSE(image.AllocatePalette(16, 2));
  EXPECT_FALSE(image.AllocatePalette(-1, 3));
  EXPECT_TRUE(image.AllocatePalette(16, 4));
  EXPECT_EQ(image.palette.size(), 64u);
}

TEST(NImageTest, CropKeepsInsidePixelsZeroFillsNewAreaAndKeepsPalette) {
  NImage image = IndexedImage(3, 2, 1, 8, 3);
  for (int i = 0; i < 6; ++i) image.pixels[i] = static_cast<uint8_t>(i + 1);
  // Pixels:  1 2 3 / 4 5 6. New area to the left and below.
  ASSERT_TRUE(image.Crop(-1, 1, 2, 3));
  ASSERT_EQ(image.width, 3);
  ASSERT_EQ(image.height, 2);
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{0, 4, 5, 0, 0, 0}));
  EXPECT_EQ(image.paletteCount, 8);
  EXPECT_FALSE(image.Crop(2, 0, 2, 1));  // empty rectangle
  EXPECT_EQ(image.width, 3);
}

TEST(NImageTest, ConvertExpandsPalettesAndMultipliesIndexAlpha) {
  NImage rgbPalette = IndexedImage(2, 1, 1, 4, 3);
  rgbPalette.pixels = {2, 9};  // 9 lies beyond the palette
  ASSERT_TRUE(rgbPalette.Convert(0));
  EXPECT_EQ(rgbPalette.channels, 3);
  EXPECT_EQ(rgbPalette.paletteCount, 0);
  EXPECT_EQ(rgbPalette.pixels, (std::vector<uint8_t>{2, 4, 6, 0, 0, 0}));

  NImage rgbaPalette = IndexedImage(1, 1, 1, 4, 4);
  rgbaPalette.pixels = {3};
  ASSERT_TRUE(rgbaPalette.Convert(0));
  EXPECT_EQ(rgbaPalette.pixels, (std::vector<uint8_t>{3, 6, 9, 252}));

  NImage withAlpha = IndexedImage(2, 1, 2, 4, 4);
  withAlpha.pixels = {1, 128, 2, 255};
  ASSERT_TRUE(withAlpha.Convert(4));
  EXPECT_EQ(withAlpha.pixels, (std::vector<uint8_t>{1, 2, 3, 254 * 128 / 255, 2, 4, 6, 253}));

  // Between index and index + alpha the index stays, alpha becomes opaque.
  NImage indexed = IndexedImage(2, 1, 1, 4, 3);
  indexed.pixels = {3, 1};
  ASSERT_TRUE(indexed.Convert(2));
  EXPECT_EQ(indexed.pixels, (std::vector<uint8_t>{3, 255, 1, 255}));
  EXPECT_EQ(indexed.paletteCount, 4);
  ASSERT_TRUE(indexed.Convert(1));
  EXPECT_EQ(indexed.pixels, (std::vector<uint8_t>{3, 1}));

  // Grey without a palette (PNG grey + alpha) expands to grey colour.
  NImage grey;
  ASSERT_TRUE(grey.Allocate(1, 1, 2));
  grey.pixels = {77, 40};
  ASSERT_TRUE(grey.Convert(0));
  EXPECT_EQ(grey.pixels, (std::vector<uint8_t>{77, 77, 77, 40}));

  NImage rgb;
  ASSERT_TRUE(rgb.Allocate(1, 1, 3));
  rgb.pixels = {5, 6, 7};
  ASSERT_TRUE(rgb.Convert(4));
  EXPECT_EQ(rgb.pixels, (std::vector<uint8_t>{5, 6, 7, 255}));
  ASSERT_TRUE(rgb.Convert(3));
  EXPECT_EQ(rgb.pixels, (std::vector<uint8_t>{5, 6, 7}));
  EXPECT_FALSE(rgb.Convert(5));
  NImage empty;
  EXPECT_FALSE(empty.Convert(4));
}

TEST(NImageTest, QuantiserKeepsFewColoursExactlyAndApproximatesMany) {
  std::mt19937 random(3);
  // 200 distinct colours: every pixel must come back exactly.
  NImage few;
  ASSERT_TRUE(few.Allocate(40, 10, 4));
  for (int i = 0; i < 400; ++i) {
    const int colour = i % 200;
    few.pixels[i * 4] = static_cast<uint8_t>(colour);
    few.pixels[i * 4 + 1] = static_cast<uint8_t>(colour * 7);
    few.pixels[i * 4 + 2] = static_cast<uint8_t>(colour / 3);
    few.pixels[i * 4 + 3] = colour % 2 ? 255 : 0;
  }
  NImage original = few;
  ASSERT_TRUE(few.Convert(1));
  EXPECT_EQ(few.channels, 1);
  EXPECT_LE(few.paletteCount, 256);
  EXPECT_EQ(few.paletteChannels, 4);
  ASSERT_TRUE(few.Convert(4));
  EXPECT_EQ(few.pixels, original.pixels);

  // A smooth gradient of 64 x 64 colours: 256 entries stay close.
  NImage many;
  ASSERT_TRUE(many.Allocate(64, 64, 3));
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      uint8_t* p = many.row(y) + x * 3;
      p[0] = static_cast<uint8_t>(x * 4);
      p[1] = static_cast<uint8_t>(y * 4);
      p[2] = 128;
    }
  }
  original = many;
  ASSERT_TRUE(many.Convert(2));
  EXPECT_EQ(many.paletteCount, 256);
  EXPECT_EQ(many.paletteChannels, 3);
  ASSERT_TRUE(many.Convert(3));
  int worst = 0;
  for (size_t i = 0; i < many.pixels.size(); ++i) {
    worst = std::max(worst, std::abs(int{many.pixels[i]} - int{original.pixels[i]}));
  }
  EXPECT_LE(worst, 24);
}

// The resize rules written out literally.
uint8_t NearestSample(const NImage& source, int width, int height, int x, int y, int c) {
  const int sx = static_cast<int>((x + 0.5) * source.width / width);
  const int sy = static_cast<int>((y + 0.5) * source.height / height);
  return source.pixels[(static_cast<size_t>(sy) * source.width + sx) * source.channels + c];
}

uint8_t BilinearSample(const NImage& source, int width, int height, int x, int y, int c) {
  const double sx = static_cast<double>(x) * source.width / width;
  const double sy = static_cast<double>(y) * source.height / height;
  const int ix = static_cast<int>(sx), iy = static_cast<int>(sy);
  const double fx = sx - ix, fy = sy - iy;
  auto at = [&](int px, int py) -> double {
    if (px >= source.width || py >= source.height) {
      px = ix;
      py = iy;
    }
    return source.pixels[(static_cast<size_t>(py) * source.width + px) * source.channels + c];
  };
  const double value = ((1 - fx) * at(ix, iy) + fx * at(ix + 1, iy)) * (1 - fy) +
                       fy * ((1 - fx) * at(ix, iy + 1) + fx * at(ix + 1, iy + 1));
  return static_cast<uint8_t>(std::clamp(static_cast<int>(value), 0, 255));
}

TEST(NImageTest, NearestAndBilinearResizeFollowTheirRulesOnRandomImages) {
  std::mt19937 random(11);
  for (int round = 0; round < 40; ++round) {
    const int channels = 3 + round % 2;
    const NImage source = RandomImage(random, 1 + random() % 17, 1 + random() % 13, channels);
    const int width = 1 + random() % 29, height = 1 + random() % 23;
    for (int mode : {0, 1}) {
      NImage image = source;
      ASSERT_TRUE(image.Resize(width, height, mode));
      ASSERT_EQ(image.width, width);
      ASSERT_EQ(image.height, height);
      for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
          for (int c = 0; c < channels; ++c) {
            const uint8_t expected = mode == 0 ? NearestSample(source, width, height, x, y, c)
                                               : BilinearSample(source, width, height, x, y, c);
            ASSERT_EQ(image.row(y)[x * channels + c], expected)
                << "mode " << mode << " " << source.width << "x" << source.height << " -> " << width << "x"
                << height << " at " << x << "," << y;
          }
        }
      }
    }
  }
}

TEST(NImageTest, AreaResizeAveragesFootprintsAndIndexedImagesUseNearest) {
  NImage image;
  ASSERT_TRUE(image.Allocate(4, 2, 3));
  for (int i = 0; i < 8; ++i) image.pixels[i * 3] = static_cast<uint8_t>(i * 10);  // 0 10 20 30 / 40 ..
  NImage half = image;
  ASSERT_TRUE(half.Resize(2, 1, 3));
  EXPECT_EQ(half.pixels[0], (0 + 10 + 40 + 50) / 4);
  EXPECT_EQ(half.pixels[3], (20 + 30 + 60 + 70) / 4);
  // Three source columns into two: the middle one is split between them.
  NImage third;
  ASSERT_TRUE(third.Allocate(3, 1, 3));
  third.pixels = {0, 0, 0, 90, 0, 0, 180, 0, 0};
  ASSERT_TRUE(third.Resize(2, 1, 3));
  EXPECT_EQ(third.pixels[0], 30);   // (0 * 1 + 90 * 0.5) / 1.5
  EXPECT_EQ(third.pixels[3], 150);  // (90 * 0.5 + 180) / 1.5
  // Mode 2 keeps a constant image constant.
  NImage flat;
  ASSERT_TRUE(flat.Allocate(5, 3, 4));
  std::fill(flat.pixels.begin(), flat.pixels.end(), 77);
  ASSERT_TRUE(flat.Resize(9, 7, 2));
  EXPECT_TRUE(std::all_of(flat.pixels.begin(), flat.pixels.end(), [](uint8_t b) { return b == 77; }));

  // Indices must never be blended: any mode gives nearest.
  NImage indexed = IndexedImage(2, 1, 1, 4, 3);
  indexed.pixels = {0, 3};
  ASSERT_TRUE(indexed.Resize(4, 1, 1));
  EXPECT_EQ(indexed.pixels, (std::vector<uint8_t>{0, 0, 3, 3}));
  EXPECT_EQ(indexed.paletteCount, 4);

  EXPECT_FALSE(indexed.Resize(0, 4, 0));
  EXPECT_FALSE(indexed.Resize(4, 4, 4));
  EXPECT_FALSE(indexed.Resize(kMaxImageSide + 1, 1, 0));
  EXPECT_EQ(indexed.width, 4);
}

// Composite written out literally for 4-channel layers.
NImage ReferenceComposite(const NPicture& picture) {
  NImage result;
  EXPECT_TRUE(result.Allocate(picture.width, picture.height, 4));
  bool first = true;
  for (size_t n = picture.layers.size(); n-- > 0;) {
    const NLayer& layer = picture.layers[n];
    if (layer.hidden()) continue;
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) {
        const int lx = x - layer.left, ly = y - layer.top;
        uint8_t* r = result.row(y) + x * 4;
        if (lx < 0 || ly < 0 || lx >= layer.image.width || ly >= layer.image.height) continue;
        const uint8_t* l = layer.image.row(ly) + lx * 4;
        if (first) {
          std::memcpy(r, l, 4);
          continue;
        }
        const int a = r[3];
        if (a == 255) continue;
        for (int c = 0; c < 3; ++c) r[c] = static_cast<uint8_t>((a * r[c] + (255 - a) * l[c]) / 255);
        r[3] = static_cast<uint8_t>(a + l[3] * (255 - a) / 255);
      }
    }
    first = false;
  }
  return result;
}

TEST(CompositeTest, MatchesTheLayerRuleOnRandomPictures) {
  std::mt19937 random(5);
  for (int round = 0; round < 60; ++round) {
    NPicture picture;
    picture.width = 3 + random() % 12;
    picture.height = 3 + random() % 12;
    const int count = 1 + random() % 4;
    for (int n = 0; n < count; ++n) {
      NLayer layer;
      layer.left = static_cast<int>(random() % 20) - 6;
      layer.top = static_cast<int>(random() % 20) - 6;
      layer.image = RandomImage(random, 1 + random() % 14, 1 + random() % 14, 4);
      // Some fully opaque and some fully clear pixels, not just blends.
      for (size_t i = 3; i < layer.image.pixels.size(); i += 4) {
        const int kind = static_cast<int>(random() % 3);
        if (kind == 0) layer.image.pixels[i] = 255;
        if (kind == 1) layer.image.pixels[i] = 0;
      }
      if (random() % 5 == 0) layer.flags = NLayer::kHidden;
      picture.layers.push_back(std::move(layer));
    }
    NImage image;
    ASSERT_TRUE(Composite(picture, image));
    const NImage expected = ReferenceComposite(picture);
    ASSERT_EQ(image.channels, 4) << round;
    ASSERT_EQ(image.pixels, expected.pixels) << "round " << round;
  }
}

TEST(CompositeTest, OpaqueTopLayerHidesTheRestAndKeepsItsLayout) {
  NPicture picture;
  picture.width = 2;
  picture.height = 2;
  NLayer bottom;
  bottom.image = IndexedImage(2, 2, 1, 4, 3);
  bottom.image.pixels = {1, 1, 1, 1};
  NLayer top = bottom;
  top.image.pixels = {3, 2, 2, 3};
  picture.layers = {bottom, top};
  NImage image;
  ASSERT_TRUE(Composite(picture, image));
  EXPECT_EQ(image.channels, 1);
  EXPECT_EQ(image.pixels, top.image.pixels);
  EXPECT_EQ(image.paletteCount, 4);
}

// A canvas-sized top layer with transparent pixels must still let the
// layer below show through them.
TEST(CompositeTest, CoveringLayerWithTransparencyShowsTheLayerBelow) {
  NPicture picture;
  picture.width = 2;
  picture.height = 1;
  NLayer below;
  below.image = IndexedImage(2, 1, 1, 4, 3);
  below.image.pixels = {2, 2};
  NLayer above;
  above.image = IndexedImage(2, 1, 1, 4, 4);  // entry 0 alpha 255, entry 3 alpha 252
  above.image.palette[3 * 4 + 3] = 0;           // entry 3 fully clear
  above.image.pixels = {1, 3};
  picture.layers = {below, above};
  NImage image;
  ASSERT_TRUE(Composite(picture, image));
  ASSERT_EQ(image.channels, 4);
  // Pixel 0: entry 1 (alpha 254) over entry 2; pixel 1: clear over entry 2.
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{(254 * 1 + 1 * 2) / 255, (254 * 2 + 1 * 4) / 255,
                                                (254 * 3 + 1 * 6) / 255, 255, 2, 4, 6, 255}));
}

TEST(CompositeTest, NoVisibleLayerGivesATransparentCanvas) {
  NPicture picture;
  picture.width = 3;
  picture.height = 2;
  NLayer hidden;
  hidden.flags = NLayer::kHidden;
  hidden.image = IndexedImage(3, 2, 1, 2, 3);
  picture.layers = {hidden};
  NImage image;
  ASSERT_TRUE(Composite(picture, image));
  EXPECT_EQ(image.channels, 4);
  EXPECT_EQ(image.pixels, std::vector<uint8_t>(24, 0));
  // Layers far outside the canvas (positions from a hostile file) show
  // nothing and do no harm.
  NLayer far;
  far.left = INT32_MIN;
  far.top = INT32_MAX;
  far.image = IndexedImage(3, 2, 1, 2, 3);
  picture.layers = {far};
  ASSERT_TRUE(Composite(picture, image));
  EXPECT_EQ(image.pixels, std::vector<uint8_t>(24, 0));
}

}  // namespace
}  // namespace vexal
