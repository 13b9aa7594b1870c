// MAKI version 1 and MAG: pictures packed by independent writers come back
// unchanged (every copy place of MAG used), palettes reorder G R B, and
// damage is refused.
#include "retro_image_builders.h"

namespace vexal {
namespace {

using test::ExactBuffer;

NImage Load(const std::vector<uint8_t>& file, int code) {
  NImage image;
  EXPECT_EQ(LoadImageFromMemory(ExactBuffer(file).bytes(), image, code), code);
  test::ExpectConsistent(image);
  return image;
}

std::vector<uint8_t> GrbFrom(const std::vector<uint8_t>& rgb) {
  std::vector<uint8_t> grb(rgb.size());
  for (size_t i = 0; i < rgb.size(); i += 3) {
    grb[i] = rgb[i + 1];
    grb[i + 1] = rgb[i];
    grb[i + 2] = rgb[i + 2];
  }
  return grb;
}

// ---- MAKI ----

// A 640 x 400 picture with empty areas (whole blocks skipped), stripes
// repeating 2 and 4 rows apart and some noise.
std::vector<uint8_t> MakiPicture() {
  std::vector<uint8_t> indices(640 * 400, 0);
  for (int y = 40; y < 360; ++y) {
    for (int x = 100; x < 600; ++x) {
      int value = (x / 8 + y / 2) % 16;
      if ((x * 31 + y * 17) % 97 == 0) value = 15 - value;
      indices[y * 640 + x] = static_cast<uint8_t>(value);
    }
  }
  return indices;
}

TEST(MakiLoader, BothVariantsDecodeToThePackedPicture) {
  const std::vector<uint8_t> indices = MakiPicture();
  std::vector<uint8_t> grb(48);
  for (int i = 0; i < 16; ++i) {
    grb[i * 3] = static_cast<uint8_t>(i << 4);             // green
    grb[i * 3 + 1] = static_cast<uint8_t>((15 - i) << 4);  // red
    grb[i * 3 + 2] = 0xA0;                                  // blue
  }
  for (const bool variantB : {false, true}) {
    SCOPED_TRACE(variantB);
    const std::vector<uint8_t> file = test::MakeMaki(indices, variantB, grb);
    const NImage image = Load(file, kImageFormatMaki);
    ASSERT_EQ(image.width, 640);
    ASSERT_EQ(image.height, 400);
    ASSERT_EQ(image.channels, 1);
    EXPECT_TRUE(image.pixels == indices);
    ASSERT_EQ(image.paletteCount, 16);
    ASSERT_EQ(image.paletteChannels, 3);
    // Entry 1: red 14 -> 0xEE, green 1 -> 0x11, blue 10 -> 0xAA.
    EXPECT_EQ(image.palette[3], 0xEE);
    EXPECT_EQ(image.palette[4], 0x11);
    EXPECT_EQ(image.palette[5], 0xAA);
  }
}

TEST(MakiLoader, ShortSectionsAreRefused) {
  const std::vector<uint8_t> file = test::MakeMaki(MakiPicture(), false, std::vector<uint8_t>(48, 0x50));
  test::ExpectPrefixesRefused(kImageFormatMaki, file, 61);
  test::ExpectCorruptionsSafe(kImageFormatMaki, file, 40);
  // A flag B size that stops short of what flag A asks for.
  std::vector<uint8_t> shortFlags = file;
  shortFlags[32] = 0;
  shortFlags[33] = 2;
  NImage image;
  EXPECT_EQ(LoadImageFromMemory(ExactBuffer(shortFlags).bytes(), image, kImageFormatMaki), 0);
  // An all-zero picture is three sections of nothing: valid and black.
  const std::vector<uint8_t> empty = test::MakeMaki(std::vector<uint8_t>(640 * 400, 0), true,
                                                    std::vector<uint8_t>(48, 0));
  EXPECT_EQ(empty.size(), 1096u);
  EXPECT_EQ(Load(empty, kImageFormatMaki).pixels, std::vector<uint8_t>(640 * 400, 0));
}

// ---- MAG ----

// Columns that repeat 1, 2 and 4 units left, rows that repeat 1, 2, 4, 8
// and 16 rows up, so every copy place occurs, plus noise that must be stored.
std::vector<uint8_t> MagPicture(int width, int height, int colours) {
  std::vector<uint8_t> out(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int band = y / 8 % 4;
      int value = band == 0 ? x / 3 : band == 1 ? (x / 16) * 3 + y % 2 : band == 2 ? x % 7 + y % 4 : x / 2 + y % 16;
      if ((x * 13 + y * 7) % 23 == 0) value += 5;
      out[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(value % colours);
    }
  }
  return out;
}

TEST(MagLoader, SixteenAndTwoHundredFiftySixColoursWithUnalignedEdges) {
  struct Case {
    int x0, y0, x1, y1;
    bool colours256;
  };
  const Case cases[] = {{0, 0, 63, 47, false},  // aligned
                        {3, 5, 60, 60, false},  // edges inside 8-pixel groups
                        {0, 0, 0, 0, false},    // one pixel
                        {1, 2, 38, 41, true},
                        {0, 0, 3, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x0 * 1000 + c.x1);
    const int width = c.x1 - c.x0 + 1;
    const int height = c.y1 - c.y0 + 1;
    const int colours = c.colours256 ? 256 : 16;
    const std::vector<uint8_t> indices = MagPicture(width, height, colours);
    const std::vector<uint8_t> rgb = test::PatternPaletteRgb(colours);
    const std::vector<uint8_t> file = test::MakeMag(c.x0, c.y0, c.x1, c.y1, c.colours256, indices, GrbFrom(rgb));
    const NImage image = Load(file, kImageFormatMag);
    ASSERT_EQ(image.width, width);
    ASSERT_EQ(image.height, height);
    ASSERT_EQ(image.channels, 1);
    EXPECT_TRUE(image.pixels == indices);
    ASSERT_EQ(image.paletteCount, colours);
    ASSERT_EQ(image.paletteChannels, 3);
    EXPECT_EQ(image.palette, rgb);
  }
}

TEST(MagLoader, CopiesFromAboveThePictureAndDamageAreRefused) {
  const std::vector<uint8_t> indices = MagPicture(40, 33, 16);
  const std::vector<uint8_t> file =
      test::MakeMag(0, 0, 39, 32, false, indices, GrbFrom(test::PatternPaletteRgb(16)));
  test::ExpectPrefixesRefused(kImageFormatMag, file);
  test::ExpectCorruptionsSafe(kImageFormatMag, file);

  // A first row whose flags say "copy from one row up".
  std::vector<uint8_t> upward = test::MakeMag(0, 0, 7, 0, false, {1, 2, 3, 4, 5, 6, 7, 8},
                                              GrbFrom(test::PatternPaletteRgb(16)));
  // Header, palette, one flag A byte, no flag B, 4 pixel data bytes.
  const size_t header = upward.size() - 4 - 1 - 48 - 32;
  ASSERT_EQ(upward[header], 0);
  // Flag A: first bit set; flag B gains one byte 0x44 (copy 1 row up).
  const size_t flagA = header + 32 + 48;
  upward[flagA] = 0x80;
  upward.insert(upward.begin() + static_cast<long>(flagA) + 1, 0x44);
  upward[header + 20] = 1;  // flag B size
  upward[header + 24] += 1;  // the pixel data moved
  NImage image;
  EXPECT_EQ(LoadImageFromMemory(ExactBuffer(upward).bytes(), image, kImageFormatMag), 0);
}

}  // namespace
}  // namespace vexal
