// Uniform The Normals.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "commands/uniform_normals.h"
#include "support/test_models.h"
#include "commands/command_fixture.h"

namespace vexal {
namespace {

using testing::CommandFixture;

class Normals : public CommandFixture {};

TEST_F(Normals, UniformFlipsTheOneInvertedFaceOfACube) {
  load([](Model& m) {
    testing::ClosedCube(m);
    FlipFace(m, 4);
  });
  auto cube = std::make_unique<Model>();
  testing::ClosedCube(*cube);
  run("FaceAlignItem");
  for (int s = 1; s <= 6; ++s) {
    EXPECT_EQ(model().faces[s].corners, cube->faces[s].corners) << s;
    EXPECT_EQ(model().faces[s].lines, cube->faces[s].lines) << s;
  }
}

TEST_F(Normals, UniformTakesTheWindingOfTheLowestSurfaceOfEachGroup) {
  load([](Model& m) {
    testing::ClosedCube(m);
    FlipFace(m, 1);  // the lowest: the whole cube follows it
  });
  auto inverted = std::make_unique<Model>();
  testing::ClosedCube(*inverted);
  FlipAllFaces(*inverted);
  run("FaceAlignItem");
  for (int s = 1; s <= 6; ++s) {
    EXPECT_EQ(model().faces[s].corners, inverted->faces[s].corners) << s;
  }
}

// The description as written: each surface from the last down joins the
// groups it shares a line with by relabelling every higher surface.
std::vector<int8_t> LiteralParity(const Model& model) {
  const int faces = model.faceCount;
  std::vector<int32_t> owner(static_cast<size_t>(model.lineCount) + 1, 0);
  std::vector<int32_t> group(static_cast<size_t>(faces) + 1, 0);
  std::vector<int8_t> parity(static_cast<size_t>(faces) + 1, 1);
  for (int s = faces; s >= 1; --s) {
    group[s] = s;
    const FACE& face = model.faces[s];
    if (face.state == kStateHidden || face.material == kGuideMaterial) continue;
    for (int j = 0; j < CornerCount(face); ++j) {
      const int32_t r = face.lines[j];
      if (r == 0) continue;
      const int32_t line = r < 0 ? -r : r;
      const int32_t d = owner[line];
      if (d != 0) {
        const int32_t other = d < 0 ? -d : d;
        const int32_t g = group[other];
        const int e = parity[other];
        const long long product = static_cast<long long>(d) * r * e;
        for (int k = s + 1; k <= faces; ++k) {
          if (group[k] != g) continue;
          group[k] = s;
          if (product > 0) parity[k] = static_cast<int8_t>(-parity[k]);
        }
      } else {
        owner[line] = r > 0 ? s : -s;
      }
    }
  }
  return parity;
}

TEST_F(Normals, UniformParityMatchesTheLiteralDescriptionOnRandomModels) {
  std::mt19937 random(1414);
  auto model = std::make_unique<Model>();
  int flipped = 0;
  for (int round = 0; round < 80; ++round) {
    testing::RandomModelOptions options;
    options.points = 12 + round % 20;
    options.lines = 30;
    options.faces = 10 + round % 40;
    options.allowDegenerate = false;
    testing::RandomModel(*model, random, options);
    // Lines along the surface edges, so that surfaces share them; some
    // rounds keep the random lines, whose edges mostly have none.
    if (round % 4 != 0) {
      model->lineCount = 0;
      CompactModel(*model, kCompactRebuildLines);
    } else {
      RelinkFaces(*model);
    }
    for (int s = 1; s <= model->faceCount; ++s) {
      if (random() % 7 == 0) model->faces[s].material = kGuideMaterial;
    }
    std::vector<int8_t> fast;
    UniformParity(*model, fast);
    ASSERT_EQ(fast, LiteralParity(*model)) << round;
    for (int s = 1; s <= model->faceCount; ++s) flipped += fast[s] < 0;
  }
  EXPECT_GT(flipped, 100);
}

}  // namespace
}  // namespace vexal
