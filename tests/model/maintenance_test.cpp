#include <gtest/gtest.h>

#include <cmath>

#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "support/test_models.h"
#include "support/message_language.h"

namespace vexal {
namespace {

void ExpectNear(const VECTOR& actual, const VECTOR& expected, float tolerance = 1e-5f) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
  EXPECT_NEAR(actual.z, expected.z, tolerance);
}

TEST(CompactModel, MergesExactlyCoincidentPointsIntoTheEarlierOne) {
  Model model;
  //  1 (0,0,0)   2 (1,0,0)   3 (1,1,0)   4 = 2 exactly   5 = 2 but one ulp off
  SetPoint(model, 1, 0, 0, 0, 0, 0);
  SetPoint(model, 2, 1, 0, 0, 0, 0);
  SetPoint(model, 3, 1, 1, 0, 0, 0);
  SetPoint(model, 4, 1, 0, 0, 0, 0);
  SetPoint(model, 5, std::nextafter(1.0f, 2.0f), 0, 0, 0, 0);
  SetPoint(model, 6, -0.0f, 0, 0, 0, 0);  // -0 equals +0
  model.pointCount = 6;
  SetFace(model, 1, 6, 4, 3, 6, 0, 0);
  SetFace(model, 2, 1, 5, 3, 1, 0, 0);
  model.faceCount = 2;
  ASSERT_EQ(CompactModel(model, kCompactMerge | kCompactRebuildLines), 1);
  EXPECT_EQ(model.pointCount, 4);
  // Point 6 merged into 1 and point 4 into 2; but 1-2-3 repeats 1 and is a
  // proper triangle after merging.
  EXPECT_EQ(model.faces[1].corners, (std::array<int32_t, 4>{1, 2, 3, 1}));
  EXPECT_EQ(model.faces[2].corners, (std::array<int32_t, 4>{1, 4, 3, 1}));
  EXPECT_EQ(model.points[4].position.x, std::nextafter(1.0f, 2.0f));
  std::string reason;
  EXPECT_TRUE(ValidateModel(model, &reason, true)) << reason;
}

TEST(CompactModel, DegenerateSurfacesBecomeTrianglesOrGo) {
  Model model;
  for (int p = 1; p <= 5; ++p) SetPoint(model, p, float(p), float(p * p), 0, 0, 0);
  SetPoint(model, 6, 2, 4, 0, 0, 0);  // same place as point 2
  SetPoint(model, 7, 1, 1, 0, 0, 0);  // same place as point 1
  model.pointCount = 7;
  const UV u0(0, 0), u1(0.25f, 0), u2(0.5f, 0), u3(0.75f, 0);
  SetFace(model, 1, 1, 2, 6, 4, 0, 0);  // corners 1 and 2 coincide: triangle (1, 2, 4)
  SetFaceUV(model, 1, u0, u1, u2, u3);
  SetFace(model, 2, 1, 2, 7, 4, 3, 0);  // corners 0 and 2 coincide: removed
  SetFace(model, 3, 1, 2, 2, 1, 0, 0);  // triangle with two equal corners: removed
  SetFace(model, 4, 3, 4, 5, 3, 5, 0);  // proper triangle, rebuilt identically
  SetFaceUV(model, 4, u1, u2, u3, u1);
  model.faceCount = 4;
  ASSERT_EQ(CompactModel(model, kCompactMerge), 1);
  ASSERT_EQ(model.faceCount, 2);
  EXPECT_EQ(model.faces[1].corners, (std::array<int32_t, 4>{1, 2, 4, 1}));
  EXPECT_EQ(model.faces[1].uv, (std::array<UV, 4>{u0, u1, u3, u0}));
  EXPECT_EQ(model.faces[2].corners, (std::array<int32_t, 4>{3, 4, 5, 3}));
  EXPECT_EQ(model.faces[2].material, 5);
  EXPECT_EQ(model.faces[2].uv, (std::array<UV, 4>{u1, u2, u3, u1}));
}

TEST(CompactModel, ClosedCubeGetsTwelveLinesEachUsedBothWays) {
  Model model;
  testing::ClosedCube(model);
  ASSERT_EQ(model.lineCount, 12);
  std::vector<int> positive(13, 0), negative(13, 0);
  for (int s = 1; s <= model.faceCount; ++s) {
    for (int32_t r : model.faces[s].lines) (r > 0 ? positive[r] : negative[-r])++;
  }
  for (int l = 1; l <= 12; ++l) {
    EXPECT_EQ(positive[l], 1) << l;
    EXPECT_EQ(negative[l], 1) << l;
  }
  std::string reason;
  EXPECT_TRUE(ValidateModel(model, &reason, true)) << reason;
}

TEST(CompactModel, LimitsAndEmptyModels) {
  Model model;
  EXPECT_EQ(CompactModel(model, kCompactRequirePoints), 0);
  EXPECT_EQ(CompactModel(model, 0), 1);

  model.faceCount = 20000;
  EXPECT_EQ(CompactModel(model, 0), 0);
  model.faceCount = 0;
  model.pointCount = 20000;
  EXPECT_EQ(CompactModel(model, 0), 0);
  model.pointCount = 19999;
  EXPECT_EQ(CompactModel(model, 0), 1);
}

TEST(CompactModel, RefusesTheTwentyThousandthLineAndStaysUsable) {
  // 100 x 101 quads on a torus need 20,200 lines.
  Model model;
  testing::QuadTorusSoup(model, 100, 101);
  EXPECT_EQ(CompactModel(model, kCompactMerge | kCompactRebuildLines), 0);
  EXPECT_EQ(model.lineCount, kMaxCount);
  // The refusal leaves every reference in range: later operations run.
  RelinkFaces(model);
  RefreshNormals(model, kNormalsFace | kNormalsAngleSmoothed, true);
  for (int l = 1; l <= model.lineCount; ++l) {
    ASSERT_GE(model.lines[l].a, 1);
    ASSERT_LE(model.lines[l].b, model.pointCount);
  }
}

TEST(RelinkFaces, LaterLineWinsAndMissingEdgesAreZero) {
  Model model;
  testing::UnitQuad(model);
  SetLine(model, 5, 2, 1, 0);  // same pair as line 1, other way round
  model.lineCount = 5;
  SetLine(model, 3, 1, 3, 0);  // edge 3-4 loses its line
  RelinkFaces(model);
  EXPECT_EQ(model.faces[1].lines, (std::array<int32_t, 4>{-5, 2, 0, 4}));
}

TEST(RefreshNormals, QuadNormalAndSmoothingByAngle) {
  // Two unit quads sharing the edge 2-3, folded by an angle about it.
  auto build = [](Model& model, float foldDegrees) {
    ClearModel(model);
    const float a = foldDegrees * 3.14159265f / 180.0f;
    SetPoint(model, 1, -1, 0, 0, 0, 0);
    SetPoint(model, 2, 0, 0, 0, 0, 0);
    SetPoint(model, 3, 0, 1, 0, 0, 0);
    SetPoint(model, 4, -1, 1, 0, 0, 0);
    SetPoint(model, 5, std::cos(a), 0, std::sin(a), 0, 0);
    SetPoint(model, 6, std::cos(a), 1, std::sin(a), 0, 0);
    model.pointCount = 6;
    SetFace(model, 1, 1, 2, 3, 4, 0, 0);
    SetFace(model, 2, 2, 5, 6, 3, 0, 0);
    model.faceCount = 2;
    CompactModel(model, kCompactRebuildLines);
  };
  Model model;
  build(model, 90.0f);
  RefreshNormals(model, kNormalsFace | kNormalsAngleSmoothed, true);
  ExpectNear(model.faces[1].normal, VECTOR(0, 0, 1));
  for (int j = 0; j < 4; ++j) ExpectNear(model.faces[1].cornerNormals[j], model.faces[1].normal);
  for (int j = 0; j < 4; ++j) ExpectNear(model.faces[2].cornerNormals[j], model.faces[2].normal);

  build(model, 10.0f);  // nearly flat: shared corners get the average
  RefreshNormals(model, kNormalsFace | kNormalsAngleSmoothed, true);
  const VECTOR average = (model.faces[1].normal + model.faces[2].normal).normalized();
  ExpectNear(model.faces[1].cornerNormals[1], average);
  ExpectNear(model.faces[1].cornerNormals[2], average);
  ExpectNear(model.faces[1].cornerNormals[0], model.faces[1].normal);

  // With angle smoothing off, flag 2 averages per point however sharp.
  build(model, 90.0f);
  RefreshNormals(model, kNormalsFace | kNormalsAngleSmoothed, false);
  const VECTOR sharpAverage = (model.faces[1].normal + model.faces[2].normal).normalized();
  ExpectNear(model.faces[1].cornerNormals[1], sharpAverage);
  ExpectNear(model.faces[2].cornerNormals[0], sharpAverage);
  // ...while flag 128 still smooths by angle.
  RefreshNormals(model, kNormalsFace | kNormalsForceAngleSmoothed, false);
  ExpectNear(model.faces[1].cornerNormals[1], model.faces[1].normal);
}

TEST(RefreshNormals, GuidesStayOutOfSmoothingAndSelectedNormals) {
  Model model;
  testing::ClosedCube(model);
  for (int s = 1; s <= model.faceCount; ++s) model.faces[s].material = kGuideMaterial;
  model.faces[1].material = 0;
  model.faces[1].state = kStateSelected;
  model.faces[2].state = kStateSelected;  // a guide: ignored
  RefreshNormals(model, kNormalsFace | kNormalsPointAveraged | kNormalsSelectedPoints, true);
  for (int j = 0; j < 4; ++j) ExpectNear(model.faces[1].cornerNormals[j], model.faces[1].normal);
  const int corner = model.faces[1].corners[0];
  ExpectNear(model.points[corner].selectedNormal, model.faces[1].normal);
  EXPECT_EQ(model.points[model.faces[2].corners[0]].selectedNormal, VECTOR());
}

TEST(ChooseQuadSplit, AgreesWithTheFaceNormalAndPrefersOneThreeOnTies) {
  Model model;
  SetPoint(model, 1, 0, 0, 0, 0, 0);
  SetPoint(model, 2, 1, 0, 0, 0, 0);
  SetPoint(model, 3, 1, 1, 0, 0, 0);
  SetPoint(model, 4, 0, 1, 0, 0, 0);
  model.pointCount = 4;
  SetFace(model, 1, 1, 2, 3, 4, 0, 0);
  model.faceCount = 1;
  EXPECT_EQ(ChooseQuadSplit(model, 1), 0);  // flat: a tie

  // Random bends: the chosen split is the one whose halves give the normal.
  std::mt19937 random(7);
  std::uniform_real_distribution<float> lift(-1.0f, 1.0f);
  for (int trial = 0; trial < 50; ++trial) {
    model.points[2].position.z = lift(random);
    model.points[4].position.z = lift(random);
    RefreshNormals(model, kNormalsFace, true);
    const FACE& face = model.faces[1];
    const VECTOR& p0 = model.points[1].position;
    const VECTOR& p1 = model.points[2].position;
    const VECTOR& p2 = model.points[3].position;
    const VECTOR& p3 = model.points[4].position;
    const VECTOR along02 = (TriangleNormal(p0, p1, p2) + TriangleNormal(p0, p2, p3)).normalized();
    const VECTOR along13 = (TriangleNormal(p1, p2, p3) + TriangleNormal(p1, p3, p0)).normalized();
    EXPECT_EQ(face.normal, ChooseQuadSplit(model, 1) == 1 ? along02 : along13);
  }
  // Only corner 1 lifted by 0.5: over 0-2 one half stays flat and the
  // halves meet at acos(1/sqrt(1.5)); over 1-3 both tilt, at acos(0.8).
  model.points[2].position.z = 0.5f;
  model.points[4].position.z = 0.0f;
  EXPECT_EQ(ChooseQuadSplit(model, 1), 1);
  EXPECT_FLOAT_EQ(NormalCosine(VECTOR(), VECTOR(1, 0, 0)), 1.0f);
  EXPECT_FLOAT_EQ(NormalCosine(VECTOR(1, 0, 0), VECTOR(-1, 0.001f, 0)), -1.0f);
}

TEST(PurgeMarked, RenumbersPointsLinesSurfacesAndPartners) {
  Model model;
  for (int p = 1; p <= 5; ++p) SetPoint(model, p, float(p), 0, 0, 0, 0);
  model.points[4].mirror = 5;
  model.points[5].mirror = 4;
  model.points[1].mirror = 3;  // partner removed: becomes 0
  model.points[3].mirror = 1;
  model.pointCount = 5;
  SetLine(model, 1, 1, 2, 0);
  SetLine(model, 2, 2, 4, 0);
  SetLine(model, 3, 4, 5, 0);
  SetLine(model, 4, 5, 2, 0);
  SetLine(model, 5, 4, 2, 0);  // duplicate of line 2 the other way round
  model.lineCount = 5;
  SetFace(model, 1, 2, 4, 5, 2, 0, 0);
  SetFaceLines(model, 1, 2, 3, 4, 2);
  SetFace(model, 2, 1, 2, 4, 1, 0, 0);
  SetFaceLines(model, 2, 1, -5, 0, 1);
  model.faceCount = 2;

  model.points[3].state = kStateRemoved;
  MarkDuplicateLines(model);
  EXPECT_EQ(model.lines[5].a, -1);
  EXPECT_EQ(model.lines[5].b, -2);
  PurgeMarked(model);
  ASSERT_EQ(model.pointCount, 4);
  ASSERT_EQ(model.lineCount, 4);
  EXPECT_EQ(model.points[3].mirror, 4);
  EXPECT_EQ(model.points[4].mirror, 3);
  EXPECT_EQ(model.points[1].mirror, 0);
  EXPECT_EQ(model.lines[2].b, 3);
  EXPECT_EQ(model.faces[1].corners, (std::array<int32_t, 4>{2, 3, 4, 2}));
  // -5 forwarded to line 2 running the other way: -(-2) composes to +2.
  EXPECT_EQ(model.faces[2].lines, (std::array<int32_t, 4>{1, 2, 0, 1}));
}

TEST(FindLine, SkipsRemovedLinesAndGivesDirection) {
  Model model;
  testing::UnitQuad(model);
  EXPECT_EQ(FindLine(model, 2, 3), 2);
  EXPECT_EQ(FindLine(model, 3, 2), -2);
  EXPECT_EQ(FindLine(model, 1, 3), 0);
  model.lines[2].state = kStateRemoved;
  EXPECT_EQ(FindLine(model, 2, 3), 0);
  MarkUnusedPoints(model);
  EXPECT_EQ(model.points[1].state, kStateNormal);
}

TEST(MarkUnusedPoints, MarksPointsOnNoLiveLine) {
  Model model;
  testing::MirroredPair(model);
  SetPoint(model, 3, 5, 5, 5, 0, 0);
  model.pointCount = 3;
  MarkUnusedPoints(model);
  EXPECT_EQ(model.points[1].state, kStateNormal);
  EXPECT_EQ(model.points[3].state, kStateRemoved);
  model.lines[1].state = kStateRemoved;
  MarkUnusedPoints(model);
  EXPECT_EQ(model.points[1].state, kStateRemoved);
}

class RecordingObserver : public DocumentObserver {
 public:
  void statusTextChanged(std::string_view text) override { status = text; }
  void selectionMenusChanged() override { ++menuRefreshes; }
  std::string status = "unset";
  int menuRefreshes = 0;
};

TEST(RefreshSelection, ClassesCountsMirrorCodeAndPivot) {
  const ScopedMessageLanguage japanese(MessageLanguage::kJapanese);
  Document document;
  RecordingObserver observer;
  document.observer = &observer;
  Model& model = document.model;
  testing::MirroredPair(model);
  SetPoint(model, 3, 0, 4, 0, 0, 3);  // on the mirror plane
  SetPoint(model, 4, 3, 4, 0, 0, 0);
  model.pointCount = 4;
  SetLine(model, 2, 3, 4, 0);
  model.lineCount = 2;

  model.points[1].state = kStateSelected;
  RefreshSelection(document);
  EXPECT_EQ(model.points[1].selectionClass, 1);
  EXPECT_EQ(model.points[2].selectionClass, 3);
  EXPECT_EQ(model.points[3].selectionClass, 0);
  EXPECT_EQ(document.scene.selectedCount, 1);
  EXPECT_EQ(document.scene.mirrorSelection, 1);
  EXPECT_EQ(document.scene.handle, VECTOR(-1, 0, 0));
  EXPECT_EQ(observer.status, "1個の頂点を選択");
  EXPECT_EQ(observer.menuRefreshes, 1);

  // A selected line makes its ends class 2; a point on the plane counts as
  // having a selected partner.
  model.points[1].state = kStateNormal;
  model.lines[2].state = kStateSelected;
  RefreshSelection(document);
  EXPECT_EQ(model.points[3].selectionClass, 2);
  EXPECT_EQ(model.points[4].selectionClass, 2);
  EXPECT_EQ(document.scene.mirrorSelection, 2);
  EXPECT_EQ(document.scene.handle, VECTOR(1.5f, 4, 0));
  document.scene.pivotMode = 1;
  model.points[1].state = kStateSelected;
  RefreshSelection(document);
  EXPECT_EQ(document.scene.selectedCount, 3);
  EXPECT_EQ(document.scene.handle, VECTOR(1, 2, 0));
  EXPECT_EQ(document.scene.mirrorSelection, 3);

  DeselectAll(model);
  RefreshSelection(document);
  EXPECT_EQ(document.scene.selectedCount, 0);
  EXPECT_EQ(document.scene.handle, VECTOR());
  EXPECT_EQ(observer.status, "");
}

TEST(RefreshSelection, RaisesLineAndSurfaceStatesButNeverLowers) {
  Document document;
  testing::UnitQuad(document.model);
  Model& model = document.model;
  for (int p = 1; p <= 4; ++p) model.points[p].state = kStateSelected;
  model.lines[4].state = kStateHidden;
  RefreshSelection(document);
  EXPECT_EQ(model.lines[1].state, kStateSelected);
  EXPECT_EQ(model.lines[4].state, kStateHidden);
  EXPECT_EQ(model.faces[1].state, kStateSelected);
  for (int p = 1; p <= 4; ++p) model.points[p].state = kStateNormal;
  RefreshSelection(document);
  EXPECT_EQ(model.lines[1].state, kStateSelected);
  for (int p = 1; p <= 4; ++p) model.points[p].state = kStateHidden;
  RefreshSelection(document);
  EXPECT_EQ(model.lines[1].state, kStateHidden);
  EXPECT_EQ(model.faces[1].state, kStateHidden);
}

}  // namespace
}  // namespace vexal
