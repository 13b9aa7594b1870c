// Copy, Cut and Paste through the workspace's clipboard, within one
// document and into another.
#include "commands/clipboard.h"

#include <gtest/gtest.h>

#include "commands/clipboard.h"
#include "model/table_room.h"
#include "support/test_models.h"
#include "commands/command_fixture.h"
#include "symmetric_models.h"

namespace vexal {
namespace {

using testing::CommandFixture;

class Clipboard : public CommandFixture {};

TEST_F(Clipboard, OneSelectedPointOfAMirroredPairArrivesWithItsPartner) {
  load(testing::MirroredPair);
  select({1});
  run("CopyItem");
  EXPECT_EQ(workspace.clipboard.pointCount, 2);
  EXPECT_EQ(workspace.clipboard.lineCount, 0);  // the line is not selected
  run("PasteItem");
  ASSERT_EQ(model().pointCount, 4);
  EXPECT_EQ(model().lineCount, 1);
  EXPECT_EQ(model().points[3].mirror, 4);
  EXPECT_EQ(model().points[4].mirror, 3);
  EXPECT_EQ(model().points[3].state, kStateSelected);
  EXPECT_EQ(model().points[4].state, kStateSelected);
  EXPECT_EQ(model().points[1].state, kStateNormal);
  EXPECT_EQ(model().points[3].position, model().points[1].position);
  EXPECT_EQ(document->scene.selectedCount, 2);
}

TEST_F(Clipboard, ASelectedQuadTakesItsMirrorQuadAlong) {
  load(testing::SymmetricStrip);
  select({1, 3, 6, 4});  // the left quad
  ASSERT_EQ(model().faces[1].state, kStateSelected);
  ASSERT_NE(model().faces[2].state, kStateSelected);
  run("CopyItem");
  EXPECT_EQ(workspace.clipboard.pointCount, 6);
  EXPECT_EQ(workspace.clipboard.lineCount, 7);
  EXPECT_EQ(workspace.clipboard.faceCount, 2);
  run("PasteItem");
  ASSERT_EQ(model().faceCount, 4);
  EXPECT_EQ(model().lineCount, 14);
  for (int s = 3; s <= 4; ++s) EXPECT_EQ(model().faces[s].state, kStateSelected) << s;
  for (int s = 1; s <= 2; ++s) EXPECT_EQ(model().faces[s].state, kStateNormal) << s;
  // The pasted copy is symmetric in itself: partners renumbered among the
  // pasted points, the points on the plane their own partners.
  for (int p = 7; p <= 12; ++p) {
    const int32_t partner = model().points[p].mirror;
    ASSERT_GE(partner, 7) << p;
    EXPECT_EQ(model().points[partner].position.x, -model().points[p].position.x) << p;
  }
  EXPECT_EQ(model().faces[3].uv, model().faces[1].uv);
}

TEST_F(Clipboard, PasteIntoAnotherDocumentAppendsAfterItsOwnRecords) {
  load(testing::SymmetricStrip);
  selectAll();
  run("CopyItem");

  Document other;
  InitializeDocument(other);
  testing::ClosedCube(other.model);
  other.model.points[2].state = kStateSelected;
  RefreshSelection(other);
  ResetUndo(other);
  CommandTarget second = target;
  second.document = &other;
  ASSERT_TRUE(CommandEnabled("PasteItem", second));
  ASSERT_TRUE(RunCommand("PasteItem", second).ok());
  EXPECT_TRUE(testing::Valid(other.model));
  EXPECT_EQ(other.model.pointCount, 8 + 6);
  EXPECT_EQ(other.model.lineCount, 12 + 7);
  EXPECT_EQ(other.model.faceCount, 6 + 2);
  EXPECT_EQ(other.model.points[2].state, kStateNormal);  // its own selection is gone
  EXPECT_EQ(other.scene.selectedCount, 6);
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(other.model.faces[7].corners[j], model().faces[1].corners[j] + 8);
    const int32_t r = model().faces[1].lines[j];
    EXPECT_EQ(other.model.faces[7].lines[j], r > 0 ? r + 12 : r - 12);
  }
  EXPECT_EQ(other.undo.undoDepth, 1);
  EXPECT_EQ(document->undo.undoDepth, 1);  // the source document has only the selection step
}

TEST_F(Clipboard, CutThenUndoRestoresTheDocumentAndKeepsTheClipboard) {
  load(testing::SymmetricStrip);
  auto original = std::make_unique<Model>(model());
  select({1});
  run("CutItem");
  EXPECT_EQ(model().pointCount, 4);
  EXPECT_EQ(model().faceCount, 0);
  EXPECT_EQ(workspace.clipboard.pointCount, 2);
  ASSERT_TRUE(RunCommand("UndoItem", target).ok());
  ASSERT_TRUE(RunCommand("UndoItem", target).ok());
  EXPECT_TRUE(testing::SameRecords(model(), *original));
  EXPECT_EQ(workspace.clipboard.pointCount, 2);
  EXPECT_TRUE(CommandEnabled("PasteItem", target));
}

TEST_F(Clipboard, PointFlagsTravelAndEmptyOrNoSelectionLeaveTheClipboardAlone) {
  load(testing::MirroredPair);
  EXPECT_FALSE(CommandEnabled("PasteItem", target));
  EXPECT_EQ(RunCommand("PasteItem", target).status, CommandStatus::kDisabled);
  EXPECT_EQ(RunCommand("CopyItem", target).status, CommandStatus::kDisabled);
  CopySelection(*document, workspace.clipboard);  // nothing selected: nothing copied
  EXPECT_TRUE(workspace.clipboard.empty());

  model().points[2].flags = kPointTemplateFlag | 4;
  select({1, 2});
  run("CopyItem");
  run("PasteItem");
  EXPECT_EQ(model().points[4].flags, kPointTemplateFlag | 4);
  EXPECT_EQ(model().lineCount, 2);
  EXPECT_EQ(model().lines[2].a, 3);
}

TEST_F(Clipboard, PasteThatWouldPassTheTablesIsRefusedUntouched) {
  // 9,999 points and 19,998 lines: one more line fits, two do not.
  load([](Model& m) { testing::QuadTorus(m, 99, 101); });
  select({1, 2, 3});
  run("CopyItem");
  ASSERT_EQ(workspace.clipboard.lineCount, 2);
  EXPECT_EQ(refuse("PasteItem"), kTableFullText);
  // The same geometry fits a smaller document.
  Document other;
  InitializeDocument(other);
  testing::UnitQuad(other.model);
  ResetUndo(other);
  CommandTarget second = target;
  second.document = &other;
  EXPECT_TRUE(RunCommand("PasteItem", second).ok());
  EXPECT_EQ(other.model.pointCount, 7);
}

}  // namespace
}  // namespace vexal
