// Quadify, the palette window's geometry and presses, and the colour
// dialog's rules.
#include <gtest/gtest.h>

#include <memory>

#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "support/test_models.h"
#include "tools/number_field.h"
#include "tools/palette_panel.h"
#include "tools/pointer_target.h"
#include "tools/quadify.h"

namespace vexal {
namespace {

// The unit square as two triangles over the diagonal 1-3, materials 5 and
// 3: (1,2,3) and (1,3,4), or with `against` the second wound the other way,
// (1,4,3).
void TwoTriangles(Model& m, bool against) {
  testing::UnitQuad(m);
  m.faces[1].corners = {1, 2, 3, 1};
  m.faces[1].material = 5;
  SetFaceUV(m, 1, UV(0, 0), UV(1, 0), UV(1, 1), UV(0, 0));
  if (against) {
    SetFace(m, 2, 1, 4, 3, 1, 3, 0);
    SetFaceUV(m, 2, UV(0, 0), UV(0, 1), UV(1, 1), UV(0, 0));
  } else {
    SetFace(m, 2, 1, 3, 4, 1, 3, 0);
    SetFaceUV(m, 2, UV(0, 0), UV(1, 1), UV(0, 1), UV(0, 0));
  }
  m.faceCount = 2;
  m.lineCount = 0;
  CompactModel(m, kCompactRebuildLines);
}

TEST(Quadify, TwoTrianglesBecomeOneQuadOfTheSmallerMaterial) {
  for (bool against : {false, true}) {
    auto model = std::make_unique<Model>();
    TwoTriangles(*model, against);
    const int32_t diagonal = FindLine(*model, 1, 3);
    ASSERT_NE(diagonal, 0);
    ASSERT_EQ(QuadifyAt(*model, diagonal < 0 ? -diagonal : diagonal), 1);
    PurgeMarked(*model);
    std::string reason;
    ASSERT_TRUE(ValidateModel(*model, &reason, true)) << reason;
    ASSERT_EQ(model->faceCount, 1);
    EXPECT_EQ(model->lineCount, 4);
    const FACE& quad = model->faces[1];
    EXPECT_TRUE(IsQuad(quad));
    EXPECT_EQ(quad.material, 3);
    // Each corner has the UV its point had: (x, y) of the unit square.
    for (int j = 0; j < 4; ++j) {
      const VECTOR& p = model->points[quad.corners[j]].position;
      EXPECT_EQ(quad.uv[j], UV(p.x, p.y)) << against << " corner " << j;
    }
    // The diagonal runs 3 -> 1 in (1,2,3): the quad starts after it.
    if (!against) {
      EXPECT_EQ(quad.corners, (std::array<int32_t, 4>{1, 2, 3, 4}));
    }
  }
}

TEST(Quadify, AnEdgeOfAQuadOrOfOneTriangleStays) {
  auto model = std::make_unique<Model>();
  testing::UnitQuad(*model);
  EXPECT_EQ(QuadifyAt(*model, 1), 0);
  TwoTriangles(*model, false);
  const int32_t border = FindLine(*model, 1, 2);
  EXPECT_EQ(QuadifyAt(*model, border < 0 ? -border : border), 0);
  model->faces[2].material = kGuideMaterial;  // guides do not count
  const int32_t diagonal = FindLine(*model, 1, 3);
  EXPECT_EQ(QuadifyAt(*model, diagonal < 0 ? -diagonal : diagonal), 0);
  EXPECT_EQ(model->faceCount, 2);
}

TEST(PaletteWindow, CellsFramesAndRamps) {
  EXPECT_EQ(PaletteCell(0, 0, 160, 160), (PixelRect{0, 0, 9, 10}));
  EXPECT_EQ(PaletteCell(15, 15, 160, 160), (PixelRect{150, 150, 159, 160}));
  // 100 pixels: columns are 6.25 wide.
  EXPECT_EQ(PaletteCell(1, 2, 100, 50), (PixelRect{6, 6, 11, 9}));
  EXPECT_EQ(PaletteSelectionFrame(3, 100, 50), (PixelRect{18, 0, 24, 49}));
  EXPECT_EQ(PaletteColumnAt(0, 100), 0);
  EXPECT_EQ(PaletteColumnAt(12, 100), 1);
  EXPECT_EQ(PaletteColumnAt(99, 100), 15);
  MATERIAL material;
  material.light = {233, 233, 233, 255};
  material.dark = {105, 105, 105, 255};
  EXPECT_EQ(RampColor(material, 0, 16), (std::array<int, 3>{233, 233, 233}));
  EXPECT_EQ(RampColor(material, 8, 16), (std::array<int, 3>{169, 169, 169}));
  EXPECT_EQ(RampColor(material, 15, 16), (std::array<int, 3>{113, 113, 113}));
}

class PaletteDocument : public ::testing::Test {
 protected:
  void SetUp() override {
    document = std::make_unique<Document>();
    InitializeDocument(*document);
    testing::ClosedCube(document->model);
    for (int s = 1; s <= 6; ++s) document->model.faces[s].material = s <= 3 ? 2 : 7;
    RefreshSelection(*document);
    RefreshNormals(*document, kNormalsAngleSmoothed);
    ResetUndo(*document);
  }
  int x(int column) const { return column * 10 + 5; }  // in a 160-pixel image
  std::unique_ptr<Document> document;
  PalettePanel panel;
};

TEST_F(PaletteDocument, PressesChooseTheEntryOrSelectItsSurfaces) {
  PalettePress(panel, *document, PaletteButton::kLeft, 0, x(4), 160);
  EXPECT_EQ(document->scene.paletteIndex, 4);
  EXPECT_EQ(panel.column, 4);
  PalettePress(panel, *document, PaletteButton::kMiddle, 0, x(9), 160);
  EXPECT_EQ(document->scene.paletteIndex, 4);
  EXPECT_EQ(document->undo.undoDepth, 0);

  PalettePress(panel, *document, PaletteButton::kLeft, 4, x(2), 160);  // Ctrl
  EXPECT_EQ(document->scene.paletteIndex, 4);
  for (int s = 1; s <= 6; ++s) EXPECT_EQ(document->model.faces[s].state, s <= 3 ? 1 : 0) << s;
  PalettePress(panel, *document, PaletteButton::kLeft, 1, x(7), 160);  // Shift: added
  for (int s = 1; s <= 6; ++s) EXPECT_EQ(document->model.faces[s].state, 1) << s;
  PalettePress(panel, *document, PaletteButton::kLeft, 4, x(7), 160);  // Ctrl: replaced
  for (int s = 1; s <= 6; ++s) EXPECT_EQ(document->model.faces[s].state, s <= 3 ? 0 : 1) << s;
  EXPECT_EQ(document->undo.undoDepth, 3);

}

// The window's events as Qt reports them: a double click stands in for the
// second press.
TEST_F(PaletteDocument, ADoubleClickOpensTheDialogAndTheNextPressIsARealOne) {
  const MATERIAL five = document->model.materials[5];
  const MATERIAL eight = document->model.materials[8];
  auto deliver = [&](PointerAction action, MouseButton button, int column) {
    PalettePointer target(panel, document.get(), 160);
    DeliverPointer(target, action, {button, 0, x(column), 10});
    return target.colorDialogWanted;
  };
  EXPECT_FALSE(deliver(PointerAction::kPress, MouseButton::kLeft, 3));
  deliver(PointerAction::kRelease, MouseButton::kLeft, 3);
  EXPECT_TRUE(deliver(PointerAction::kDoublePress, MouseButton::kLeft, 12));
  EXPECT_EQ(panel.column, 3) << "the press of the double click does nothing";
  deliver(PointerAction::kRelease, MouseButton::kLeft, 12);
  // After the dialog a right drag swaps two entries.
  deliver(PointerAction::kPress, MouseButton::kRight, 5);
  EXPECT_EQ(document->scene.paletteIndex, 5);
  deliver(PointerAction::kRelease, MouseButton::kRight, 8);
  EXPECT_EQ(document->model.materials[8].light, five.light);
  EXPECT_EQ(document->model.materials[5].light, eight.light);
  EXPECT_EQ(document->undo.undoDepth, 1);
  // Two quick right clicks: no dialog, and the second press still starts a
  // drag whose release swaps the entries back.
  deliver(PointerAction::kPress, MouseButton::kRight, 5);
  deliver(PointerAction::kRelease, MouseButton::kRight, 5);
  EXPECT_FALSE(deliver(PointerAction::kDoublePress, MouseButton::kRight, 5));
  deliver(PointerAction::kRelease, MouseButton::kRight, 8);
  EXPECT_EQ(document->model.materials[5].light, five.light);
  EXPECT_EQ(document->undo.undoDepth, 2);
  // Without a document nothing happens, and nothing is left to swallow the
  // next press.
  PalettePointer none(panel, nullptr, 160);
  DeliverPointer(none, PointerAction::kDoublePress, {MouseButton::kLeft, 0, x(1), 10});
  EXPECT_FALSE(none.colorDialogWanted);
  deliver(PointerAction::kPress, MouseButton::kLeft, 1);
  EXPECT_EQ(document->scene.paletteIndex, 1);
}

TEST_F(PaletteDocument, RightDragSwapsCopiesOrSwapsWithTheSurfaces) {
  const MATERIAL two = document->model.materials[2];
  const MATERIAL seven = document->model.materials[7];
  auto drag = [&](int from, int to, int modifiers) {
    PalettePress(panel, *document, PaletteButton::kRight, modifiers, x(from), 160);
    return PaletteRelease(panel, *document, x(to), 160);
  };
  // Shift: the entries and the surfaces change places, so each surface
  // still shows the colour it showed.
  ASSERT_TRUE(drag(2, 7, 1));
  EXPECT_EQ(document->model.materials[7].light, two.light);
  EXPECT_EQ(document->model.materials[2].light, seven.light);
  for (int s = 1; s <= 6; ++s) {
    const FACE& face = document->model.faces[s];
    EXPECT_EQ(document->model.materials[face.material].light, s <= 3 ? two.light : seven.light);
  }
  // Plain: only the entries.
  ASSERT_TRUE(drag(2, 7, 0));
  EXPECT_EQ(document->model.materials[2].light, two.light);
  EXPECT_EQ(document->model.faces[1].material, 7);
  // Ctrl: a copy.
  ASSERT_TRUE(drag(3, 4, 4));
  EXPECT_EQ(document->model.materials[4].light, document->model.materials[3].light);
  EXPECT_EQ(document->undo.undoDepth, 3);
  EXPECT_FALSE(drag(5, 5, 0));  // released on its own column
  StepUndo(*document, -1);
  EXPECT_EQ(document->model.materials[4].light, (std::array<int32_t, 4>{144, 255, 144, 255}));
}

TEST(ColorDialog, FieldRules) {
  EXPECT_EQ(NormalizedOpacity("300"), 255);
  EXPECT_EQ(NormalizedOpacity("-4"), 0);
  EXPECT_EQ(NormalizedOpacity("abc"), 255);
  EXPECT_EQ(NormalizedOpacity(" 17 "), 17);
  EXPECT_EQ(NormalizedSmoothing("x"), 59.5);
  EXPECT_EQ(NormalizedSmoothing("200"), 180);
  EXPECT_EQ(NormalizedSmoothing("-1"), 0);
  EXPECT_EQ(NormalizedSmoothing("30.1234567"), static_cast<double>(30.123457f));
  EXPECT_EQ(FloatFieldText(59.5f), "59.5");
  EXPECT_EQ(FloatFieldText(180), "180");
  EXPECT_EQ(FloatFieldText(0.0000001f), "0");
  MATERIAL material;
  material.light = {255, 101, 3, 255};
  SetDarkToHalfOfLight(material);
  EXPECT_EQ(material.dark[0], 127);
  EXPECT_EQ(material.dark[1], 50);
  EXPECT_EQ(material.dark[2], 1);
}

TEST(ColorDialog, OkWritesTheEntryAsOneStepAndRefusesOverlongPaths) {
  auto document = std::make_unique<Document>();
  InitializeDocument(*document);
  testing::UnitQuad(document->model);
  ResetUndo(*document);
  MaterialEdit edit = EditOfMaterial(document->model.materials[6]);
  EXPECT_EQ(edit.name, "mat_06");
  edit.name = "";
  edit.opacity = 128;
  edit.texture = "skin.png";
  edit.light = {10, 20, 30};
  std::string reason;
  ASSERT_TRUE(ApplyMaterialEdit(*document, 6, edit, &reason)) << reason;
  const MATERIAL& entry = document->model.materials[6];
  EXPECT_EQ(TextOf(entry.name), "mat_06");
  EXPECT_EQ(TextOf(entry.texture), "skin.png");
  EXPECT_EQ(entry.light, (std::array<int32_t, 4>{10, 20, 30, 128}));
  EXPECT_EQ(entry.dark[3], 128);
  EXPECT_EQ(document->undo.undoDepth, 1);

  edit.texture = std::string(255, 'a');
  EXPECT_FALSE(ApplyMaterialEdit(*document, 6, edit, &reason));
  EXPECT_EQ(TextOf(document->model.materials[6].texture), "skin.png");
  EXPECT_EQ(document->undo.undoDepth, 1);
  edit.texture = std::string(254, 'a');
  EXPECT_TRUE(ApplyMaterialEdit(*document, 6, edit, &reason));
}

}  // namespace
}  // namespace vexal
