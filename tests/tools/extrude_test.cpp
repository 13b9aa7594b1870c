// Quick copy, extrusion and 3D extrusion of the selection.
#include "tools/extrude.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "model/maintenance.h"
#include "support/test_models.h"
#include "tools/capacity.h"
#include "tools/tool_fixture.h"

namespace vexal {
namespace {

class Extrude : public testing::ToolTest {
 protected:
  void selectPoints(std::initializer_list<int> points) {
    for (int p : points) model().points[p].state = kStateSelected;
  }

  // What a drag would do next: lift every affected point by `lift`.
  void liftAffected(const VECTOR& lift) {
    for (int p = 1; p <= model().pointCount; ++p) {
      const int32_t c = model().points[p].selectionClass;
      if (c == 1 || c == 2) model().points[p].position = model().points[p].position + lift;
    }
    RefreshNormals(model(), kNormalsFace, true);
  }

  void expectValidWithLines() {
    std::string reason;
    EXPECT_TRUE(ValidateModel(model(), &reason, true)) << reason;
  }

  // Every line is used at most once each way: neighbouring surfaces wind
  // alike, so their normals agree.
  void expectConsistentWinding() {
    std::map<int32_t, int> uses;
    for (int s = 1; s <= model().faceCount; ++s) {
      const FACE& face = model().faces[s];
      for (int j = 0; j < CornerCount(face); ++j) ++uses[face.lines[j]];
    }
    for (auto [reference, count] : uses) EXPECT_EQ(count, 1) << "line reference " << reference;
  }

  VECTOR centre(int surface) const {
    const FACE& face = model().faces[surface];
    VECTOR sum;
    const int n = CornerCount(face);
    for (int j = 0; j < n; ++j) sum = sum + model().points[face.corners[j]].position;
    return sum * (1.0f / static_cast<float>(n));
  }

  // The surface faces away from `inside`.
  void expectFacesAwayFrom(int surface, const VECTOR& inside) {
    EXPECT_GT(model().faces[surface].normal.dot(centre(surface) - inside), 0.1f) << "surface " << surface;
  }

  // The UV a surface of the model before had at a point.
  static UV uvAt(const Model& before, int surface, int32_t point) {
    const FACE& face = before.faces[surface];
    for (int j = 0; j < 4; ++j) {
      if (face.corners[j] == point) return face.uv[j];
    }
    ADD_FAILURE() << "point " << point << " is no corner of surface " << surface;
    return UV();
  }

  // The source of a copy, from the first points (those of the model before).
  int32_t sourceOf(int32_t point, int sourceCount, const std::map<int32_t, int32_t>& copies) const {
    if (point <= sourceCount) return point;
    return copies.at(point);
  }
};

// A 3 x 3 grid, the middle quad (6, 7, 11, 10) selected by its points:
//   13 - 14 - 15 - 16
//    9 - 10 - 11 - 12
//    5 -  6 -  7 -  8
//    1 -  2 -  3 -  4
TEST_F(Extrude, AnExtrudedQuadMovesOffItsBorderOnFourSides) {
  testing::QuadGrid(model(), 3, 3);
  FACE& middle = model().faces[5];
  middle.material = 3;
  SetFaceUV(model(), 5, UV(0.1f, 0.2f), UV(0.3f, 0.4f), UV(0.5f, 0.6f), UV(0.7f, 0.8f));
  selectPoints({6, 7, 10, 11});
  Base();
  const auto before = std::make_unique<Model>(model());

  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeExtrude));
  EXPECT_EQ(model().pointCount, 20);
  EXPECT_EQ(model().lineCount, 24 + 4 + 4) << "four copies and a line from each source to its copy";
  EXPECT_EQ(model().faceCount, 9 + 4);
  const std::map<int32_t, int32_t> copies = {{17, 6}, {18, 7}, {19, 10}, {20, 11}};
  for (auto [copy, source] : copies) {
    EXPECT_EQ(model().points[copy].position, model().points[source].position);
    EXPECT_EQ(model().points[copy].state, kStateSelected);
    EXPECT_EQ(model().points[source].state, kStateNormal);
  }
  EXPECT_EQ(model().faces[5].corners, (std::array<int32_t, 4>{17, 18, 20, 19})) << "re-pointed in place";
  EXPECT_EQ(model().faces[5].state, kStateSelected);
  for (int s = 10; s <= 13; ++s) {
    const FACE& side = model().faces[s];
    EXPECT_EQ(side.material, 3);
    EXPECT_EQ(side.state, kStateNormal);
    for (int j = 0; j < 4; ++j) {
      const int32_t source = sourceOf(side.corners[j], 16, copies);
      const UV expected = uvAt(*before, 5, source);
      EXPECT_EQ(side.uv[j], expected) << "surface " << s << " corner " << j;
    }
  }
  expectValidWithLines();
  EXPECT_EQ(mode().provisional, 1);
  EXPECT_EQ(document->undo.undoDepth, 1);

  liftAffected(VECTOR(0, 0, 1));
  expectConsistentWinding();
  EXPECT_GT(model().faces[5].normal.z, 0.99f);
  for (int s = 10; s <= 13; ++s) expectFacesAwayFrom(s, VECTOR(1.5f, 1.5f, 0.5f));

  StepUndo(*document, -1);
  testing::ExpectSameModel(model(), *before);
  EXPECT_EQ(mode().provisional, 0);
}

// A 4 x 4 grid with the 2 x 2 block around point 13 (2, 2) selected: the
// eight border points are copied, point 13 moves as it is and the four
// lines inside the block are re-pointed rather than copied.
TEST_F(Extrude, AnExtrudedRegionKeepsItsInsideAndSidesOnlyTheBorder) {
  testing::QuadGrid(model(), 4, 4);
  selectPoints({7, 8, 9, 12, 13, 14, 17, 18, 19});
  Base();
  const int lines = model().lineCount;
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeExtrude));
  EXPECT_EQ(model().pointCount, 25 + 8);
  EXPECT_EQ(model().lineCount, lines + 8 + 8);
  EXPECT_EQ(model().faceCount, 16 + 8);
  EXPECT_EQ(model().points[13].state, kStateSelected);
  int usesOfCentre = 0;
  for (int s = 1; s <= model().faceCount; ++s) {
    for (int32_t corner : model().faces[s].corners) usesOfCentre += corner == 13;
  }
  EXPECT_EQ(usesOfCentre, 4);
  expectValidWithLines();

  liftAffected(VECTOR(0, 0, 1));
  expectConsistentWinding();
  for (int s = 17; s <= 24; ++s) expectFacesAwayFrom(s, VECTOR(2, 2, 0.5f));
}

TEST_F(Extrude, AQuickCopyLeavesTheSourceAndSelectsTheCopy) {
  testing::UnitQuad(model());
  model().faces[1].material = 4;
  selectPoints({1, 2, 3, 4});
  Base();
  const auto before = std::make_unique<Model>(model());
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeQuickCopy));
  EXPECT_EQ(model().pointCount, 8);
  EXPECT_EQ(model().lineCount, 8);
  ASSERT_EQ(model().faceCount, 2);
  const FACE& copy = model().faces[2];
  EXPECT_EQ(copy.corners, (std::array<int32_t, 4>{5, 6, 7, 8}));
  EXPECT_EQ(copy.material, 4);
  EXPECT_EQ(copy.uv, before->faces[1].uv);
  EXPECT_EQ(copy.state, kStateSelected);
  EXPECT_EQ(model().faces[1].state, kStateNormal);
  for (int p = 1; p <= 4; ++p) EXPECT_EQ(model().points[p].state, kStateNormal);
  for (int l = 1; l <= 4; ++l) EXPECT_EQ(model().lines[l].state, kStateNormal);
  for (int l = 5; l <= 8; ++l) EXPECT_EQ(model().lines[l].state, kStateSelected);
  expectValidWithLines();

  // A surface selected on its own (its points are not) is copied with its
  // edges all the same.
  testing::UnitQuad(model());
  model().faces[1].state = kStateSelected;
  Base();
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeQuickCopy));
  EXPECT_EQ(model().lineCount, 8);
  EXPECT_EQ(model().faceCount, 2);
  EXPECT_EQ(model().faces[2].state, kStateSelected);
  expectValidWithLines();
  for (int p = 5; p <= 8; ++p) EXPECT_EQ(model().points[p].selectionClass, 2) << "the drag moves the copy";
  for (int p = 1; p <= 4; ++p) EXPECT_EQ(model().points[p].selectionClass, 0);
}

TEST_F(Extrude, ASolidExtrusionClosesTheQuadIntoABox) {
  testing::UnitQuad(model());
  selectPoints({1, 2, 3, 4});
  Base();
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeSolid));
  EXPECT_EQ(model().pointCount, 8);
  EXPECT_EQ(model().lineCount, 4 + 4 + 4);
  ASSERT_EQ(model().faceCount, 6);
  EXPECT_EQ(model().faces[6].corners, (std::array<int32_t, 4>{5, 8, 7, 6})) << "the cap turned over";
  EXPECT_EQ(model().faces[1].corners, (std::array<int32_t, 4>{1, 2, 3, 4}));
  expectValidWithLines();

  liftAffected(VECTOR(0, 0, -1));
  expectConsistentWinding();
  for (int s = 1; s <= 6; ++s) expectFacesAwayFrom(s, VECTOR(0.5f, 0.5f, -0.5f));
  // Closed: every line is used by two surfaces.
  for (int l = 1; l <= model().lineCount; ++l) {
    int count = 0;
    for (int s = 1; s <= 6; ++s) {
      for (int j = 0; j < 4; ++j) count += (model().faces[s].lines[j] == l || model().faces[s].lines[j] == -l);
    }
    EXPECT_EQ(count, 2) << "line " << l;
  }
}

// Chain 1 - 2 - 3 selected, and the bottom edge of an unselected quad.
TEST_F(Extrude, ExtrudedLinesCopyTheirPointsAndSideOnlyNextToASurface) {
  SetPoint(model(), 1, 0, 0, 0, kStateSelected, 0);
  SetPoint(model(), 2, 1, 0, 0, kStateSelected, 0);
  SetPoint(model(), 3, 2, 1, 0, kStateSelected, 0);
  model().pointCount = 3;
  SetLine(model(), 1, 1, 2, 0);
  SetLine(model(), 2, 2, 3, 0);
  model().lineCount = 2;
  Base();
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeExtrude));
  EXPECT_EQ(model().pointCount, 6);
  ASSERT_EQ(model().lineCount, 4);
  EXPECT_EQ(model().faceCount, 0);
  EXPECT_EQ(model().lines[3].a, 4);
  EXPECT_EQ(model().lines[3].b, 5);
  EXPECT_EQ(model().lines[4].a, 5);
  EXPECT_EQ(model().lines[4].b, 6);
  for (int l = 1; l <= 2; ++l) EXPECT_EQ(model().lines[l].state, kStateNormal);
  for (int p = 4; p <= 6; ++p) EXPECT_EQ(model().points[p].selectionClass, 1);
  for (int p = 1; p <= 3; ++p) EXPECT_EQ(model().points[p].selectionClass, 0);
  expectValid();

  // The edge 1 -> 2 of a quad: the side carries on the quad's winding and
  // takes its material and UVs.
  for (int mode : {kExtrudeExtrude, kExtrudeSolid}) {
    testing::UnitQuad(model());
    model().faces[1].material = 6;
    selectPoints({1, 2});
    Base();
    ASSERT_TRUE(ExtrudeSelection(*document, mode));
    ASSERT_EQ(model().faceCount, 2) << "mode " << mode;
    EXPECT_EQ(model().faces[2].material, 6);
    EXPECT_EQ(model().pointCount, 6);
    EXPECT_EQ(model().lineCount, 4 + 1 + 2);
    expectValidWithLines();
    liftAffected(VECTOR(0, -1, 0));
    expectConsistentWinding();
    EXPECT_GT(model().faces[2].normal.z, 0.99f) << "mode " << mode;
    for (int j = 0; j < 4; ++j) {
      const int32_t corner = model().faces[2].corners[j];
      const int32_t source = corner == 5 ? 1 : corner == 6 ? 2 : corner;
      EXPECT_EQ(model().faces[2].uv[j], (source == 1 ? UV(0, 0) : UV(1, 0))) << "corner " << j;
    }
  }
}

// Two quads across the mirror plane, partners 1-2 and 4-5, 3 and 6 on it:
//   4 --- 6 --- 5
//   |  1  |  2  |
//   1 --- 3 --- 2
// The left one is selected by its points; the right one (2, 5, 6, 3) is
// its mirror image and takes part too.
void MirroredStrip(Model& model) {
  ClearModel(model);
  SetPoint(model, 1, -1, 0, 0, 0, 2);
  SetPoint(model, 2, 1, 0, 0, 0, 1);
  SetPoint(model, 3, 0, 0, 0, 0, 3);
  SetPoint(model, 4, -1, 1, 0, 0, 5);
  SetPoint(model, 5, 1, 1, 0, 0, 4);
  SetPoint(model, 6, 0, 1, 0, 0, 6);
  model.pointCount = 6;
  SetFace(model, 1, 1, 3, 6, 4, 2, 0);
  SetFace(model, 2, 2, 5, 6, 3, 2, 0);
  model.faceCount = 2;
  CompactModel(model, kCompactRebuildLines);
}

TEST_F(Extrude, CopiesPairWithTheCopiesOfTheirPartners) {
  MirroredStrip(model());
  selectPoints({1, 3, 4, 6});
  Base();
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeQuickCopy));
  ASSERT_EQ(model().pointCount, 12);
  EXPECT_EQ(model().faceCount, 4) << "both quads copied";
  EXPECT_EQ(model().lineCount, 14);
  // Copies 7..12 of 1..6 in order.
  const int32_t partners[7] = {0, 8, 7, 9, 11, 10, 12};
  for (int p = 7; p <= 12; ++p) {
    EXPECT_EQ(model().points[p].mirror, partners[p - 6]) << "point " << p;
  }
  EXPECT_EQ(model().faces[4].corners, (std::array<int32_t, 4>{8, 11, 12, 9}));
  expectValidWithLines();

  // A partner inside an extruded region is not copied: the copy of the
  // outside point has no partner, and the inside one keeps its own.
  // QuadGrid(2, 2) with point 10 mirroring the centre 5.
  testing::QuadGrid(model(), 2, 2);
  SetPoint(model(), 10, -1, 1, 0, kStateNormal, 5);
  model().points[5].mirror = 10;
  model().pointCount = 10;
  selectPoints({1, 2, 3, 4, 5, 6, 7, 8, 9});
  Base();
  EXPECT_EQ(model().points[10].selectionClass, 3);
  ASSERT_TRUE(ExtrudeSelection(*document, kExtrudeExtrude));
  EXPECT_EQ(model().pointCount, 10 + 9) << "eight border points and the partner";
  EXPECT_EQ(model().points[19].mirror, 0);
  EXPECT_EQ(model().points[5].mirror, 10);
  EXPECT_EQ(model().points[10].mirror, 5);
  expectValidWithLines();
}

// Loose records that fill the tables up to the given counts: a strip of
// triangles (each point a corner of at most three) and its lines.
void FillTo(Model& model, int points, int lines, int faces) {
  const int first = model.pointCount + 1;
  for (int p = first; p <= points; ++p) {
    SetPoint(model, p, 5.0f + 0.01f * static_cast<float>(p - first), static_cast<float>((p - first) % 2), 0, 0, 0);
  }
  model.pointCount = points;
  const int span = points - first - 1;
  for (int l = model.lineCount + 1; l <= lines; ++l) {
    const int p = first + l % span;
    SetLine(model, l, p, p + 1, 0);
  }
  model.lineCount = lines;
  for (int s = model.faceCount + 1; s <= faces; ++s) {
    const int p = first + s % span;
    SetFace(model, s, p, p + 1, p + 2, p, 0, 0);
  }
  model.faceCount = faces;
}

// A solid extrusion of one quad appends 4 points, 8 lines and 5 surfaces.
TEST_F(Extrude, TheRoomCheckCountsExactlyWhatIsAppended) {
  const int room[3] = {4, 8, 5};
  for (int table = -1; table < 3; ++table) {
    testing::UnitQuad(model());
    selectPoints({1, 2, 3, 4});
    int counts[3];
    for (int k = 0; k < 3; ++k) counts[k] = kMaxCount - room[k] + (k == table ? 1 : 0);
    FillTo(model(), counts[0], counts[1], counts[2]);
    Base();
    observer.status.clear();
    const auto before = std::make_unique<Model>(model());
    const UndoRing ring = document->undo;
    const bool done = ExtrudeSelection(*document, kExtrudeSolid);
    if (table < 0) {
      ASSERT_TRUE(done);
      EXPECT_EQ(model().pointCount, kMaxCount);
      EXPECT_EQ(model().lineCount, kMaxCount);
      EXPECT_EQ(model().faceCount, kMaxCount);
      expectValid();
      continue;
    }
    EXPECT_FALSE(done) << "table " << table;
    EXPECT_EQ(observer.status, kTableFullText);
    testing::ExpectSameModel(model(), *before);
    EXPECT_EQ(model().points[1].state, kStateSelected);
    EXPECT_EQ(document->undo.current, ring.current);
    EXPECT_EQ(document->undo.undoDepth, ring.undoDepth);
    EXPECT_EQ(document->undo.snapshots[ring.current].pointCount, before->pointCount);
    EXPECT_EQ(mode().provisional, 0);
  }
}

}  // namespace
}  // namespace vexal
