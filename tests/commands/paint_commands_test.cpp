// Create Face and Paint, Repaint Face and the palette commands.
#include <gtest/gtest.h>

#include "commands/create_faces.h"
#include "model/table_room.h"
#include "support/test_models.h"
#include "commands/command_fixture.h"

namespace vexal {
namespace {

using testing::CommandFixture;

class CreateFaces : public CommandFixture {
 protected:
  // The four lines of a unit square 1-2-3-4, optionally with the diagonal
  // 1-3, and no surface.
  void square(bool diagonal) {
    load([diagonal](Model& m) {
      testing::UnitQuad(m);
      m.faceCount = 0;
      m.faces[1] = FACE{};
      if (diagonal) SetLine(m, ++m.lineCount, 1, 3, 0);
    });
  }
};

TEST_F(CreateFaces, ASquareOfLinesBecomesOneQuadInTheCurrentMaterial) {
  square(false);
  document->scene.paletteIndex = 7;
  run("PaintAllItem");
  ASSERT_EQ(model().faceCount, 1);
  const FACE& quad = model().faces[1];
  EXPECT_EQ(quad.corners, (std::array<int32_t, 4>{1, 2, 3, 4}));
  EXPECT_EQ(quad.material, 7);
  EXPECT_EQ(quad.uv[2], UV(0, 0));
  // Run again: the loop is covered, nothing is added.
  run("PaintAllItem");
  EXPECT_EQ(model().faceCount, 1);
}

TEST_F(CreateFaces, WithADiagonalTheSquareBecomesTwoTrianglesOnce) {
  square(true);
  run("PaintAllItem");
  ASSERT_EQ(model().faceCount, 2);
  EXPECT_EQ(model().faces[1].corners, (std::array<int32_t, 4>{1, 2, 3, 1}));
  EXPECT_EQ(model().faces[2].corners, (std::array<int32_t, 4>{1, 3, 4, 1}));
  run("PaintAllItem");
  EXPECT_EQ(model().faceCount, 2);
}

TEST_F(CreateFaces, ExistingSurfacesAreNeitherDuplicatedNorRepainted) {
  load(testing::ClosedCube);
  document->scene.paletteIndex = 4;
  run("PaintAllItem");
  EXPECT_EQ(model().faceCount, 6);
  for (int s = 1; s <= 6; ++s) EXPECT_EQ(model().faces[s].material, 0);
}

TEST_F(CreateFaces, SelectionModeTakesOnlySelectedLinesAndHiddenLinesNever) {
  square(false);
  // Three of the four points selected: the line 3-4... only lines with
  // both ends selected are selected, so no loop is complete.
  select({1, 2, 3});
  run("PaintSelectItem");
  EXPECT_EQ(model().faceCount, 0);
  select({4});
  run("PaintSelectItem");
  EXPECT_EQ(model().faceCount, 1);

  square(false);
  model().lines[2].state = kStateHidden;
  RefreshSelection(*document);
  PushUndo(*document, 1);
  run("PaintAllItem");
  EXPECT_EQ(model().faceCount, 0);
}

TEST_F(CreateFaces, SurfacesBeyondTheTablesAreRefusedUntouched) {
  checkLines = false;
  load([](Model& m) {
    // The 19,998 triangles of a torus without their lines, and two free
    // squares of lines: the two quads would make 20,000 surfaces.
    testing::TriangleTorus(m, 99, 101);
    m.lineCount = 0;
    for (int s = 1; s <= m.faceCount; ++s) m.faces[s].lines = {0, 0, 0, 0};
    int p = m.pointCount;
    for (int square = 0; square < 2; ++square) {
      const float z = 10.0f + static_cast<float>(square);
      SetPoint(m, p + 1, 0, 0, z, 0, 0);
      SetPoint(m, p + 2, 1, 0, z, 0, 0);
      SetPoint(m, p + 3, 1, 1, z, 0, 0);
      SetPoint(m, p + 4, 0, 1, z, 0, 0);
      for (int j = 0; j < 4; ++j) SetLine(m, ++m.lineCount, p + 1 + j, p + 1 + (j + 1) % 4, 0);
      p += 4;
    }
    m.pointCount = p;
  });
  ASSERT_EQ(model().faceCount, 19998);
  EXPECT_EQ(refuse("PaintAllItem"), kTableFullText);
}

class Palette : public CommandFixture {};

TEST_F(Palette, RepaintGivesSelectedSurfacesTheCurrentMaterial) {
  load(testing::ClosedCube);
  select({5, 6, 7, 8});
  document->scene.paletteIndex = 11;
  run("RepaintItem");
  EXPECT_EQ(model().faces[2].material, 11);
  EXPECT_EQ(model().faces[1].material, 0);
}

TEST_F(Palette, CopyRecordsNothingPasteOneStepIntoAnotherDocument) {
  load(testing::UnitQuad);
  EXPECT_FALSE(CommandEnabled("PalettePasteItem", target));
  EXPECT_EQ(RunCommand("PalettePasteItem", target).status, CommandStatus::kDisabled);
  SetMaterialColors(model(), 3, 1, 2, 3, 200, 4, 5, 6, 200);
  SetText(model().materials[3].texture, "wood.png");
  model().materials[3].textureLoaded = 1;
  PushUndo(*document, 1);
  run("PaletteCopyItem");
  EXPECT_EQ(document->undo.undoDepth, 1);

  Document other;
  InitializeDocument(other);
  testing::UnitQuad(other.model);
  ResetUndo(other);
  CommandTarget second = target;
  second.document = &other;
  ASSERT_TRUE(CommandEnabled("PalettePasteItem", second));
  ASSERT_TRUE(RunCommand("PalettePasteItem", second).ok());
  EXPECT_EQ(other.undo.undoDepth, 1);
  EXPECT_EQ(other.model.materials[3].light, (std::array<int32_t, 4>{1, 2, 3, 200}));
  EXPECT_EQ(TextOf(other.model.materials[3].texture), "wood.png");
  // The other document has loaded no texture of its own yet.
  EXPECT_EQ(other.model.materials[3].textureLoaded, 0);
  ASSERT_TRUE(RunCommand("UndoItem", second).ok());
  EXPECT_EQ(TextOf(other.model.materials[3].texture), "");
}

TEST_F(Palette, MovingTheCurrentEntryWrapsAndRecordsNoStep) {
  load(testing::UnitQuad);
  run("LeftMovePalItem");
  EXPECT_EQ(document->scene.paletteIndex, 15);
  run("RightMovePalItem");
  run("RightMovePalItem");
  EXPECT_EQ(document->scene.paletteIndex, 1);
  EXPECT_EQ(document->undo.undoDepth, 0);
}

struct ReloadRecorder : DocumentObserver {
  std::vector<int> reloaded;
  int redraws = 0;
  void textureChanged(int material) override { reloaded.push_back(material); }
  void redrawRequested() override { ++redraws; }
};

TEST_F(Palette, ReloadAsksForTheCurrentEntryOrAllSixteen) {
  load(testing::UnitQuad);
  ReloadRecorder recorder;
  document->observer = &recorder;
  document->scene.paletteIndex = 6;
  run("SelectPaletteReloadItem");
  EXPECT_EQ(recorder.reloaded, std::vector<int>{6});
  recorder.reloaded.clear();
  run("AllPaletteReloadItem");
  EXPECT_EQ(recorder.reloaded.size(), 16u);
  EXPECT_EQ(recorder.reloaded.back(), 15);
  EXPECT_EQ(recorder.redraws, 2);
  EXPECT_EQ(document->undo.undoDepth, 0);
  document->observer = nullptr;
}

}  // namespace
}  // namespace vexal
