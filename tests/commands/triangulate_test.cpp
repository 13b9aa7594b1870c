// Triangularize Face and Quadrangulate Face.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "commands/topology.h"
#include "edit_command_fixture.h"
#include "model/table_room.h"
#include "support/test_models.h"
#include "symmetric_models.h"

namespace vexal {
namespace {

using testing::EditCommandFixture;

class Triangulate : public EditCommandFixture {
 protected:
  // The lines added after the first `before` lines, as point pairs.
  std::set<std::pair<int32_t, int32_t>> newLines(int before) {
    std::set<std::pair<int32_t, int32_t>> lines;
    for (int l = before + 1; l <= model().lineCount; ++l) {
      const LINE& line = model().lines[l];
      lines.insert({std::min(line.a, line.b), std::max(line.a, line.b)});
    }
    return lines;
  }
};

TEST_F(Triangulate, AMirroredPairIsCutAlongMirroredDiagonals) {
  // The right quad starts at its corner 5, so on its own it would take the
  // diagonal 6-2, which is not the mirror of the left quad's 3-4.
  load([](Model& m) { testing::RotatedSymmetricStrip(m, 1); });
  select({1, 3, 6, 4});
  run("TriangleItem");
  EXPECT_EQ(model().faceCount, 4);
  EXPECT_EQ(model().lineCount, 9);
  EXPECT_EQ(newLines(7), (std::set<std::pair<int32_t, int32_t>>{{3, 4}, {3, 5}}));
  for (int s = 1; s <= 4; ++s) {
    EXPECT_FALSE(IsQuad(model(), s)) << s;
    EXPECT_EQ(model().faces[s].material, 2);
    EXPECT_EQ(model().faces[s].state, kStateNormal);  // deselected
  }
  EXPECT_EQ(document->scene.selectedCount, 0);
}

TEST_F(Triangulate, TrianglesKeepTheQuadsUVsAndGuidesAndOtherSurfacesStay) {
  load([](Model& m) {
    testing::ClosedCube(m);
    m.faces[2].material = kGuideMaterial;  // the top, a guide
    for (int s = 1; s <= 6; ++s) {
      SetFaceUV(m, s, UV(0, 0), UV(0.25f, 0), UV(0.25f, 0.5f), UV(0, 0.5f));
    }
  });
  selectAll();
  run("TriangleItem");
  // Five quads cut, the guide kept and moved to the front.
  EXPECT_EQ(model().faceCount, 1 + 10);
  EXPECT_EQ(model().lineCount, 12 + 5);
  EXPECT_TRUE(IsQuad(model(), 1));
  EXPECT_EQ(model().faces[1].material, kGuideMaterial);
  for (int s = 2; s <= model().faceCount; ++s) {
    const FACE& face = model().faces[s];
    ASSERT_FALSE(IsQuad(face)) << s;
    // Each corner keeps the UV it had in the quad: the UV tells the
    // corner's slot in the quad, and the slots run in the quad's order.
    for (int j = 0; j < 3; ++j) {
      const UV uv = face.uv[j];
      EXPECT_TRUE(uv == UV(0, 0) || uv == UV(0.25f, 0) || uv == UV(0.25f, 0.5f) ||
                  uv == UV(0, 0.5f));
    }
  }
}

TEST_F(Triangulate, AtTheLimitItFitsAndBeyondItIsRefusedUntouched) {
  // 6,666 quads: 13,332 + 6,666 = 19,998 lines.
  load([](Model& m) { testing::QuadTorus(m, 66, 101); });
  selectAll();
  run("TriangleItem");
  EXPECT_EQ(model().faceCount, 13332);
  EXPECT_EQ(model().lineCount, 19998);

  // 9,999 quads would need 29,997 lines.
  load([](Model& m) { testing::QuadTorus(m, 99, 101); });
  selectAll();
  EXPECT_EQ(refuse("TriangleItem"), kTableFullText);
}

class Quadrangulate : public EditCommandFixture {
 protected:
  // Two triangles (1,2,3) and (1,3,4) over the diagonal 1-3 of a unit
  // square; point 4 is lifted so the two meet at `fold` degrees away from
  // flat.
  void twoTriangles(float fold, UV seam = UV(1, 1)) {
    load([fold, seam](Model& m) {
      ClearModel(m);
      const float radians = fold * 3.14159265f / 180.0f;
      SetPoint(m, 1, 0, 0, 0, 0, 0);
      SetPoint(m, 2, 1, 0, 0, 0, 0);
      SetPoint(m, 3, 1, 1, 0, 0, 0);
      // Rotate point 4 = (0, 1, 0) about the diagonal 1-3.
      const float h = 0.5f;  // distance of (0,1) from the diagonal is sqrt(0.5)
      const float along = 0.5f;
      const VECTOR axis = VECTOR(1, 1, 0).normalized();
      const VECTOR out = VECTOR(-1, 1, 0).normalized();
      const float d = std::sqrt(h);
      const VECTOR p4 = axis * (along * std::sqrt(2.0f)) + out * (d * std::cos(radians)) +
                        VECTOR(0, 0, 1) * (d * std::sin(radians));
      SetPoint(m, 4, p4.x, p4.y, p4.z, 0, 0);
      m.pointCount = 4;
      SetFace(m, 1, 1, 2, 3, 1, 3, 0);
      SetFaceUV(m, 1, UV(0, 0), UV(1, 0), UV(1, 1), UV(0, 0));
      SetFace(m, 2, 1, 3, 4, 1, 3, 0);
      SetFaceUV(m, 2, UV(0, 0), seam, UV(0, 1), UV(0, 0));
      m.faceCount = 2;
      CompactModel(m, kCompactRebuildLines);
    });
    selectAll();
  }
};

TEST_F(Quadrangulate, CoplanarTrianglesMergeFoldedOrSeamedOnesStay) {
  twoTriangles(0);
  run("QuadrangulateItem");
  ASSERT_EQ(model().faceCount, 1);
  EXPECT_EQ(model().lineCount, 4);
  const FACE& quad = model().faces[1];
  EXPECT_EQ(quad.corners, (std::array<int32_t, 4>{2, 3, 4, 1}));
  EXPECT_EQ(quad.uv[0], UV(1, 0));
  EXPECT_EQ(quad.uv[2], UV(0, 1));
  EXPECT_EQ(quad.material, 3);

  twoTriangles(60);
  run("QuadrangulateItem");
  EXPECT_EQ(model().faceCount, 2);
  EXPECT_EQ(model().lineCount, 5);

  twoTriangles(30);  // within 45 degrees: merges
  run("QuadrangulateItem");
  EXPECT_EQ(model().faceCount, 1);

  twoTriangles(0, UV(0.5f, 1));  // a UV seam along the diagonal
  run("QuadrangulateItem");
  EXPECT_EQ(model().faceCount, 2);

  twoTriangles(0);
  model().faces[2].material = 4;
  PushUndo(*document, 1);
  run("QuadrangulateItem");
  EXPECT_EQ(model().faceCount, 2);
}

TEST_F(Quadrangulate, AStripPrefersThePairsWhoseDiagonalsAreClosestInLength) {
  //  t0(4) -- t1(5) -- t2(6)
  //   |  \  2  |  \  4  |
  //   | 1  \   | 3  \   |
  //  b0(1) -- b1(2) -- b2(3)
  load([](Model& m) {
    ClearModel(m);
    for (int i = 0; i < 3; ++i) {
      SetPoint(m, i + 1, static_cast<float>(i), 0, 0, 0, 0);
      SetPoint(m, i + 4, static_cast<float>(i), 1, 0, 0, 0);
    }
    m.pointCount = 6;
    SetFace(m, 1, 1, 2, 4, 1, 0, 0);
    SetFace(m, 2, 2, 5, 4, 2, 0, 0);
    SetFace(m, 3, 2, 3, 5, 2, 0, 0);
    SetFace(m, 4, 3, 6, 5, 3, 0, 0);
    m.faceCount = 4;
    CompactModel(m, kCompactRebuildLines);
  });
  selectAll();
  run("QuadrangulateItem");
  // The two unit squares (diagonals equal) win over the trapezoid in the
  // middle (diagonal sqrt 5 against an edge of 1).
  ASSERT_EQ(model().faceCount, 2);
  EXPECT_TRUE(IsQuad(model(), 1));
  EXPECT_TRUE(IsQuad(model(), 2));
  EXPECT_NE(FindLine(model(), 2, 5), 0);
  EXPECT_EQ(FindLine(model(), 2, 4), 0);
  EXPECT_EQ(FindLine(model(), 3, 5), 0);
}

TEST_F(Quadrangulate, AMirroredPairOfTrianglePairsMergesTogether) {
  load(testing::SymmetricStrip);
  select({1, 3, 6, 4});
  run("TriangleItem");
  ASSERT_EQ(model().faceCount, 4);
  // Select one side's triangles again: the mirror side follows.
  select({1, 3, 6, 4});
  run("QuadrangulateItem");
  EXPECT_EQ(model().faceCount, 2);
  EXPECT_EQ(model().lineCount, 7);
  EXPECT_TRUE(IsQuad(model(), 1));
  EXPECT_TRUE(IsQuad(model(), 2));
}

TEST_F(Quadrangulate, TheTriangulatedTorusComesBackToQuads) {
  load([](Model& m) { testing::QuadTorus(m, 66, 101); });
  selectAll();
  run("TriangleItem");
  selectAll();
  run("QuadrangulateItem");
  EXPECT_EQ(model().faceCount, 6666);
  EXPECT_EQ(model().lineCount, 13332);
}

}  // namespace
}  // namespace vexal
