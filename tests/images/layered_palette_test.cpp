// The two layered palette formats ("EDGE" with its run/literal packing, and
// "DPX"): layer order, visibility, transparency, selectors and damage.
#include "io/byte_reader.h"
#include "retro_image_builders.h"

namespace vexal {
namespace {

using test::Bytes;
using test::ExactBuffer;

// ---- CEdgeCompress ----

std::vector<uint8_t> Unpack(const std::vector<uint8_t>& block, size_t size, bool* ok = nullptr) {
  std::vector<uint8_t> out(size, 0xEE);
  const ExactBuffer buffer(block);
  ByteReader reader(buffer.bytes());
  const bool decoded = CEdgeCompress::Decode(reader, out.data(), size);
  if (ok) *ok = decoded;
  return out;
}

TEST(EdgeCompress, RunsGoBeforeTheLiteralOfTheirPositionAndAfterTheLast) {
  // Runs: (0, 2 x 'a'), (1, 3 x 'b'), (1, 1 x 'c'), (2, 2 x 'z'); literals "XY".
  Bytes block;
  block.u32le(4);
  block.u32le(0).u32le(2).u8('a');
  block.u32le(1).u32le(3).u8('b');
  block.u32le(1).u32le(1).u8('c');
  block.u32le(2).u32le(2).u8('z');
  block.u32le(2).text("XY");
  const std::string expected = "aaXbbbcYzz";
  EXPECT_EQ(Unpack(block.data, expected.size()), std::vector<uint8_t>(expected.begin(), expected.end()));
  // A short output drops the rest; a long one keeps zeros after the data.
  EXPECT_EQ(Unpack(block.data, 4), (std::vector<uint8_t>{'a', 'a', 'X', 'b'}));
  std::vector<uint8_t> longer(expected.begin(), expected.end());
  longer.resize(13, 0);
  EXPECT_EQ(Unpack(block.data, 13), longer);
}

TEST(EdgeCompress, HugeRunsAreClippedAndBadCountsRefused) {
  Bytes huge;
  huge.u32le(2).u32le(0).u32le(0x7FFFFFFF).u8(7).u32le(0).u32le(0x7FFFFFFF).u8(9).u32le(1).u8(1);
  EXPECT_EQ(Unpack(huge.data, 5), (std::vector<uint8_t>(5, 7)));

  bool ok = true;
  Bytes tooManyRuns;
  tooManyRuns.u32le(1000).u32le(0).u32le(1).u8(1).u32le(0);
  Unpack(tooManyRuns.data, 4, &ok);
  EXPECT_FALSE(ok);
  Bytes negativeRuns;
  negativeRuns.u32le(0xFFFFFFFF).u32le(0);
  Unpack(negativeRuns.data, 4, &ok);
  EXPECT_FALSE(ok);
  Bytes negativeLength;
  negativeLength.u32le(1).u32le(0).u32le(0xFFFFFFF0).u8(1).u32le(0);
  Unpack(negativeLength.data, 4, &ok);
  EXPECT_FALSE(ok);
  Bytes shortLiterals;
  shortLiterals.u32le(0).u32le(5).text("abc");
  Unpack(shortLiterals.data, 4, &ok);
  EXPECT_FALSE(ok);
}

TEST(EdgeCompress, PackedPatternsComeBackUnchanged) {
  for (const auto& [width, height] : {std::pair{1, 1}, {7, 5}, {64, 3}, {33, 17}}) {
    const std::vector<uint8_t> data = test::PatternIndices(width, height, 6);
    EXPECT_EQ(Unpack(test::EdgePack(data), data.size()), data);
  }
}

// ---- "EDGE" pictures ----

// Three 6 x 4 layers. File order is top first: "top" (hidden), "middle"
// (index 3 everywhere but a transparent column 0), "bottom" (pattern).
std::vector<uint8_t> ThreeLayerEdge() {
  const int w = 6, h = 4;
  std::vector<uint8_t> middle(w * h, 3);
  for (int y = 0; y < h; ++y) middle[y * w] = 9;  // 9 is the transparent index
  return test::MakeEdge(w, h, 9, test::PatternPaletteRgb(256),
                        {{"top", false, std::vector<uint8_t>(w * h, 1)},
                         {"middle", true, middle},
                         {"bottom", true, test::PatternIndices(w, h, 5)}});
}

TEST(EdgeLoader, LayersAreReversedSharedPaletteAndTransparentIndex) {
  const std::vector<uint8_t> file = ThreeLayerEdge();
  NPicture picture;
  ASSERT_TRUE(LoadEdgePicture(ExactBuffer(file).bytes(), picture, -1));
  EXPECT_EQ(picture.width, 6);
  EXPECT_EQ(picture.height, 4);
  ASSERT_EQ(picture.layers.size(), 3u);
  EXPECT_EQ(picture.layers[0].name, "bottom");
  EXPECT_EQ(picture.layers[1].name, "middle");
  EXPECT_EQ(picture.layers[2].name, "top");
  EXPECT_TRUE(picture.layers[2].hidden());
  EXPECT_FALSE(picture.layers[0].hidden());
  const NImage& bottom = picture.layers[0].image;
  ASSERT_EQ(bottom.channels, 1);
  ASSERT_EQ(bottom.paletteCount, 256);
  ASSERT_EQ(bottom.paletteChannels, 4);
  EXPECT_EQ(bottom.pixels, test::PatternIndices(6, 4, 5));
  const std::vector<uint8_t> rgb = test::PatternPaletteRgb(256);
  for (int i = 0; i < 256; ++i) {
    EXPECT_TRUE(std::equal(rgb.begin() + i * 3, rgb.begin() + i * 3 + 3, bottom.palette.begin() + i * 4));
    EXPECT_EQ(bottom.palette[i * 4 + 3], i == 9 ? 0 : 255);
  }

  // Composited through the dispatcher: the hidden top layer does not show,
  // the middle layer's transparent column lets the bottom one through.
  NImage flat;
  ASSERT_EQ(LoadImageFromMemory(ExactBuffer(file).bytes(), flat, 0), kImageFormatEdge);
  const std::vector<uint8_t> pattern = test::PatternIndices(6, 4, 5);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) {
      const int index = x == 0 ? pattern[y * 6] : 3;
      const auto pixel = test::PixelRgba(flat, x, y);
      EXPECT_EQ(pixel[0], rgb[index * 3]) << x << "," << y;
      EXPECT_EQ(pixel[3], 255);
    }
  }
}

TEST(EdgeLoader, SelectorPicksOneLayerInPictureOrder) {
  const std::vector<uint8_t> file = ThreeLayerEdge();
  NPicture picture;
  ASSERT_TRUE(LoadEdgePicture(ExactBuffer(file).bytes(), picture, 2));
  ASSERT_EQ(picture.layers.size(), 1u);
  EXPECT_EQ(picture.layers[0].name, "top");
  EXPECT_EQ(picture.layers[0].image.pixels, std::vector<uint8_t>(24, 1));
  EXPECT_FALSE(LoadEdgePicture(ExactBuffer(file).bytes(), picture, 3));
  EXPECT_TRUE(picture.layers.empty());
}

TEST(EdgeLoader, DamagedFilesAreRefusedWithoutOverreads) {
  const std::vector<uint8_t> file = ThreeLayerEdge();
  test::ExpectPrefixesRefused(kImageFormatEdge, file);
  test::ExpectCorruptionsSafe(kImageFormatEdge, file);
  // "EDGE" must be a whole zero-terminated word.
  std::vector<uint8_t> longer = file;
  longer[4] = 'S';
  NPicture picture;
  EXPECT_FALSE(LoadEdgePicture(ExactBuffer(longer).bytes(), picture, -1));
}

// ---- "DPX" pictures ----

std::vector<uint8_t> PaletteBgrx(int seed) {
  std::vector<uint8_t> out(1024);
  for (int i = 0; i < 256; ++i) {
    out[i * 4 + 0] = static_cast<uint8_t>(i + seed);        // blue
    out[i * 4 + 1] = static_cast<uint8_t>(i * 3 + seed);    // green
    out[i * 4 + 2] = static_cast<uint8_t>(255 - i - seed);  // red
    out[i * 4 + 3] = 0x77;                                  // ignored
  }
  return out;
}

// 7 x 5 (rows padded to 8): a raw layer, a run-length layer with its own
// palette, the skipped block and a compressed mask, and a hidden raw layer
// with an uncompressed mask.
std::vector<uint8_t> ThreeLayerDpx() {
  const int w = 7, h = 5;
  test::DpxLayer raw;
  raw.name = "raw";
  raw.transparent = 4;
  raw.indices = test::PatternIndices(w, h, 8);
  test::DpxLayer packed;
  packed.name = "packed";
  packed.flagsA = 0x20 | 0x02 | 0x01 | 0x10;
  packed.flagsB = 0x01 | 0x10;
  packed.transparent = 300;  // beyond the palette: nothing transparent
  packed.ownPaletteBgrx = PaletteBgrx(50);
  packed.indices = test::PatternIndices(w, h, 3);
  test::DpxLayer hidden;
  hidden.name = "hidden";
  hidden.flagsA = 0x01;
  hidden.flagsB = 0;
  hidden.indices = std::vector<uint8_t>(w * h, 2);
  return test::MakeDpx(w, h, PaletteBgrx(0), {raw, packed, hidden});
}

void ExpectPaletteFrom(const NImage& image, const std::vector<uint8_t>& bgrx, int transparent) {
  ASSERT_EQ(image.paletteCount, 256);
  ASSERT_EQ(image.paletteChannels, 4);
  for (int i = 0; i < 256; ++i) {
    const uint8_t* entry = &image.palette[i * 4];
    ASSERT_EQ(entry[0], bgrx[i * 4 + 2]);
    ASSERT_EQ(entry[1], bgrx[i * 4 + 1]);
    ASSERT_EQ(entry[2], bgrx[i * 4 + 0]);
    ASSERT_EQ(entry[3], i == transparent ? 0 : 255);
  }
}

TEST(DpxLoader, LayersKeepFileOrderFlagsAndPalettes) {
  const std::vector<uint8_t> file = ThreeLayerDpx();
  NPicture picture;
  ASSERT_TRUE(LoadDpxPicture(ExactBuffer(file).bytes(), picture, -1));
  EXPECT_EQ(picture.width, 7);
  EXPECT_EQ(picture.height, 5);
  ASSERT_EQ(picture.layers.size(), 3u);

  const NLayer& raw = picture.layers[0];
  EXPECT_EQ(raw.name, "raw");
  EXPECT_FALSE(raw.hidden());
  ASSERT_EQ(raw.image.channels, 1);
  EXPECT_EQ(raw.image.pixels, test::PatternIndices(7, 5, 8));  // bottom-up rows turned over
  ExpectPaletteFrom(raw.image, PaletteBgrx(0), 4);

  const NLayer& packed = picture.layers[1];
  EXPECT_EQ(packed.name, "packed");
  ASSERT_EQ(packed.image.channels, 2);
  const std::vector<uint8_t> indices = test::PatternIndices(7, 5, 3);
  for (size_t i = 0; i < indices.size(); ++i) {
    ASSERT_EQ(packed.image.pixels[i * 2], indices[i]);
    ASSERT_EQ(packed.image.pixels[i * 2 + 1], 255);
  }
  ExpectPaletteFrom(packed.image, PaletteBgrx(50), -1);

  EXPECT_TRUE(picture.layers[2].hidden());
  EXPECT_EQ(picture.layers[2].image.channels, 2);

  NPicture one;
  ASSERT_TRUE(LoadDpxPicture(ExactBuffer(file).bytes(), one, 1));
  ASSERT_EQ(one.layers.size(), 1u);
  EXPECT_EQ(one.layers[0].name, "packed");
  EXPECT_FALSE(LoadDpxPicture(ExactBuffer(file).bytes(), one, 3));
}

TEST(DpxLoader, RunLengthPairsAndTheirEdgeCases) {
  // One 4 x 1 layer "5 5 5 1" packs as "5 5 3 1"; "7 7 0" in front of it
  // stands for no 7 at all.
  test::DpxLayer layer;
  layer.flagsA = 0x20;
  layer.indices = {5, 5, 5, 1};
  std::vector<uint8_t> file = test::MakeDpx(4, 1, PaletteBgrx(0), {layer});
  const size_t data = 160 + 1024 + 128;
  ASSERT_EQ(std::vector<uint8_t>(file.begin() + data, file.begin() + data + 4),
            (std::vector<uint8_t>{5, 5, 3, 1}));
  file.insert(file.begin() + data, {7, 7, 0});
  NPicture picture;
  ASSERT_TRUE(LoadDpxPicture(ExactBuffer(file).bytes(), picture, -1));
  EXPECT_EQ(picture.layers[0].image.pixels, (std::vector<uint8_t>{5, 5, 5, 1}));
}

TEST(DpxLoader, MissingEndMarkerAndDamageAreRefused) {
  const std::vector<uint8_t> file = ThreeLayerDpx();
  test::ExpectPrefixesRefused(kImageFormatDpx, file);
  test::ExpectCorruptionsSafe(kImageFormatDpx, file, 2000);
  std::vector<uint8_t> noEnd(file.begin(), file.end() - 8);
  noEnd.insert(noEnd.end(), {'E', 'O', 'F', '?', 0, 0, 0, 0});
  NPicture picture;
  EXPECT_FALSE(LoadDpxPicture(ExactBuffer(noEnd).bytes(), picture, -1));
  EXPECT_TRUE(picture.layers.empty());
}

}  // namespace
}  // namespace vexal
