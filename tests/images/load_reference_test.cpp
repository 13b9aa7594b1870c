// Real files decode to what an independent decoder makes of them, and the
// dispatcher recognises them by content.
#include <filesystem>

#include "image_test_util.h"
#include "io/file_bytes.h"

namespace vexal {
namespace {

using test::ImageDataPath;

int ExpectedCode(const std::string& extension) {
  if (extension == ".tga") return kImageFormatTga;
  if (extension == ".bmp") return kImageFormatBmp;
  if (extension == ".png") return kImageFormatPng;
  if (extension == ".jpg") return kImageFormatJpeg;
  if (extension == ".gif") return kImageFormatGif;
  if (extension == ".ico") return kImageFormatIco;
  if (extension == ".psd") return kImageFormatPsd;
  return -1;
}

// Lossy or rescaled formats get a tolerance; everything else must match.
int Tolerance(const std::string& name) {
  if (name.find(".jpg") != std::string::npos) return 3;
  if (name.find("555") != std::string::npos || name.find("565") != std::string::npos) return 1;
  return 0;
}

std::vector<std::filesystem::path> SamplesIn(const std::string& folder) {
  std::vector<std::filesystem::path> samples;
  for (const auto& entry : std::filesystem::directory_iterator(ImageDataPath(folder))) {
    const auto path = entry.path();
    if (path.extension() == ".pam") samples.push_back(path.parent_path() / path.stem());
  }
  std::sort(samples.begin(), samples.end());
  return samples;
}

void CheckAgainstReferences(const std::string& folder, size_t minimumCount) {
  const auto samples = SamplesIn(folder);
  EXPECT_GE(samples.size(), minimumCount);
  for (const auto& sample : samples) {
    SCOPED_TRACE(sample.filename().string());
    test::RgbaPicture reference;
    ASSERT_TRUE(test::ReadPam(sample.string() + ".pam", reference));
    NImage image;
    const int code = LoadImage(sample.string(), image, 0);
    EXPECT_EQ(code, ExpectedCode(sample.extension().string()));
    test::ExpectConsistent(image);
    ASSERT_TRUE(image.Convert(4));
    EXPECT_LE(test::MaxDifference(image, reference), Tolerance(sample.filename().string()));
  }
}

TEST(ImageReferenceDecode, GeneratedVariantsMatchAnIndependentDecoder) {
  CheckAgainstReferences("generated", 36);
}

TEST(ImageReferenceDecode, CorpusTargaFilesMatchTheirReferences) {
  CheckAgainstReferences("corpus", 3);
}

// The layouts the loaders promise, beyond the decoded colours.
TEST(ImageReferenceDecode, LoadersProduceTheDocumentedLayouts) {
  struct Case {
    const char* file;
    int channels;
    int paletteCount;
    int paletteChannels;
  };
  const Case cases[] = {
      {"generated/tga_cmap8.tga", 1, 40, 3},   {"generated/tga_grey8.tga", 1, 256, 3},
      {"generated/tga_rgb24.tga", 3, 0, 0},    {"generated/tga_rgba32_rle.tga", 4, 0, 0},
      {"corpus/pillow_p_16.tga", 1, 256, 4},   {"generated/bmp_pal4.bmp", 1, 16, 3},
      {"generated/bmp_rgb555.bmp", 3, 0, 0},   {"generated/bmp_rgba32_v5.bmp", 4, 0, 0},
      {"generated/png_pal8.png", 1, 30, 3},    {"generated/png_pal8_trns.png", 1, 30, 4},
      {"generated/png_pal2.png", 1, 4, 3},     {"generated/png_grey4.png", 1, 0, 0},
      {"generated/png_grey16.png", 1, 0, 0},   {"generated/png_greyalpha.png", 2, 0, 0},
      {"generated/png_rgb16.png", 3, 0, 0},    {"generated/jpeg_rgb.jpg", 3, 0, 0},
      {"generated/jpeg_grey.jpg", 1, 256, 3},  {"generated/psd_rgb.psd", 3, 0, 0},
      {"generated/psd_rgba.psd", 4, 0, 0},     {"generated/gif_single.gif", 1, 64, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    NImage image;
    ASSERT_NE(LoadImage(ImageDataPath(c.file), image, 0), 0);
    EXPECT_EQ(image.channels, c.channels);
    EXPECT_LE(image.paletteCount, c.paletteCount);
    EXPECT_GE(image.paletteCount, c.paletteCount == 0 ? 0 : 2);
    EXPECT_EQ(image.paletteChannels, c.paletteChannels);
  }
}

// Recognition is by content: the name's extension plays no part, and a
// specific code runs only its own loader.
TEST(ImageDispatch, ContentDecidesAndSpecificCodesDoNotFallBack) {
  const std::string dir = testing::TempDir() + "/vexal_image_dispatch";
  std::filesystem::create_directories(dir);
  const auto png = test::ReadBytes(ImageDataPath("generated/png_pal8.png"));
  const auto bmp = test::ReadBytes(ImageDataPath("generated/bmp_rgb24.bmp"));
  ASSERT_TRUE(WriteFileAtomically(dir + "/really_png.bmp", std::string(png.begin(), png.end()), nullptr));
  ASSERT_TRUE(WriteFileAtomically(dir + "/really_bmp.png", std::string(bmp.begin(), bmp.end()), nullptr));

  NImage image;
  EXPECT_EQ(LoadImage(dir + "/really_png.bmp", image, 0), kImageFormatPng);
  EXPECT_EQ(LoadImage(dir + "/really_bmp.png", image, 0), kImageFormatBmp);
  EXPECT_EQ(LoadImage(dir + "/really_png.bmp", image, kImageFormatPng), kImageFormatPng);
  EXPECT_EQ(LoadImage(dir + "/really_png.bmp", image, kImageFormatBmp), 0);
  EXPECT_TRUE(image.empty());
  EXPECT_EQ(LoadImage(dir + "/really_bmp.png", image, kImageFormatTga), 0);
  EXPECT_TRUE(image.empty());
  // Reserved and unknown codes never accept, whatever the file.
  for (int code : {13, 28, 5, 99, -1}) {
    EXPECT_EQ(LoadImage(dir + "/really_png.bmp", image, code), 0) << code;
    EXPECT_TRUE(image.empty());
  }
  EXPECT_EQ(LoadImage(dir + "/missing.png", image, 0), 0);
  std::filesystem::remove_all(dir);
}

TEST(ImageDispatch, UnrecognisedBytesLeaveTheImageEmpty) {
  NImage image;
  ASSERT_TRUE(image.Allocate(4, 4, 3));
  const std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '\n'};
  test::ExactBuffer buffer(text);
  EXPECT_EQ(LoadImageFromMemory(buffer.bytes(), image, 0), 0);
  EXPECT_TRUE(image.empty());
  EXPECT_EQ(LoadImageFromMemory({}, image, 0), 0);
}

}  // namespace
}  // namespace vexal
