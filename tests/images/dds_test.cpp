// DirectDraw surfaces: real files from other programs against their
// reference decodes, the palettized variant, and hostile headers.
#include "image_test_util.h"

namespace vexal {
namespace {

using test::Bytes;
using test::ExactBuffer;

std::string DdsPath(const std::string& name) { return test::ImageDataPath("dds/" + name); }

NImage LoadDdsFile(const std::string& name) {
  NImage image;
  const ExactBuffer file(test::ReadBytes(DdsPath(name)));
  EXPECT_TRUE(LoadDdsImage(file.bytes(), image)) << name;
  test::ExpectConsistent(image);
  return image;
}

// The reference decoder divides colour by alpha; the files store straight
// (not premultiplied) colour, which the loader keeps. Opaque pixels must match
// exactly, translucent ones after the same division.
void ExpectStraightAlphaMatch(const NImage& image, const test::RgbaPicture& reference) {
  ASSERT_EQ(image.width, reference.width);
  ASSERT_EQ(image.height, reference.height);
  int worstOpaque = 0;
  int worstTranslucent = 0;
  for (size_t i = 0; i < reference.rgba.size(); i += 4) {
    const int alpha = image.pixels[i + 3];
    ASSERT_EQ(alpha, reference.rgba[i + 3]) << i / 4;
    if (alpha == 0) continue;
    for (size_t c = 0; c < 3; ++c) {
      const int ours = image.pixels[i + c];
      const int theirs = reference.rgba[i + c];
      if (alpha == 255) {
        worstOpaque = std::max(worstOpaque, std::abs(ours - theirs));
      } else {
        const int divided = std::min(255, (ours * 255 + alpha / 2) / alpha);
        worstTranslucent = std::max(worstTranslucent, std::abs(divided - theirs));
      }
    }
  }
  EXPECT_EQ(worstOpaque, 0);
  EXPECT_LE(worstTranslucent, 1);
}

TEST(DdsLoader, BitMaskFilesMatchTheirReferenceDecodes) {
  struct Case {
    const char* name;
    int channels;
  };
  // Masks in both byte orders, 16-bit packings with and without alpha, 3-3-2
  // in one byte, luminance with and without alpha.
  const Case cases[] = {{"oiio_dds_rgb8", 3},   {"oiio_dds_bgr8", 3},   {"oiio_dds_abgr8", 4},
                        {"oiio_dds_r5g6b5", 3}, {"oiio_dds_rgb5a1", 4}, {"oiio_dds_rgba4", 4},
                        {"oiio_dds_rgb332", 3}, {"oiio_dds_l8", 3},     {"oiio_dds_l8a8", 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NImage image = LoadDdsFile(std::string(c.name) + ".dds");
    EXPECT_EQ(image.channels, c.channels);
    EXPECT_EQ(image.paletteCount, 0);
    test::RgbaPicture reference;
    ASSERT_TRUE(test::ReadPam(DdsPath(std::string(c.name) + ".pam"), reference));
    ASSERT_TRUE(image.Convert(4));
    ExpectStraightAlphaMatch(image, reference);
  }
}

// The reference shows the alpha-only surface as grey; the library reads it
// as black with that alpha, the way such a texture is sampled.
TEST(DdsLoader, AlphaOnlySurfaceKeepsItsAlpha) {
  const NImage image = LoadDdsFile("oiio_dds_a8.dds");
  ASSERT_EQ(image.channels, 4);
  test::RgbaPicture reference;
  ASSERT_TRUE(test::ReadPam(DdsPath("oiio_dds_a8.pam"), reference));
  ASSERT_EQ(image.width, reference.width);
  ASSERT_EQ(image.height, reference.height);
  for (size_t i = 0; i < reference.rgba.size(); i += 4) {
    ASSERT_EQ(image.pixels[i + 3], reference.rgba[i]) << i / 4;
    ASSERT_EQ(image.pixels[i], 0);
  }
}

// Written by another program with a bit count of 24 and a mip count of 8
// although only the top level is stored; no independent decoder reads it,
// so the first palette entries and pixels are checked by hand.
TEST(DdsLoader, PalettizedFileKeepsIndicesAndFourBytePalette) {
  const NImage image = LoadDdsFile("pillow_palette.dds");
  EXPECT_EQ(image.width, 200);
  EXPECT_EQ(image.height, 150);
  ASSERT_EQ(image.channels, 1);
  ASSERT_EQ(image.paletteCount, 256);
  ASSERT_EQ(image.paletteChannels, 4);
  const std::vector<uint8_t> file = test::ReadBytes(DdsPath("pillow_palette.dds"));
  EXPECT_TRUE(std::equal(image.palette.begin(), image.palette.end(), file.begin() + 128));
  EXPECT_TRUE(std::equal(image.pixels.begin(), image.pixels.end(), file.begin() + 128 + 1024));
  EXPECT_EQ(image.palette[255 * 4 + 3], 0);  // the file's transparent entry
}

Bytes DdsHeader(uint32_t width, uint32_t height, uint32_t flags, uint32_t fourCc, uint32_t bits,
                uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  Bytes out;
  out.text("DDS ").u32le(124).u32le(0x100F).u32le(height).u32le(width).u32le(0).u32le(0).u32le(1);
  out.fill(44, 0);
  out.u32le(32).u32le(flags).u32le(fourCc).u32le(bits).u32le(r).u32le(g).u32le(b).u32le(a);
  out.u32le(0x1000).fill(16, 0);
  return out;
}

TEST(DdsLoader, HandMadeTwoByTwoBgrx) {
  // 32-bit B G R X with the alpha flag clear: 3 channels, the padding byte
  // ignored; row 0 is the first stored row.
  Bytes file = DdsHeader(2, 2, 0x40, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
  file.u32le(0x11112233).u32le(0x22445566).u32le(0x33778899).u32le(0x44AABBCC);
  ASSERT_EQ(file.data.size(), 128u + 16u);
  const ExactBuffer buffer(file.data);
  NImage image;
  ASSERT_TRUE(LoadDdsImage(buffer.bytes(), image));
  ASSERT_EQ(image.channels, 3);
  const std::vector<uint8_t> expected = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66,
                                         0x77, 0x88, 0x99, 0xAA, 0xBB, 0xCC};
  EXPECT_EQ(image.pixels, expected);
}

TEST(DdsLoader, RefusesWhatItCannotRead) {
  NImage image;
  // Block-compressed.
  Bytes dxt1 = DdsHeader(4, 4, 0x4, 0x31545844, 0, 0, 0, 0, 0);
  dxt1.fill(8, 0);
  EXPECT_FALSE(LoadDdsImage(ExactBuffer(dxt1.data).bytes(), image));
  // An odd bit count, a format without any colour mask, a size past the cap.
  Bytes odd = DdsHeader(1, 1, 0x40, 0, 12, 0xF00, 0xF0, 0xF, 0);
  odd.fill(4, 0);
  EXPECT_FALSE(LoadDdsImage(ExactBuffer(odd.data).bytes(), image));
  Bytes noMasks = DdsHeader(1, 1, 0x40, 0, 32, 0, 0, 0, 0);
  noMasks.fill(4, 0);
  EXPECT_FALSE(LoadDdsImage(ExactBuffer(noMasks.data).bytes(), image));
  Bytes huge = DdsHeader(70000, 70000, 0x20, 0, 8, 0, 0, 0, 0);
  huge.fill(1024 + 64, 0);
  EXPECT_FALSE(LoadDdsImage(ExactBuffer(huge.data).bytes(), image));
  EXPECT_TRUE(image.empty());
}

// Every prefix of the real files is refused without reading past it, and no
// single damaged byte makes the loader read outside the buffer.
TEST(DdsLoader, TruncationAndCorruptionStayInBounds) {
  for (const char* name : {"oiio_dds_rgb5a1.dds", "oiio_dds_abgr8.dds", "pillow_palette.dds"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> bytes = test::ReadBytes(DdsPath(name));
    for (size_t size = 0; size < bytes.size(); size += size < 1200 ? 1 : 97) {
      NImage image;
      EXPECT_FALSE(LoadDdsImage(ExactBuffer(bytes.data(), size).bytes(), image)) << size;
      EXPECT_TRUE(image.empty());
    }
    for (size_t at = 0; at < std::min<size_t>(bytes.size(), 160); ++at) {
      std::vector<uint8_t> damaged = bytes;
      damaged[at] ^= 0xA5;
      NImage image;
      LoadDdsImage(ExactBuffer(damaged).bytes(), image);
      test::ExpectConsistent(image);
    }
  }
}

}  // namespace
}  // namespace vexal
