#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "support/test_models.h"

namespace vexal {
namespace {

class RecordingObserver : public DocumentObserver {
 public:
  void undoButtonsChanged(bool undo, bool redo) override {
    canUndo = undo;
    canRedo = redo;
  }
  void textureChanged(int material) override { reloads.push_back(material); }
  void countLineChanged(std::string_view text) override { countLine = text; }
  bool canUndo = false;
  bool canRedo = false;
  std::vector<int> reloads;
  std::string countLine;
};

// A document opened on the unit quad, with its history reset.
struct OpenedDocument {
  OpenedDocument() {
    document.observer = &observer;
    testing::UnitQuad(document.model);
    ResetUndo(document);
    document.scene.modified = 0;
  }
  // One edit: move point 1 along x by one.
  void edit() {
    document.model.points[1].position.x += 1.0f;
    PushUndo(document, 1);
  }
  float x() const { return document.model.points[1].position.x; }
  Document document;
  RecordingObserver observer;
};

TEST(Undo, NineStepsBackAfterElevenEdits) {
  OpenedDocument opened;
  for (int i = 0; i < 11; ++i) opened.edit();
  EXPECT_EQ(opened.x(), 11.0f);
  int steps = 0;
  while (opened.document.undo.undoDepth > 0) {
    StepUndo(opened.document, -1);
    ++steps;
  }
  EXPECT_EQ(steps, 9);
  EXPECT_EQ(opened.x(), 2.0f);  // the state after the second edit
  EXPECT_FALSE(opened.observer.canUndo);
  EXPECT_TRUE(opened.observer.canRedo);
  while (opened.document.undo.redoDepth > 0) StepUndo(opened.document, 1);
  EXPECT_EQ(opened.x(), 11.0f);
}

// A ring of n slots keeps n - 1 steps back, whatever n the settings give;
// sizes outside 2..1000 are brought back into that range.
TEST(Undo, ARingOfNSlotsKeepsNMinusOneStepsBack) {
  struct Case {
    int requested;
    int slots;
  };
  for (const Case& c : {Case{10, 10}, Case{2, 2}, Case{50, 50}, Case{1, 2}, Case{-7, 2},
                        Case{1001, 1000}}) {
    SCOPED_TRACE(c.requested);
    Document document;
    InitializeDocument(document, c.requested);
    ASSERT_EQ(document.undo.slotCount(), c.slots);
    testing::UnitQuad(document.model);
    ResetUndo(document);
    const int edits = std::min(c.slots + 3, 60);
    for (int i = 1; i <= edits; ++i) {
      document.model.points[1].position.x = static_cast<float>(i);
      PushUndo(document, 1);
    }
    int steps = 0;
    while (document.undo.undoDepth > 0) {
      StepUndo(document, -1);
      ++steps;
      ASSERT_EQ(document.model.points[1].position.x, static_cast<float>(edits - steps));
    }
    EXPECT_EQ(steps, std::min(edits, c.slots - 1));
    for (int i = 0; i < steps; ++i) StepUndo(document, 1);
    EXPECT_EQ(document.model.points[1].position.x, static_cast<float>(edits));
    EXPECT_EQ(document.undo.redoDepth, 0);
  }
}

// Slots are filled only by pushes: a deep ring costs nothing until used,
// and a filled slot holds exactly records 0..count of each table.
TEST(Undo, SlotMemoryFollowsTheModelNotTheDepth) {
  Document document;
  InitializeDocument(document, 1000);
  const size_t empty = document.undo.memoryBytes();
  EXPECT_LT(empty, size_t{1000} * (sizeof(ModelSnapshot) + 1));
  testing::UnitQuad(document.model);
  ResetUndo(document);
  const size_t perSlot = (document.model.pointCount + 1) * sizeof(VERT) +
                         (document.model.lineCount + 1) * sizeof(LINE) +
                         (document.model.faceCount + 1) * sizeof(FACE);
  for (int i = 0; i < 5; ++i) PushUndo(document, 1);
  EXPECT_EQ(document.undo.memoryBytes(), empty + 6 * perSlot);
}

TEST(Undo, AnEditAfterUndoDropsTheRedoStates) {
  OpenedDocument opened;
  opened.edit();
  opened.edit();
  opened.edit();
  StepUndo(opened.document, -1);
  StepUndo(opened.document, -1);
  EXPECT_EQ(opened.x(), 1.0f);
  EXPECT_TRUE(opened.observer.canRedo);
  opened.edit();
  EXPECT_EQ(opened.document.undo.redoDepth, 0);
  EXPECT_FALSE(opened.observer.canRedo);
  StepUndo(opened.document, -1);
  EXPECT_EQ(opened.x(), 1.0f);
}

TEST(Undo, RestoresTopologyExactlyAndMarksModified) {
  OpenedDocument opened;
  Document& document = opened.document;
  EXPECT_EQ(document.scene.modified, 0);
  const Model before = document.model;
  // Split the quad into two triangles through a new point.
  Model& model = document.model;
  SetPoint(model, 5, 0.5f, 0.5f, 0, 0, 0);
  model.pointCount = 5;
  SetFace(model, 1, 1, 2, 5, 1, 3, 0);
  SetFace(model, 2, 2, 3, 4, 2, 4, 0);
  model.faceCount = 2;
  model.lineCount = 0;
  ASSERT_EQ(CompactModel(model, kCompactRebuildLines), 1);
  RefreshSelection(document);
  PushUndo(document, 1);
  EXPECT_EQ(document.scene.modified, 1);
  EXPECT_EQ(opened.observer.countLine, " P:   5 L:   6 S:   2");

  StepUndo(document, -1);
  ASSERT_EQ(model.pointCount, before.pointCount);
  ASSERT_EQ(model.lineCount, before.lineCount);
  ASSERT_EQ(model.faceCount, before.faceCount);
  EXPECT_EQ(model.faces[1].corners, before.faces[1].corners);
  EXPECT_EQ(model.faces[1].lines, before.faces[1].lines);
  EXPECT_EQ(model.faces[1].material, before.faces[1].material);
  // Records past the restored counts are cleared, not left stale.
  EXPECT_EQ(model.points[5].position, VECTOR());
  EXPECT_EQ(model.faces[2].corners, (std::array<int32_t, 4>{0, 0, 0, 0}));
  std::string reason;
  EXPECT_TRUE(ValidateModel(model, &reason, true)) << reason;

  StepUndo(document, 1);
  EXPECT_EQ(model.pointCount, 5);
  EXPECT_EQ(model.faces[2].material, 4);
}

TEST(Undo, TextureNameChangesAskForReloadsBothWays) {
  OpenedDocument opened;
  SetText(opened.document.model.materials[3].texture, "brick.png");
  PushUndo(opened.document, 1);
  EXPECT_EQ(opened.observer.reloads, std::vector<int>{3});
  opened.observer.reloads.clear();
  opened.edit();  // same names: no reload
  EXPECT_TRUE(opened.observer.reloads.empty());
  StepUndo(opened.document, -1);
  StepUndo(opened.document, -1);
  EXPECT_EQ(TextOf(opened.document.model.materials[3].texture), "");
  EXPECT_EQ(opened.observer.reloads, std::vector<int>{3});
}

TEST(Undo, SelectionIsPartOfTheHistory) {
  OpenedDocument opened;
  Document& document = opened.document;
  for (int p = 1; p <= 4; ++p) document.model.points[p].state = kStateSelected;
  RefreshSelection(document);
  PushUndo(document, 1);
  EXPECT_EQ(document.model.faces[1].state, kStateSelected);
  StepUndo(document, -1);
  EXPECT_EQ(document.model.points[1].state, kStateNormal);
  EXPECT_EQ(document.scene.selectedCount, 0);
}

TEST(Undo, ProvisionalPushOverwritesAndCancelStepsBack) {
  OpenedDocument opened;
  Document& document = opened.document;
  opened.edit();  // x = 1
  // A transform drag that began with a copy: its own push, then provisional.
  opened.edit();  // x = 2
  document.mode.provisional = 1;
  document.model.points[1].position.x = 5.0f;
  PushUndo(document, 1);  // overwrites the provisional slot
  EXPECT_EQ(document.undo.undoDepth, 2);
  StepUndo(document, -1);
  EXPECT_EQ(opened.x(), 1.0f);

  opened.edit();  // x = 2
  document.mode.provisional = 1;
  StepUndo(document, 1);  // any step while provisional goes one back
  EXPECT_EQ(opened.x(), 1.0f);
  EXPECT_EQ(document.mode.provisional, 0);
}

TEST(Undo, RevertDropsUnpushedChangesAndEndsGestures) {
  OpenedDocument opened;
  Document& document = opened.document;
  document.model.points[1].position.x = 42.0f;
  document.mode.tool = 50;
  document.mode.savedTool = kToolMove;
  document.mode.state = 1;
  StepUndo(document, 0);
  EXPECT_EQ(opened.x(), 0.0f);
  EXPECT_EQ(document.mode.tool, kToolMove);
  EXPECT_EQ(document.mode.savedTool, -1);
  EXPECT_EQ(document.mode.state, 0);
}

TEST(FinishPendingDraw, RevertsAnEmptyChainOrDropsTheRubberBand) {
  // Nothing completed: the open line still starts at the chain start.
  {
    OpenedDocument opened;
    Document& document = opened.document;
    Model& model = document.model;
    SetPoint(model, 5, 3, 3, 0, 0, 0);
    model.pointCount = 5;
    SetLine(model, 5, 5, 5, 0);
    model.lineCount = 5;
    document.mode.tool = kToolPoint;
    document.mode.state = 1;
    document.mode.chainStart = 5;
    FinishPendingDraw(document);
    EXPECT_EQ(model.pointCount, 4);
    EXPECT_EQ(model.lineCount, 4);
    EXPECT_EQ(document.undo.undoDepth, 0);
    EXPECT_EQ(document.mode.state, 0);
  }
  // One segment drawn: the rubber-band line goes, one history step is added.
  {
    OpenedDocument opened;
    Document& document = opened.document;
    Model& model = document.model;
    SetPoint(model, 5, 3, 3, 0, 0, 0);
    SetPoint(model, 6, 4, 3, 0, 0, 0);
    model.pointCount = 6;
    SetLine(model, 5, 5, 6, 0);
    SetLine(model, 6, 6, 6, 0);
    model.lineCount = 6;
    document.mode.tool = kToolPoint;
    document.mode.state = 1;
    document.mode.chainStart = 5;
    FinishPendingDraw(document);
    EXPECT_EQ(model.lineCount, 5);
    EXPECT_EQ(document.undo.undoDepth, 1);
    EXPECT_EQ(document.mode.state, 0);
  }
}

TEST(CountLine, WidthsAndGuides) {
  Model model;
  testing::ClosedCube(model);
  EXPECT_EQ(CountLineText(model), " P:   8 L:  12 S:  12");
  model.faces[1].material = kGuideMaterial;
  EXPECT_EQ(CountLineText(model), " P:   8 L:  12 S:  10");
  model.pointCount = 10000;
  model.lineCount = 9999;
  EXPECT_EQ(CountLineText(model), " P10000 L:9999 S:  10");
}

}  // namespace
}  // namespace vexal
