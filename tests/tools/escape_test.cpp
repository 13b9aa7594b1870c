// Escape cancels a gesture in progress as the right press does: every tool's
// gesture is run twice, once ended by a right press and once by Escape, and
// the two documents must come out the same.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/test_models.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_fixture.h"

namespace vexal {
namespace {

class EscapeTest : public testing::ToolTest {
 protected:
  // Three unit quads in a row, seen from the front, as the base of history.
  void row() {
    InitializeDocument(*document);
    document->observer = &observer;
    SetScreenSize(document->scene, 400, 300);
    document->scene.perspective = 0;
    document->scene.perspectiveDefault = 0;
    workspace = Workspace{};
    testing::QuadGrid(model(), 3, 1);
    Base();
  }
  Pixel centreOf(int surface) {
    VECTOR sum;
    for (int32_t c : model().faces[surface].corners) sum += model().points[c].position;
    return pixel(sum * 0.25f);
  }

  // What a cancel may change: the model, the view values the gestures
  // save, the tool state and the history.
  struct Outcome {
    std::unique_ptr<Model> model;
    SCENE scene;
    MODE mode;
    int current, undoDepth, redoDepth;
  };
  Outcome outcome() {
    return {std::make_unique<Model>(model()), document->scene, mode(), document->undo.current,
            document->undo.undoDepth, document->undo.redoDepth};
  }
  static void ExpectSame(const Outcome& escape, const Outcome& right, const std::string& name) {
    testing::ExpectSameModel(*escape.model, *right.model, name);
    EXPECT_EQ(escape.mode.tool, right.mode.tool) << name;
    EXPECT_EQ(escape.mode.state, right.mode.state) << name;
    EXPECT_EQ(escape.mode.savedTool, right.mode.savedTool) << name;
    EXPECT_EQ(escape.mode.provisional, right.mode.provisional) << name;
    EXPECT_EQ(escape.scene.angle, right.scene.angle) << name;
    EXPECT_EQ(escape.scene.target, right.scene.target) << name;
    EXPECT_EQ(escape.scene.zoom, right.scene.zoom) << name;
    EXPECT_EQ(escape.scene.pictureOffset, right.scene.pictureOffset) << name;
    EXPECT_EQ(escape.scene.pictureScale, right.scene.pictureScale) << name;
    EXPECT_EQ(escape.current, right.current) << name;
    EXPECT_EQ(escape.undoDepth, right.undoDepth) << name;
    EXPECT_EQ(escape.redoDepth, right.redoDepth) << name;
  }
};

TEST_F(EscapeTest, EndsEveryGestureAsTheRightPressDoes) {
  struct Case {
    std::string name;
    std::function<void()> start;  // leaves a gesture in progress
  };
  const std::vector<Case> cases = {
      {"region rectangle",
       [&] {
         SetTool(*document, kToolSelect);
         press(MouseButton::kLeft, 0, 10, 10);
         move(300, 250);
       }},
      {"lasso region",
       [&] {
         SetTool(*document, kToolLasso);
         press(MouseButton::kLeft, 0, 10, 10);
         move(300, 20);
         move(300, 250);
       }},
      {"stroke of two segments",
       [&] {
         SetTool(*document, kToolPoint);
         click(20, 20);
         click(60, 20);
         click(60, 60);
         move(90, 90);
       }},
      {"stroke of one point",
       [&] {
         SetTool(*document, kToolPoint);
         click(20, 20);
         move(90, 90);
       }},
      {"mirrored stroke",
       [&] {
         SetTool(*document, kToolDPoint);
         click(300, 20);
         click(320, 60);
         move(330, 90);
       }},
      {"paint stroke",
       [&] {
         SetTool(*document, kToolPaint);
         document->scene.paletteIndex = 5;
         const Pixel a = centreOf(1), b = centreOf(2);
         press(MouseButton::kLeft, 0, a.x, a.y);
         move(b.x, b.y);
       }},
      {"quadify stroke",
       [&] {
         SetTool(*document, kToolQuad);
         const Pixel a = centreOf(2);
         press(MouseButton::kLeft, 0, a.x, a.y);
         move(a.x + 1, a.y);
       }},
      {"move drag",
       [&] {
         SetTool(*document, kToolMove);
         const Pixel p = pixelOf(1);
         press(MouseButton::kLeft, 0, p.x, p.y);
         move(p.x + 40, p.y + 30);
       }},
      {"rotate drag",
       [&] {
         SetTool(*document, kToolRotate);
         const Pixel p = pixelOf(2);
         press(MouseButton::kLeft, 0, p.x, p.y);
         move(p.x + 40, p.y + 30);
       }},
      {"copying move drag",
       [&] {
         SetTool(*document, kToolMove);
         clickPoint(1);
         const Pixel p = pixelOf(1);
         press(MouseButton::kLeft, kCtrlKey, p.x, p.y);
         move(p.x + 40, p.y + 30, kCtrlKey);
       }},
      {"transform region",
       [&] {
         SetTool(*document, kToolScale);
         press(MouseButton::kLeft, 0, 5, 5);
         move(200, 200);
       }},
      {"view rotation", [&] { press(MouseButton::kLeft, kAltKey, 100, 100), move(150, 120); }},
      {"pan", [&] { press(MouseButton::kMiddle, kAltKey, 100, 100), move(150, 120); }},
      {"zoom", [&] { press(MouseButton::kMiddle, kAltKey | kCtrlKey, 100, 100), move(150, 160); }},
      {"zoom region", [&] { press(MouseButton::kLeft, kAltKey | kCtrlKey, 10, 10), move(99, 99); }},
      {"picture move", [&] { press(MouseButton::kMiddle, kShiftKey, 100, 100), move(150, 120); }},
      {"picture scale", [&] { press(MouseButton::kRight, kShiftKey, 100, 100), move(100, 160); }},
      {"knife", [&] { press(MouseButton::kLeft, kShiftKey | kAltKey, 5, 5), move(390, 290); }},
      {"camera tool",
       [&] {
         SetTool(*document, kToolCamera);
         press(MouseButton::kLeft, 0, 100, 100);
         move(170, 130);
       }},
      {"zoom tool",
       [&] {
         SetTool(*document, kToolZoom);
         press(MouseButton::kLeft, 0, 100, 100);
         move(100, 170);
       }},
      {"view rotation inside a stroke",
       [&] {
         SetTool(*document, kToolPoint);
         click(20, 20);
         click(60, 20);
         press(MouseButton::kLeft, kAltKey, 100, 100);
         move(160, 100);
       }},
      {"stroke after a finished view rotation",
       [&] {
         SetTool(*document, kToolPoint);
         click(20, 20);
         click(60, 20);
         press(MouseButton::kLeft, kAltKey, 100, 100);
         move(160, 100);
         release(MouseButton::kLeft, 160, 100);
       }},
  };
  for (const Case& c : cases) {
    row();
    c.start();
    const Outcome started = outcome();
    press(MouseButton::kRight, 0, mode().lastX, mode().lastY);
    const Outcome right = outcome();

    row();
    c.start();
    testing::ExpectSameModel(model(), *started.model, c.name + " (the same start)");
    ASSERT_TRUE(EscapeGesture(*document, workspace)) << c.name;
    ExpectSame(outcome(), right, c.name);
    // A stroke that goes on keeps its open line, which ends nowhere yet.
    if (mode().state == 0) expectValid();
  }
}

// With nothing in progress Escape leaves everything alone and says so, so
// the key can do what it is bound to; a double click's pending skip stays.
TEST_F(EscapeTest, WithNoGestureChangesNothing) {
  for (int32_t tool : {kToolSelect, kToolMove, kToolPaint, kToolCamera}) {
    row();
    SetTool(*document, tool);
    clickPoint(1);
    move(200, 100);
    const Outcome before = outcome();
    document->skipNextPress = 1;
    EXPECT_FALSE(EscapeGesture(*document, workspace)) << tool;
    ExpectSame(outcome(), before, "tool " + std::to_string(tool));
    EXPECT_EQ(document->skipNextPress, 1);
  }
  // A finished view gesture waits for the next press: not in progress.
  row();
  press(MouseButton::kLeft, kAltKey, 100, 100);
  move(160, 100);
  release(MouseButton::kLeft, 160, 100);
  EXPECT_FALSE(EscapeGesture(*document, workspace));
}

// A stroke is taken back point by point, then dropped; a skip left by a
// double click does not swallow the cancel.
TEST_F(EscapeTest, TakesAStrokeBackPointByPoint) {
  row();
  SetTool(*document, kToolPoint);
  const int points = model().pointCount;
  click(20, 20);
  click(60, 20);
  click(60, 60);
  document->skipNextPress = 1;
  ASSERT_TRUE(EscapeGesture(*document, workspace));
  EXPECT_EQ(document->skipNextPress, 1);
  EXPECT_EQ(model().pointCount, points + 2);
  ASSERT_TRUE(EscapeGesture(*document, workspace));
  ASSERT_TRUE(EscapeGesture(*document, workspace));
  EXPECT_EQ(model().pointCount, points);
  EXPECT_EQ(mode().state, 0);
  EXPECT_FALSE(EscapeGesture(*document, workspace));
}

// Where Move's right press would start an attach, Escape cancels the drag.
TEST_F(EscapeTest, CancelsAMoveDragThatARightPressWouldAttach) {
  row();
  workspace.settings.UseMoveAttach = 1;
  SetTool(*document, kToolMove);
  const auto before = std::make_unique<Model>(model());
  const Pixel p = pixelOf(1);
  press(MouseButton::kLeft, 0, p.x, p.y);
  move(p.x + 40, p.y + 30);
  ASSERT_NE(model().points[1].position.x, before->points[1].position.x);
  ASSERT_TRUE(EscapeGesture(*document, workspace));
  EXPECT_EQ(mode().state, 0);
  EXPECT_EQ(workspace.settings.UseMoveAttach, 1);
  EXPECT_EQ(model().points[1].position.x, before->points[1].position.x);
  EXPECT_EQ(model().points[1].position.y, before->points[1].position.y);
}

}  // namespace
}  // namespace vexal
