// The edge-split machinery: registering splits (duplicates, mirrors),
// applying them to the lines, every row of the case tables that cut the
// surfaces, centre points, and LineParameterAt.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>

#include "model/maintenance.h"
#include "model/validate.h"
#include "support/test_models.h"
#include "tools/edge_split.h"
#include "tools/tool_fixture.h"

namespace vexal {
namespace {

struct Row {
  std::array<int, 4> pattern;  // new points on e0..e3
  bool centres;
  const char* lines;  // "N0-c2 M0-c2"
  const char* faces;  // "c0 N0 c2; c1 c2 N0", the last replaces the cut one
};

// The triangle table, row by row.
const Row kTriangleRows[] = {
    {{1, 0, 0}, false, "N0-c2", "c0 N0 c2; c1 c2 N0"},
    {{1, 1, 0}, false, "N0-N1", "N0 c1 N1; c0 N0 N1 c2"},
    {{1, 1, 1}, false, "N0-N1 N1-N2 N2-N0", "c0 N0 N2; c1 N1 N0; c2 N2 N1; N0 N1 N2"},
    {{2, 0, 0}, false, "N0-c2 M0-c2", "N0 c2 c0; M0 c1 c2; N0 M0 c2"},
    {{2, 1, 0}, false, "N0-c2 N1-M0", "M0 c1 N1; N0 M0 N1 c2; c0 N0 c2"},
    {{2, 0, 1}, false, "N0-N2 M0-c2", "c0 N0 N2; N0 M0 c2 N2; M0 c1 c2"},
    {{2, 1, 1}, false, "N0-N2 M0-N1 N1-N2", "c2 N2 N1; c1 N1 M0; c0 N0 N2; N0 M0 N1 N2"},
    {{2, 2, 0}, false, "N0-M1 M0-N1", "c0 N0 M1 c2; N0 M0 N1 M1; c1 N1 M0"},
};

const Row kQuadRows[] = {
    {{1, 0, 0, 0}, false, "N0-c3 N0-c2", "c0 N0 c3; N0 c2 c3; N0 c1 c2"},
    {{1, 1, 0, 0}, false, "N0-N1 c0-c2", "c0 c2 c3; c0 N0 N1 c2; N0 c1 N1"},
    {{1, 0, 1, 0}, false, "N0-N2", "c0 N0 N2 c3; N0 c1 c2 N2"},
    {{1, 1, 1, 0}, false, "N0-N1 N1-N2 N2-N0", "c0 N0 N2 c3; c1 N1 N0; c2 N2 N1; N0 N1 N2"},
    {{1, 1, 1, 1}, false, "N0-N1 N1-N2 N2-N3 N3-N0", "c0 N0 N3; c1 N1 N0; c2 N2 N1; c3 N3 N2; N0 N1 N2 N3"},
    {{1, 1, 1, 1}, true, "N0-C N1-C N2-C N3-C", "c0 N0 C N3; c1 N1 C N0; c2 N2 C N1; c3 N3 C N2"},
    {{2, 0, 0, 0}, false, "N0-c3 M0-c2", "c0 N0 c3; N0 M0 c2 c3; M0 c1 c2"},
    {{2, 1, 0, 0}, false, "N0-c2 M0-N1", "c0 N0 c2 c3; N0 M0 N1 c2; M0 c1 N1"},
    {{2, 0, 1, 0}, false, "N0-N2 M0-N2", "c0 N0 N2 c3; N0 M0 N2; M0 c1 c2 N2"},
    {{2, 0, 0, 1}, false, "N0-N3 M0-c3", "c0 N0 N3; N0 M0 c3 N3; M0 c1 c2 c3"},
    {{2, 1, 1, 0}, false, "N0-N2 M0-N1 N1-N2", "c0 N0 N2 c3; N0 M0 N1 N2; M0 c1 N1; N1 c2 N2"},
    {{2, 1, 0, 1}, false, "N0-N3 M0-N1 N1-N3", "c0 N0 N3; N0 M0 N1 N3; M0 c1 N1; N1 c2 c3 N3"},
    {{2, 0, 1, 1}, false, "N0-N3 M0-N2 N2-N3", "c0 N0 N3; N0 M0 N2 N3; N3 N2 c3; M0 c1 c2 N2"},
    {{2, 0, 2, 0}, false, "N0-M2 M0-N2", "c0 N0 M2 c3; N0 M0 N2 M2; M0 c1 c2 N2"},
    {{2, 2, 0, 0}, false, "N0-M1 M0-N1 c0-c2", "c0 c2 c3; c0 N0 M1 c2; N0 M0 N1 M1; M0 c1 N1"},
};

// One surface with UVs and linked lines: the unit quad, or the triangle
// (0,0) (1,0) (0,1).
void OneSurface(Model& model, int corners) {
  testing::UnitQuad(model);
  if (corners == 3) {
    SetPoint(model, 3, 0, 1, 0, 0, 0);
    model.pointCount = 3;
    SetFace(model, 1, 1, 2, 3, 1, 4, 0);
    SetFaceUV(model, 1, UV(0, 0), UV(1, 0), UV(0, 1), UV(0, 0));
    model.lineCount = 0;
    CompactModel(model, kCompactRebuildLines);
  }
  model.faces[1].material = 4;
}

struct Cut {
  std::map<std::string, int> point;  // symbol -> point index
  std::map<std::string, UV> uv;
};

// Splits the edges of surface 1 by `pattern` starting at edge `rotation`
// (each edge at 0.5, or at 0.3 and 0.7), applies and rebuilds; names the
// points as the table does for that rotation.
Cut CutSurface(Model& model, const std::array<int, 4>& pattern, int rotation, bool centres) {
  const FACE face = model.faces[1];
  const int n = CornerCount(face);
  EdgeSplits splits;
  BeginEdgeSplits(model, splits);
  Cut cut;
  std::map<std::pair<int, int>, std::string> pending;
  for (int j = 0; j < n; ++j) {
    const int edge = (rotation + j) % n;
    cut.point["c" + std::to_string(j)] = face.corners[edge];
    cut.uv["c" + std::to_string(j)] = face.uv[edge];
    const int line = std::abs(face.lines[edge]);
    const bool forward = face.lines[edge] > 0;
    const UV from = face.uv[edge], to = face.uv[(edge + 1) % n];
    const std::vector<float> places = pattern[j] == 1 ? std::vector<float>{0.5f} : std::vector<float>{0.3f, 0.7f};
    for (int k = 0; k < pattern[j]; ++k) {
      const float along = places[k];  // in the surface's direction
      RegisterEdgeSplit(model, splits, line, forward ? along : 1 - along, kSplitPlain);
      const std::string name = (k == 0 ? "N" : "M") + std::to_string(j);
      cut.point[name] = splits.pointCount0 + splits.count;
      cut.uv[name] = from * (1 - along) + to * along;
    }
  }
  ApplyEdgeSplits(model, splits);
  RebuildSplitFaces(model, splits, centres);
  if (centres && model.pointCount > splits.pointCount0 + splits.count) {
    cut.point["C"] = model.pointCount;
    UV sum;
    for (const char* name : {"N0", "N1", "N2", "N3"}) sum = sum + cut.uv[name] * 0.25f;
    cut.uv["C"] = sum;
  }
  return cut;
}

void ExpectRow(const Model& model, int linesBefore, int newPoints, const Cut& cut, const Row& row) {
  std::istringstream lines(row.lines);
  int line = linesBefore + newPoints;
  for (std::string pair; lines >> pair;) {
    ++line;
    const std::string from = pair.substr(0, pair.find('-')), to = pair.substr(pair.find('-') + 1);
    EXPECT_EQ(model.lines[line].a, cut.point.at(from)) << pair;
    EXPECT_EQ(model.lines[line].b, cut.point.at(to)) << pair;
    EXPECT_EQ(model.lines[line].state, kStateNormal);
  }
  EXPECT_EQ(model.lineCount, line) << "no other line";
  std::vector<std::vector<std::string>> faces(1);
  std::istringstream text(row.faces);
  for (std::string word; text >> word;) {
    if (word.back() == ';') {
      faces.back().push_back(word.substr(0, word.size() - 1));
      faces.emplace_back();
    } else {
      faces.back().push_back(word);
    }
  }
  ASSERT_EQ(model.faceCount, static_cast<int>(faces.size()));
  for (size_t f = 0; f < faces.size(); ++f) {
    // Appended in the listed order; the last one in the cut surface's place.
    const int surface = f + 1 == faces.size() ? 1 : static_cast<int>(f) + 2;
    const FACE& face = model.faces[surface];
    const auto& names = faces[f];
    EXPECT_EQ(CornerCount(face), static_cast<int>(names.size())) << row.faces;
    for (int k = 0; k < 4; ++k) {
      const std::string& name = names[k < static_cast<int>(names.size()) ? k : 0];
      EXPECT_EQ(face.corners[k], cut.point.at(name)) << row.faces << " surface " << f << " corner " << k;
      EXPECT_NEAR(face.uv[k].u, cut.uv.at(name).u, 1e-6) << row.faces << " " << name;
      EXPECT_NEAR(face.uv[k].v, cut.uv.at(name).v, 1e-6) << row.faces << " " << name;
    }
    EXPECT_EQ(face.material, 4);
  }
}

TEST(CaseTables, EveryTriangleRowGivesExactlyItsSurfacesAndLines) {
  for (const Row& row : kTriangleRows) {
    SCOPED_TRACE(row.faces);
    Model model;
    OneSurface(model, 3);
    const int lines = model.lineCount;
    const int points = row.pattern[0] + row.pattern[1] + row.pattern[2];
    const Cut cut = CutSurface(model, row.pattern, 0, false);
    ExpectRow(model, lines, points, cut, row);
    RelinkFaces(model);
    std::string reason;
    EXPECT_TRUE(ValidateModel(model, &reason, true)) << reason;
  }
}

TEST(CaseTables, EveryQuadRowGivesExactlyItsSurfacesAndLines) {
  for (const Row& row : kQuadRows) {
    SCOPED_TRACE(row.faces);
    Model model;
    OneSurface(model, 4);
    const int lines = model.lineCount;
    const int points = row.pattern[0] + row.pattern[1] + row.pattern[2] + row.pattern[3];
    const Cut cut = CutSurface(model, row.pattern, 0, row.centres);
    ExpectRow(model, lines, points, cut, row);
    EXPECT_EQ(model.pointCount, 4 + points + (row.centres ? 1 : 0));
    if (row.centres) {
      const VERT& centre = model.points[cut.point.at("C")];
      EXPECT_EQ(centre.position, VECTOR(0.5f, 0.5f, 0));
      EXPECT_EQ(centre.state, 0);
      EXPECT_EQ(centre.flags, 0);
      EXPECT_EQ(centre.mirror, 0);
    }
    RelinkFaces(model);
    std::string reason;
    EXPECT_TRUE(ValidateModel(model, &reason, true)) << reason;
  }
}

TEST(CaseTables, APatternIsMatchedAtTheRotationThatBringsItIntoForm) {
  // New points on e1 and e2 of a quad: the row N0, N1 at rotation 1.
  Model model;
  OneSurface(model, 4);
  const int lines = model.lineCount;
  const Cut cut = CutSurface(model, {1, 1, 0, 0}, 1, false);
  ExpectRow(model, lines, 2, cut, kQuadRows[1]);
  // Two on e2 and one on e0 of a triangle: N0, M0, N1 at rotation 2.
  OneSurface(model, 3);
  const int triangleLines = model.lineCount;
  const Cut second = CutSurface(model, {2, 1, 0, 0}, 2, false);
  ExpectRow(model, triangleLines, 3, second, kTriangleRows[4]);
}

TEST(CaseTables, ALineUsedBackwardsGivesItsPointsInTheSurfacesOrder) {
  Model model;
  OneSurface(model, 4);
  // Turn line 1 round: it now runs from corner 1 to corner 0.
  std::swap(model.lines[1].a, model.lines[1].b);
  RelinkFaces(model);
  ASSERT_LT(model.faces[1].lines[0], 0);
  const int lines = model.lineCount;
  const Cut cut = CutSurface(model, {2, 0, 0, 0}, 0, false);
  EXPECT_EQ(model.points[cut.point.at("N0")].position.x, 0.3f) << "N0 is the one nearer corner 0";
  ExpectRow(model, lines, 2, cut, kQuadRows[6]);
}

TEST(CaseTables, MoreThanFourNewPointsOrNoneLeaveTheSurface) {
  Model model;
  OneSurface(model, 4);
  const FACE before = model.faces[1];
  CutSurface(model, {2, 2, 1, 0}, 0, false);
  EXPECT_EQ(model.faceCount, 1);
  EXPECT_EQ(model.faces[1].corners, before.corners);
  EXPECT_EQ(model.pointCount, 9) << "the points stay on the lines";
  // With centres, a quad with more than four new points gets no centre.
  OneSurface(model, 4);
  CutSurface(model, {2, 1, 1, 1}, 0, true);
  EXPECT_EQ(model.pointCount, 9);
}

TEST(EdgeSplits, DuplicatesThirdSplitsAndLineStates) {
  Model model;
  testing::UnitQuad(model);
  model.lines[1].state = kStateSelected;
  EdgeSplits splits;
  BeginEdgeSplits(model, splits);
  EXPECT_EQ(RegisterEdgeSplit(model, splits, 1, 0.5f, kSplitPlain), 1);
  RegisterEdgeSplit(model, splits, 1, 0.51f, kSplitPlain);
  EXPECT_EQ(splits.count, 1) << "closer than 0.02 to the first";
  RegisterEdgeSplit(model, splits, 1, 0.2f, kSplitPlain);
  RegisterEdgeSplit(model, splits, 1, 0.8f, kSplitPlain);
  EXPECT_EQ(splits.count, 2) << "a line holds two splits";
  ApplyEdgeSplits(model, splits);
  // Line 1 now runs 1 -> 6 (t 0.2) -> 5 (t 0.5) -> 2.
  EXPECT_EQ(model.pointCount, 6);
  EXPECT_EQ(model.points[6].position, VECTOR(0.2f, 0, 0));
  EXPECT_EQ(model.lines[1].b, 6);
  EXPECT_EQ(model.lines[6].a, 6);
  EXPECT_EQ(model.lines[6].b, 5);
  EXPECT_EQ(model.lines[5].a, 5);
  EXPECT_EQ(model.lines[5].b, 2);
  for (int piece : {1, 5, 6}) EXPECT_EQ(model.lines[piece].state, kStateSelected) << piece;
  EXPECT_EQ(model.points[5].state, kStateSelected);
}

TEST(EdgeSplits, MirroredSplitsPairTheirPoints) {
  Model model;
  SetDefaultObject(model);
  // Lines of the two squares: a line and its mirror run the same way or
  // the other way; either way the new points mirror each other.
  EdgeSplits splits;
  BeginEdgeSplits(model, splits);
  const int lines = model.lineCount;
  for (int l = 1; l <= lines; ++l) {
    const int before = splits.count;
    RegisterEdgeSplit(model, splits, l, 0.25f, kSplitMirrored);
    if (splits.count == before) continue;
  }
  ApplyEdgeSplits(model, splits);
  std::string reason;
  ASSERT_TRUE(ValidateModel(model, &reason)) << reason;
  for (int p = 9; p <= model.pointCount; ++p) {
    const VERT& point = model.points[p];
    ASSERT_NE(point.mirror, 0) << p;
    const VECTOR& other = model.points[point.mirror].position;
    EXPECT_FLOAT_EQ(other.x, -point.position.x) << p;
    EXPECT_FLOAT_EQ(other.y, point.position.y) << p;
    EXPECT_FLOAT_EQ(other.z, point.position.z) << p;
  }
}

TEST(EdgeSplits, AMirrorSplitRefusedAsADuplicateLeavesTheFirstUnpaired) {
  Model model;
  testing::MirroredPair(model);
  // Line 2 runs 3 -> 4 across the mirror plane, like line 1.
  SetPoint(model, 3, -1, 1, 0, 0, 4);
  SetPoint(model, 4, 1, 1, 0, 0, 3);
  model.pointCount = 4;
  SetLine(model, 2, 3, 4, 0);
  model.lineCount = 2;
  EdgeSplits splits;
  BeginEdgeSplits(model, splits);
  // Line 1 mirrors itself (partners 1 <-> 2): at its middle the split is
  // its own mirror; elsewhere its mirror is the split at 1 - t.
  RegisterEdgeSplit(model, splits, 1, 0.5f, kSplitMirrored);
  EXPECT_EQ(splits.mirror[1], 1);
  RegisterEdgeSplit(model, splits, 2, 0.3f, kSplitMirrored);
  EXPECT_EQ(splits.count, 3);
  EXPECT_EQ(splits.mirror[2], 3);
  EXPECT_EQ(splits.mirror[3], 2);
  EXPECT_EQ(splits.places[2][1].t, 0.7f);
  EdgeSplits fresh;
  // Line 3 (5 -> 3) and its mirror line 4 (4 -> 6, running the other
  // way): line 4 already holds a split at 0.5, so the mirror of a split of
  // line 3 at 0.5 is a duplicate.
  SetPoint(model, 5, -2, 0, 0, 0, 6);
  SetPoint(model, 6, 2, 0, 0, 0, 5);
  model.pointCount = 6;
  SetLine(model, 3, 5, 3, 0);
  SetLine(model, 4, 4, 6, 0);
  model.lineCount = 4;
  BeginEdgeSplits(model, fresh);
  RegisterEdgeSplit(model, fresh, 4, 0.5f, kSplitPlain);
  RegisterEdgeSplit(model, fresh, 3, 0.5f, kSplitMirrored);
  EXPECT_EQ(fresh.count, 2);
  EXPECT_EQ(fresh.mirror[2], 0) << "its mirror split was refused as a duplicate";
  ApplyEdgeSplits(model, fresh);
  EXPECT_EQ(model.points[model.pointCount].mirror, 0);
  std::string reason;
  EXPECT_TRUE(ValidateModel(model, &reason)) << reason;
}

TEST(EdgeSplits, CentresOfMirroredQuadsArePartners) {
  Model model;
  SetDefaultObject(model);
  EdgeSplits splits;
  BeginEdgeSplits(model, splits);
  for (int l = 1; l <= model.lineCount; ++l) RegisterEdgeSplit(model, splits, l, 0.5f, kSplitMirrored);
  ASSERT_EQ(splits.count, 8);
  ApplyEdgeSplits(model, splits);
  RebuildSplitFaces(model, splits, true);
  // Each square straddles the mirror plane and is its own mirror image:
  // its centre lies on the plane and is its own partner.
  ASSERT_EQ(model.pointCount, 8 + 8 + 2);
  EXPECT_EQ(model.points[17].mirror, 17);
  EXPECT_EQ(model.points[18].mirror, 18);
  EXPECT_EQ(model.points[17].position.x, 0.0f);
  EXPECT_EQ(model.faceCount, 8);
  RelinkFaces(model);
  std::string reason;
  EXPECT_TRUE(ValidateModel(model, &reason, true)) << reason;
}

TEST(EdgeSplits, TheGrowthPlanMatchesWhatIsAdded) {
  for (const Row& row : kQuadRows) {
    Model model;
    OneSurface(model, 4);
    EdgeSplits splits;
    BeginEdgeSplits(model, splits);
    for (int j = 0; j < 4; ++j) {
      for (int k = 0; k < row.pattern[j]; ++k) RegisterEdgeSplit(model, splits, j + 1, 0.3f + 0.4f * k, kSplitPlain);
    }
    const SplitGrowth growth = PlanSplitGrowth(model, splits, row.centres);
    const Model before = model;
    ApplyEdgeSplits(model, splits);
    RebuildSplitFaces(model, splits, row.centres);
    EXPECT_EQ(model.pointCount - before.pointCount, growth.points) << row.faces;
    EXPECT_EQ(model.lineCount - before.lineCount, growth.lines) << row.faces;
    EXPECT_EQ(model.faceCount - before.faceCount, growth.faces) << row.faces;
  }
}

class LineParameter : public testing::ToolTest {};

TEST_F(LineParameter, FractionsFromTheFirstPointInBothProjections) {
  testing::UnitQuad(model());
  const Pixel a = pixelOf(1), b = pixelOf(2);
  EXPECT_NEAR(LineParameterAt(*document, 1, (a.x + b.x) / 2, a.y + 2), 0.5f, 0.02f);
  EXPECT_NEAR(LineParameterAt(*document, 1, a.x + 7, a.y), 0.1f, 0.02f);
  EXPECT_EQ(LineParameterAt(*document, 1, a.x - 3, a.y), -1.0f) << "beyond the first end";
  // Seen end on: the middle.
  SetPoint(model(), 2, 0, 0, 1, 0, 0);
  EXPECT_EQ(LineParameterAt(*document, 1, a.x, a.y), 0.5f);

  // In perspective a line running away from the viewer: the refined
  // fraction puts the point under the pointer.
  document->scene.angle.y = 30;
  document->scene.perspective = 1;
  SetPoint(model(), 2, 1, 0, -2, 0, 0);
  const VECTOR first = model().points[1].position, second = model().points[2].position;
  const Pixel at = pixel(first * 0.3f + second * 0.7f);
  const float s = LineParameterAt(*document, 1, at.x, at.y);
  const VECTOR found = ProjectPoint(*document, first * (1 - s) + second * s, true);
  EXPECT_NEAR(found.x, at.x, 1.5f);
  EXPECT_NEAR(found.y, at.y, 1.5f);
}

}  // namespace
}  // namespace vexal
