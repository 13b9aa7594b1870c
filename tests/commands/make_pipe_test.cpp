// The pipe: counts, ring geometry, the walk order, the twist-free carrying
// of the ring direction, and the refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "commands/command_fixture.h"
#include "commands/make_pipe.h"

namespace vexal {
namespace {

using testing::DocumentWith;

// Points at the given positions; the listed lines (1-based point pairs) are
// selected with their points.
std::unique_ptr<Document> Polyline(const std::vector<VECTOR>& positions,
                                   const std::vector<std::pair<int, int>>& lines) {
  return DocumentWith([&](Model& model) {
    for (size_t i = 0; i < positions.size(); ++i) {
      const VECTOR& p = positions[i];
      SetPoint(model, static_cast<int>(i) + 1, p.x, p.y, p.z, kStateNormal, 0);
    }
    model.pointCount = static_cast<int>(positions.size());
    for (const auto& [a, b] : lines) {
      SetLine(model, ++model.lineCount, a, b, kStateSelected);
      model.points[a].state = kStateSelected;
      model.points[b].state = kStateSelected;
    }
  });
}

struct Ring {
  VECTOR centre;
  VECTOR first;  // unit direction from the centre to ring point 0
};

// The rings of a tube built from point `firstPoint` on, N points each.
std::vector<Ring> Rings(const Model& model, int firstPoint, int n) {
  std::vector<Ring> rings;
  for (int start = firstPoint; start + n - 1 <= model.pointCount; start += n) {
    Ring ring;
    for (int i = 0; i < n; ++i) ring.centre += model.points[start + i].position;
    ring.centre *= 1.0f / static_cast<float>(n);
    ring.first = (model.points[start].position - ring.centre).normalized();
    rings.push_back(ring);
  }
  return rings;
}

// Each ring lies in the plane through its chain point perpendicular to the
// chain's mean direction there, at the radius.
void ExpectRingsPerpendicular(const Model& model, int firstPoint, int n, float radius,
                              const std::vector<VECTOR>& centres,
                              const std::vector<VECTOR>& tangents) {
  for (size_t c = 0; c < centres.size(); ++c) {
    for (int i = 0; i < n; ++i) {
      const VECTOR spoke = model.points[firstPoint + static_cast<int>(c) * n + i].position - centres[c];
      EXPECT_NEAR(spoke.length(), radius, 1e-4f) << "ring " << c << " point " << i;
      EXPECT_NEAR(spoke.dot(tangents[c]), 0.0f, 1e-4f) << "ring " << c << " point " << i;
    }
  }
}

// Every quad faces away from the segment of chain it surrounds.
void ExpectQuadsOutward(const Model& model, int firstSurface, int n,
                        const std::vector<VECTOR>& centres, bool closed) {
  for (int s = firstSurface; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    const size_t segment = static_cast<size_t>((s - firstSurface) / n);
    const VECTOR axis =
        (centres[segment] + centres[closed ? (segment + 1) % centres.size() : segment + 1]) * 0.5f;
    VECTOR centroid;
    for (int32_t corner : face.corners) centroid += model.points[corner].position * 0.25f;
    const VECTOR normal = TriangleNormal(model.points[face.corners[0]].position,
                                         model.points[face.corners[1]].position,
                                         model.points[face.corners[2]].position);
    EXPECT_GT(normal.dot(centroid - axis), 0.0f) << "surface " << s;
  }
}

TEST(MakePipe, OneStraightLineMakesTwoRingsAndSixQuads) {
  auto document = Polyline({{0, 0, 0}, {0, 0, 2}}, {{1, 2}});
  document->scene.paletteIndex = 7;
  const PipeParameters six{6, 0.5f, 0};
  testing::ExpectUndoRedoIdentical(
      *document, [&] { ASSERT_TRUE(MakePipe(*document, six).ok()); }, "straight");
  const Model& model = document->model;
  EXPECT_EQ(model.pointCount, 2 + 12);
  EXPECT_EQ(model.lineCount, 1 + 18);
  EXPECT_EQ(model.faceCount, 6);
  // The chain stays, deselected, inside the new selected tube.
  EXPECT_EQ(model.lines[1].state, kStateNormal);
  EXPECT_EQ(model.points[1].state, kStateNormal);
  for (int p = 3; p <= model.pointCount; ++p) EXPECT_EQ(model.points[p].state, kStateSelected);
  for (int l = 2; l <= model.lineCount; ++l) EXPECT_EQ(model.lines[l].state, kStateSelected);
  // Ring lines of the first ring, then per ring the joins and its own ring.
  EXPECT_EQ(model.lines[2].a, 3);
  EXPECT_EQ(model.lines[2].b, 4);
  EXPECT_EQ(model.lines[8].a, 3);
  EXPECT_EQ(model.lines[8].b, 9);
  const FACE& first = model.faces[1];
  EXPECT_EQ(first.corners, (std::array<int32_t, 4>{3, 4, 10, 9}));
  EXPECT_EQ(first.material, 7);
  EXPECT_EQ(first.state, kStateSelected);
  EXPECT_EQ(model.faces[6].corners, (std::array<int32_t, 4>{8, 3, 9, 14}));
  EXPECT_EQ(model.faces[2].uv[0], UV(1.0f / 6, 0));
  EXPECT_EQ(model.faces[2].uv[2], UV(2.0f / 6, 1));
  ExpectRingsPerpendicular(model, 3, 6, 0.5f, {{0, 0, 0}, {0, 0, 2}}, {{0, 0, 1}, {0, 0, 1}});
  ExpectQuadsOutward(model, 1, 6, {{0, 0, 0}, {0, 0, 2}}, false);
}

TEST(MakePipe, ABentChainIsWalkedFromItsLowerEndWithoutTwist) {
  // 1 - 2 - 3 - 4 - 5 bending about different axes; lines given out of
  // order and against the walk.
  const std::vector<VECTOR> positions = {{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {2, 2, 1}, {1, 3, 3}};
  auto document = Polyline(positions, {{3, 2}, {5, 4}, {2, 1}, {4, 3}});
  const int n = 8;
  ASSERT_TRUE(MakePipe(*document, {n, 0.25f, 15}).ok());
  const Model& model = document->model;
  ASSERT_EQ(model.pointCount, 5 + 5 * n);
  EXPECT_EQ(model.faceCount, 4 * n);
  std::vector<VECTOR> tangents;
  for (size_t c = 0; c < positions.size(); ++c) {
    VECTOR t;
    if (c > 0) t += (positions[c] - positions[c - 1]).normalized();
    if (c + 1 < positions.size()) t += (positions[c + 1] - positions[c]).normalized();
    tangents.push_back(t.normalized());
  }
  ExpectRingsPerpendicular(model, 6, n, 0.25f, positions, tangents);
  ExpectQuadsOutward(model, 1, n, positions, false);
  // Carried without twist: from ring to ring the direction of point 0
  // turns by no more than the chain does.
  const std::vector<Ring> rings = Rings(model, 6, n);
  for (size_t c = 1; c < rings.size(); ++c) {
    const float ringTurn = std::acos(std::clamp(rings[c - 1].first.dot(rings[c].first), -1.0f, 1.0f));
    const float chainTurn = std::acos(std::clamp(tangents[c - 1].dot(tangents[c]), -1.0f, 1.0f));
    EXPECT_LE(ringTurn, chainTurn + 2e-3f) << "ring " << c;
  }
}

TEST(MakePipe, AClosedLoopJoinsItsLastRingToItsFirst) {
  const std::vector<VECTOR> square = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};
  auto document = Polyline(square, {{1, 2}, {2, 3}, {3, 4}, {4, 1}});
  testing::ExpectUndoRedoIdentical(
      *document, [&] { ASSERT_TRUE(MakePipe(*document, {6, 0.125f, 0}).ok()); }, "loop");
  const Model& model = document->model;
  EXPECT_EQ(model.pointCount, 4 + 24);
  EXPECT_EQ(model.lineCount, 4 + 24 + 24);
  EXPECT_EQ(model.faceCount, 24);
  // The last quad joins ring 4 to ring 1.
  EXPECT_EQ(model.faces[24].corners, (std::array<int32_t, 4>{28, 23, 5, 10}));
  const VECTOR d = VECTOR(1, 1, 0).normalized();
  const VECTOR e = VECTOR(-1, 1, 0).normalized();
  ExpectRingsPerpendicular(model, 5, 6, 0.125f, square, {VECTOR(1, -1, 0).normalized(), d, e, -d});
  ExpectQuadsOutward(model, 1, 6, square, true);
}

TEST(MakePipe, OpenChainsComeBeforeLoopsAndJunctionsAreNotBuiltTwice) {
  // A loop on points 1-3 and a separate line 4-5: the line's tube comes
  // first. Then a T: arms 6-7, 6-8, 6-9 meeting at 6.
  auto document = Polyline({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 0, 0}, {5, 0, 1}, {9, 0, 0},
                            {9, 1, 0}, {10, 0, 0}, {9, -1, 0}},
                           {{1, 2}, {2, 3}, {3, 1}, {5, 4}, {6, 7}, {6, 8}, {6, 9}});
  ASSERT_TRUE(MakePipe(*document, {4, 0.1f, 0}).ok());
  const std::vector<Ring> rings = Rings(document->model, 10, 4);
  // Line 4-5 from point 4; then the T from 7 through 6 to 8, then 9 to 6;
  // then the loop from 1.
  const std::vector<VECTOR> centres = {{5, 0, 0},  {5, 0, 1}, {9, 1, 0}, {9, 0, 0}, {10, 0, 0},
                                       {9, -1, 0}, {9, 0, 0}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  ASSERT_EQ(rings.size(), centres.size());
  for (size_t c = 0; c < centres.size(); ++c) {
    EXPECT_NEAR((rings[c].centre - centres[c]).length(), 0.0f, 1e-5f) << "ring " << c;
  }
  // 1 + 2 + 1 segments of the open chains, 3 of the loop.
  EXPECT_EQ(document->model.faceCount, 4 * 7);
}

TEST(MakePipe, NothingSelectedChangesNothingAndPointsAloneOnlyDeselect) {
  auto document = Polyline({{0, 0, 0}, {1, 0, 0}}, {});
  EXPECT_EQ(MakePipe(*document, {6, 0.125f, 0}).status, CommandStatus::kRefused);
  EXPECT_EQ(document->undo.undoDepth, 0);
  EXPECT_EQ(document->scene.modified, 0);

  document->model.points[1].state = kStateSelected;
  RefreshSelection(*document);
  ASSERT_TRUE(MakePipe(*document, {6, 0.125f, 0}).ok());
  EXPECT_EQ(document->model.pointCount, 2);
  EXPECT_EQ(document->model.points[1].state, kStateNormal);
  EXPECT_EQ(document->undo.undoDepth, 1);
}

TEST(MakePipe, ATubePastTheTableLimitIsRefusedBeforeAnyChange) {
  std::vector<VECTOR> positions;
  std::vector<std::pair<int, int>> lines;
  for (int i = 0; i <= 1000; ++i) positions.push_back({static_cast<float>(i), 0, 0});
  for (int i = 1; i <= 1000; ++i) lines.emplace_back(i, i + 1);
  auto document = Polyline(positions, lines);
  // 96 x 1001 points cannot fit.
  const CommandResult refused = MakePipe(*document, {96, 0.125f, 0});
  EXPECT_EQ(refused.status, CommandStatus::kRefused);
  EXPECT_EQ(document->model.pointCount, 1001);
  EXPECT_EQ(document->model.lines[1].state, kStateSelected);
  EXPECT_EQ(document->undo.undoDepth, 0);
  ASSERT_TRUE(MakePipe(*document, {6, 0.125f, 0}).ok());
  EXPECT_EQ(document->model.pointCount, 1001 + 6006);
  EXPECT_EQ(document->model.lineCount, 1000 + 12006);
  EXPECT_EQ(document->model.faceCount, 6000);
}

TEST(MakePipe, ThePipeValuesOfTheSettingsAreBroughtIntoRange) {
  Settings settings;
  settings.PipeSegment = 200;
  settings.PipeRadius = -1;
  settings.PipeOffset = 720;
  const PipeParameters parameters = PipeParametersFrom(settings);
  EXPECT_EQ(parameters.segments, 96);
  EXPECT_EQ(parameters.radius, 0.125f);
  EXPECT_EQ(parameters.offset, 360.0f);
}

}  // namespace
}  // namespace vexal
