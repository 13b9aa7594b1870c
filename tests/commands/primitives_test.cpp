// The primitive window's shapes: counts, order, windings, selection and
// the capacity refusal.
#include "commands/primitives.h"

#include <gtest/gtest.h>

#include "commands/command_fixture.h"
#include "commands/primitives.h"
#include "model/table_room.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using testing::DocumentWith;

VECTOR Centroid(const Model& model, const FACE& face) {
  VECTOR sum;
  const int corners = CornerCount(face);
  for (int j = 0; j < corners; ++j) sum += model.points[face.corners[j]].position;
  return sum * (1.0f / static_cast<float>(corners));
}

// Every new surface of a closed shape around the origin faces away from it,
// by the winding rule the normals use.
void ExpectOutwardWindings(const Model& model, int firstSurface) {
  for (int s = firstSurface; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    const VECTOR normal = TriangleNormal(model.points[face.corners[0]].position,
                                         model.points[face.corners[1]].position,
                                         model.points[face.corners[2]].position);
    EXPECT_GT(normal.dot(Centroid(model, face)), 0.0f) << "surface " << s;
    EXPECT_GT(face.normal.dot(Centroid(model, face)), 0.0f) << "stored normal of surface " << s;
  }
}

struct Expected {
  std::string_view button;
  int points, lines, surfaces, quads;
};

TEST(Primitives, EachButtonAddsItsCountsSelectedOutwardAndUndoable) {
  const Expected cases[] = {{"cube", 8, 12, 6, 6},          {"sphere1", 32, 66, 36, 24},
                            {"sphere2", 58, 120, 64, 48},   {"sphere3", 86, 180, 96, 72},
                            {"cylinder1", 14, 30, 18, 6},   {"cylinder2", 18, 40, 24, 8},
                            {"cylinder3", 26, 60, 36, 12}};
  for (const Expected& expected : cases) {
    const std::string where(expected.button);
    auto document = DocumentWith(nullptr);
    document->scene.paletteIndex = 5;
    testing::ExpectUndoRedoIdentical(
        *document, [&] { ASSERT_TRUE(RunPrimitiveButton(*document, expected.button).ok()); }, where);
    const Model& model = document->model;
    EXPECT_EQ(model.pointCount, expected.points) << where;
    EXPECT_EQ(model.lineCount, expected.lines) << where;
    EXPECT_EQ(model.faceCount, expected.surfaces) << where;
    int quads = 0;
    for (int s = 1; s <= model.faceCount; ++s) {
      const FACE& face = model.faces[s];
      quads += IsQuad(face);
      EXPECT_EQ(face.material, 5) << where;
      EXPECT_EQ(face.state, kStateSelected) << where;
      for (const UV& uv : face.uv) EXPECT_EQ(uv, UV(0, 0)) << where;
    }
    EXPECT_EQ(quads, expected.quads) << where;
    for (int p = 1; p <= model.pointCount; ++p) {
      EXPECT_EQ(model.points[p].state, kStateSelected) << where;
      EXPECT_EQ(model.points[p].mirror, 0) << where;
    }
    for (int l = 1; l <= model.lineCount; ++l) EXPECT_EQ(model.lines[l].state, kStateSelected);
    EXPECT_EQ(document->scene.selectedCount, expected.points) << where;
    EXPECT_EQ(document->undo.undoDepth, 1) << where;
    EXPECT_EQ(document->scene.modified, 1) << where;
    ExpectOutwardWindings(model, 1);
  }
}

TEST(Primitives, CubeAndSpherePointsAndLinesComeInTheStatedOrder) {
  auto document = DocumentWith(nullptr);
  ASSERT_TRUE(AddCube(*document, 2, 4, 6).ok());
  const Model& cube = document->model;
  EXPECT_EQ(cube.points[1].position, VECTOR(-1, 2, 3));
  EXPECT_EQ(cube.points[8].position, VECTOR(1, -2, -3));
  EXPECT_EQ(cube.lines[3].a, 4);
  EXPECT_EQ(cube.lines[3].b, 3);
  EXPECT_EQ(cube.faces[2].corners, (std::array<int32_t, 4>{5, 1, 3, 7}));
  EXPECT_EQ(cube.faces[2].lines, (std::array<int32_t, 4>{-9, -4, 12, 8}));

  auto sphere = DocumentWith(nullptr);
  ASSERT_TRUE(RunPrimitiveButton(*sphere, "sphere1").ok());
  const Model& model = sphere->model;
  // Ring 1 (nearest +y), point 0 at theta = pi/6; then ring 1 point 1.
  EXPECT_NEAR(model.points[1].position.x, 0.5f, 1e-6f);
  EXPECT_NEAR(model.points[1].position.y, 0.8660254f, 1e-6f);
  EXPECT_NEAR(model.points[2].position.z, 0.4330127f, 1e-6f);
  EXPECT_EQ(model.points[31].position, VECTOR(0, 1, 0));
  EXPECT_EQ(model.points[32].position, VECTOR(0, -1, 0));
  // Ring lines, then meridians, then spokes to +y, then spokes to -y.
  EXPECT_EQ(model.lines[6].a, 6);
  EXPECT_EQ(model.lines[6].b, 1);
  EXPECT_EQ(model.lines[31].a, 1);
  EXPECT_EQ(model.lines[31].b, 7);
  EXPECT_EQ(model.lines[55].b, 31);
  EXPECT_EQ(model.lines[66].a, 30);
  EXPECT_EQ(model.lines[66].b, 32);
  // After the quads, the pair of triangles of k = 0.
  EXPECT_EQ(model.faces[25].corners, (std::array<int32_t, 4>{31, 2, 1, 31}));
  EXPECT_EQ(model.faces[26].corners, (std::array<int32_t, 4>{32, 25, 26, 32}));

  auto cylinder = DocumentWith(nullptr);
  ASSERT_TRUE(AddCylinder(*cylinder, 1, 2, 8, 2).ok());
  // Three rings from y = 1 down to y = -1, then the two cap centres.
  EXPECT_EQ(cylinder->model.points[9].position.y, 0.0f);
  EXPECT_EQ(cylinder->model.points[17].position.y, -1.0f);
  EXPECT_EQ(cylinder->model.points[25].position, VECTOR(0, 1, 0));
  EXPECT_EQ(cylinder->model.pointCount, 26);
}

TEST(Primitives, ASecondCubeIsSelectedAloneAndACubeFinishesADrawnChain) {
  auto document = DocumentWith(nullptr);
  ASSERT_TRUE(RunPrimitiveButton(*document, "cube").ok());
  ASSERT_TRUE(RunPrimitiveButton(*document, "cube").ok());
  const Model& model = document->model;
  ASSERT_EQ(model.pointCount, 16);
  for (int p = 1; p <= 16; ++p) {
    EXPECT_EQ(model.points[p].state, p > 8 ? kStateSelected : kStateNormal) << p;
    EXPECT_EQ(model.points[p].position, model.points[p > 8 ? p - 8 : p + 8].position);
  }
  for (int s = 1; s <= 12; ++s) EXPECT_EQ(model.faces[s].state, s > 6 ? 1 : 0);
  for (int l = 1; l <= 24; ++l) EXPECT_EQ(model.lines[l].state, l > 12 ? 1 : 0);
  EXPECT_EQ(document->scene.selectedCount, 8);
  EXPECT_EQ(document->undo.undoDepth, 2);
}

TEST(Primitives, AShapeThatWouldOverflowATableIsRefusedUntouched) {
  auto document = DocumentWith([](Model& model) {
    for (int p = 1; p <= kMaxCount - 20; ++p) SetPoint(model, p, 0, 0, static_cast<float>(p), 1, 0);
    model.pointCount = kMaxCount - 20;
  });
  ASSERT_EQ(document->scene.selectedCount, kMaxCount - 20);
  // 18 points fit, 26 do not.
  const CommandResult refused = RunPrimitiveButton(*document, "cylinder3");
  EXPECT_EQ(refused.status, CommandStatus::kRefused);
  EXPECT_EQ(refused.refusal, TableFull());
  EXPECT_EQ(document->model.pointCount, kMaxCount - 20);
  EXPECT_EQ(document->model.points[1].state, kStateSelected);
  EXPECT_EQ(document->undo.undoDepth, 0);
  ASSERT_TRUE(RunPrimitiveButton(*document, "cylinder2").ok());
  EXPECT_EQ(document->model.pointCount, kMaxCount - 2);
  EXPECT_EQ(RunPrimitiveButton(*document, "pyramid").status, CommandStatus::kUnknown);
}

}  // namespace
}  // namespace vexal
