// UV projection and UV clear: the axis frames, the v flip, the flat-box
// widening, the seam, rotation and the triangle's fourth slot.
#include <gtest/gtest.h>

#include <cmath>

#include "commands/command_fixture.h"
#include "commands/primitives.h"
#include "commands/uv_projection.h"
#include "support/test_models.h"

namespace vexal {
namespace {

using testing::DocumentWith;

void SelectAllSurfaces(Document& document) {
  Model& model = document.model;
  for (int p = 1; p <= model.pointCount; ++p) model.points[p].state = kStateSelected;
  for (int s = 1; s <= model.faceCount; ++s) model.faces[s].state = kStateSelected;
  RefreshSelection(document);
  // The selection belongs to the current step, as a selection tool leaves it.
  PushUndo(document, 0);
}

void ExpectUV(const UV& actual, const UV& expected, const std::string& where) {
  EXPECT_NEAR(actual.u, expected.u, 1e-5f) << where;
  EXPECT_NEAR(actual.v, expected.v, 1e-5f) << where;
}

TEST(ProjectUV, FlatAlongZGivesTheSquareWithVUpsideDown) {
  auto document = DocumentWith(testing::UnitQuad);
  SelectAllSurfaces(*document);
  UVProjection flat;
  flat.axis = ProjectionAxis::kZ;
  // The quad has no depth along z: its box is widened, not divided by 0.
  testing::ExpectUndoRedoIdentical(
      *document, [&] { ASSERT_TRUE(ProjectUV(*document, flat).ok()); }, "flat z");
  const FACE& face = document->model.faces[1];
  ExpectUV(face.uv[0], {0, 1}, "corner (0,0)");
  ExpectUV(face.uv[1], {1, 1}, "corner (1,0)");
  ExpectUV(face.uv[2], {1, 0}, "corner (1,1)");
  ExpectUV(face.uv[3], {0, 0}, "corner (0,1)");

  // Centre and scale move and stretch about the square's centre.
  flat.centerU = 2;
  flat.scaleV = -2;
  ASSERT_TRUE(ProjectUV(*document, flat).ok());
  ExpectUV(document->model.faces[1].uv[0], {1.5f, -0.5f}, "moved");
}

TEST(ProjectUV, AxisXAndYFramesAndFlips) {
  // A square in the plane x = 0 and one in the plane y = 0.
  auto document = DocumentWith([](Model& model) {
    SetPoint(model, 1, 0, 0, 0, 0, 0);
    SetPoint(model, 2, 0, 0, 1, 0, 0);
    SetPoint(model, 3, 0, 1, 1, 0, 0);
    SetPoint(model, 4, 0, 1, 0, 0, 0);
    model.pointCount = 4;
    SetFace(model, 1, 1, 2, 3, 4, 0, 0);
    model.faceCount = 1;
  });
  SelectAllSurfaces(*document);
  UVProjection flat;  // axis X: (x, y, z) -> (-z, y, x)
  ASSERT_TRUE(ProjectUV(*document, flat).ok());
  const FACE& face = document->model.faces[1];
  ExpectUV(face.uv[0], {1, 1}, "x: (0,0,0)");
  ExpectUV(face.uv[1], {0, 1}, "x: (0,0,1)");
  ExpectUV(face.uv[2], {0, 0}, "x: (0,1,1)");
  flat.flipU = flat.flipV = true;
  ASSERT_TRUE(ProjectUV(*document, flat).ok());
  ExpectUV(face.uv[0], {0, 0}, "x flipped: (0,0,0)");
  ExpectUV(face.uv[2], {1, 1}, "x flipped: (0,1,1)");

  for (int p = 1; p <= 4; ++p) {
    VECTOR& position = document->model.points[p].position;
    position = {position.z, 0, position.y};  // now in y = 0
  }
  UVProjection alongY;  // axis Y: (x, y, z) -> (x, -z, y)
  alongY.axis = ProjectionAxis::kY;
  ASSERT_TRUE(ProjectUV(*document, alongY).ok());
  ExpectUV(face.uv[0], {0, 0}, "y: (0,0,0)");
  ExpectUV(face.uv[1], {1, 0}, "y: (1,0,0)");
  ExpectUV(face.uv[2], {1, 1}, "y: (1,0,1)");
}

TEST(ProjectUV, CylinderAndSphereKeepEachSurfaceOnOneSideOfTheSeam) {
  for (ProjectionKind kind : {ProjectionKind::kCylinder, ProjectionKind::kSphere}) {
    for (bool flip : {false, true}) {
      auto document = DocumentWith(nullptr);
      ASSERT_TRUE(RunPrimitiveButton(*document, "cylinder3").ok());
      UVProjection projection;
      projection.kind = kind;
      projection.axis = ProjectionAxis::kY;
      projection.flipU = flip;
      testing::ExpectUndoRedoIdentical(
          *document, [&] { ASSERT_TRUE(ProjectUV(*document, projection).ok()); }, "seam");
      const Model& model = document->model;
      for (int s = 1; s <= model.faceCount; ++s) {
        const FACE& face = model.faces[s];
        for (int j = 1; j < CornerCount(face); ++j) {
          EXPECT_LE(std::fabs(face.uv[j].u - face.uv[0].u), 0.5f + 1e-6f)
              << "surface " << s << " flip " << flip;
        }
        if (!IsQuad(face)) {
          EXPECT_EQ(face.uv[3], face.uv[0]) << "surface " << s;
        }
      }
      // The side quad from 330 to 360 degrees straddles the seam: its
      // corners stay a twelfth of a turn apart.
      const FACE& straddling = model.faces[12];
      EXPECT_NEAR(std::fabs(straddling.uv[1].u - straddling.uv[0].u), 1.0f / 12, 1e-5f);
    }
  }
}

TEST(ProjectUV, SpherePolesTakeTheTopAndBottomOfTheTexture) {
  auto document = DocumentWith(nullptr);
  ASSERT_TRUE(RunPrimitiveButton(*document, "sphere1").ok());
  UVProjection sphere;
  sphere.kind = ProjectionKind::kSphere;
  sphere.axis = ProjectionAxis::kY;
  ASSERT_TRUE(ProjectUV(*document, sphere).ok());
  // Surface 25 is the first triangle at the +y pole (corner 0), 26 at -y.
  EXPECT_NEAR(document->model.faces[25].uv[0].v, 0.0f, 1e-6f);
  EXPECT_NEAR(document->model.faces[26].uv[0].v, 1.0f, 1e-6f);
}

TEST(ProjectUV, FaceTurnedAQuarterGivesEveryQuadTheSquareTurned) {
  auto document = DocumentWith(nullptr);
  ASSERT_TRUE(RunPrimitiveButton(*document, "cube").ok());
  UVProjection face;
  face.kind = ProjectionKind::kFace;
  ASSERT_TRUE(ProjectUV(*document, face).ok());
  std::array<UV, 4> straight = document->model.faces[3].uv;
  ExpectUV(straight[0], {1, 0}, "slot 0");
  ExpectUV(straight[2], {0, 1}, "slot 2");
  face.angle = 90;
  testing::ExpectUndoRedoIdentical(
      *document, [&] { ASSERT_TRUE(ProjectUV(*document, face).ok()); }, "face 90");
  for (int s = 1; s <= 6; ++s) {
    for (int slot = 0; slot < 4; ++slot) {
      ExpectUV(document->model.faces[s].uv[slot], straight[(slot + 3) % 4],
               "surface " + std::to_string(s) + " slot " + std::to_string(slot));
    }
  }
}

TEST(ProjectUV, OnlySelectedSurfacesChangeAndNoneSelectedRecordsNothing) {
  auto document = DocumentWith([](Model& model) {
    testing::UnitQuad(model);
    // A triangle beside the quad, unselected.
    SetPoint(model, 5, 2, 0, 0, 0, 0);
    model.pointCount = 5;
    SetFace(model, 2, 2, 5, 3, 2, 0, 0);
    SetFaceUV(model, 2, UV(0.25f, 0.25f), UV(0.25f, 0.25f), UV(0.25f, 0.25f), UV(0.25f, 0.25f));
    model.faceCount = 2;
    SetLine(model, 5, 2, 5, 0);
    SetLine(model, 6, 5, 3, 0);
    model.lineCount = 6;
    RelinkFaces(model);
  });
  EXPECT_EQ(ProjectUV(*document, UVProjection{}).status, CommandStatus::kRefused);
  EXPECT_EQ(document->undo.undoDepth, 0);

  document->model.faces[2].state = kStateSelected;
  for (int p : {2, 3, 5}) document->model.points[p].state = kStateSelected;
  RefreshSelection(*document);
  PushUndo(*document, 0);
  UVProjection flat;
  flat.axis = ProjectionAxis::kZ;
  ASSERT_TRUE(ProjectUV(*document, flat).ok());
  const FACE& triangle = document->model.faces[2];
  EXPECT_EQ(triangle.uv[3], triangle.uv[0]);
  ExpectUV(triangle.uv[1], {1, 1}, "triangle corner (2,0)");
  EXPECT_EQ(document->model.faces[1].uv[1], UV(1, 0));  // untouched

  testing::ExpectUndoRedoIdentical(
      *document, [&] { ASSERT_TRUE(ClearUV(*document).ok()); }, "clear");
  for (const UV& uv : document->model.faces[2].uv) EXPECT_EQ(uv, UV(0, 0));
  EXPECT_EQ(document->model.faces[1].uv[2], UV(1, 1));
  // Clearing with nothing selected still records a step.
  DeselectAll(document->model);
  RefreshSelection(*document);
  PushUndo(*document, 0);
  const int depth = document->undo.undoDepth;
  ASSERT_TRUE(ClearUV(*document).ok());
  EXPECT_EQ(document->undo.undoDepth, depth + 1);
}

TEST(ProjectUV, TheViewOptionProjectsInTheCamerasFrame) {
  auto document = DocumentWith(testing::UnitQuad);
  SelectAllSurfaces(*document);
  UVProjection flat;
  flat.axis = ProjectionAxis::kZ;
  flat.useView = true;
  ASSERT_TRUE(ProjectUV(*document, flat).ok());
  const std::array<UV, 4> front = document->model.faces[1].uv;
  // Turning the camera about its view axis turns the projection with it.
  document->scene.angle = {0, 0, 90};
  ASSERT_TRUE(ProjectUV(*document, flat).ok());
  EXPECT_NE(document->model.faces[1].uv, front);
  for (const UV& uv : document->model.faces[1].uv) {
    EXPECT_TRUE(std::isfinite(uv.u) && std::isfinite(uv.v));
  }
}

}  // namespace
}  // namespace vexal
