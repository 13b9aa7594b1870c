// The two console texture formats: TIM2 (colour-table block order, nibble
// order, alpha scale) and PlayStation TIM (units, 15-bit colour and its
// transparency rule).
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

// Position of entry i of a 256-entry table in the chip's block order.
size_t StoredTablePosition(size_t i) {
  const size_t block = i & 0x18;
  return block == 0x08 || block == 0x10 ? i ^ 0x18 : i;
}

// ---- TIM2 ----

test::Tim2Picture EightBitWithBlockOrderTable(bool aligned) {
  test::Tim2Picture p;
  p.imageType = 5;
  p.tableType = 0x03;  // 32-bit entries, block order
  p.width = 9;
  p.height = 3;
  p.aligned = aligned;
  for (int i = 0; i < p.width * p.height; ++i) p.pixels.push_back(static_cast<uint8_t>(i * 9));
  p.table.resize(256 * 4);
  for (size_t i = 0; i < 256; ++i) {
    uint8_t* entry = &p.table[StoredTablePosition(i) * 4];
    entry[0] = static_cast<uint8_t>(i);
    entry[1] = static_cast<uint8_t>(255 - i);
    entry[2] = 7;
    entry[3] = i % 2 ? 0x80 : 0x40;  // opaque, half
  }
  p.tableEntries = 256;
  return p;
}

TEST(Tim2Loader, EightBitTableIsPutBackInIndexOrder) {
  for (const bool aligned : {false, true}) {
    SCOPED_TRACE(aligned);
    const test::Tim2Picture p = EightBitWithBlockOrderTable(aligned);
    const NImage image = Load(test::MakeTim2(p), kImageFormatTim2);
    ASSERT_EQ(image.channels, 1);
    EXPECT_EQ(image.width, 9);
    EXPECT_EQ(image.pixels, p.pixels);
    ASSERT_EQ(image.paletteCount, 256);
    ASSERT_EQ(image.paletteChannels, 4);
    for (int i = 0; i < 256; ++i) {
      ASSERT_EQ(image.palette[i * 4], i) << i;
      ASSERT_EQ(image.palette[i * 4 + 3], i % 2 ? 255 : 127) << i;
    }
  }
  // A linear table (bit 7) is taken as it is.
  test::Tim2Picture linear = EightBitWithBlockOrderTable(false);
  linear.tableType = 0x83;
  const NImage image = Load(test::MakeTim2(linear), kImageFormatTim2);
  EXPECT_EQ(image.palette[8 * 4], 16);
}

TEST(Tim2Loader, FourBitPixelsAndSixteenBitEntries) {
  test::Tim2Picture p;
  p.imageType = 4;
  p.tableType = 0x01;
  p.width = 5;  // odd: the last byte of each row holds one pixel
  p.height = 2;
  p.pixels = {0x21, 0x43, 0x05, 0xBA, 0xDC, 0x0F};
  for (int i = 0; i < 16; ++i) {
    const unsigned colour = (i % 32) | (31 - i) << 5 | 3u << 10 | (i == 0 ? 0 : 0x8000);
    p.table.push_back(static_cast<uint8_t>(colour));
    p.table.push_back(static_cast<uint8_t>(colour >> 8));
  }
  p.tableEntries = 16;
  const NImage image = Load(test::MakeTim2(p), kImageFormatTim2);
  ASSERT_EQ(image.channels, 1);
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{1, 2, 3, 4, 5, 10, 11, 12, 13, 15}));
  ASSERT_EQ(image.paletteCount, 16);
  ASSERT_EQ(image.paletteChannels, 4);
  // Entry 2: red 2 -> 16, green 29 -> 239, blue 3 -> 24, alpha bit set.
  EXPECT_EQ(image.palette[8], 16);
  EXPECT_EQ(image.palette[9], 239);
  EXPECT_EQ(image.palette[10], 24);
  EXPECT_EQ(image.palette[11], 255);
  EXPECT_EQ(image.palette[3], 0);
}

TEST(Tim2Loader, DirectColourDepths) {
  test::Tim2Picture p16;
  p16.imageType = 1;
  p16.width = 2;
  p16.height = 1;
  p16.pixels = {0x1F, 0x80, 0xE0, 0x03};  // red opaque, green transparent
  NImage image = Load(test::MakeTim2(p16), kImageFormatTim2);
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{255, 0, 0, 255, 0, 255, 0, 0}));

  test::Tim2Picture p24 = p16;
  p24.imageType = 2;
  p24.pixels = {1, 2, 3, 4, 5, 6};
  image = Load(test::MakeTim2(p24), kImageFormatTim2);
  EXPECT_EQ(image.channels, 3);
  EXPECT_EQ(image.pixels, p24.pixels);

  test::Tim2Picture p32 = p16;
  p32.imageType = 3;
  p32.pixels = {1, 2, 3, 0x80, 4, 5, 6, 0xFF};
  image = Load(test::MakeTim2(p32), kImageFormatTim2);
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{1, 2, 3, 255, 4, 5, 6, 255}));
}

TEST(Tim2Loader, RefusesUnknownTypesAndDamage) {
  test::Tim2Picture p = EightBitWithBlockOrderTable(false);
  for (const uint8_t type : {0, 6, 255}) {
    p.imageType = type;
    NImage image;
    EXPECT_EQ(LoadImageFromMemory(ExactBuffer(test::MakeTim2(p)).bytes(), image, kImageFormatTim2), 0);
  }
  const std::vector<uint8_t> file = test::MakeTim2(EightBitWithBlockOrderTable(true));
  test::ExpectPrefixesRefused(kImageFormatTim2, file);
  test::ExpectCorruptionsSafe(kImageFormatTim2, file, 200);
}

// ---- PlayStation TIM ----

std::vector<uint16_t> FifteenBitTable(size_t count) {
  std::vector<uint16_t> table;
  for (size_t i = 0; i < count; ++i) table.push_back(static_cast<uint16_t>(i | (i % 4) << 5 | 1u << 10));
  return table;
}

TEST(TimLoader, FourBitWithSeveralTablesUsesTheFirst) {
  std::vector<uint16_t> table = FifteenBitTable(32);  // two rows of 16
  table[0] = 0x0000;                                  // transparent
  table[1] = 0x8000;                                  // black, drawn opaque
  // 3 units wide = 12 pixels, 2 rows; the low nibble is the left pixel.
  std::vector<uint8_t> pixels = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA,
                                 0xDC, 0xFE, 0x01, 0x23, 0x45, 0x67};
  const NImage image = Load(test::MakeTim(0, 3, 2, pixels, table, 2), kImageFormatTim);
  ASSERT_EQ(image.width, 12);
  ASSERT_EQ(image.height, 2);
  ASSERT_EQ(image.channels, 1);
  EXPECT_EQ(std::vector<uint8_t>(image.pixels.begin(), image.pixels.begin() + 12),
            (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_EQ(image.pixels[12], 12);
  ASSERT_EQ(image.paletteCount, 16);
  ASSERT_EQ(image.paletteChannels, 4);
  EXPECT_EQ(image.palette[3], 0);
  EXPECT_EQ(image.palette[4 + 3], 255);
  EXPECT_EQ(image.palette[4 + 0], 0);
  // Entry 5: red 5 -> 41, green 1 -> 8, blue 1 -> 8.
  EXPECT_EQ(image.palette[20], 41);
  EXPECT_EQ(image.palette[21], 8);
  EXPECT_EQ(image.palette[22], 8);
}

TEST(TimLoader, EightBitSixteenBitAndTwentyFourBit) {
  std::vector<uint8_t> eight(2 * 2 * 3);
  for (size_t i = 0; i < eight.size(); ++i) eight[i] = static_cast<uint8_t>(i * 20);
  NImage image = Load(test::MakeTim(1, 2, 3, eight, FifteenBitTable(256)), kImageFormatTim);
  EXPECT_EQ(image.width, 4);
  EXPECT_EQ(image.pixels, eight);
  EXPECT_EQ(image.paletteCount, 256);

  // 16-bit direct: white, the transparent zero, opaque black.
  image = Load(test::MakeTim(2, 3, 1, {0xFF, 0x7F, 0x00, 0x00, 0x00, 0x80}, {}), kImageFormatTim);
  EXPECT_EQ(image.channels, 4);
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{255, 255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 255}));

  // 24-bit: 3 units = 6 bytes = 2 pixels, stored R G B.
  image = Load(test::MakeTim(3, 3, 1, {1, 2, 3, 4, 5, 6}, {}), kImageFormatTim);
  EXPECT_EQ(image.channels, 3);
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6}));

  // Indexed without a table: a grey ramp stands in.
  image = Load(test::MakeTim(0, 1, 1, {0xF0, 0x00}, {}), kImageFormatTim);
  ASSERT_EQ(image.paletteCount, 16);
  EXPECT_EQ(image.palette[15 * 4], 255);
}

TEST(TimLoader, RefusesOtherModesAndDamage) {
  NImage image;
  for (const uint32_t mode : {4u, 0x18u}) {
    EXPECT_EQ(LoadImageFromMemory(ExactBuffer(test::MakeTim(mode, 1, 1, {0, 0}, {})).bytes(), image,
                                  kImageFormatTim),
              0);
  }
  const std::vector<uint8_t> file = test::MakeTim(1, 4, 4, std::vector<uint8_t>(32, 3), FifteenBitTable(256));
  test::ExpectPrefixesRefused(kImageFormatTim, file);
  test::ExpectCorruptionsSafe(kImageFormatTim, file, 64);
}

}  // namespace
}  // namespace vexal
