// The typed transforms of the "Enter A Number" window: each page on small
// models with the positions worked out by hand, the view-relative variants,
// the mirror rules, the remembered position and the field rules.
#include "commands/numeric_transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "commands/command_fixture.h"
#include "model/camera.h"
#include "model/maintenance.h"
#include "support/test_models.h"
#include "tools/number_field.h"

namespace vexal {
namespace {

void ExpectNear(const VECTOR& actual, const VECTOR& expected, float tolerance,
                const std::string& where) {
  EXPECT_NEAR(actual.x, expected.x, tolerance) << where;
  EXPECT_NEAR(actual.y, expected.y, tolerance) << where;
  EXPECT_NEAR(actual.z, expected.z, tolerance) << where;
}

class NumericTransform : public testing::CommandFixture {
 protected:
  // Runs one window action as an edit: done, valid, one undo step, and
  // undo then redo give back exactly the records before and after.
  void Edit(const std::function<CommandResult()>& action, const std::string& where) {
    testing::CopyLive(model(), *modelBefore);
    const int depth = document->undo.undoDepth;
    const CommandResult result = action();
    ASSERT_TRUE(result.ok()) << where << ": " << result.refusal.reason;
    std::string reason;
    ASSERT_TRUE(ValidateModel(model(), &reason, true)) << where << ": " << reason;
    ASSERT_EQ(document->undo.undoDepth, depth + 1) << where;
    testing::CopyLive(model(), *modelAfter);
    StepUndo(*document, -1);
    ASSERT_TRUE(testing::SameRecords(model(), *modelBefore)) << where << ": undo differs";
    ASSERT_TRUE(ValidateModel(model(), &reason, true)) << where << " after undo: " << reason;
    StepUndo(*document, 1);
    ASSERT_TRUE(testing::SameRecords(model(), *modelAfter)) << where << ": redo differs";
    ASSERT_TRUE(ValidateModel(model(), &reason, true)) << where << " after redo: " << reason;
  }

  void Apply(NumericPage page, const NumericValues& values, const std::string& where) {
    Edit([&] { return ApplyNumericPage(*document, page, values); }, where);
  }

  // A refusal leaves the model and the history as they were.
  void ExpectRefused(const std::function<CommandResult()>& action, const std::string& where) {
    testing::CopyLive(model(), *modelBefore);
    const int depth = document->undo.undoDepth;
    const CommandResult result = action();
    EXPECT_EQ(result.status, CommandStatus::kRefused) << where;
    EXPECT_FALSE(result.refusal.reason.empty()) << where;
    EXPECT_EQ(document->undo.undoDepth, depth) << where;
    EXPECT_TRUE(testing::SameRecords(model(), *modelBefore)) << where << " changed the model";
  }

  // The mirrored pair (-1,0,0) -- (1,0,0) with an unpartnered point 3 at
  // (2,0,0): all three selected, so pairs are selected on both sides.
  void PairAndLoosePoint() {
    testing::MirroredPair(model());
    SetPoint(model(), 3, 2, 0, 0, 0, 0);
    model().pointCount = 3;
    begin({1, 2, 3});
    ASSERT_GE(document->scene.mirrorSelection, 2);
  }
};

TEST_F(NumericTransform, GoMovesOnlyPointsSelectedThemselvesOrPlacesThePivot) {
  testing::UnitQuad(model());
  model().lines[3].state = kStateSelected;  // 3-4: points 3 and 4 by their line only
  begin({1, 2});
  EXPECT_EQ(document->scene.handle, VECTOR(0.5f, 0.5f, 0));

  NumericValues values;
  values.go = VECTOR(1, 2, 3);
  Apply(NumericPage::kGo, values, "Go");
  EXPECT_EQ(position(1), VECTOR(1, 2, 3));
  EXPECT_EQ(position(2), VECTOR(2, 2, 3));
  EXPECT_EQ(position(3), VECTOR(1, 1, 0));
  EXPECT_EQ(position(4), VECTOR(0, 1, 0));
  ASSERT_EQ(document->scene.handle, VECTOR(1, 1.5f, 1.5f));

  // The pivot lands on the typed place; the view box, disabled in this
  // mode, must not turn the difference.
  model().lines[3].state = kStateNormal;
  begin({1, 2});  // pivot (1.5, 2, 3)
  values.go = VECTOR(5, 5, 5);
  values.placeNewCoordinate = true;
  values.moveUsingView = true;
  document->scene.angle = VECTOR(30, 45, 0);
  Apply(NumericPage::kGo, values, "Place new coordinate");
  EXPECT_EQ(position(1), VECTOR(4.5f, 5, 5));
  EXPECT_EQ(position(2), VECTOR(5.5f, 5, 5));
  EXPECT_EQ(document->scene.handle, VECTOR(5, 5, 5));
}

TEST_F(NumericTransform, GoKeepsXWhenPairsAreSelectedOnBothSides) {
  PairAndLoosePoint();
  NumericValues values;
  values.go = VECTOR(3, 1, 2);
  Apply(NumericPage::kGo, values, "Go with pairs");
  EXPECT_EQ(position(1), VECTOR(-1, 1, 2));
  EXPECT_EQ(position(2), VECTOR(1, 1, 2));
  EXPECT_EQ(position(3), VECTOR(2, 1, 2));

  // One side only: x moves, and the partner follows as the mirror image.
  DeselectAll(model());
  begin({2});
  ASSERT_LT(document->scene.mirrorSelection, 2);
  Apply(NumericPage::kGo, values, "Go one side");
  EXPECT_EQ(position(2), VECTOR(4, 2, 4));
  EXPECT_EQ(position(1), VECTOR(-4, 2, 4));
}

TEST_F(NumericTransform, ScaleAboutThePivotOrTheOriginWithTheCentreOnThePlaneForPairs) {
  testing::UnitQuad(model());
  begin({1, 2, 3, 4});
  NumericValues values;
  values.scale = VECTOR(200, 50, 100);
  Apply(NumericPage::kScale, values, "Scale about the pivot");
  EXPECT_EQ(position(1), VECTOR(-0.5f, 0.25f, 0));
  EXPECT_EQ(position(3), VECTOR(1.5f, 0.75f, 0));

  testing::UnitQuad(model());
  begin({3});
  values.scaleAroundOrigin = true;
  Apply(NumericPage::kScale, values, "Scale about the origin");
  EXPECT_EQ(position(3), VECTOR(2, 0.5f, 0));
  EXPECT_EQ(position(1), VECTOR(0, 0, 0));

  // The pivot's x is 2/3 here; pairs on both sides scale about x = 0.
  PairAndLoosePoint();
  values = NumericValues{};
  values.scale = VECTOR(200, 100, 100);
  Apply(NumericPage::kScale, values, "Scale with pairs");
  EXPECT_EQ(position(1), VECTOR(-2, 0, 0));
  EXPECT_EQ(position(2), VECTOR(2, 0, 0));
  EXPECT_EQ(position(3), VECTOR(4, 0, 0));
}

TEST_F(NumericTransform, RotateQuarterTurnAboutZAroundThePivotOrTheOrigin) {
  testing::UnitQuad(model());
  begin({2, 3});  // pivot (1, 0.5, 0)
  NumericValues values;
  values.rotate = VECTOR(0, 0, 90);
  Apply(NumericPage::kRotate, values, "Rotate about the pivot");
  ExpectNear(position(2), VECTOR(1.5f, 0.5f, 0), 1e-6f, "point 2");
  ExpectNear(position(3), VECTOR(0.5f, 0.5f, 0), 1e-6f, "point 3");
  EXPECT_EQ(position(1), VECTOR(0, 0, 0));

  testing::UnitQuad(model());
  begin({2, 3});
  values.rotateAroundOrigin = true;
  Apply(NumericPage::kRotate, values, "Rotate about the origin");
  ExpectNear(position(2), VECTOR(0, 1, 0), 1e-6f, "point 2");
  ExpectNear(position(3), VECTOR(-1, 1, 0), 1e-6f, "point 3");

  // Pairs on both sides: every point keeps its x.
  PairAndLoosePoint();
  Apply(NumericPage::kRotate, values, "Rotate with pairs");
  ExpectNear(position(3), VECTOR(2, 2, 0), 1e-6f, "loose point");
  EXPECT_EQ(position(1).x, -1.0f);
  EXPECT_EQ(position(2).x, 1.0f);
}

// Angles (90, 90, 0): the view's x axis is model -z, its y axis model -x and
// its depth axis model +y, so each page's view variant can be worked out.
TEST_F(NumericTransform, ViewVariantsActAlongTheViewAxes) {
  testing::UnitQuad(model());
  begin({2});  // (1, 0, 0), its own pivot
  document->scene.angle = VECTOR(90, 90, 0);
  NumericValues values;
  values.go = VECTOR(1, 2, 3);
  values.moveUsingView = true;
  Apply(NumericPage::kGo, values, "Go along the view");
  ExpectNear(position(2), VECTOR(1 - 2, 3, -1), 1e-5f, "Go");

  begin({1, 2});  // pivot (-0.5, 1.5, -0.5)
  values.scale = VECTOR(300, 100, 100);
  values.scaleUsingView = true;
  Apply(NumericPage::kScale, values, "Scale along the view");
  // Only the model z offsets from the pivot (view x) triple.
  ExpectNear(position(1), VECTOR(0, 0, 1), 1e-5f, "Scale point 1");
  ExpectNear(position(2), VECTOR(-1, 3, -2), 1e-5f, "Scale point 2");

  // A quarter turn about the view's depth axis takes view x to view y:
  // model -z to model -x, about the pivot.
  testing::UnitQuad(model());
  SetPoint(model(), 2, 0, 0, -1, 0, 0);
  begin({1, 2});  // pivot (0, 0, -0.5)
  values.rotate = VECTOR(0, 0, 90);
  values.rotateUsingView = true;
  Apply(NumericPage::kRotate, values, "Rotate in the view");
  ExpectNear(position(2), VECTOR(-0.5f, 0, -0.5f), 1e-5f, "Rotate point 2");
  ExpectNear(position(1), VECTOR(0.5f, 0, -0.5f), 1e-5f, "Rotate point 1");
}

// At an oblique view the expectation comes from the view projection the
// tools use. Its sines come from a 4096-step table, off by up to 0.0015
// rad, so a displacement of length 2 may differ by 3e-3; a wrong axis or
// sign would be off by about 1.
TEST_F(NumericTransform, ViewVariantsAgreeWithTheToolsViewProjection) {
  testing::UnitQuad(model());
  begin({3});
  document->scene.angle = VECTOR(30, -50, 0);
  const VECTOR start = position(3);
  const VECTOR viewed = ProjectPoint(*document, start, false);
  NumericValues values;
  values.go = VECTOR(0.5f, -1, 2);
  values.moveUsingView = true;
  Apply(NumericPage::kGo, values, "Go at an oblique view");
  const VECTOR moved = viewed + values.go;
  ExpectNear(position(3), UnprojectPoint(*document, moved.x, moved.y, moved.z, false), 1e-2f,
             "Go");

  // Scale about the origin along the view axes.
  begin({3});
  const VECTOR from = position(3);
  const VECTOR seen = ProjectPoint(*document, from, false);
  values.scale = VECTOR(200, 50, 300);
  values.scaleAroundOrigin = true;
  values.scaleUsingView = true;
  Apply(NumericPage::kScale, values, "Scale at an oblique view");
  ExpectNear(position(3), UnprojectPoint(*document, seen.x * 2, seen.y * 0.5f, seen.z * 3, false),
             1e-2f, "Scale");
}

TEST_F(NumericTransform, RememberPositionPageRecordsAStepAndNothingSelectedDoesNothing) {
  testing::UnitQuad(model());
  begin({1, 3});
  NumericValues values;
  values.go = VECTOR(1, 1, 1);
  values.scale = VECTOR(50, 50, 50);
  Apply(NumericPage::kRememberPosition, values, "Remember position page");
  for (int p = 1; p <= model().pointCount; ++p) {
    EXPECT_EQ(position(p), modelBefore->points[p].position) << p;
    EXPECT_EQ(model().points[p].state, modelBefore->points[p].state) << p;
  }

  DeselectAll(model());
  begin();
  for (NumericPage page : {NumericPage::kGo, NumericPage::kScale, NumericPage::kRotate,
                           NumericPage::kRememberPosition}) {
    ExpectRefused([&] { return ApplyNumericPage(*document, page, values); },
                  "page " + std::to_string(static_cast<int>(page)));
  }
  ExpectRefused([&] { return MoveToRememberedPosition(*document, VECTOR(1, 2, 3), kAxisMaskAll); },
                "Location");
}

TEST_F(NumericTransform, ValuesThatCannotGiveFinitePositionsAreRefused) {
  testing::UnitQuad(model());
  SetPoint(model(), 3, 1e36f, 1, 0, 0, 0);
  begin({1, 3});
  NumericValues values;
  values.go.y = std::numeric_limits<float>::quiet_NaN();
  ExpectRefused([&] { return ApplyNumericPage(*document, NumericPage::kGo, values); }, "NaN");
  values = NumericValues{};
  values.scale = VECTOR(1000000, 100, 100);
  values.scaleAroundOrigin = true;
  ExpectRefused([&] { return ApplyNumericPage(*document, NumericPage::kScale, values); },
                "overflow");
  // Point 1 comes before the overflowing point 3 and must not have moved.
  EXPECT_EQ(position(1), VECTOR(0, 0, 0));
}

TEST_F(NumericTransform, LocationMovesTheMaskedAxesToTheRememberedPivot) {
  testing::UnitQuad(model());
  begin({3});
  NumericValues values;
  values.remembered = VECTOR(9, 9, 9);
  RememberPivot(values, document->scene.handle, kAxisMaskY);
  EXPECT_EQ(values.remembered, VECTOR(9, 1, 9));
  RememberPivot(values, VECTOR(1, 1, 4), kAxisMaskAll);
  EXPECT_EQ(values.remembered, VECTOR(1, 1, 4));

  DeselectAll(model());
  begin({1, 2});  // pivot (0.5, 0, 0)
  Edit([&] { return MoveToRememberedPosition(*document, values.remembered, kAxisMaskX); }, "X");
  EXPECT_EQ(position(1), VECTOR(0.5f, 0, 0));
  EXPECT_EQ(position(2), VECTOR(1.5f, 0, 0));
  Edit([&] { return MoveToRememberedPosition(*document, values.remembered, kAxisMaskZ); }, "Z");
  EXPECT_EQ(position(1), VECTOR(0.5f, 0, 4));
  Edit([&] { return MoveToRememberedPosition(*document, values.remembered, kAxisMaskAll); },
       "XYZ");
  EXPECT_EQ(document->scene.handle, VECTOR(1, 1, 4));
  EXPECT_EQ(position(2), VECTOR(1.5f, 1, 4));
  EXPECT_EQ(position(4), VECTOR(0, 1, 0));

  // Pairs on both sides never move along x.
  PairAndLoosePoint();
  Edit([&] { return MoveToRememberedPosition(*document, VECTOR(5, 6, 7), kAxisMaskAll); },
       "pairs");
  EXPECT_EQ(position(1), VECTOR(-1, 6, 7));
  EXPECT_EQ(position(3), VECTOR(2, 6, 7));
}

TEST(NumericFields, NormaliseToThePagesDefaultAndClamp) {
  EXPECT_EQ(NormalizeFloatField("abc", kNumericField), 0.0f);
  EXPECT_EQ(NormalizeFloatField("", kNumericScaleField), 100.0f);
  EXPECT_EQ(NormalizeFloatField("2000000", kNumericField), 1000000.0f);
  EXPECT_EQ(NormalizeFloatField("-5e7", kNumericScaleField), -1000000.0f);
  EXPECT_EQ(FloatFieldText(NormalizeFloatField("1.23456789", kNumericField)), "1.234568");
  EXPECT_EQ(FloatFieldText(NormalizeFloatField(" -12.5 ", kNumericScaleField)), "-12.5");

  EXPECT_EQ(PivotFieldText(1.5f), "1.500000");
  EXPECT_EQ(PivotFieldText(-0.25f), "-0.250000");
  EXPECT_EQ(PivotFieldText(0.0f), "0.000000");

  NumericValues values;
  values.go = VECTOR(1, 2, 3);
  values.scale = VECTOR(5, 5, 5);
  values.rotateUsingView = values.placeNewCoordinate = true;
  values.remembered = VECTOR(7, 8, 9);
  ResetNumericFields(values);
  EXPECT_EQ(values.go, VECTOR());
  EXPECT_EQ(values.scale, VECTOR(100, 100, 100));
  EXPECT_FALSE(values.rotateUsingView || values.placeNewCoordinate);
  EXPECT_EQ(values.remembered, VECTOR(7, 8, 9));
}

}  // namespace
}  // namespace vexal
