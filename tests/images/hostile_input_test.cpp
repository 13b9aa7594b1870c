// Damaged and hostile files: every prefix and single-byte corruptions of
// real samples, in exact-size buffers so the sanitizer sees any over-read,
// and headers that ask for absurd sizes.
#include "image_test_util.h"

namespace vexal {
namespace {

using test::ExactBuffer;

const char* const kSamples[] = {
    "generated/tga_rgba32_rle.tga", "generated/tga_cmap8_rle.tga", "corpus/pillow_p_16.tga",
    "generated/bmp_pal4.bmp",       "generated/bmp_pal8.bmp",      "generated/bmp_rgba32_v5.bmp",
    "generated/bmp_os2_pal4.bmp",   "generated/png_pal8_trns.png", "generated/png_rgba_interlaced.png",
    "generated/jpeg_rgb.jpg",       "generated/jpeg_progressive.jpg", "generated/gif_frames.gif",
    "generated/gif_interlaced.gif", "generated/ico_pal.ico",       "generated/ico_rgba.ico",
    "generated/psd_rgba.psd",       "generated/psd_grey.psd",
};

// Formats whose pixel data has a known end: a prefix cut inside it is
// damaged and must be refused. (PNG can lose its last chunks and still
// decode in full; GIF files often lack the trailer, so a file cut between
// frames reads as the frames before the cut.)
bool StrictAboutLength(const std::string& name) {
  return name.find(".tga") != std::string::npos || name.find(".psd") != std::string::npos ||
         name.find(".jpg") != std::string::npos ||
         name.find(".png") != std::string::npos ||
         name.find("bmp_pal4") != std::string::npos || name.find("bmp_rgba") != std::string::npos;
}

TEST(HostileImages, EveryPrefixIsRefusedOrConsistent) {
  for (const char* name : kSamples) {
    SCOPED_TRACE(name);
    const auto bytes = test::ReadBytes(test::ImageDataPath(name));
    ASSERT_GT(bytes.size(), 32u);
    NImage full;
    const int code = LoadImageFromMemory(ExactBuffer(bytes).bytes(), full, 0);
    ASSERT_NE(code, 0);
    for (size_t length = 0; length < bytes.size(); ++length) {
      ExactBuffer prefix(bytes.data(), length);
      NImage image;
      const int got = LoadImageFromMemory(prefix.bytes(), image, code);
      test::ExpectConsistent(image);
      if (got == 0) {
        ASSERT_TRUE(image.empty()) << length;
      } else if (StrictAboutLength(name)) {
        // Only bytes after the pixel data (padding, footers) may go
        // missing: an accepted prefix must give the whole picture.
        ASSERT_EQ(image.pixels, full.pixels) << "accepted a damaged prefix of " << length;
      }
    }
  }
}

TEST(HostileImages, SingleByteCorruptionsStayInBounds) {
  for (const char* name : kSamples) {
    SCOPED_TRACE(name);
    const auto bytes = test::ReadBytes(test::ImageDataPath(name));
    // Every header byte, then a stride through the rest; three values each.
    for (size_t at = 0; at < bytes.size(); at += at < 160 ? 1 : 7) {
      for (uint8_t value : {0x00, 0xFF, 0x80}) {
        if (bytes[at] == value) continue;
        auto damaged = bytes;
        damaged[at] = value;
        ExactBuffer buffer(damaged);
        NImage image;
        LoadImageFromMemory(buffer.bytes(), image, 0);
        test::ExpectConsistent(image);
      }
    }
  }
}

TEST(HostileImages, AbsurdSizesAreRefusedBeforeAllocating) {
  test::Bytes tga;  // 65535 x 65535 x 32 bits, one run packet
  tga.u8(0).u8(0).u8(10).fill(5, 0).u16le(0).u16le(0).u16le(65535).u16le(65535).u8(32).u8(0x20);
  tga.u8(0xFF).u32le(0);
  test::Bytes bmp;  // 1,000,000 x 1,000,000 x 24 bits
  bmp.text("BM").u32le(0).u32le(0).u32le(54);
  bmp.u32le(40).u32le(1000000).u32le(1000000).u16le(1).u16le(24).fill(24, 0);
  test::Bytes gif;  // 20000 x 20000 frame
  gif.text("GIF89a").u16le(20000).u16le(20000).u8(0).u8(0).u8(0);
  gif.u8(0x2C).u16le(0).u16le(0).u16le(20000).u16le(20000).u8(0).u8(2).u8(1).u8(4).u8(0).u8(0x3B);
  test::Bytes psd;  // 300000 x 300000 RGB
  psd.text("8BPS").u16be(1).fill(6, 0).u16be(3).u32be(300000).u32be(300000).u16be(8).u16be(3);
  psd.u32be(0).u32be(0).u32be(0).u16be(0);
  test::Bytes ico;  // icon whose bitmap claims 70000 x 70000
  ico.u16le(0).u16le(1).u16le(1).fill(8, 0).u32le(40).u32le(22);
  ico.u32le(40).u32le(70000).u32le(140000).u16le(1).u16le(24).fill(24, 0);
  for (const auto* file : {&tga, &bmp, &gif, &psd, &ico}) {
    ExactBuffer buffer(file->data);
    NImage image;
    EXPECT_EQ(LoadImageFromMemory(buffer.bytes(), image, 0), 0);
    EXPECT_TRUE(image.empty());
  }
}

// A tiny GIF whose frames claim the largest sizes: LZW data this short
// cannot fill them, so nothing of that size is allocated.
TEST(HostileImages, HugeGifFramesWithoutDataAreRefused) {
  test::Bytes gif;
  gif.text("GIF89a").u16le(16384).u16le(8192).u8(0).u8(0).u8(0);
  for (int frame = 0; frame < 8; ++frame) {
    // An end code right away: the frame stays all zero, costing no data.
    gif.u8(0x2C).u16le(0).u16le(0).u16le(16384).u16le(8192).u8(0).u8(2).u8(1).u8(0x05).u8(0);
  }
  gif.u8(0x3B);
  ExactBuffer buffer(gif.data);
  NImage image;
  EXPECT_EQ(LoadImageFromMemory(buffer.bytes(), image, 0), 0);
}

}  // namespace
}  // namespace vexal

namespace vexal {
namespace {

// Small files whose headers promise the largest allowed image: the loaders
// must see the data cannot cover it before they allocate a gigabyte.
TEST(HostileImages, LargestAllowedHeadersWithLittleDataAllocateNothingBig) {
  test::Bytes tga;  // 16384 x 16384 x 32 bits raw, 100 bytes of data
  tga.u8(0).u8(0).u8(2).fill(5, 0).u16le(0).u16le(0).u16le(16384).u16le(16384).u8(32).u8(0x20).fill(100, 7);
  test::Bytes tgaRle = tga;
  tgaRle.data[2] = 10;
  test::Bytes psd;  // 16384 x 16384 RGB, PackBits, row counts that cannot fit
  psd.text("8BPS").u16be(1).fill(6, 0).u16be(3).u32be(16384).u32be(16384).u16be(8).u16be(3);
  psd.u32be(0).u32be(0).u32be(0).u16be(1);
  for (int i = 0; i < 3 * 16384; ++i) psd.u16be(2);
  std::vector<uint8_t> png = test::ReadBytes(test::ImageDataPath("generated/png_rgb16.png"));
  // IHDR width and height (CRC fixed below) set to 16384.
  png[16] = 0, png[17] = 0, png[18] = 0x40, png[19] = 0;
  png[20] = 0, png[21] = 0, png[22] = 0x40, png[23] = 0;
  uint32_t crc = 0xFFFFFFFF;
  for (size_t i = 12; i < 29; ++i) {
    crc ^= png[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  crc ^= 0xFFFFFFFF;
  for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  test::Bytes pngFile;
  pngFile.append(png);
  for (const auto* file : {&tga, &tgaRle, &psd, &pngFile}) {
    ExactBuffer buffer(file->data);
    NImage image;
    EXPECT_EQ(LoadImageFromMemory(buffer.bytes(), image, 0), 0);
    EXPECT_TRUE(image.empty());
  }
}

}  // namespace
}  // namespace vexal

namespace vexal {
namespace {

long PeakGrowthKilobytesWhileLoading(const std::vector<uint8_t>& file, int formatCode) {
  return test::PeakGrowthKilobytesWhile([&] {
    NImage image;
    return LoadImageFromMemory(ExactBuffer(file).bytes(), image, formatCode) == 0;
  });
}

TEST(HostileImages, RunLengthAndTiledHeadersCannotClaimMoreThanTheirDataCovers) {
  // PCX, three planes of 8192 x 8192, a handful of run bytes.
  test::Bytes bigPcx;
  bigPcx.u8(10).u8(5).u8(1).u8(8).u16le(0).u16le(0).u16le(8191).u16le(8191).fill(53, 0);
  bigPcx.u8(3).u16le(8192).fill(60, 0).fill(16, 0xFF);
  // PCX, one pixel per line but the largest line length, one plane with its
  // palette trailer.
  test::Bytes longLines;
  longLines.u8(10).u8(5).u8(1).u8(8).u16le(0).u16le(0).u16le(0).u16le(2999).fill(53, 0);
  longLines.u8(1).u16le(65535).fill(60, 0).fill(16, 0xFF).u8(12).fill(768, 0);
  // Maya IFF, 8192 x 8192 with alpha, no tiles at all.
  test::Bytes mayaIff;
  mayaIff.text("FOR4").u32be(4 + 8 + 24).text("CIMG").text("TBHD").u32be(24);
  mayaIff.u32be(8192).u32be(8192).u16be(1).u16be(1).u32be(3).u16be(0).u16be(1).u32be(1);
  // "DPX", one 16384 x 8192 layer, raw and run-length coded, with 16 bytes
  // of indices.
  test::Bytes dpx;
  dpx.text("DPX").fill(133, 0).u32le(16384).u32le(8192).u32le(1).fill(12, 0).fill(1024, 0);
  dpx.fill(4, 0).u8(0).u8(0).u8(1).fill(121, 0).fill(16, 3);
  test::Bytes dpxPacked = dpx;
  dpxPacked.data[160 + 1024 + 4] = 0x20;
  const struct {
    const test::Bytes* file;
    int code;
  } cases[] = {{&bigPcx, kImageFormatPcx},      {&longLines, kImageFormatPcx}, {&mayaIff, kImageFormatMayaIff},
               {&dpx, kImageFormatDpx},         {&dpxPacked, kImageFormatDpx}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    NImage image;
    EXPECT_EQ(LoadImageFromMemory(ExactBuffer(c.file->data).bytes(), image, c.code), 0);
    // Each of these would need 128 MB or more if the loader trusted its header.
    const long growth = PeakGrowthKilobytesWhileLoading(c.file->data, c.code);
    EXPECT_GE(growth, 0);
    EXPECT_LT(growth, 64 * 1024);
  }
}

}  // namespace
}  // namespace vexal
