// Selection by rule: expanded selection, edge loops, three-wire faces,
// independent edges, colour.
#include <gtest/gtest.h>

#include "model/maintenance.h"
#include "support/test_models.h"
#include "tools/selection_rules.h"

namespace vexal {
namespace {

// The line joining two points (either way), or 0.
int LineOf(const Model& model, int a, int b) { return std::abs(FindLine(model, a, b)); }

// Lines rebuilt from the surfaces after surfaces were added.
void Relink(Model& model) {
  model.lineCount = 0;
  CompactModel(model, kCompactRebuildLines);
}

int SelectedLines(const Model& model) {
  int count = 0;
  for (int l = 1; l <= model.lineCount; ++l) count += model.lines[l].state == kStateSelected;
  return count;
}

// A 6 x 4 grid: point (c, r) is r * 7 + c + 1.
int GridPoint(int c, int r) { return r * 7 + c + 1; }

TEST(EdgeLoop, RunsAlongTheRowOfAGridToBothBorders) {
  Model model;
  testing::QuadGrid(model, 6, 4);
  // One horizontal edge in the middle of row 2.
  model.lines[LineOf(model, GridPoint(2, 2), GridPoint(3, 2))].state = kStateSelected;
  SelectEdgeLoop(model);
  EXPECT_EQ(SelectedLines(model), 6);
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(model.lines[LineOf(model, GridPoint(c, 2), GridPoint(c + 1, 2))].state, kStateSelected) << c;
  }
  // The ends of the loop lines are selected, nothing else.
  for (int p = 1; p <= model.pointCount; ++p) {
    EXPECT_EQ(model.points[p].state == kStateSelected, (p - 1) / 7 == 2) << p;
  }
}

TEST(EdgeLoop, StopsAtAPointOfFiveSurfacesAndAtTriangles) {
  Model model;
  testing::QuadGrid(model, 6, 4);
  // A fifth surface on point (4, 2): a triangle standing off the sheet.
  const int fan = GridPoint(4, 2);
  SetPoint(model, model.pointCount + 1, 4, 2, 1, 0, 0);
  SetPoint(model, model.pointCount + 2, 5, 2, 1, 0, 0);
  model.pointCount += 2;
  SetFace(model, ++model.faceCount, fan, model.pointCount - 1, model.pointCount, fan, 0, 0);
  Relink(model);
  model.lines[LineOf(model, GridPoint(1, 2), GridPoint(2, 2))].state = kStateSelected;
  SelectEdgeLoop(model);
  // From the left border up to the stop point, not beyond.
  EXPECT_EQ(SelectedLines(model), 4);
  EXPECT_EQ(model.lines[LineOf(model, GridPoint(4, 2), GridPoint(5, 2))].state, kStateNormal);

}

TEST(EdgeLoop, AVerticalLineRunsAlongItsColumnAndATriangleBlocksItsOtherEdges) {
  Model model;
  testing::QuadGrid(model, 6, 4);
  model.lines[LineOf(model, GridPoint(1, 2), GridPoint(1, 3))].state = kStateSelected;
  SelectEdgeLoop(model);
  EXPECT_EQ(SelectedLines(model), 4);
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(model.lines[LineOf(model, GridPoint(1, r), GridPoint(1, r + 1))].state, kStateSelected) << r;
  }
  // A lone triangle: from one edge the walk cannot turn into the other two.
  ClearModel(model);
  for (int k = 0; k < 3; ++k) SetPoint(model, k + 1, static_cast<float>(k), static_cast<float>(k % 2), 0, 0, 0);
  model.pointCount = 3;
  SetFace(model, 1, 1, 2, 3, 1, 0, 0);
  model.faceCount = 1;
  Relink(model);
  model.lines[LineOf(model, 1, 2)].state = kStateSelected;
  SelectEdgeLoop(model);
  EXPECT_EQ(SelectedLines(model), 1);
}

TEST(EdgeLoop, NeverWalksOrSelectsAHiddenLine) {
  Model model;
  testing::QuadGrid(model, 4, 1);
  // The bottom border, its third line hidden.
  model.lines[LineOf(model, 1, 2)].state = kStateSelected;
  model.lines[LineOf(model, 3, 4)].state = kStateHidden;
  SelectEdgeLoop(model);
  EXPECT_EQ(model.lines[LineOf(model, 2, 3)].state, kStateSelected);
  EXPECT_EQ(model.lines[LineOf(model, 3, 4)].state, kStateHidden);
  EXPECT_EQ(model.lines[LineOf(model, 4, 5)].state, kStateNormal);
}

TEST(ExpandedSelection, ABorderGrowsAlongTheBorderAnInnerPointOverEverything) {
  Model model;
  testing::QuadGrid(model, 3, 3);
  // A second, separate grid of one quad.
  const int base = model.pointCount;
  for (int k = 0; k < 4; ++k) SetPoint(model, base + k + 1, 10.0f + k % 2, static_cast<float>(k / 2), 0, 0, 0);
  model.pointCount += 4;
  SetFace(model, ++model.faceCount, base + 1, base + 2, base + 4, base + 3, 0, 0);
  Relink(model);

  model.lines[LineOf(model, 1, 2)].state = kStateSelected;
  ExpandSelection(model);
  int selected = 0;
  for (int p = 1; p <= model.pointCount; ++p) selected += model.points[p].state == kStateSelected;
  EXPECT_EQ(selected, 12) << "the border ring of the 3 x 3 grid";
  EXPECT_EQ(model.points[6].state, kStateNormal) << "an inner point";

  DeselectAll(model);
  model.points[6].state = kStateSelected;  // inner point (1, 1)
  ExpandSelection(model);
  selected = 0;
  for (int p = 1; p <= model.pointCount; ++p) selected += model.points[p].state == kStateSelected;
  EXPECT_EQ(selected, 16) << "the whole first grid and not the other";
}

TEST(RuleSelection, ThreeWireFacesIndependentEdgesAndColours) {
  Model model;
  // Three triangles on the same three points: every edge has three uses.
  for (int k = 0; k < 3; ++k) SetPoint(model, k + 1, static_cast<float>(k), static_cast<float>(k % 2), 0, 0, 0);
  SetPoint(model, 4, 5, 5, 0, 0, 0);
  SetPoint(model, 5, 6, 5, 0, 0, 0);
  model.pointCount = 5;
  for (int s = 1; s <= 3; ++s) SetFace(model, s, 1, 2, 3, 1, s == 3 ? kGuideMaterial : 2, 0);
  model.faceCount = 3;
  Relink(model);
  SetLine(model, ++model.lineCount, 4, 5, 0);  // a line of no surface

  SelectTripleFaces(model);
  EXPECT_EQ(model.faces[1].state, kStateNormal) << "the guide surface does not count";
  model.faces[3].material = 1;
  SelectTripleFaces(model);
  EXPECT_EQ(model.faces[1].state + model.faces[2].state + model.faces[3].state, 3);

  SelectIndependentLines(model);
  EXPECT_EQ(SelectedLines(model), 1);
  EXPECT_EQ(model.lines[model.lineCount].state, kStateSelected);
  EXPECT_EQ(model.faces[1].state, kStateNormal);
  model.lines[model.lineCount].state = kStateHidden;
  SelectIndependentLines(model);
  EXPECT_EQ(SelectedLines(model), 0);

  model.faces[2].state = kStateHidden;
  SelectMaterialSurfaces(model, 2, false);
  EXPECT_EQ(model.faces[1].state, kStateSelected);
  EXPECT_EQ(model.faces[2].state, kStateHidden);
  EXPECT_EQ(model.faces[3].state, kStateNormal);
  SelectMaterialSurfaces(model, 1, true);
  EXPECT_EQ(model.faces[1].state + model.faces[3].state, 2) << "kept";
}

}  // namespace
}  // namespace vexal
