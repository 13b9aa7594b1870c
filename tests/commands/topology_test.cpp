// Delete Vertices On The Edge, Invert and Uniform The Normals, and the
// hide and show commands.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "commands/topology.h"
#include "support/test_models.h"
#include "edit_command_fixture.h"
#include "symmetric_models.h"

namespace vexal {
namespace {

using testing::EditCommandFixture;

class ChainPoints : public EditCommandFixture {
 protected:
  // Free lines joining the given points in order, on points 1..count laid
  // out on a circle.
  void chain(int count, std::initializer_list<std::pair<int, int>> lines) {
    load([count, lines](Model& m) {
      ClearModel(m);
      for (int p = 1; p <= count; ++p) {
        const float angle = static_cast<float>(p) * 0.7f;
        SetPoint(m, p, std::cos(angle), std::sin(angle), 0, 0, 0);
      }
      m.pointCount = count;
      for (auto [a, b] : lines) {
        ++m.lineCount;
        SetLine(m, m.lineCount, a, b, 0);
      }
    });
  }
};

TEST_F(ChainPoints, TheMiddleOfAPolyLineGoesAndItsEndsAreJoined) {
  chain(3, {{1, 2}, {2, 3}});
  select({2});
  run("DeleteLinePointItem");
  ASSERT_EQ(model().pointCount, 2);
  ASSERT_EQ(model().lineCount, 1);
  EXPECT_EQ(model().lines[1].a, 1);
  EXPECT_EQ(model().lines[1].b, 2);
  EXPECT_EQ(document->scene.selectedCount, 0);
}

TEST_F(ChainPoints, ARunOfSelectedPointsFoldsIntoOneLine) {
  chain(5, {{1, 2}, {2, 3}, {3, 4}, {4, 5}});
  select({2, 3, 4});
  run("DeleteLinePointItem");
  ASSERT_EQ(model().pointCount, 2);
  ASSERT_EQ(model().lineCount, 1);
  EXPECT_EQ(model().points[2].position, VECTOR(std::cos(3.5f), std::sin(3.5f), 0));
}

TEST_F(ChainPoints, BranchPointsAndSurfaceCornersStay) {
  chain(4, {{1, 2}, {1, 3}, {1, 4}});
  select({1});
  run("DeleteLinePointItem");
  EXPECT_EQ(model().pointCount, 4);
  EXPECT_EQ(model().lineCount, 3);

  load(testing::UnitQuad);
  select({2});
  run("DeleteLinePointItem");
  EXPECT_EQ(model().pointCount, 4);
  EXPECT_EQ(model().faceCount, 1);
}

TEST_F(ChainPoints, AClosedLoopKeepsTwoPointsAndOneLine) {
  chain(4, {{1, 2}, {2, 3}, {3, 4}, {4, 1}});
  selectAll();
  run("DeleteLinePointItem");
  EXPECT_EQ(model().pointCount, 2);
  ASSERT_EQ(model().lineCount, 1);
  EXPECT_NE(model().lines[1].a, model().lines[1].b);
}

TEST_F(ChainPoints, TheMirrorImageOfTheSelectionGoesToo) {
  chain(6, {{1, 2}, {2, 3}, {4, 5}, {5, 6}});
  model().points[2].mirror = 5;
  model().points[5].mirror = 2;
  select({2});
  run("DeleteLinePointItem");
  EXPECT_EQ(model().pointCount, 4);
  EXPECT_EQ(model().lineCount, 2);
}

class Normals : public EditCommandFixture {};

TEST_F(Normals, InvertFlipsTheSelectedSurfacesOnly) {
  load(testing::ClosedCube);
  const FACE top = model().faces[2];
  select({5, 6, 7, 8});
  run("FaceFlipItem");
  EXPECT_EQ(model().faces[2].corners, (std::array<int32_t, 4>{5, 8, 7, 6}));
  EXPECT_EQ(model().faces[2].normal, -top.normal);
  EXPECT_EQ(model().faces[1].corners, (std::array<int32_t, 4>{1, 4, 3, 2}));
}

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

class HideShow : public EditCommandFixture {};

TEST_F(HideShow, HideTheRestThenShowKeepsTemplatesHidden) {
  load(testing::ClosedCube);
  select({8});
  run("HideTemplateItem");
  EXPECT_EQ(model().points[8].state, kStateHidden);
  EXPECT_EQ(model().points[8].flags & kPointTemplateFlag, kPointTemplateFlag);
  EXPECT_EQ(document->scene.selectedCount, 0);

  select({1});
  run("HideNotItem");
  for (int p = 2; p <= 8; ++p) EXPECT_EQ(model().points[p].state, kStateHidden) << p;
  for (int s = 1; s <= 6; ++s) EXPECT_EQ(model().faces[s].state, kStateHidden) << s;

  run("ShowItem");
  EXPECT_EQ(model().points[1].state, kStateSelected);
  for (int p = 2; p <= 7; ++p) EXPECT_EQ(model().points[p].state, kStateNormal) << p;
  EXPECT_EQ(model().points[8].state, kStateHidden);
  for (int l = 1; l <= 12; ++l) EXPECT_NE(model().lines[l].state, kStateHidden) << l;
  for (int s = 1; s <= 6; ++s) EXPECT_NE(model().faces[s].state, kStateHidden) << s;

  run("ShowTemplateItem");
  EXPECT_EQ(model().points[8].state, kStateNormal);
  EXPECT_EQ(model().points[8].flags, 0);
}

TEST_F(HideShow, HideSelectionHidesItsLinesAndSurfaces) {
  load(testing::ClosedCube);
  select({5, 6, 7, 8});
  run("HideItem");
  for (int p = 5; p <= 8; ++p) EXPECT_EQ(model().points[p].state, kStateHidden) << p;
  EXPECT_EQ(model().faces[2].state, kStateHidden);
  EXPECT_EQ(model().faces[1].state, kStateNormal);
  EXPECT_EQ(document->scene.selectedCount, 0);
  EXPECT_FALSE(CommandEnabled("HideItem", target));
}

TEST_F(HideShow, ShowTemplatesRevealsOnlyHiddenPartsOnTemplates) {
  load([](Model& m) {
    testing::UnitQuad(m);
    m.points[2].flags = kPointTemplateFlag;
    m.points[2].state = kStateHidden;
  });
  // Line 1-2 selected although its second end is a template; line 3-4
  // hidden with no template end.
  model().lines[1].state = kStateSelected;
  model().lines[3].state = kStateHidden;
  RefreshSelection(*document);
  PushUndo(*document, 1);
  run("ShowTemplateItem");
  EXPECT_EQ(model().lines[1].state, kStateSelected);
  EXPECT_EQ(model().lines[3].state, kStateHidden);
  EXPECT_EQ(model().points[2].state, kStateNormal);
}

}  // namespace
}  // namespace vexal
