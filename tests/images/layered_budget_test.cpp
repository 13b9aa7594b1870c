// The pixel budget of the loaders: small files whose layers, screens or runs
// describe gigabytes are refused before anything of that size is allocated,
// by the dispatcher and by the layered read of all layers alike. One named
// file per fault, in images/regress.
#include "image_test_util.h"

namespace vexal {
namespace {

using test::ExactBuffer;

struct RegressFile {
  const char* name;
  int code;
  bool (*layered)(ImageBytes, NPicture&, int);
  // What the dispatcher gives: Photoshop documents are flattened from their
  // merged image, which these files hold intact.
  bool mergedLoads;
};

const RegressFile kRegressFiles[] = {
    // A layer of 16384 x 16384 that stores no channel at all.
    {"regress/psd_layer_without_channels.psd", kImageFormatPsd, LoadPsdPicture, true},
    // Two such layers whose only channels are user masks.
    {"regress/psd_layers_with_mask_channels_only.psd", kImageFormatPsd, LoadPsdPicture, true},
    // 32,000 layer records announced in 83 bytes.
    {"regress/psd_layer_count_beyond_data.psd", kImageFormatPsd, LoadPsdPicture, true},
    // A 16384 x 16384 logical screen around one pixel.
    {"regress/gif_screen_16384_square_one_pixel.gif", kImageFormatGif, LoadGifPicture, false},
    // 1,071 bytes whose runs fill a 12,036 x 8,198 canvas per layer.
    {"regress/edge_1kb_asks_12036x8198.edge", kImageFormatEdge, LoadEdgePicture, false},
};

TEST(LayeredBudget, RegressionFilesAreRefusedWithinASmallMemoryBudget) {
  for (const RegressFile& file : kRegressFiles) {
    SCOPED_TRACE(file.name);
    // The helper reports growth only for a run whose outcome is the expected
    // one (for the flattened read of a Photoshop file, a load).
    const auto bytes = test::ReadBytes(test::ImageDataPath(file.name));
    ASSERT_FALSE(bytes.empty());
    NImage image;
    EXPECT_EQ(LoadImageFromMemory(ExactBuffer(bytes).bytes(), image, 0),
              file.mergedLoads ? file.code : 0);
    if (file.mergedLoads) {
      EXPECT_EQ(image.width, 1);
    }
    NPicture picture;
    EXPECT_FALSE(file.layered(ExactBuffer(bytes).bytes(), picture, -1));
    EXPECT_TRUE(picture.layers.empty());
    // Each used a gigabyte or more before its fault was mended.
    for (const bool layered : {false, true}) {
      const long growth = test::PeakGrowthKilobytesWhile([&] {
        if (layered) {
          NPicture all;
          return !file.layered(ExactBuffer(bytes).bytes(), all, -1);
        }
        NImage flat;
        return (LoadImageFromMemory(ExactBuffer(bytes).bytes(), flat, file.code) == 0) !=
               file.mergedLoads;
      });
      EXPECT_GE(growth, 0) << (layered ? "layered" : "flattened");
      EXPECT_LT(growth, 64 * 1024) << (layered ? "layered" : "flattened");
    }
  }
}

// A Photoshop document of one 2 x 1 RGB layer on a 2 x 1 canvas, raw
// channels; colourIds lists the colour channels the layer stores.
std::vector<uint8_t> LayeredPsd(const std::vector<int16_t>& colourIds) {
  test::Bytes layerInfo;
  layerInfo.u16be(1);
  layerInfo.u32be(0).u32be(0).u32be(1).u32be(2).u16be(static_cast<unsigned>(colourIds.size()));
  for (int16_t id : colourIds) layerInfo.u16be(static_cast<uint16_t>(id)).u32be(2 + 2);
  layerInfo.text("8BIMnorm").u8(255).u8(0).u8(0).u8(0).u32be(0);
  for (size_t c = 0; c < colourIds.size(); ++c) layerInfo.u16be(0).u8(40).u8(80);
  test::Bytes psd;
  psd.text("8BPS").u16be(1).fill(6, 0).u16be(3).u32be(1).u32be(2).u16be(8).u16be(3);
  psd.u32be(0).u32be(0).u32be(static_cast<uint32_t>(layerInfo.data.size() + 4));
  psd.u32be(static_cast<uint32_t>(layerInfo.data.size()));
  psd.append(layerInfo.data);
  psd.u16be(0).fill(6, 9);
  return psd.data;
}

TEST(LayeredBudget, APhotoshopLayerMustStoreEveryColourChannel) {
  NPicture picture;
  ASSERT_TRUE(LoadPsdPicture(ExactBuffer(LayeredPsd({0, 1, 2})).bytes(), picture, -1));
  ASSERT_EQ(picture.layers.size(), 2u);
  EXPECT_EQ(picture.layers[1].width, 2);
  EXPECT_EQ(picture.layers[1].image.pixels[0], 40);
  EXPECT_EQ(picture.layers[1].image.pixels[3], 255);  // no alpha channel: opaque
  // Without its blue channel the layer's pixels would be made up.
  EXPECT_FALSE(LoadPsdPicture(ExactBuffer(LayeredPsd({0, 1})).bytes(), picture, -1));
  EXPECT_TRUE(picture.layers.empty());
  // The merged image alone does not look at the layers.
  EXPECT_TRUE(LoadPsdPicture(ExactBuffer(LayeredPsd({0, 1})).bytes(), picture, -2));
}

// The logical screen and the frames share the budget: a screen of one row
// less than 8192 x 8192 leaves room for a one-pixel frame, the full square
// does not.
TEST(LayeredBudget, AGifScreenCountsAgainstTheBudget) {
  const auto gif = [](unsigned width, unsigned height) {
    test::Bytes file;
    file.text("GIF89a").u16le(width).u16le(height).u8(0).u8(0).u8(0);
    file.u8(0x2C).u16le(0).u16le(0).u16le(1).u16le(1).u8(0).u8(2);
    file.u8(2).u8(0x44).u8(0x01).u8(0).u8(0x3B);
    return file.data;
  };
  NPicture picture;
  EXPECT_TRUE(LoadGifPicture(ExactBuffer(gif(8192, 8191)).bytes(), picture, -1));
  EXPECT_FALSE(LoadGifPicture(ExactBuffer(gif(8192, 8192)).bytes(), picture, -1));
}

// A file refused after some frames were read leaves the picture empty, as
// every refusal must.
TEST(LayeredBudget, AGifRefusedAfterAFrameKeepsNoFrames) {
  const auto bytes = test::ReadBytes(test::ImageDataPath("regress/gif_bad_block_after_a_frame.gif"));
  ASSERT_FALSE(bytes.empty());
  NPicture picture;
  EXPECT_FALSE(LoadGifPicture(ExactBuffer(bytes).bytes(), picture, -1));
  EXPECT_TRUE(picture.layers.empty());
  EXPECT_EQ(picture.width, 0);
}

}  // namespace
}  // namespace vexal
