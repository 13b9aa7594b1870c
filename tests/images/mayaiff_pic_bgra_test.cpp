// Maya IFF (tiles, bottom-up rows, reversed channels, per-plane runs),
// Softimage PIC (channel packets in the three encodings) and the raw "BGRA"
// image (8 and 16 bits).
#include "retro_image_builders.h"

namespace vexal {
namespace {

using test::Bytes;
using test::ExactBuffer;

// ---- Maya IFF ----

TEST(MayaIffLoader, TiledPicturesComeBackInPlace) {
  struct Case {
    int width, height, channels, tileWidth, tileHeight;
    bool compressed;
  };
  // Tiles that divide the picture, that leave partial tiles at the right and
  // top, and a single tile.
  const Case cases[] = {{16, 8, 3, 8, 4, false}, {19, 11, 4, 8, 4, true}, {19, 11, 3, 5, 3, true},
                        {7, 5, 4, 64, 64, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width * 100 + c.tileWidth);
    const std::vector<uint8_t> pixels = test::PatternPixels(c.width, c.height, c.channels);
    const std::vector<uint8_t> file =
        test::MakeMayaIff(c.width, c.height, c.channels, pixels, c.tileWidth, c.tileHeight, c.compressed);
    NImage image;
    ASSERT_EQ(LoadImageFromMemory(ExactBuffer(file).bytes(), image, 0), kImageFormatMayaIff);
    EXPECT_EQ(image.channels, c.channels);
    EXPECT_EQ(image.width, c.width);
    EXPECT_EQ(image.pixels, pixels);
  }
}

TEST(MayaIffLoader, RefusesOtherFlagsDepthsAndBadTiles) {
  const std::vector<uint8_t> pixels = test::PatternPixels(9, 6, 4);
  const std::vector<uint8_t> file = test::MakeMayaIff(9, 6, 4, pixels, 4, 4, true);
  // TBHD data starts at 12 (form) + 12 (FVER) + 8: flags at +12, bytes at +16.
  const size_t header = 12 + 12 + 8;
  ASSERT_EQ(file[header + 15], 3);
  NImage image;
  for (const uint8_t flags : {0, 2, 4, 5, 7}) {
    std::vector<uint8_t> changed = file;
    changed[header + 15] = flags;
    EXPECT_EQ(LoadImageFromMemory(ExactBuffer(changed).bytes(), image, kImageFormatMayaIff), 0) << int{flags};
  }
  std::vector<uint8_t> sixteenBit = file;
  sixteenBit[header + 17] = 1;
  EXPECT_EQ(LoadImageFromMemory(ExactBuffer(sixteenBit).bytes(), image, kImageFormatMayaIff), 0);
  // A tile reaching past the right edge.
  std::vector<uint8_t> wide = file;
  const auto tile = std::search(wide.begin(), wide.end(), std::begin("RGBA"), std::end("RGBA") - 1);
  ASSERT_NE(tile, wide.end());
  tile[8 + 5] = 9;  // x2 = 9 of a 9-pixel-wide picture
  EXPECT_EQ(LoadImageFromMemory(ExactBuffer(wide).bytes(), image, kImageFormatMayaIff), 0);

  test::ExpectPrefixesRefused(kImageFormatMayaIff, file);
  test::ExpectCorruptionsSafe(kImageFormatMayaIff, file);
}

// ---- Softimage PIC ----

TEST(PicLoader, PacketsInEveryEncodingWithAndWithoutAlpha) {
  const int width = 23;
  const int height = 4;
  std::vector<uint8_t> rgba = test::PatternPixels(width, height, 4);
  // Long runs for the 16-bit count of mixed runs.
  std::vector<uint8_t> wide(200 * 2 * 4, 9);
  const std::vector<std::vector<test::PicPacket>> layouts = {
      {{0xE0, 0}},
      {{0xE0, 1}, {0x10, 2}},
      {{0x80, 2}, {0x60, 0}, {0x10, 1}},
      {{0xF0, 2}},
  };
  for (const auto& packets : layouts) {
    SCOPED_TRACE(packets.size() * 10 + packets[0].encoding);
    bool alpha = false;
    for (const auto& packet : packets) alpha = alpha || (packet.channels & 0x10);
    NImage image;
    const std::vector<uint8_t> file = test::MakePic(width, height, rgba, packets);
    ASSERT_EQ(LoadImageFromMemory(ExactBuffer(file).bytes(), image, 0), kImageFormatPic);
    ASSERT_EQ(image.channels, alpha ? 4 : 3);
    for (size_t i = 0; i < static_cast<size_t>(width * height); ++i) {
      ASSERT_TRUE(std::equal(image.pixels.begin() + i * image.channels,
                             image.pixels.begin() + (i + 1) * image.channels, rgba.begin() + i * 4))
          << i;
    }
    const std::vector<uint8_t> flat = test::MakePic(200, 2, wide, packets);
    ASSERT_EQ(LoadImageFromMemory(ExactBuffer(flat).bytes(), image, kImageFormatPic), kImageFormatPic);
    EXPECT_EQ(image.pixels, std::vector<uint8_t>(image.pixels.size(), 9));
  }
}

TEST(PicLoader, RunsPastTheLineAndDamageAreRefused) {
  const std::vector<uint8_t> rgba = test::PatternPixels(11, 3, 4);
  const std::vector<uint8_t> file = test::MakePic(11, 3, rgba, {{0xE0, 2}, {0x10, 1}});
  test::ExpectPrefixesRefused(kImageFormatPic, file);
  test::ExpectCorruptionsSafe(kImageFormatPic, file);
  // One line of 2 pixels as a pure run of 3.
  const std::vector<uint8_t> twoWide = test::MakePic(2, 1, std::vector<uint8_t>(8, 1), {{0xE0, 1}});
  std::vector<uint8_t> overlong = twoWide;
  ASSERT_EQ(overlong[108], 2);
  overlong[108] = 3;
  NImage image;
  EXPECT_EQ(LoadImageFromMemory(ExactBuffer(twoWide).bytes(), image, kImageFormatPic), kImageFormatPic);
  EXPECT_EQ(LoadImageFromMemory(ExactBuffer(overlong).bytes(), image, kImageFormatPic), 0);
}

// ---- raw "BGRA" ----

TEST(BgraLoader, EightAndSixteenBitSamples) {
  const std::vector<uint8_t> rgba = test::PatternPixels(5, 3, 4);
  for (const bool sixteen : {false, true}) {
    NImage image;
    const std::vector<uint8_t> file = test::MakeBgra(5, 3, rgba, sixteen);
    ASSERT_EQ(LoadImageFromMemory(ExactBuffer(file).bytes(), image, 0), kImageFormatBgra);
    EXPECT_EQ(image.channels, 4);
    EXPECT_EQ(image.pixels, rgba);
    test::ExpectPrefixesRefused(kImageFormatBgra, file);
  }
  std::vector<uint8_t> otherDepth = test::MakeBgra(1, 1, {1, 2, 3, 4}, false);
  otherDepth[4] = 0x05;
  NImage image;
  EXPECT_EQ(LoadImageFromMemory(ExactBuffer(otherDepth).bytes(), image, kImageFormatBgra), 0);
  Bytes huge;
  huge.text("BGRA").u32le(0x08080808).u32le(0x40000000).u32le(0x40000000).fill(64, 0);
  EXPECT_EQ(LoadImageFromMemory(ExactBuffer(huge.data).bytes(), image, kImageFormatBgra), 0);
}

}  // namespace
}  // namespace vexal
