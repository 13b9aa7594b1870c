#include "view/thumbnail.h"

#include <gtest/gtest.h>

#include <array>

namespace vexal {
namespace {

NImage Filled(int width, int height, std::array<uint8_t, 3> rgb) {
  NImage image;
  EXPECT_TRUE(image.Allocate(width, height, 3));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int c = 0; c < 3; ++c) image.row(y)[x * 3 + c] = rgb[c];
  return image;
}

void Put(NImage& image, int x, int y, std::array<uint8_t, 3> rgb) {
  for (int c = 0; c < 3; ++c) image.row(y)[x * 3 + c] = rgb[c];
}

TEST(Thumbnail, MatteTellsModelSeeThroughAndBackgroundApart) {
  struct Case {
    std::array<uint8_t, 3> overBlack, overWhite;
    std::array<uint8_t, 4> rgba;
  };
  const Case cases[] = {
      {{0, 0, 0}, {255, 255, 255}, {0, 0, 0, 0}},          // background
      {{200, 100, 50}, {200, 100, 50}, {200, 100, 50, 255}},  // solid surface
      {{0, 0, 0}, {0, 0, 0}, {0, 0, 0, 255}},              // a black line is model too
      {{100, 50, 0}, {227, 177, 127}, {200, 100, 0, 128}},  // half see-through
      {{10, 10, 10}, {5, 5, 5}, {10, 10, 10, 255}},        // noise the wrong way round
  };
  for (const Case& item : cases) {
    NImage black = Filled(2, 1, {0, 0, 0});
    NImage white = Filled(2, 1, {255, 255, 255});
    Put(black, 1, 0, item.overBlack);
    Put(white, 1, 0, item.overWhite);
    const NImage matte = MatteFromBlackAndWhite(black, white);
    ASSERT_EQ(matte.channels, 4);
    EXPECT_EQ(matte.row(0)[3], 0) << "the untouched pixel is background";
    for (int c = 0; c < 4; ++c)
      EXPECT_NEAR(matte.row(0)[4 + c], item.rgba[c], 1) << int(item.overBlack[0]) << " channel " << c;
  }
  // Frames that do not belong together give nothing.
  EXPECT_TRUE(MatteFromBlackAndWhite(Filled(2, 2, {}), Filled(2, 3, {})).empty());
  NImage grey;
  ASSERT_TRUE(grey.Allocate(2, 2, 1));
  EXPECT_TRUE(MatteFromBlackAndWhite(grey, grey).empty());
}

TEST(Thumbnail, BoundsAndCropKeepExactlyTheCoveredPixels) {
  NImage black = Filled(9, 7, {0, 0, 0});
  NImage white = Filled(9, 7, {255, 255, 255});
  EXPECT_TRUE(OpaqueBounds(MatteFromBlackAndWhite(black, white)).empty());
  Put(black, 2, 1, {9, 9, 9});
  Put(white, 2, 1, {9, 9, 9});
  Put(black, 6, 4, {50, 60, 70});
  Put(white, 6, 4, {50, 60, 70});
  const NImage matte = MatteFromBlackAndWhite(black, white);
  const NRect bounds = OpaqueBounds(matte);
  EXPECT_EQ(bounds, (NRect{2, 1, 7, 5}));
  const NImage cut = CropImage(matte, bounds);
  ASSERT_EQ(cut.width, 5);
  ASSERT_EQ(cut.height, 4);
  EXPECT_EQ(cut.row(0)[3], 255);
  EXPECT_EQ(cut.row(3)[4 * 4 + 2], 70);
  EXPECT_EQ(cut.row(3)[4 * 4 + 3], 255);
  EXPECT_EQ(cut.row(0)[4 * 4 + 3], 0);
  // Clipped to the image; nothing left gives an empty image.
  EXPECT_EQ(CropImage(matte, NRect{7, 5, 20, 20}).width, 2);
  EXPECT_TRUE(CropImage(matte, NRect{20, 20, 30, 30}).empty());
}

}  // namespace
}  // namespace vexal
