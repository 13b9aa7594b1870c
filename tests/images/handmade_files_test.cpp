// Files written byte by byte in every variant a loader claims to read, then
// decoded and compared with the picture they were made from.
#include <png.h>

#include "image_test_util.h"

namespace vexal {
namespace {

using test::Bytes;
using test::ExactBuffer;
using test::PixelRgba;
using Rgba = std::array<uint8_t, 4>;

// A 3 x 2 picture whose colours survive 5-bit storage (each component is a
// 5-bit value widened by bit repetition), with pixel (2, 0) equal to (0, 1)
// so run-length packets can span a row end.
const Rgba kPicture[2][3] = {
    {{255, 0, 0, 255}, {0, 132, 0, 255}, {8, 66, 255, 255}},
    {{8, 66, 255, 255}, {255, 255, 255, 0}, {0, 0, 0, 255}},
};

uint16_t To16(const Rgba& c) {
  return static_cast<uint16_t>((c[3] ? 0x8000 : 0) | (c[0] >> 3) << 10 | (c[1] >> 3) << 5 | (c[2] >> 3));
}

void ExpectPicture(const NImage& image, bool withAlpha, bool grey = false, int tolerance = 0) {
  ASSERT_EQ(image.width, 3);
  ASSERT_EQ(image.height, 2);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      Rgba expected = kPicture[y][x];
      if (grey) expected = {expected[0], expected[0], expected[0], 255};
      if (!withAlpha) expected[3] = 255;
      const Rgba got = PixelRgba(image, x, y);
      for (int c = 0; c < 4; ++c) {
        EXPECT_LE(std::abs(int{got[c]} - int{expected[c]}), tolerance) << "pixel " << x << "," << y << " channel " << c;
      }
    }
  }
}

// ---- TGA ----

// The picture as TGA pixels in file order for the given origin bits.
std::vector<std::vector<uint8_t>> TgaPixels(int bits, uint8_t descriptor, bool indexed) {
  std::vector<std::vector<uint8_t>> out;
  const bool topDown = descriptor & 0x20, rightToLeft = descriptor & 0x10;
  for (int fileRow = 0; fileRow < 2; ++fileRow) {
    for (int fileColumn = 0; fileColumn < 3; ++fileColumn) {
      const int y = topDown ? fileRow : 1 - fileRow;
      const int x = rightToLeft ? 2 - fileColumn : fileColumn;
      const Rgba& c = kPicture[y][x];
      std::vector<uint8_t> pixel;
      if (indexed) {
        pixel = {static_cast<uint8_t>(y * 3 + x + 1)};  // entry 0 unused
      } else if (bits == 8) {
        pixel = {c[0]};
      } else if (bits == 16 || bits == 15) {
        const uint16_t v = To16(c);
        pixel = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
      } else {
        pixel = {c[2], c[1], c[0]};
        if (bits == 32) pixel.push_back(c[3]);
      }
      out.push_back(pixel);
    }
  }
  return out;
}

// Run packets for repeats, raw packets otherwise, ignoring row ends.
std::vector<uint8_t> TgaRunLength(const std::vector<std::vector<uint8_t>>& pixels) {
  std::vector<uint8_t> out;
  size_t i = 0;
  while (i < pixels.size()) {
    size_t run = 1;
    while (i + run < pixels.size() && pixels[i + run] == pixels[i]) ++run;
    if (run > 1) {
      out.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
      out.insert(out.end(), pixels[i].begin(), pixels[i].end());
    } else {
      size_t raw = 1;
      while (i + raw < pixels.size() && pixels[i + raw] != pixels[i + raw - 1] &&
             (i + raw + 1 >= pixels.size() || pixels[i + raw + 1] != pixels[i + raw])) {
        ++raw;
      }
      out.push_back(static_cast<uint8_t>(raw - 1));
      for (size_t k = 0; k < raw; ++k) out.insert(out.end(), pixels[i + k].begin(), pixels[i + k].end());
      run = raw;
    }
    i += run;
  }
  return out;
}

std::vector<uint8_t> MakeTga(int type, int bits, uint8_t descriptor, int mapBits = 0) {
  const bool indexed = (type & 7) == 1;
  Bytes file;
  file.u8(3).u8(indexed ? 1 : 0).u8(type);
  file.u16le(0).u16le(indexed ? 7 : 0).u8(indexed ? mapBits : 0);
  file.u16le(0).u16le(0).u16le(3).u16le(2).u8(bits).u8(descriptor);
  file.text("id!");
  if (indexed) {
    for (int i = 0; i < 7; ++i) {
      const Rgba c = i == 0 ? Rgba{9, 9, 9, 255} : kPicture[(i - 1) / 3][(i - 1) % 3];
      if (mapBits == 16 || mapBits == 15) {
        file.u16le(To16(c));
      } else {
        file.u8(c[2]).u8(c[1]).u8(c[0]);
        if (mapBits == 32) file.u8(c[3]);
      }
    }
  }
  const auto pixels = TgaPixels(bits, descriptor, indexed);
  if (type & 8) {
    file.append(TgaRunLength(pixels));
  } else {
    for (const auto& p : pixels) file.append(p);
  }
  return file.data;
}

TEST(HandMadeTga, EveryTypeDepthAndOriginDecodesToTheSamePicture) {
  struct Variant {
    int type, bits, mapBits;
    bool alpha, grey;
  };
  const Variant variants[] = {
      {2, 24, 0, false, false}, {2, 32, 0, true, false}, {2, 16, 0, true, false},
      {2, 15, 0, false, false}, {10, 24, 0, false, false}, {10, 32, 0, true, false},
      {10, 16, 0, true, false}, {1, 8, 24, false, false}, {1, 8, 32, true, false},
      {1, 8, 16, true, false}, {9, 8, 24, false, false}, {9, 8, 16, true, false},
      {3, 8, 0, false, true},  {11, 8, 0, false, true},
  };
  for (const Variant& v : variants) {
    for (uint8_t origin : {0x00, 0x20, 0x10, 0x30}) {
      SCOPED_TRACE(testing::Message() << "type " << v.type << " bits " << v.bits << " map " << v.mapBits
                                      << " origin " << int{origin});
      // 16-bit data with an alpha bit declares one attribute bit.
      const uint8_t descriptor = static_cast<uint8_t>(origin | (v.alpha && (v.bits == 16 || v.mapBits == 16) ? 1 : 0));
      ExactBuffer file(MakeTga(v.type, v.bits, descriptor, v.mapBits));
      NImage image;
      ASSERT_EQ(LoadImageFromMemory(file.bytes(), image, 0), kImageFormatTga);
      ExpectPicture(image, v.alpha, v.grey);
      if ((v.type & 7) == 1) {
        EXPECT_EQ(image.channels, 1);
        EXPECT_EQ(image.paletteChannels, v.mapBits == 24 ? 3 : 4);
      }
      if (v.grey) {
        EXPECT_EQ(image.paletteCount, 256);
      }
    }
  }
}

TEST(HandMadeTga, WithoutTheAlphaAttributeSixteenBitPixelsAreOpaque) {
  ExactBuffer file(MakeTga(2, 16, 0x20));
  NImage image;
  ASSERT_TRUE(LoadTgaImage(file.bytes(), image));
  EXPECT_EQ(PixelRgba(image, 1, 1)[3], 255);
}

TEST(HandMadeTga, UnsupportedVariantsAreRefused) {
  auto refused = [](std::vector<uint8_t> bytes) {
    ExactBuffer file(bytes);
    NImage image;
    return !LoadTgaImage(file.bytes(), image) && image.empty();
  };
  auto grey = MakeTga(3, 8, 0x20);
  grey[1] = 1;  // a grey image with a colour map
  EXPECT_TRUE(refused(grey));
  auto mapless = MakeTga(1, 8, 0x20, 24);
  mapless[1] = 0;  // colour-mapped without a map
  EXPECT_TRUE(refused(mapless));
  auto odd = MakeTga(2, 24, 0x20);
  odd[16] = 20;  // 20 bits per pixel
  EXPECT_TRUE(refused(odd));
  auto type4 = MakeTga(2, 24, 0x20);
  type4[2] = 4;
  EXPECT_TRUE(refused(type4));
  auto wide = MakeTga(2, 24, 0x20);
  wide[12] = 0xFF, wide[13] = 0xFF, wide[14] = 0xFF, wide[15] = 0xFF;  // 65535 x 65535
  EXPECT_TRUE(refused(wide));
}

// ---- BMP ----

enum class BmpHeader { kOs2, kWindows, kWindowsMasks, kV4 };

std::vector<uint8_t> MakeBmp(BmpHeader header, int bits, bool topDown, const std::array<uint32_t, 4>& masks = {}) {
  const bool palette = bits <= 8;
  const size_t stride = ((3 * bits + 31) / 32) * 4;
  Bytes info;
  const bool hasMasks = header == BmpHeader::kWindowsMasks || header == BmpHeader::kV4;
  if (header == BmpHeader::kOs2) {
    info.u32le(12).u16le(3).u16le(2).u16le(1).u16le(bits);
  } else {
    info.u32le(header == BmpHeader::kV4 ? 108 : 40).u32le(3).u32le(topDown ? static_cast<uint32_t>(-2) : 2);
    info.u16le(1).u16le(bits).u32le(hasMasks ? 3 : 0).u32le(0).u32le(2835).u32le(2835);
    info.u32le(palette ? 7 : 0).u32le(0);
    if (hasMasks) {
      info.u32le(masks[0]).u32le(masks[1]).u32le(masks[2]);
      if (header == BmpHeader::kV4) info.u32le(masks[3]).fill(108 - 56, 0);
    }
  }
  if (palette) {
    for (int i = 0; i < 7; ++i) {
      const Rgba c = i == 0 ? Rgba{9, 9, 9, 255} : kPicture[(i - 1) / 3][(i - 1) % 3];
      info.u8(c[2]).u8(c[1]).u8(c[0]);
      if (header != BmpHeader::kOs2) info.u8(0);
    }
  }
  Bytes rows;
  for (int fileRow = 0; fileRow < 2; ++fileRow) {
    const int y = topDown ? fileRow : 1 - fileRow;
    Bytes row;
    uint32_t bitBuffer = 0;
    int bitCount = 0;
    for (int x = 0; x < 3; ++x) {
      const Rgba& c = kPicture[y][x];
      if (palette) {
        // 1-bit files can only use entries 0 and 1: map the picture to them.
        const uint32_t index = bits == 1 ? (c[0] == 255 ? 1u : 0u) : static_cast<uint32_t>(y * 3 + x + 1);
        bitBuffer = (bitBuffer << bits) | index;
        bitCount += bits;
        while (bitCount >= 8) {
          row.u8((bitBuffer >> (bitCount - 8)) & 0xFF);
          bitCount -= 8;
        }
      } else if (bits == 24) {
        row.u8(c[2]).u8(c[1]).u8(c[0]);
      } else {
        uint32_t value = 0;
        for (int k = 0; k < 4; ++k) {
          const uint32_t mask = hasMasks ? masks[k] : (bits == 16 ? std::array<uint32_t, 4>{0x7C00, 0x3E0, 0x1F, 0}[k]
                                                                 : std::array<uint32_t, 4>{0xFF0000, 0xFF00, 0xFF, 0}[k]);
          if (mask == 0) continue;
          const int shift = __builtin_ctz(mask);
          const int width = __builtin_popcount(mask);
          value |= (static_cast<uint32_t>(c[k]) >> (8 - width) << shift) & mask;
        }
        if (bits == 16) row.u16le(value);
        else row.u32le(value);
      }
    }
    if (bitCount > 0) row.u8((bitBuffer << (8 - bitCount)) & 0xFF);
    row.fill(stride - row.data.size(), 0);
    rows.append(row.data);
  }
  Bytes file;
  file.text("BM").u32le(static_cast<uint32_t>(14 + info.data.size() + rows.data.size())).u32le(0);
  file.u32le(static_cast<uint32_t>(14 + info.data.size()));
  file.append(info.data).append(rows.data);
  return file.data;
}

TEST(HandMadeBmp, HeadersDepthsAndMasksDecodeToTheSamePicture) {
  struct Variant {
    BmpHeader header;
    int bits;
    std::array<uint32_t, 4> masks;
    bool alpha;
  };
  const Variant variants[] = {
      {BmpHeader::kOs2, 24, {}, false},
      {BmpHeader::kOs2, 8, {}, false},
      {BmpHeader::kOs2, 4, {}, false},
      {BmpHeader::kWindows, 24, {}, false},
      {BmpHeader::kWindows, 32, {}, false},
      {BmpHeader::kWindows, 16, {}, false},  // 5-5-5 without masks
      {BmpHeader::kWindows, 8, {}, false},
      {BmpHeader::kWindows, 4, {}, false},
      {BmpHeader::kWindowsMasks, 16, {0xF800, 0x7E0, 0x1F, 0}, false},
      {BmpHeader::kWindowsMasks, 32, {0xFF, 0xFF00, 0xFF0000, 0}, false},
      {BmpHeader::kV4, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, true},
      {BmpHeader::kV4, 16, {0x7C00, 0x3E0, 0x1F, 0x8000}, true},
  };
  for (const Variant& v : variants) {
    for (bool topDown : {false, true}) {
      if (topDown && v.header == BmpHeader::kOs2) continue;
      SCOPED_TRACE(testing::Message() << "header " << static_cast<int>(v.header) << " bits " << v.bits
                                      << (topDown ? " top-down" : ""));
      ExactBuffer file(MakeBmp(v.header, v.bits, topDown, v.masks));
      NImage image;
      ASSERT_EQ(LoadImageFromMemory(file.bytes(), image, 0), kImageFormatBmp);
      // Six green bits cannot hold every 5-bit value widened to 8 exactly.
      ExpectPicture(image, v.alpha, false, v.masks[1] == 0x7E0 ? 2 : 0);
      EXPECT_EQ(image.channels, v.bits <= 8 ? 1 : (v.alpha ? 4 : 3));
    }
  }
}

TEST(HandMadeBmp, FiveFiveFiveExpandsEachComponentToEightBits) {
  // One pixel: red 31, green 16, blue 1.
  const uint16_t value = 31 << 10 | 16 << 5 | 1;
  auto bytes = MakeBmp(BmpHeader::kWindows, 16, false);
  const size_t offset = bytes[10];
  bytes[offset] = value & 0xFF;  // first file row = bottom image row, pixel 0
  bytes[offset + 1] = value >> 8;
  ExactBuffer file(bytes);
  NImage image;
  ASSERT_TRUE(LoadBmpImage(file.bytes(), image));
  EXPECT_EQ(PixelRgba(image, 0, 1), (Rgba{255, 132, 8, 255}));
}

TEST(HandMadeBmp, OneBitPaletteAndRefusedVariants) {
  ExactBuffer mono(MakeBmp(BmpHeader::kWindows, 1, false));
  NImage image;
  ASSERT_TRUE(LoadBmpImage(mono.bytes(), image));
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{1, 0, 0, 0, 1, 0}));

  auto twoBits = MakeBmp(BmpHeader::kWindows, 4, false);
  twoBits[28] = 2;
  ExactBuffer refused(twoBits);
  EXPECT_FALSE(LoadBmpImage(refused.bytes(), image));
  EXPECT_TRUE(image.empty());
  auto masked24 = MakeBmp(BmpHeader::kWindowsMasks, 16, false, {0xF800, 0x7E0, 0x1F, 0});
  masked24[28] = 24;
  ExactBuffer refused24(masked24);
  EXPECT_FALSE(LoadBmpImage(refused24.bytes(), image));
}

TEST(HandMadeBmp, RunLengthEightBitWithJumpsAndAbsoluteRuns) {
  Bytes file;
  file.text("BM").u32le(0).u32le(0).u32le(14 + 40 + 8);
  file.u32le(40).u32le(4).u32le(3).u16le(1).u16le(8).u32le(1).u32le(0).u32le(0).u32le(0).u32le(2).u32le(0);
  file.u32le(0x000000).u32le(0xFFFFFF);
  // Bottom row: run of 4 ones; next row: jump right 1 and up 1 (lands on
  // the top row, column 1), an absolute run 1 0 1, then end of bitmap.
  file.u8(4).u8(1).u8(0).u8(0);
  file.u8(0).u8(2).u8(1).u8(1);
  file.u8(0).u8(3).u8(1).u8(0).u8(1).u8(0);
  file.u8(0).u8(1);
  ExactBuffer bytes(file.data);
  NImage image;
  ASSERT_TRUE(LoadBmpImage(bytes.bytes(), image));
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{0, 1, 0, 1, 0, 0, 0, 0, 1, 1, 1, 1}));
  // A run that claims to reach past the image is cut, never written.
  file.data[14 + 40 + 8] = 200;
  ExactBuffer longRun(file.data);
  ASSERT_TRUE(LoadBmpImage(longRun.bytes(), image));
  EXPECT_EQ(image.pixels.size(), 12u);
}

// ---- GIF ----

// LZW data that never lets the code table grow: a clear code before every
// two literals keeps codes at minimum + 1 bits.
std::vector<uint8_t> SimpleLzw(const std::vector<uint8_t>& indices, int minimumCodeSize) {
  const int clear = 1 << minimumCodeSize;
  const int width = minimumCodeSize + 1;
  const int perClear = (1 << minimumCodeSize) - 2;
  std::vector<uint8_t> out;
  uint32_t buffer = 0;
  int count = 0;
  auto emit = [&](int code) {
    buffer |= static_cast<uint32_t>(code) << count;
    count += width;
    while (count >= 8) {
      out.push_back(buffer & 0xFF);
      buffer >>= 8;
      count -= 8;
    }
  };
  for (size_t i = 0; i < indices.size(); ++i) {
    if (i % perClear == 0) emit(clear);
    emit(indices[i]);
  }
  emit(clear + 1);
  if (count > 0) out.push_back(buffer & 0xFF);
  return out;
}

void AddFrame(Bytes& file, int left, int top, int width, int height, const std::vector<uint8_t>& indices,
              int transparent = -1, bool interlaced = false) {
  if (transparent >= 0) file.u8(0x21).u8(0xF9).u8(4).u8(1).u16le(0).u8(transparent).u8(0);
  file.u8(0x2C).u16le(left).u16le(top).u16le(width).u16le(height).u8(interlaced ? 0x40 : 0);
  file.u8(3);  // minimum code size
  const auto data = SimpleLzw(indices, 3);
  for (size_t at = 0; at < data.size(); at += 255) {
    const size_t length = std::min<size_t>(255, data.size() - at);
    file.u8(static_cast<unsigned>(length));
    file.data.insert(file.data.end(), data.begin() + at, data.begin() + at + length);
  }
  file.u8(0);
}

Bytes GifHeader(int width, int height) {
  Bytes file;
  file.text("GIF89a").u16le(width).u16le(height).u8(0x82).u8(0).u8(0);  // 8-entry global table
  for (int i = 0; i < 8; ++i) file.u8(i * 30).u8(255 - i * 30).u8(i * 10);
  return file;
}

TEST(HandMadeGif, FramesAreCompositedWithTransparencyAndOffsets) {
  Bytes file = GifHeader(4, 3);
  AddFrame(file, 0, 0, 4, 3, std::vector<uint8_t>(12, 1));
  // A 2 x 2 frame at (1, 1) whose index 5 is transparent.
  AddFrame(file, 1, 1, 2, 2, {2, 5, 5, 3}, 5);
  file.u8(0x3B);
  ExactBuffer bytes(file.data);
  NImage image;
  ASSERT_EQ(LoadImageFromMemory(bytes.bytes(), image, 0), kImageFormatGif);
  ASSERT_EQ(image.width, 4);
  const Rgba one{30, 225, 10, 255}, two{60, 195, 20, 255}, three{90, 165, 30, 255};
  EXPECT_EQ(PixelRgba(image, 0, 0), one);
  EXPECT_EQ(PixelRgba(image, 1, 1), two);
  EXPECT_EQ(PixelRgba(image, 2, 1), one);  // transparent: the frame below shows
  EXPECT_EQ(PixelRgba(image, 2, 2), three);

  NPicture picture;
  ASSERT_TRUE(LoadGifPicture(bytes.bytes(), picture, -1));
  ASSERT_EQ(picture.layers.size(), 2u);
  EXPECT_EQ(picture.layers[1].left, 1);
  EXPECT_EQ(picture.layers[1].image.paletteChannels, 4);
  ASSERT_TRUE(LoadGifPicture(bytes.bytes(), picture, 1));
  ASSERT_EQ(picture.layers.size(), 1u);
  EXPECT_EQ(picture.layers[0].image.pixels, (std::vector<uint8_t>{2, 5, 5, 3}));
  EXPECT_FALSE(LoadGifPicture(bytes.bytes(), picture, 2));
}

TEST(HandMadeGif, AnOpaqueTopFrameHidesTheOthers) {
  Bytes file = GifHeader(3, 2);
  AddFrame(file, 0, 0, 3, 2, {1, 1, 1, 1, 1, 1});
  AddFrame(file, 0, 0, 3, 2, {4, 5, 6, 7, 0, 2}, -1, true);
  file.u8(0x3B);
  ExactBuffer bytes(file.data);
  NImage image;
  ASSERT_EQ(LoadImageFromMemory(bytes.bytes(), image, 0), kImageFormatGif);
  // The result is the top frame itself, still indexed. Interlaced rows of a
  // 2-row frame: stored row 0 is row 0, stored row 1 is row 1.
  EXPECT_EQ(image.channels, 1);
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{4, 5, 6, 7, 0, 2}));
}

TEST(HandMadeGif, InterlacedRowsAreReordered) {
  Bytes file = GifHeader(1, 5);
  // Stored order of a 5-row interlaced frame: rows 0, 4, 2, 1, 3.
  AddFrame(file, 0, 0, 1, 5, {0, 4, 2, 1, 3}, -1, true);
  file.u8(0x3B);
  ExactBuffer bytes(file.data);
  NImage image;
  ASSERT_TRUE(LoadImageFromMemory(bytes.bytes(), image, kImageFormatGif));
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{0, 1, 2, 3, 4}));
}

TEST(HandMadeGif, BadCodesAndCutBlocksAreRefused) {
  Bytes file = GifHeader(2, 2);
  file.u8(0x2C).u16le(0).u16le(0).u16le(2).u16le(2).u8(0).u8(3);
  // Clear, then code 12 (not defined yet) as the first code after it.
  file.u8(2).u8(8 | (12 << 4)).u8(0).u8(0).u8(0x3B);
  ExactBuffer bytes(file.data);
  NImage image;
  EXPECT_EQ(LoadImageFromMemory(bytes.bytes(), image, 0), 0);

  Bytes cut = GifHeader(2, 2);
  AddFrame(cut, 0, 0, 2, 2, {1, 2, 3, 4});
  cut.data.resize(cut.data.size() - 3);  // sub-block cut short
  ExactBuffer cutBytes(cut.data);
  EXPECT_EQ(LoadImageFromMemory(cutBytes.bytes(), image, kImageFormatGif), 0);
  EXPECT_TRUE(image.empty());
}

// ---- Icon ----

std::vector<uint8_t> IconBitmap(int mark) {
  // 4-bit, 3 x 2, palette entry i = (i * 10, mark, 0); AND mask makes
  // pixel (1, 0) transparent.
  Bytes bmp;
  bmp.u32le(40).u32le(3).u32le(4).u16le(1).u16le(4).u32le(0).u32le(0).u32le(0).u32le(0).u32le(0).u32le(0);
  for (int i = 0; i < 16; ++i) bmp.u8(0).u8(mark).u8(i * 10).u8(0);
  bmp.u8(0x45).u8(0x60).u8(0).u8(0);  // bottom row: 4 5 6
  bmp.u8(0x12).u8(0x30).u8(0).u8(0);  // top row: 1 2 3
  bmp.u32le(0);                       // mask, bottom row: all opaque
  bmp.u8(0x40).u8(0).u8(0).u8(0);     // mask, top row: pixel 1 clear
  return bmp.data;
}

TEST(HandMadeIco, FirstImageWithItsMaskBecomesRgba) {
  const auto first = IconBitmap(7), second = IconBitmap(99);
  Bytes file;
  file.u16le(0).u16le(1).u16le(2);
  const uint32_t start = 6 + 32;
  file.u8(3).u8(2).u8(16).u8(0).u16le(1).u16le(4).u32le(static_cast<uint32_t>(first.size())).u32le(start);
  file.u8(3).u8(2).u8(16).u8(0).u16le(1).u16le(4).u32le(static_cast<uint32_t>(second.size()));
  file.u32le(start + static_cast<uint32_t>(first.size()));
  file.append(first).append(second);
  ExactBuffer bytes(file.data);
  NImage image;
  ASSERT_EQ(LoadImageFromMemory(bytes.bytes(), image, 0), kImageFormatIco);
  ASSERT_EQ(image.channels, 4);
  EXPECT_EQ(PixelRgba(image, 0, 0), (Rgba{10, 7, 0, 255}));
  EXPECT_EQ(PixelRgba(image, 1, 0)[3], 0);
  EXPECT_EQ(PixelRgba(image, 2, 1), (Rgba{60, 7, 0, 255}));
  NPicture picture;
  ASSERT_TRUE(LoadIcoPicture(bytes.bytes(), picture, 1));
  EXPECT_EQ(picture.layers[0].image.pixels[1], 99);
}

TEST(HandMadeIco, PngStoredInsideAnIconIsRead) {
  const auto png = test::ReadBytes(test::ImageDataPath("generated/png_pal8_trns.png"));
  Bytes file;
  file.u16le(0).u16le(1).u16le(1);
  file.u8(23).u8(17).u8(0).u8(0).u16le(1).u16le(32).u32le(static_cast<uint32_t>(png.size())).u32le(22);
  file.append(png);
  ExactBuffer bytes(file.data);
  NImage fromIcon, direct;
  ASSERT_EQ(LoadImageFromMemory(bytes.bytes(), fromIcon, 0), kImageFormatIco);
  ASSERT_TRUE(LoadPngImage(ExactBuffer(png).bytes(), direct));
  ASSERT_TRUE(direct.Convert(4));
  EXPECT_EQ(fromIcon.pixels, direct.pixels);
}

// ---- Photoshop ----

// A 2 x 2 RGB document with two layers: the bottom one raw, covering the
// canvas in red; the top one a 1 x 1 PackBits layer at (1, 1) in blue with
// half opacity. Its hidden flag is optional.
std::vector<uint8_t> MakePsd(bool topHidden) {
  Bytes layerInfo;
  layerInfo.u16be(2);
  auto record = [&](int top, int left, int bottom, int right, const std::vector<uint32_t>& lengths, int opacity,
                    int flags, const char* name) {
    layerInfo.u32be(top).u32be(left).u32be(bottom).u32be(right).u16be(4);
    const int ids[4] = {-1, 0, 1, 2};
    for (int c = 0; c < 4; ++c) layerInfo.u16be(static_cast<uint16_t>(ids[c])).u32be(lengths[c]);
    layerInfo.text("8BIMnorm").u8(opacity).u8(0).u8(flags).u8(0);
    layerInfo.u32be(12).u32be(0).u32be(0).u8(3).text(name);
  };
  record(0, 0, 2, 2, {6, 6, 6, 6}, 255, 0, "low");
  record(1, 1, 2, 2, {6, 6, 6, 6}, 128, topHidden ? 2 : 0, "top");
  // Bottom: raw planes alpha, R, G, B.
  for (int v : {255, 200, 0, 0}) layerInfo.u16be(0).fill(4, v);
  // Top: PackBits, one row of 1 byte (count 2) each: literal packet.
  for (int v : {255, 0, 0, 250}) layerInfo.u16be(1).u16be(2).u8(0).u8(v);
  if (layerInfo.data.size() % 2) layerInfo.u8(0);

  Bytes file;
  file.text("8BPS").u16be(1).fill(6, 0).u16be(3).u32be(2).u32be(2).u16be(8).u16be(3);
  file.u32be(0).u32be(0);
  file.u32be(static_cast<uint32_t>(layerInfo.data.size() + 4)).u32be(static_cast<uint32_t>(layerInfo.data.size()));
  file.append(layerInfo.data);
  // Merged image, raw: R, G, B planes.
  file.u16be(0).fill(4, 11).fill(4, 22).fill(4, 33);
  return file.data;
}

TEST(HandMadePsd, MergedImageAndLayerSelectors) {
  ExactBuffer bytes(MakePsd(false));
  NImage image;
  ASSERT_EQ(LoadImageFromMemory(bytes.bytes(), image, 0), kImageFormatPsd);
  EXPECT_EQ(image.channels, 3);
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{11, 22, 33, 11, 22, 33, 11, 22, 33, 11, 22, 33}));

  NPicture picture;
  ASSERT_TRUE(LoadPsdPicture(bytes.bytes(), picture, -1));
  ASSERT_EQ(picture.layers.size(), 3u);
  EXPECT_EQ(picture.layers[1].name, "low");
  EXPECT_EQ(picture.layers[2].name, "top");
  EXPECT_EQ(picture.layers[2].left, 1);
  EXPECT_EQ(picture.layers[2].image.pixels, (std::vector<uint8_t>{0, 0, 250, 128}));

  ASSERT_TRUE(LoadPsdPicture(bytes.bytes(), picture, 2));
  ASSERT_EQ(picture.layers.size(), 1u);
  EXPECT_EQ(picture.layers[0].name, "top");
  ASSERT_TRUE(LoadPsdPicture(bytes.bytes(), picture, -2));
  ASSERT_EQ(picture.layers.size(), 1u);
  EXPECT_FALSE(LoadPsdPicture(bytes.bytes(), picture, 3));

  // The layers alone, composited: the half-transparent blue over red.
  ASSERT_TRUE(LoadPsdPicture(bytes.bytes(), picture, -1));
  picture.layers.erase(picture.layers.begin());
  ASSERT_TRUE(Composite(picture, image));
  EXPECT_EQ(PixelRgba(image, 0, 0), (Rgba{200, 0, 0, 255}));
  EXPECT_EQ(PixelRgba(image, 1, 1), (Rgba{127 * 200 / 255, 0, 128 * 250 / 255, 255}));

  ExactBuffer hidden(MakePsd(true));
  ASSERT_TRUE(LoadPsdPicture(hidden.bytes(), picture, -1));
  EXPECT_TRUE(picture.layers[2].hidden());
}

}  // namespace
}  // namespace vexal

// ---- PNG transparency keys ----

namespace vexal {
namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

// A 2 x 1 PNG of the given colour type whose tRNS key matches pixel 0.
std::vector<uint8_t> KeyedPng(int colorType) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, AppendToVector, nullptr);
  png_set_IHDR(png, info, 2, 1, 8, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_color_16 key{};
  key.gray = 7;
  key.red = 7, key.green = 8, key.blue = 9;
  png_set_tRNS(png, info, nullptr, 0, &key);
  png_write_info(png, info);
  std::vector<uint8_t> row = colorType == PNG_COLOR_TYPE_GRAY ? std::vector<uint8_t>{7, 200}
                                                              : std::vector<uint8_t>{7, 8, 9, 7, 8, 10};
  png_write_row(png, row.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// A transparency key must not be lost: keyed grey gains an alpha channel,
// keyed colour becomes RGBA.
TEST(HandMadePng, TransparencyKeysBecomeAlpha) {
  NImage image;
  ASSERT_TRUE(LoadPngImage(test::ExactBuffer(KeyedPng(PNG_COLOR_TYPE_GRAY)).bytes(), image));
  EXPECT_EQ(image.channels, 2);
  EXPECT_EQ(image.paletteCount, 0);
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{7, 0, 200, 255}));
  ASSERT_TRUE(LoadPngImage(test::ExactBuffer(KeyedPng(PNG_COLOR_TYPE_RGB)).bytes(), image));
  EXPECT_EQ(image.channels, 4);
  EXPECT_EQ(image.pixels, (std::vector<uint8_t>{7, 8, 9, 0, 7, 8, 10, 255}));
}

}  // namespace
}  // namespace vexal
