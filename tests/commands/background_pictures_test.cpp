// The background-picture values.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "commands/background_pictures.h"
#include "commands/command_fixture.h"

namespace vexal {
namespace {

std::string Text(const TextBuffer& buffer) { return std::string(TextOf(buffer)); }

TEST(BackgroundPictures, OKStoresEverySlotAndReloadsOnlyTheEditedOnes) {
  auto document = testing::DocumentWith(nullptr);
  SetText(document->model.pictures[0].path, "front.png");
  PictureValues values = PictureValuesOf(*document);
  EXPECT_EQ(values.pictures[0].path, "front.png");
  EXPECT_EQ(values.scale, 1.0f);
  values.pictures[1].path = "side.png";
  values.pictures[1].flip = true;
  values.pictures[2].flipSide = true;
  values.depth = 3;
  std::array<bool, kPictureSlots> reload{};
  ASSERT_TRUE(ApplyPictureValues(*document, values, {false, true, false}, reload).ok());
  EXPECT_EQ(reload, (std::array<bool, kPictureSlots>{false, true, false}));
  EXPECT_EQ(Text(document->model.pictures[1].path), "side.png");
  EXPECT_EQ(document->model.pictures[1].flip, 1);
  EXPECT_EQ(document->model.pictures[2].flipSide, 1);
  EXPECT_EQ(document->scene.pictureDepth, 3.0f);

  values.pictures[0].path = std::string(300, 'p');
  EXPECT_EQ(ApplyPictureValues(*document, values, {true, true, true}, reload).status,
            CommandStatus::kRefused);
  EXPECT_EQ(Text(document->model.pictures[0].path), "front.png");
  EXPECT_EQ(reload, (std::array<bool, kPictureSlots>{}));
}

}  // namespace
}  // namespace vexal
