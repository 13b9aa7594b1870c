#include <gtest/gtest.h>

#include "model/maintenance.h"
#include "model/model.h"
#include "model/validate.h"
#include "support/test_models.h"

namespace vexal {
namespace {

TEST(Model, TriangleRepeatsItsFirstCorner) {
  Model model;
  SetFace(model, 1, 5, 7, 9, 5, 0, 0);
  EXPECT_FALSE(IsQuad(model, 1));
  EXPECT_EQ(CornerCount(model, 1), 3);
  SetFace(model, 2, 5, 7, 9, 11, 0, 0);
  EXPECT_TRUE(IsQuad(model, 2));
  EXPECT_EQ(CornerCount(model, 2), 4);
}

TEST(Model, FlipFaceReversesWindingAndTwiceRestores) {
  Model model;
  SetFace(model, 1, 1, 2, 3, 4, 0, 0);
  SetFaceLines(model, 1, 1, -2, 3, -4);
  SetFaceUV(model, 1, UV(0, 0), UV(1, 0), UV(1, 1), UV(0, 1));
  SetFace(model, 2, 5, 6, 7, 5, 0, 0);
  SetFaceLines(model, 2, 5, 6, -7, 5);
  SetFaceUV(model, 2, UV(0, 0), UV(1, 0), UV(1, 1), UV(0, 0));
  model.faceCount = 2;
  const FACE quad = model.faces[1];
  const FACE triangle = model.faces[2];

  FlipAllFaces(model);
  EXPECT_EQ(model.faces[1].corners, (std::array<int32_t, 4>{1, 4, 3, 2}));
  EXPECT_EQ(model.faces[1].lines, (std::array<int32_t, 4>{4, -3, 2, -1}));
  EXPECT_EQ(model.faces[1].uv[1], UV(0, 1));
  EXPECT_EQ(model.faces[2].corners, (std::array<int32_t, 4>{5, 7, 6, 5}));
  EXPECT_EQ(model.faces[2].lines, (std::array<int32_t, 4>{7, -6, -5, 7}));
  EXPECT_EQ(model.faces[2].uv[1], UV(1, 1));

  FlipAllFaces(model);
  EXPECT_EQ(model.faces[1].corners, quad.corners);
  EXPECT_EQ(model.faces[1].lines, quad.lines);
  EXPECT_EQ(model.faces[1].uv, quad.uv);
  EXPECT_EQ(model.faces[2].corners, triangle.corners);
  EXPECT_EQ(model.faces[2].lines, triangle.lines);
  EXPECT_EQ(model.faces[2].uv, triangle.uv);
}

TEST(Model, AQuadWithItsFirstTwoCornersOnOnePointFlipsIntoAValidTriangle) {
  Model model;
  for (int p = 1; p <= 3; ++p) SetPoint(model, p, static_cast<float>(p), static_cast<float>(p * p), 0, 0, 0);
  model.pointCount = 3;
  SetLine(model, 1, 2, 3, 0);
  SetLine(model, 2, 3, 1, 0);
  SetLine(model, 3, 1, 2, 0);
  model.lineCount = 3;
  SetFace(model, 1, 1, 1, 2, 3, 0, 0);  // (1, 1, 2, 3): the triangle 1-2-3
  SetFaceLines(model, 1, 0, 3, 1, 2);
  model.faceCount = 1;
  FlipFace(model, 1);
  EXPECT_FALSE(IsQuad(model, 1));
  EXPECT_EQ(model.faces[1].corners, (std::array<int32_t, 4>{1, 3, 2, 1}));
  EXPECT_EQ(model.faces[1].lines, (std::array<int32_t, 4>{-2, -1, -3, -2}));
  std::string reason;
  EXPECT_TRUE(ValidateModel(model, &reason, true)) << reason;
}

TEST(Model, ScaleModelFlipsOnlyForAnOddNumberOfMirrors) {
  Model model;
  testing::UnitQuad(model);
  ScaleModel(model, 1, -1, 1);
  EXPECT_EQ(model.points[3].position, VECTOR(1, -1, 0));
  EXPECT_EQ(model.faces[1].corners, (std::array<int32_t, 4>{1, 4, 3, 2}));
  ScaleModel(model, -1, -1, 1);
  EXPECT_EQ(model.points[3].position, VECTOR(-1, 1, 0));
  EXPECT_EQ(model.faces[1].corners, (std::array<int32_t, 4>{1, 4, 3, 2}));
  ScaleModel(model, std::nanf(""), 1, 1);
  EXPECT_EQ(model.faces[1].corners, (std::array<int32_t, 4>{1, 2, 3, 4}));
}

TEST(Model, ClearModelSetsTheDefaultPalette) {
  Model model;
  model.materials[9].light = {1, 2, 3, 4};
  SetText(model.materials[3].texture, "wood.bmp");
  model.pointCount = 5;
  ClearModel(model);
  EXPECT_EQ(model.pointCount, 0);
  EXPECT_EQ(model.materials[9].light, (std::array<int32_t, 4>{0, 0, 0, 255}));
  EXPECT_EQ(model.materials[9].dark, (std::array<int32_t, 4>{0, 0, 0, 255}));
  EXPECT_EQ(model.materials[7].light, (std::array<int32_t, 4>{198, 93, 53, 255}));
  EXPECT_EQ(model.materials[6].dark, (std::array<int32_t, 4>{192, 96, 48, 255}));
  for (int k = 0; k < kMaterialCount; ++k) {
    char expected[8];
    std::snprintf(expected, sizeof expected, "mat_%02d", k);
    EXPECT_EQ(TextOf(model.materials[k].name), expected);
    EXPECT_EQ(TextOf(model.materials[k].texture), "");
    EXPECT_FLOAT_EQ(model.materials[k].smoothingAngle, 59.5f);
  }
}

TEST(Model, SetTextRefusesWhatDoesNotFit) {
  TextBuffer buffer{};
  EXPECT_TRUE(SetText(buffer, "short"));
  EXPECT_FALSE(SetText(buffer, std::string(kTextCapacity, 'x')));
  EXPECT_EQ(TextOf(buffer), "short");
  EXPECT_TRUE(SetText(buffer, std::string(kTextCapacity - 1, 'y')));
  EXPECT_EQ(TextOf(buffer).size(), static_cast<size_t>(kTextCapacity - 1));
}

TEST(Model, DeselectAllKeepsHiddenElements) {
  Model model;
  testing::UnitQuad(model);
  model.points[1].state = kStateSelected;
  model.points[2].state = kStateHidden;
  model.lines[1].state = kStateSelected;
  model.faces[1].state = kStateSelected;
  DeselectAll(model);
  EXPECT_EQ(model.points[1].state, kStateNormal);
  EXPECT_EQ(model.points[2].state, kStateHidden);
  EXPECT_EQ(model.lines[1].state, kStateNormal);
  EXPECT_EQ(model.faces[1].state, kStateNormal);
}

TEST(Model, DefaultObjectIsTwoMirroredLinkedQuads) {
  Model model;
  SetDefaultObject(model);
  ASSERT_EQ(model.pointCount, 8);
  ASSERT_EQ(model.lineCount, 8);
  ASSERT_EQ(model.faceCount, 2);
  std::string reason;
  EXPECT_TRUE(ValidateModel(model, &reason, true)) << reason;
  for (int p = 1; p <= 8; ++p) {
    const VERT& point = model.points[p];
    const VERT& partner = model.points[point.mirror];
    EXPECT_EQ(partner.mirror, p);
    EXPECT_EQ(partner.position.x, -point.position.x);
    EXPECT_EQ(partner.position.y, point.position.y);
    EXPECT_EQ(partner.position.z, point.position.z);
    EXPECT_EQ(std::abs(point.position.x), 1.0f);
  }
  EXPECT_EQ(model.points[1].position.z, -1.0f);
  EXPECT_EQ(model.points[5].position.z, 1.0f);
  EXPECT_EQ(model.faces[1].material, 1);
  EXPECT_EQ(model.faces[2].material, 2);
  EXPECT_EQ(model.faces[1].uv, (std::array<UV, 4>{UV(1, 1), UV(0, 1), UV(0, 0), UV(1, 0)}));
  // The two squares face away from each other.
  RefreshNormals(model, kNormalsFace, true);
  EXPECT_EQ(model.faces[1].normal, VECTOR(0, 0, -1));
  EXPECT_EQ(model.faces[2].normal, VECTOR(0, 0, 1));
}

}  // namespace
}  // namespace vexal
