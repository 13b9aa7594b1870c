// The hand-made image seeds are recognised by content through the
// dispatcher, each by its own loader and no other, and are what their
// builders make today.
#include "retro_seeds.h"

namespace vexal {
namespace {

using test::HandMadeSeed;
using test::kSeeds;
using test::Seed;

TEST(RetroSeeds, EverySeedIsRecognisedByItsOwnLoaderOnly) {
  for (const Seed& seed : kSeeds) {
    SCOPED_TRACE(seed.name);
    const std::vector<uint8_t> file = test::ReadBytes(std::string(VEXAL_TEST_DATA) + "/image/" + seed.name);
    ASSERT_FALSE(file.empty());
    NImage image;
    EXPECT_EQ(LoadImageFromMemory(test::ExactBuffer(file).bytes(), image, 0), seed.code);
    test::ExpectConsistent(image);
    // The committed file is what the builder writes today.
    const std::vector<uint8_t> rebuilt = HandMadeSeed(seed.name);
    if (!rebuilt.empty()) {
      EXPECT_TRUE(rebuilt == file);
    }
    // No other loader of this group takes it.
    for (const Seed& other : kSeeds) {
      if (other.code == seed.code) continue;
      EXPECT_EQ(LoadImageFromMemory(test::ExactBuffer(file).bytes(), image, other.code), 0) << other.code;
    }
  }
}

}  // namespace
}  // namespace vexal
