// Invert The Normals.
#include <gtest/gtest.h>

#include <array>

#include "commands/command_fixture.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using testing::CommandFixture;

class FlipFaces : public CommandFixture {};

TEST_F(FlipFaces, InvertFlipsTheSelectedSurfacesOnly) {
  load(testing::ClosedCube);
  const FACE top = model().faces[2];
  select({5, 6, 7, 8});
  run("FaceFlipItem");
  EXPECT_EQ(model().faces[2].corners, (std::array<int32_t, 4>{5, 8, 7, 6}));
  EXPECT_EQ(model().faces[2].normal, -top.normal);
  EXPECT_EQ(model().faces[1].corners, (std::array<int32_t, 4>{1, 4, 3, 2}));
}

}  // namespace
}  // namespace vexal
