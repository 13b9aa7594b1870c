// Attach Loop on each kind of surface pair.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "commands/attach_loop.h"
#include "support/test_models.h"
#include "commands/command_fixture.h"

namespace vexal {
namespace {

using testing::CommandFixture;

class AttachLoopTest : public CommandFixture {
 protected:
  // Points on a grid of columns x rows, numbered row by row from 1.
  static int At(int column, int row, int columns) { return row * columns + column + 1; }

  // An open grid of quads, (columns - 1) x (rows - 1), all facing +z.
  static void Grid(Model& m, int columns, int rows) {
    ClearModel(m);
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < columns; ++c) {
        SetPoint(m, At(c, r, columns), static_cast<float>(c), static_cast<float>(r), 0, 0, 0);
      }
    }
    m.pointCount = columns * rows;
    for (int r = 0; r + 1 < rows; ++r) {
      for (int c = 0; c + 1 < columns; ++c) {
        ++m.faceCount;
        SetFace(m, m.faceCount, At(c, r, columns), At(c + 1, r, columns),
                At(c + 1, r + 1, columns), At(c, r + 1, columns), 1 + c % 2, 0);
        SetFaceUV(m, m.faceCount, UV(0, 0), UV(1, 0), UV(1, 1), UV(0, 1));
      }
    }
    CompactModel(m, kCompactRebuildLines);
  }

  // A band of rows quads around a cylinder of `around` columns: rings of
  // points at heights 0..rows.
  static void Band(Model& m, int around, int rows) {
    ClearModel(m);
    for (int r = 0; r <= rows; ++r) {
      for (int c = 0; c < around; ++c) {
        const float angle = 6.2831853f * static_cast<float>(c) / static_cast<float>(around);
        SetPoint(m, r * around + c + 1, std::cos(angle), static_cast<float>(r), std::sin(angle), 0,
                 0);
      }
    }
    m.pointCount = (rows + 1) * around;
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < around; ++c) {
        ++m.faceCount;
        const int next = (c + 1) % around;
        SetFace(m, m.faceCount, r * around + c + 1, (r + 1) * around + c + 1,
                (r + 1) * around + next + 1, r * around + next + 1, 0, 0);
      }
    }
    CompactModel(m, kCompactRebuildLines);
  }

  void selectLine(int a, int b) {
    const int32_t line = FindLine(model(), a, b);
    ASSERT_NE(line, 0) << a << "-" << b;
    model().lines[line < 0 ? -line : line].state = kStateSelected;
    RefreshSelection(*document);
    PushUndo(*document, 1);
  }

  // Every surface's corners, each an integer point position (x, y).
  std::vector<std::vector<std::pair<int, int>>> surfaces() {
    std::vector<std::vector<std::pair<int, int>>> all;
    for (int s = 1; s <= model().faceCount; ++s) {
      std::vector<std::pair<int, int>> corners;
      for (int j = 0; j < CornerCount(model(), s); ++j) {
        const VECTOR& p = model().points[model().faces[s].corners[j]].position;
        corners.push_back({static_cast<int>(p.x), static_cast<int>(p.y)});
      }
      all.push_back(corners);
    }
    return all;
  }
};

TEST_F(AttachLoopTest, ARingAroundABandDissolvesFromOneSelectedLine) {
  load([](Model& m) { Band(m, 4, 2); });
  // One line of the middle ring (points 5..8) selected.
  selectLine(5, 6);
  run("LoopAttachItem");
  EXPECT_EQ(model().pointCount, 8);
  EXPECT_EQ(model().faceCount, 4);
  EXPECT_EQ(model().lineCount, 12);
  for (int s = 1; s <= 4; ++s) {
    ASSERT_TRUE(IsQuad(model(), s));
    // Each new quad spans the whole height, from ring 0 to ring 2.
    float low = 9, high = -9;
    for (int32_t c : model().faces[s].corners) {
      low = std::min(low, model().points[c].position.y);
      high = std::max(high, model().points[c].position.y);
    }
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 2);
  }
  EXPECT_EQ(document->scene.selectedCount, 0);
}

TEST_F(AttachLoopTest, ALineAcrossAGridRunsToBothBordersAndKeepsWindingAndUVs) {
  // 3 x 3 points, four quads; the middle column line x = 1.
  load([](Model& m) { Grid(m, 3, 3); });
  selectLine(At(1, 0, 3), At(1, 1, 3));
  run("LoopAttachItem");
  EXPECT_EQ(model().pointCount, 6);
  EXPECT_EQ(model().lineCount, 7);
  ASSERT_EQ(model().faceCount, 2);
  // (e, f, c, d) of the two quads across each line: the left quad's outer
  // corners then the right one's, wound as before (facing +z).
  for (int s = 1; s <= 2; ++s) {
    EXPECT_GT(model().faces[s].normal.z, 0.99f) << s;
    EXPECT_EQ(model().faces[s].material, 1);  // the smaller of 1 and 2
  }
  EXPECT_EQ(surfaces()[0], (std::vector<std::pair<int, int>>{{2, 0}, {2, 1}, {0, 1}, {0, 0}}));
  // Each kept corner keeps its own UV.
  EXPECT_EQ(model().faces[1].uv[0], UV(1, 0));
  EXPECT_EQ(model().faces[1].uv[3], UV(0, 0));
}

TEST_F(AttachLoopTest, TwoTrianglesAcrossASelectedDiagonalBecomeAQuad) {
  load([](Model& m) {
    Grid(m, 2, 2);
    m.faces[1].corners = {1, 2, 4, 1};
    SetFace(m, 2, 1, 4, 3, 1, 0, 0);
    m.faceCount = 2;
    m.lineCount = 0;
    CompactModel(m, kCompactRebuildLines);
  });
  selectLine(1, 4);
  run("LoopAttachItem");
  EXPECT_EQ(model().pointCount, 4);
  EXPECT_EQ(model().lineCount, 4);
  ASSERT_EQ(model().faceCount, 1);
  // The line runs 4 -> 1 (its first point 4); the quad starts after 4 on
  // the triangle that runs it 1 -> 4.
  EXPECT_EQ(model().faces[1].corners, (std::array<int32_t, 4>{3, 1, 2, 4}));
}

TEST_F(AttachLoopTest, AQuadAndATriangleMergeWhereAQuadPairTakesTheirSharedPoint) {
  // 3 x 3 points; the lower right quad is split into the triangles
  // (1,0)-(2,0)-(2,1) and (1,0)-(2,1)-(1,1). The loop x = 1 crosses two
  // quads at the top and a quad and a triangle at the bottom; (1,0) has
  // three surface corners and stays.
  load([](Model& m) {
    Grid(m, 3, 3);
    const int a = At(1, 0, 3), b = At(2, 0, 3), c = At(2, 1, 3), d = At(1, 1, 3);
    m.faces[2].corners = {a, b, c, a};
    SetFace(m, 5, a, c, d, a, 2, 0);
    m.faceCount = 5;
    m.lineCount = 0;
    CompactModel(m, kCompactRebuildLines);
  });
  selectLine(At(1, 1, 3), At(1, 2, 3));
  run("LoopAttachItem");
  EXPECT_EQ(model().pointCount, 7);
  ASSERT_EQ(model().faceCount, 3);
  const auto all = surfaces();
  // The untouched triangle, then the bottom and the top pair's surfaces.
  EXPECT_EQ(all[0], (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}, {2, 1}}));
  EXPECT_EQ(all[1].size(), 4u);
  EXPECT_EQ(all[2], (std::vector<std::pair<int, int>>{{2, 1}, {2, 2}, {0, 2}, {0, 1}}));
}

TEST_F(AttachLoopTest, ALoopThatCannotCloseChangesNothing) {
  // A quad and a triangle alone: their five outer corners make no surface.
  load([](Model& m) {
    Grid(m, 3, 2);
    const int a = At(1, 0, 3), b = At(2, 0, 3), c = At(2, 1, 3);
    m.faces[2].corners = {a, b, c, a};
    m.lineCount = 0;
    CompactModel(m, kCompactRebuildLines);
  });
  auto before = std::make_unique<Model>(model());
  selectLine(At(1, 0, 3), At(1, 1, 3));
  run("LoopAttachItem");
  EXPECT_EQ(model().pointCount, before->pointCount);
  EXPECT_EQ(model().lineCount, before->lineCount);
  EXPECT_EQ(model().faceCount, before->faceCount);

  // A line into a point with three quads around it stops there; the quads
  // beside the line cannot lose only one of their two points.
  load([](Model& m) {
    Grid(m, 3, 3);
    m.faces[4] = FACE{};  // the upper right quad goes: (1,1) has three corners
    m.faceCount = 3;
    m.lineCount = 0;
    CompactModel(m, kCompactRebuildLines);
  });
  const int faces = model().faceCount;
  selectLine(At(1, 0, 3), At(1, 1, 3));
  run("LoopAttachItem");
  EXPECT_EQ(model().faceCount, faces);
}

TEST_F(AttachLoopTest, TheMirrorLineOfASeedJoinsTheLoop) {
  // Two separate grids mirrored across x = 0 (x from 1 to 3 and from -1 to
  // -3): only the mirror pairing carries the loop to the other grid.
  load([](Model& m) {
    Grid(m, 3, 3);
    const int points = m.pointCount;
    const int faces = m.faceCount;
    for (int p = 1; p <= points; ++p) {
      VERT& point = m.points[p];
      point.position.x += 1;
      SetPoint(m, points + p, -point.position.x, point.position.y, 0, 0, p);
      point.mirror = points + p;
    }
    m.pointCount = 2 * points;
    for (int s = 1; s <= faces; ++s) {
      const auto& c = m.faces[s].corners;
      SetFace(m, faces + s, c[0] + points, c[3] + points, c[2] + points, c[1] + points, 1, 0);
    }
    m.faceCount = 2 * faces;
    m.lineCount = 0;
    CompactModel(m, kCompactRebuildLines);
  });
  selectLine(At(1, 0, 3), At(1, 1, 3));
  run("LoopAttachItem");
  EXPECT_EQ(model().pointCount, 12);
  EXPECT_EQ(model().faceCount, 4);
  for (int p = 1; p <= 12; ++p) {
    const int32_t partner = model().points[p].mirror;
    ASSERT_NE(partner, 0) << p;
    EXPECT_EQ(model().points[partner].position.x, -model().points[p].position.x);
  }
}

TEST_F(AttachLoopTest, RandomModelsAndSelectionsStayValid) {
  std::mt19937 random(4141);
  for (int round = 0; round < 25; ++round) {
    load([&random, round](Model& m) {
      if (round % 2 == 0) {
        Grid(m, 4 + round % 3, 4);
      } else {
        testing::RandomModelOptions options;
        options.points = 14;
        options.faces = 24;
        options.allowDegenerate = false;
        testing::RandomModel(m, random, options);
        m.lineCount = 0;
        CompactModel(m, kCompactRebuildLines);
      }
      for (int p = 1; p <= m.pointCount; ++p) {
        if (m.points[p].state == kStateSelected) m.points[p].state = kStateNormal;
      }
    });
    for (int l = 1; l <= model().lineCount; ++l) {
      if (random() % 4 == 0) model().lines[l].state = kStateSelected;
    }
    RefreshSelection(*document);
    PushUndo(*document, 1);
    SCOPED_TRACE(round);
    run("LoopAttachItem");
  }
}

}  // namespace
}  // namespace vexal
