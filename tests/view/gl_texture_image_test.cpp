// Texture file names and the image preparation before upload, and the
// in-memory canvas the off-screen software renderer draws on. No OpenGL.
#include <gtest/gtest.h>

#include "view/gl_offscreen.h"
#include "view/texture_loader.h"

namespace vexal {
namespace {

TEST(TextureFilePath, RelativeNamesFollowTheDocumentFolder) {
  const struct {
    const char* document;
    const char* stored;
    const char* expected;
  } cases[] = {
      {"/models/robot.vxl", "wood.bmp", "/models/wood.bmp"},
      {"/models/robot.vxl", "tex\\wood.bmp", "/models/tex/wood.bmp"},
      {"/models/robot.vxl", ".\\wood.bmp", "/models/./wood.bmp"},
      {"C:\\models\\robot.vxl", "wood.bmp", "C:/models/wood.bmp"},
      {"/models/robot.vxl", "C:\\textures\\wood.bmp", "C:/textures/wood.bmp"},
      {"/models/robot.vxl", "/srv/textures/wood.bmp", "/srv/textures/wood.bmp"},
      {"", "wood.bmp", "wood.bmp"},
      {"robot.vxl", "wood.bmp", "wood.bmp"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextureFilePath(c.document, c.stored), c.expected) << c.document << " + " << c.stored;
  }
}

TEST(TextureImage, PalettesAndGreyBecomeRgbOrRgbaAtPowerOfTwoSizes) {
  NImage indexed;
  ASSERT_TRUE(indexed.Allocate(8, 8, 1));
  ASSERT_TRUE(indexed.AllocatePalette(2, 3));
  indexed.palette = {10, 20, 30, 200, 210, 220};
  indexed.pixels[9] = 1;
  ASSERT_TRUE(PrepareTextureImage(indexed));
  ASSERT_EQ(indexed.channels, 3);
  EXPECT_EQ(indexed.pixels[0], 10);
  EXPECT_EQ(indexed.pixels[9 * 3 + 2], 220);

  NImage grey;
  ASSERT_TRUE(grey.Allocate(8, 8, 1));
  grey.pixels[5] = 77;
  ASSERT_TRUE(PrepareTextureImage(grey));
  ASSERT_EQ(grey.channels, 3);
  EXPECT_EQ(grey.pixels[15], 77);
  EXPECT_EQ(grey.pixels[16], 77);
  EXPECT_EQ(grey.pixels[17], 77);

  NImage greyAlpha;
  ASSERT_TRUE(greyAlpha.Allocate(8, 8, 2));
  greyAlpha.pixels[0] = 90;
  greyAlpha.pixels[1] = 33;
  ASSERT_TRUE(PrepareTextureImage(greyAlpha));
  ASSERT_EQ(greyAlpha.channels, 4);
  EXPECT_EQ(greyAlpha.pixels[2], 90);
  EXPECT_EQ(greyAlpha.pixels[3], 33);

  NImage wide;
  ASSERT_TRUE(wide.Allocate(300, 100, 4));
  ASSERT_TRUE(PrepareTextureImage(wide));
  EXPECT_EQ(wide.width, 256);
  EXPECT_EQ(wide.height, 128);

  NImage empty;
  EXPECT_FALSE(PrepareTextureImage(empty));
}

TEST(TextureImage, SidesSwitchAtTheNearestPowerOfTwo) {
  const int boundaries[][2] = {{1, 8},     {11, 8},    {12, 16},   {22, 16},   {23, 32},
                               {45, 32},   {46, 64},   {90, 64},   {91, 128},  {181, 128},
                               {182, 256}, {362, 256}, {363, 512}, {16384, 512}};
  for (const auto& b : boundaries) EXPECT_EQ(TextureSide(b[0]), b[1]) << b[0];
}

TEST(ImageCanvas, DrawsLikeGdi) {
  ImageCanvas canvas(10, 6);
  canvas.fillRect(-5, -5, 50, 50, 0x102030);
  EXPECT_EQ(canvas.image().pixels[0], 0x30);
  EXPECT_EQ(canvas.image().pixels[2], 0x10);
  canvas.setPen(0x0000FF, 1, PenMode::kCopy);
  canvas.line(1, 1, 5, 1);  // the end pixel is left out
  const auto red = [&](int x, int y) { return canvas.image().row(y)[x * 3] == 0xFF; };
  EXPECT_TRUE(red(1, 1));
  EXPECT_TRUE(red(4, 1));
  EXPECT_FALSE(red(5, 1));
  canvas.setPen(0, 1, PenMode::kInvert);
  const NImage before = canvas.image();
  canvas.line(0, 5, 9, 0);
  EXPECT_NE(canvas.image().pixels, before.pixels);
  canvas.line(0, 5, 9, 0);  // twice erases
  EXPECT_EQ(canvas.image().pixels, before.pixels);
  canvas.line(-2000000000, 0, 2000000000, 5);  // off any sensible range: ignored
}

}  // namespace
}  // namespace vexal
