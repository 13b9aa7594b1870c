// Quick copy, extrusion and 3D extrusion of the selection.
#include "tools/extrude.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <string>

#include "model/maintenance.h"
#include "model/table_room.h"
#include "support/test_models.h"
#include "tools/tool_fixture.h"

namespace vexal {
namespace {

using Corners = std::array<int32_t, 4>;

class Extrude : public testing::ToolTest {
 protected:
  void select(std::initializer_list<int> points) {
    for (int p : points) model().points[p].state = kStateSelected;
    Base();
  }

  // Checks the model with its line references, then does what the drag
  // would: moves the affected points by `lift`. Every signed line reference
  // is then used once at most (neighbours wind alike), and every surface
  // from `first` on faces away from `inside`.
  void liftAndCheck(const VECTOR& lift, int first, const VECTOR& inside) {
    std::string reason;
    EXPECT_TRUE(ValidateModel(model(), &reason, true)) << reason;
    for (int p = 1; p <= model().pointCount; ++p) {
      VERT& point = model().points[p];
      if (point.selectionClass == 1 || point.selectionClass == 2) point.position = point.position + lift;
    }
    RefreshNormals(model(), kNormalsFace, true);
    std::map<int32_t, int> uses;
    for (int s = 1; s <= model().faceCount; ++s) {
      const FACE& face = model().faces[s];
      VECTOR centre;
      for (int j = 0; j < CornerCount(face); ++j) {
        EXPECT_EQ(++uses[face.lines[j]], 1) << "surface " << s << " edge " << j;
        centre = centre + model().points[face.corners[j]].position * (1.0f / CornerCount(face));
      }
      if (s >= first) {
        EXPECT_GT(face.normal.dot(centre - inside), 0.1f) << "surface " << s;
      }
    }
  }
};

// A 3 x 3 grid, the middle quad (6, 7, 11, 10) selected by its points:
//   13 - 14 - 15 - 16
//    9 - 10 - 11 - 12
//    5 -  6 -  7 -  8
//    1 -  2 -  3 -  4
TEST_F(Extrude, AnExtrudedQuadMovesOffItsBorderOnFourSides) {
  testing::QuadGrid(model(), 3, 3);
  model().faces[5].material = 3;
  SetFaceUV(model(), 5, UV(0.1f, 0.2f), UV(0.3f, 0.4f), UV(0.5f, 0.6f), UV(0.7f, 0.8f));
  select({6, 7, 10, 11});
  const auto before = std::make_unique<Model>(model());
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeExtrude));
  EXPECT_EQ(model().pointCount, 20);
  EXPECT_EQ(model().lineCount, 24 + 4 + 4) << "four copies and a line from each source to its copy";
  EXPECT_EQ(model().faceCount, 9 + 4);
  std::map<int32_t, UV> uvOf = {{6, UV(0.1f, 0.2f)}, {7, UV(0.3f, 0.4f)}, {11, UV(0.5f, 0.6f)}, {10, UV(0.7f, 0.8f)}};
  const std::map<int32_t, int32_t> copies = {{17, 6}, {18, 7}, {19, 10}, {20, 11}};
  for (auto [copy, source] : copies) {
    EXPECT_EQ(model().points[copy].position, model().points[source].position);
    EXPECT_EQ(model().points[copy].state, kStateSelected);
    EXPECT_EQ(model().points[source].state, kStateNormal);
    uvOf[copy] = uvOf[source];
  }
  EXPECT_EQ(model().faces[5].corners, (Corners{17, 18, 20, 19})) << "re-pointed in place";
  for (int s = 10; s <= 13; ++s) {
    EXPECT_EQ(model().faces[s].material, 3);
    for (int j = 0; j < 4; ++j) EXPECT_EQ(model().faces[s].uv[j], uvOf[model().faces[s].corners[j]]);
  }
  EXPECT_EQ(mode().provisional, 1);
  EXPECT_EQ(document->undo.undoDepth, 1);
  const auto after = std::make_unique<Model>(model());

  liftAndCheck(VECTOR(0, 0, 1), 10, VECTOR(1.5f, 1.5f, 0.5f));
  EXPECT_GT(model().faces[5].normal.z, 0.99f);
  // One Undo removes the extrusion (and the drag that would follow it).
  StepUndo(*document, -1);
  testing::ExpectSameModel(model(), *before);
  StepUndo(*document, 1);
  testing::ExpectSameModel(model(), *after);
}

// A 4 x 4 grid with the 2 x 2 block around point 13 (2, 2) selected: the
// eight border points are copied, point 13 moves as it is and the four
// lines inside the block are re-pointed rather than copied.
TEST_F(Extrude, AnExtrudedRegionKeepsItsInsideAndSidesOnlyTheBorder) {
  testing::QuadGrid(model(), 4, 4);
  select({7, 8, 9, 12, 13, 14, 17, 18, 19});
  const int lines = model().lineCount;
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeExtrude));
  EXPECT_EQ(model().pointCount, 25 + 8);
  EXPECT_EQ(model().lineCount, lines + 8 + 8);
  EXPECT_EQ(model().faceCount, 16 + 8);
  EXPECT_EQ(model().points[13].state, kStateSelected);
  liftAndCheck(VECTOR(0, 0, 1), 17, VECTOR(2, 2, 0.5f));
}

TEST_F(Extrude, AQuickCopyLeavesTheSourceAndSelectsTheCopy) {
  testing::UnitQuad(model());
  model().faces[1].material = 4;
  select({1, 2, 3, 4});
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeQuickCopy));
  EXPECT_EQ(model().pointCount, 8);
  EXPECT_EQ(model().lineCount, 8);
  ASSERT_EQ(model().faceCount, 2);
  EXPECT_EQ(model().faces[2].corners, (Corners{5, 6, 7, 8}));
  EXPECT_EQ(model().faces[2].material, 4);
  EXPECT_EQ(model().faces[2].uv, model().faces[1].uv);
  EXPECT_EQ(model().faces[2].state, kStateSelected);
  EXPECT_EQ(model().faces[1].state, kStateNormal);
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(model().points[k].state, kStateNormal);
    EXPECT_EQ(model().lines[k].state, kStateNormal);
    EXPECT_EQ(model().lines[k + 4].state, kStateSelected);
  }
  expectValid();

  // A surface selected without its points is copied with its edges all the
  // same (a hidden one hidden), and the copy is what the drag moves.
  testing::UnitQuad(model());
  model().faces[1].state = kStateSelected;
  model().lines[2].state = kStateHidden;
  Base();
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeQuickCopy));
  EXPECT_EQ(model().lineCount, 8);
  EXPECT_EQ(model().lines[6].state, kStateHidden);
  EXPECT_EQ(model().faces[2].state, kStateSelected);
  for (int p = 1; p <= 8; ++p) EXPECT_EQ(model().points[p].selectionClass, p > 4 ? 2 : 0);
  liftAndCheck(VECTOR(0, 0, 1), 3, VECTOR());
}

TEST_F(Extrude, ASolidExtrusionClosesTheQuadIntoABox) {
  testing::UnitQuad(model());
  select({1, 2, 3, 4});
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeSolid));
  EXPECT_EQ(model().pointCount, 8);
  EXPECT_EQ(model().lineCount, 4 + 4 + 4);
  ASSERT_EQ(model().faceCount, 6);
  EXPECT_EQ(model().faces[1].corners, (Corners{1, 2, 3, 4}));
  EXPECT_EQ(model().faces[6].corners, (Corners{5, 8, 7, 6})) << "the cap turned over";
  // 24 edges on 12 lines, each signed reference once: the box is closed.
  liftAndCheck(VECTOR(0, 0, -1), 1, VECTOR(0.5f, 0.5f, -0.5f));
}

// Chain 1 - 2 - 3 selected; then the bottom edge 1 -> 2 of an unselected
// quad, which the side carries on (winding, material, UVs).
TEST_F(Extrude, ExtrudedLinesCopyTheirPointsAndSideOnlyNextToASurface) {
  SetPoint(model(), 1, 0, 0, 0, 0, 0);
  SetPoint(model(), 2, 1, 0, 0, 0, 0);
  SetPoint(model(), 3, 2, 1, 0, 0, 0);
  model().pointCount = 3;
  SetLine(model(), 1, 1, 2, 0);
  SetLine(model(), 2, 2, 3, 0);
  model().lineCount = 2;
  select({1, 2, 3});
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeExtrude));
  EXPECT_EQ(model().pointCount, 6);
  ASSERT_EQ(model().lineCount, 4);
  EXPECT_EQ(model().faceCount, 0);
  EXPECT_EQ(model().lines[3].a * 10 + model().lines[3].b, 45);
  EXPECT_EQ(model().lines[4].a * 10 + model().lines[4].b, 56);
  for (int p = 1; p <= 6; ++p) EXPECT_EQ(model().points[p].selectionClass, p > 3 ? 1 : 0);
  expectValid();

  for (int mode : {kExtrudeExtrude, kExtrudeSolid}) {
    testing::UnitQuad(model());
    model().faces[1].material = 6;
    select({1, 2});
    ASSERT_TRUE(ExtrudeSelection(*document, mode));
    ASSERT_EQ(model().faceCount, 2) << "mode " << mode;
    EXPECT_EQ(model().lineCount, 4 + 1 + 2);
    const FACE& side = model().faces[2];
    EXPECT_EQ(side.material, 6);
    for (int j = 0; j < 4; ++j) {
      const int32_t corner = side.corners[j];
      EXPECT_EQ(side.uv[j], (corner == 1 || corner == 5 ? UV(0, 0) : UV(1, 0))) << "corner " << j;
    }
    liftAndCheck(VECTOR(0, -1, 0), 1, VECTOR(0.5f, 0, -1));
  }
}

// Two quads across the mirror plane, partners 1-2 and 4-5, 3 and 6 on it:
//   4 --- 6 --- 5
//   |  1  |  2  |
//   1 --- 3 --- 2
void MirroredStrip(Model& model) {
  ClearModel(model);
  const int partner[6] = {2, 1, 3, 5, 4, 6};
  for (int p = 0; p < 6; ++p) {
    SetPoint(model, p + 1, static_cast<float>(p % 3 == 2 ? 0 : p % 3 == 0 ? -1 : 1), p < 3 ? 0.0f : 1.0f, 0, 0,
             partner[p]);
  }
  model.pointCount = 6;
  SetFace(model, 1, 1, 3, 6, 4, 2, 0);
  SetFace(model, 2, 2, 5, 6, 3, 2, 0);
  model.faceCount = 2;
  CompactModel(model, kCompactRebuildLines);
}

TEST_F(Extrude, CopiesPairWithTheCopiesOfTheirPartners) {
  // The left quad selected by its points; the right one is its mirror
  // image and is copied too.
  MirroredStrip(model());
  select({1, 3, 4, 6});
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeQuickCopy));
  ASSERT_EQ(model().pointCount, 12);
  EXPECT_EQ(model().faceCount, 4);
  EXPECT_EQ(model().lineCount, 14);
  const int32_t partners[6] = {8, 7, 9, 11, 10, 12};  // copies 7..12 of 1..6
  for (int p = 7; p <= 12; ++p) EXPECT_EQ(model().points[p].mirror, partners[p - 7]) << "point " << p;
  EXPECT_EQ(model().faces[4].corners, (Corners{8, 11, 12, 9}));
  expectValid();

  // A partner inside an extruded region is not copied: the copy of the
  // outside point gets none. QuadGrid(2, 2) with point 10 mirroring the
  // centre 5.
  testing::QuadGrid(model(), 2, 2);
  SetPoint(model(), 10, -1, 1, 0, kStateNormal, 5);
  model().points[5].mirror = 10;
  model().pointCount = 10;
  select({1, 2, 3, 4, 5, 6, 7, 8, 9});
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeExtrude));
  EXPECT_EQ(model().pointCount, 10 + 9) << "eight border points and the partner";
  EXPECT_EQ(model().points[19].mirror, 0);
  EXPECT_EQ(model().points[5].mirror, 10);
  expectValid();
}

// Random models with hidden parts, mirror pairs and points on the plane:
// every mode keeps the model valid with every edge on a line, and one Undo
// gives back the model before.
TEST_F(Extrude, RandomSelectionsKeepTheModelValid) {
  std::mt19937 random(18);
  testing::RandomModelOptions options;
  options.points = 24;
  options.lines = 10;
  options.faces = 14;
  options.allowDegenerate = false;
  for (int round = 0; round < 120; ++round) {
    const int mode = 1 + round % 3;
    testing::RandomModel(model(), random, options);
    ASSERT_EQ(CompactModel(model(), kCompactRebuildLines), 1);
    Base();
    const auto before = std::make_unique<Model>(model());
    ASSERT_TRUE(ExtrudeSelection(*document, mode));
    std::string reason;
    ASSERT_TRUE(ValidateModel(model(), &reason, true)) << "round " << round << ": " << reason;
    StepUndo(*document, -1);
    testing::ExpectSameModel(model(), *before);
  }
}

// Loose records up to the given counts: a strip of triangles and lines.
void FillTo(Model& model, int points, int lines, int faces) {
  const int first = model.pointCount + 1;
  for (int p = first; p <= points; ++p) SetPoint(model, p, 0.01f * (p - first), 5.0f + (p - first) % 2, 0, 0, 0);
  model.pointCount = points;
  const int span = points - first - 1;
  for (int l = model.lineCount + 1; l <= lines; ++l) SetLine(model, l, first + l % span, first + l % span + 1, 0);
  model.lineCount = lines;
  for (int s = model.faceCount + 1; s <= faces; ++s) {
    const int p = first + s % span;
    SetFace(model, s, p, p + 1, p + 2, p, 0, 0);
  }
  model.faceCount = faces;
}

// A solid extrusion of one quad appends 4 points, 8 lines and 5 surfaces:
// it fits with exactly that room and is refused with one less in any table.
TEST_F(Extrude, TheRoomCheckCountsExactlyWhatIsAppended) {
  const int room[3] = {4, 8, 5};
  for (int table = -1; table < 3; ++table) {
    testing::UnitQuad(model());
    int counts[3];
    for (int k = 0; k < 3; ++k) counts[k] = kMaxCount - room[k] + (k == table ? 1 : 0);
    FillTo(model(), counts[0], counts[1], counts[2]);
    select({1, 2, 3, 4});
    observer.status.clear();
    const auto before = std::make_unique<Model>(model());
    const UndoRing ring = document->undo;
    const bool done = ExtrudeSelection(*document, kExtrudeSolid);
    if (table < 0) {
      ASSERT_TRUE(done);
      EXPECT_EQ(model().pointCount + model().lineCount + model().faceCount, 3 * kMaxCount);
      expectValid();
      continue;
    }
    EXPECT_FALSE(done) << "table " << table;
    EXPECT_EQ(observer.status, kTableFullText);
    testing::ExpectSameModel(model(), *before);
    EXPECT_EQ(document->undo.current, ring.current);
    EXPECT_EQ(document->undo.undoDepth, ring.undoDepth);
    EXPECT_EQ(mode().provisional, 0);
  }
}

}  // namespace
}  // namespace vexal
