// IFF ILBM and PCX: files written by netpbm (ppmtoilbm, ppmtopcx) decode to
// the picture they were made from; hand-made files cover what netpbm does
// not write (1-bit planes, a mask plane, extra half-bright, odd chunks).
//
// The netpbm files in tests/data/image/ were made from a 29 x 13 picture,
// the same as ReferencePixel below, with
//   ppmtoilbm -24force -compress / -nocompress  true.ppm  (ilbm_rgb24_*)
//   ppmtoilbm -compress / -nocompress map.ppm             (ilbm_cmap_*)
//   ppmtopcx -24bit true.ppm, ppmtopcx -8bit map.ppm      (pcx_*)
#include "retro_image_builders.h"

namespace vexal {
namespace {

using test::Bytes;
using test::ExactBuffer;

constexpr int kWidth = 29;
constexpr int kHeight = 13;

std::array<uint8_t, 3> TrueColourPixel(int x, int y) {
  if (x < 8) return {200, 10, static_cast<uint8_t>(y * 20)};
  return {static_cast<uint8_t>(x * 37 + y * 11), static_cast<uint8_t>(x * 5 + y * 29),
          static_cast<uint8_t>((x ^ y) * 9)};
}

std::array<uint8_t, 3> MappedPixel(int x, int y) {
  static constexpr std::array<std::array<uint8_t, 3>, 11> kTable = {{{0, 0, 0},
                                                                     {255, 255, 255},
                                                                     {255, 0, 0},
                                                                     {0, 255, 0},
                                                                     {0, 0, 255},
                                                                     {10, 20, 30},
                                                                     {200, 100, 50},
                                                                     {7, 77, 177},
                                                                     {128, 128, 128},
                                                                     {250, 1, 125},
                                                                     {33, 66, 99}}};
  return kTable[static_cast<size_t>((x / 3 + y / 2) % 11)];
}

std::vector<uint8_t> SeedFile(const std::string& name) {
  return test::ReadBytes(std::string(VEXAL_TEST_DATA) + "/image/" + name);
}

void ExpectPicture(const NImage& image, std::array<uint8_t, 3> (*pixel)(int, int)) {
  ASSERT_EQ(image.width, kWidth);
  ASSERT_EQ(image.height, kHeight);
  NImage rgb = image;
  ASSERT_TRUE(rgb.Convert(3));
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const auto expected = pixel(x, y);
      const uint8_t* got = rgb.row(y) + x * 3;
      ASSERT_TRUE(std::equal(expected.begin(), expected.end(), got)) << x << "," << y;
    }
  }
}

NImage LoadSeed(const std::string& name, int code) {
  const std::vector<uint8_t> file = SeedFile(name);
  NImage image;
  EXPECT_EQ(LoadImageFromMemory(ExactBuffer(file).bytes(), image, 0), code) << name;
  test::ExpectConsistent(image);
  return image;
}

// ---- ILBM ----

TEST(IlbmLoader, NetpbmFilesDecodeToTheirSource) {
  for (const char* name : {"ilbm_rgb24_packed.iff", "ilbm_rgb24_raw.iff"}) {
    SCOPED_TRACE(name);
    const NImage image = LoadSeed(name, kImageFormatIlbm);
    EXPECT_EQ(image.channels, 3);
    ExpectPicture(image, TrueColourPixel);
  }
  for (const char* name : {"ilbm_cmap_packed.iff", "ilbm_cmap_raw.iff"}) {
    SCOPED_TRACE(name);
    const NImage image = LoadSeed(name, kImageFormatIlbm);
    EXPECT_EQ(image.channels, 1);
    EXPECT_EQ(image.paletteCount, 16);  // 4 planes, 11 colours in the map
    ExpectPicture(image, MappedPixel);
  }
}

TEST(IlbmLoader, OnePlaneMaskPlaneAndOddWidths) {
  for (const int planes : {1, 3, 8}) {
    for (const uint8_t masking : {0, 1}) {
      for (const bool packed : {false, true}) {
        SCOPED_TRACE(planes * 100 + masking * 10 + packed);
        const int width = 17;
        const int height = 3;
        const std::vector<uint8_t> indices = test::PatternIndices(width, height, 1 << planes);
        const std::vector<uint8_t> map = test::PatternPaletteRgb(1 << planes);
        const std::vector<uint8_t> file = test::MakeIlbm(width, height, planes, indices, map, packed, masking);
        NImage image;
        ASSERT_EQ(LoadImageFromMemory(ExactBuffer(file).bytes(), image, kImageFormatIlbm), kImageFormatIlbm);
        EXPECT_EQ(image.pixels, indices);
        EXPECT_EQ(image.palette, map);
      }
    }
  }
}

TEST(IlbmLoader, ExtraHalfBrightFillsTheUpperPalette) {
  const std::vector<uint8_t> map = test::PatternPaletteRgb(32);
  std::vector<uint8_t> file = test::MakeIlbm(4, 1, 6, {0, 31, 32, 63}, map, false);
  // A "CAMG" chunk with the half-bright mode, inserted before "BODY".
  Bytes camg;
  camg.text("CAMG").u32be(4).u32be(0x80);
  const auto body = std::search(file.begin(), file.end(), std::begin("BODY"), std::end("BODY") - 1);
  file.insert(body, camg.data.begin(), camg.data.end());
  file[7] = static_cast<uint8_t>(file[7] + 12);
  NImage image;
  ASSERT_EQ(LoadImageFromMemory(ExactBuffer(file).bytes(), image, kImageFormatIlbm), kImageFormatIlbm);
  ASSERT_EQ(image.paletteCount, 64);
  EXPECT_EQ(image.palette[32 * 3 + 0], map[0] / 2);
  EXPECT_EQ(image.palette[63 * 3 + 1], map[31 * 3 + 1] / 2);
}

TEST(IlbmLoader, RefusesOtherPlaneCountsCompressionsAndDamage) {
  NImage image;
  for (const int planes : {0, 12, 32}) {
    std::vector<uint8_t> file = test::MakeIlbm(2, 2, 8, {1, 2, 3, 4}, {}, false);
    file[28] = static_cast<uint8_t>(planes);  // BMHD planes
    EXPECT_EQ(LoadImageFromMemory(ExactBuffer(file).bytes(), image, kImageFormatIlbm), 0) << planes;
  }
  std::vector<uint8_t> unknownCompression = test::MakeIlbm(2, 2, 8, {1, 2, 3, 4}, {}, false);
  unknownCompression[30] = 2;
  EXPECT_EQ(LoadImageFromMemory(ExactBuffer(unknownCompression).bytes(), image, kImageFormatIlbm), 0);

  // Without a colour map the indices read as a grey ramp.
  const std::vector<uint8_t> grey = test::MakeIlbm(2, 1, 2, {0, 3}, {}, true);
  ASSERT_EQ(LoadImageFromMemory(ExactBuffer(grey).bytes(), image, kImageFormatIlbm), kImageFormatIlbm);
  EXPECT_EQ(image.palette, (std::vector<uint8_t>{0, 0, 0, 85, 85, 85, 170, 170, 170, 255, 255, 255}));

  for (const char* name : {"ilbm_rgb24_packed.iff", "ilbm_cmap_raw.iff"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> file = SeedFile(name);
    test::ExpectPrefixesRefused(kImageFormatIlbm, file);
    test::ExpectCorruptionsSafe(kImageFormatIlbm, file, 120);
  }
}

// ---- PCX ----

TEST(PcxLoader, NetpbmFilesDecodeToTheirSource) {
  NImage image = LoadSeed("pcx_rgb24.pcx", kImageFormatPcx);
  EXPECT_EQ(image.channels, 3);
  ExpectPicture(image, TrueColourPixel);
  image = LoadSeed("pcx_pal8.pcx", kImageFormatPcx);
  EXPECT_EQ(image.channels, 1);
  EXPECT_EQ(image.paletteCount, 256);
  ExpectPicture(image, MappedPixel);
}

// A window that does not start at 0, padded lines, and a run crossing from
// one line into the next.
TEST(PcxLoader, WindowPaddingAndRunsAcrossLines) {
  Bytes file;
  file.u8(10).u8(5).u8(1).u8(8).u16le(5).u16le(7).u16le(7).u16le(8);  // 3 x 2
  file.fill(128 - file.data.size(), 0);
  file.data[65] = 1;
  file.data[66] = 4;  // bytes per line
  // Line 0 is 1 2 3 and a pad byte, line 1 is 3 3 3 and a pad byte: the
  // literals 1 and 2, then runs of 3 that run on into line 1.
  file.u8(1).u8(2).u8(0xC4).u8(3).u8(0xC3).u8(3).u8(0);
  file.u8(12);
  for (int i = 0; i < 256; ++i) file.u8(i).u8(i).u8(255 - i);
  NImage image;
  ASSERT_EQ(LoadImageFromMemory(ExactBuffer(file.data).bytes(), image, kImageFormatPcx), kImageFormatPcx);
  EXPECT_EQ(image.width, 3);
  EXPECT_EQ(image.height, 2);
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{1, 2, 3, 3, 3, 3}));
  EXPECT_EQ(image.palette[3 * 3 + 2], 252);
}

TEST(PcxLoader, RefusesOtherLayoutsAndDamage) {
  const std::vector<uint8_t> file = SeedFile("pcx_rgb24.pcx");
  NImage image;
  for (const auto& [at, value] : {std::pair{1, 3}, {2, 0}, {3, 1}, {65, 4}}) {
    std::vector<uint8_t> changed = file;
    changed[static_cast<size_t>(at)] = static_cast<uint8_t>(value);
    EXPECT_EQ(LoadImageFromMemory(ExactBuffer(changed).bytes(), image, kImageFormatPcx), 0) << at;
  }
  std::vector<uint8_t> noMarker = SeedFile("pcx_pal8.pcx");
  noMarker[noMarker.size() - 769] = 0;
  EXPECT_EQ(LoadImageFromMemory(ExactBuffer(noMarker).bytes(), image, kImageFormatPcx), 0);

  test::ExpectPrefixesRefused(kImageFormatPcx, file);
  test::ExpectCorruptionsSafe(kImageFormatPcx, file, 200);
  const std::vector<uint8_t> mapped = SeedFile("pcx_pal8.pcx");
  test::ExpectPrefixesSafe(kImageFormatPcx, mapped);
  test::ExpectCorruptionsSafe(kImageFormatPcx, mapped, 200);
}

}  // namespace
}  // namespace vexal
