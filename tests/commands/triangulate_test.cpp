// Triangularize Face.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

#include "model/table_room.h"
#include "commands/triangulate.h"
#include "support/test_models.h"
#include "commands/command_fixture.h"
#include "symmetric_models.h"

namespace vexal {
namespace {

using testing::CommandFixture;

class Triangulate : public CommandFixture {
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

}  // namespace
}  // namespace vexal
