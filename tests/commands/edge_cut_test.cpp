// Edge Cut on the edge-split machinery.
#include <gtest/gtest.h>

#include <set>

#include "model/table_room.h"
#include "commands/edge_cut_selection.h"
#include "support/test_models.h"
#include "tools/edge_cut.h"
#include "commands/command_fixture.h"

namespace vexal {
namespace {

using testing::CommandFixture;

// A closed band of `around` quads around the y axis, rungs at x/z on the
// unit circle from y = 0 to y = 1: points 1..around at y = 0, then the
// ring above.
void Band(Model& m, int around) {
  ClearModel(m);
  for (int r = 0; r <= 1; ++r) {
    for (int c = 0; c < around; ++c) {
      const float angle = 6.2831853f * static_cast<float>(c) / static_cast<float>(around);
      SetPoint(m, r * around + c + 1, std::cos(angle), static_cast<float>(r), std::sin(angle), 0,
               0);
    }
  }
  m.pointCount = 2 * around;
  for (int c = 0; c < around; ++c) {
    const int next = (c + 1) % around;
    SetFace(m, c + 1, c + 1, around + c + 1, around + next + 1, next + 1, 0, 0);
  }
  m.faceCount = around;
  CompactModel(m, kCompactRebuildLines);
}

class EdgeCutTest : public CommandFixture {
 protected:
  int32_t lineBetween(int a, int b) {
    const int32_t line = FindLine(model(), a, b);
    return line < 0 ? -line : line;
  }
  void selectLine(int a, int b) {
    model().lines[lineBetween(a, b)].state = kStateSelected;
    RefreshSelection(*document);
    PushUndo(*document, 1);
  }
};

TEST_F(EdgeCutTest, OneRungOfAClosedBandCutsAllFourQuads) {
  load([](Model& m) { Band(m, 4); });
  selectLine(1, 5);
  run("LoopSplitItem");
  EXPECT_EQ(model().pointCount, 12);
  EXPECT_EQ(model().faceCount, 8);
  EXPECT_EQ(model().lineCount, 20);
  for (int p = 9; p <= 12; ++p) EXPECT_FLOAT_EQ(model().points[p].position.y, 0.5f);
  // And Attach Loop on the new ring takes it away again.
  // (The halves of the cut rung stay selected, as the rung was.)
  DeselectAll(model());
  model().lines[lineBetween(9, 10)].state = kStateSelected;
  RefreshSelection(*document);
  PushUndo(*document, 1);
  run("LoopAttachItem");
  EXPECT_EQ(model().pointCount, 8);
  EXPECT_EQ(model().faceCount, 4);
  EXPECT_EQ(model().lineCount, 12);
}

TEST_F(EdgeCutTest, RungsRunningEitherWayAreCutAQuarterFromTheSameSide) {
  load([](Model& m) {
    Band(m, 6);
    // Turn every other rung round so the ring alternates in direction.
    for (int c = 0; c < 6; c += 2) {
      const int32_t line = FindLine(m, c + 1, c + 7);
      LINE& rung = m.lines[line < 0 ? -line : line];
      std::swap(rung.a, rung.b);
    }
    RelinkFaces(m);
  });
  // Rung 1-7 now runs from the top (7) down: a quarter from its first point
  // is three quarters up.
  const int32_t first = lineBetween(1, 7);
  ASSERT_EQ(model().lines[first].a, 7);
  ASSERT_EQ(EdgeCut(*document, first, 0.25f), EdgeCutResult::kCut);
  ASSERT_TRUE(testing::Valid(model()));
  EXPECT_EQ(model().pointCount, 18);
  for (int p = 13; p <= 18; ++p) EXPECT_FLOAT_EQ(model().points[p].position.y, 0.75f) << p;
}

TEST_F(EdgeCutTest, TheRingStopsAtATriangle) {
  // Three quads in a row, the last one split into two triangles.
  load([](Model& m) {
    testing::QuadGrid(m, 3, 1);
    const int32_t c0 = m.faces[3].corners[0], c1 = m.faces[3].corners[1];
    const int32_t c2 = m.faces[3].corners[2], c3 = m.faces[3].corners[3];
    m.faces[3].corners = {c0, c1, c2, c0};
    SetFace(m, 4, c0, c2, c3, c0, 0, 0);
    m.faceCount = 4;
    m.lineCount = 0;
    CompactModel(m, kCompactRebuildLines);
  });
  // The left border of the row: the ring runs through the first two quads
  // and ends on the edge it shares with the triangles.
  selectLine(1, 5);
  run("LoopSplitItem");
  EXPECT_EQ(model().pointCount, 8 + 3);
  int quads = 0;
  for (int s = 1; s <= model().faceCount; ++s) quads += IsQuad(model(), s);
  EXPECT_EQ(quads, 4);
}

TEST_F(EdgeCutTest, NothingToCutRecordsNothing) {
  load(testing::UnitQuad);
  const int slot = document->undo.current;
  EXPECT_EQ(EdgeCut(*document, 0, 0.5f), EdgeCutResult::kNothing);
  EXPECT_EQ(EdgeCut(*document, 1, 1.0f), EdgeCutResult::kNothing);
  EXPECT_EQ(document->undo.current, slot);
}

TEST_F(EdgeCutTest, AtTheLimitItIsRefusedUntouched) {
  // 9,999 quads and 19,998 lines: no ring fits another line per quad.
  load([](Model& m) { testing::QuadTorus(m, 99, 101); });
  model().lines[1].state = kStateSelected;
  RefreshSelection(*document);
  EXPECT_EQ(refuse("LoopSplitItem"), kTableFullText);
}

}  // namespace
}  // namespace vexal
