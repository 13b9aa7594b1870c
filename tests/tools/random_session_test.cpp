// Random pointer sessions: every tool, every button and modifier, on random
// models with coincident points and degenerate surfaces. Whatever the user
// does, no event may crash or leave the model broken once the tool is idle,
// and the undo ring must take every step back to a valid model.
#include <gtest/gtest.h>

#include <random>

#include "model/maintenance.h"
#include "support/test_models.h"
#include "tools/tool_dispatch.h"
#include "tools/tool_fixture.h"

namespace vexal {
namespace {

class RandomSessions : public testing::ToolTest {};

constexpr int32_t kTools[] = {kToolSelect, kToolPoint, kToolDPoint,     kToolLasso, kToolPaint,
                              kToolSpoit,  kToolQuad,  kToolMove,       kToolRotate, kToolScale,
                              kToolNormalMove, kToolZoom, kToolSelectZoom, kToolPan, kToolCamera};

TEST_F(RandomSessions, NoEventSequenceBreaksTheModel) {
  for (int seed = 1; seed <= 200; ++seed) {
    std::mt19937 random(seed);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    InitializeDocument(*document);
    SetScreenSize(document->scene, 400, 300);
    document->scene.perspective = seed % 2;
    document->scene.angle = VECTOR(static_cast<float>(pick(90)), static_cast<float>(pick(360)), 0);
    testing::RandomModelOptions options;
    options.points = 12 + pick(30);
    options.lines = 10 + pick(30);
    options.faces = 4 + pick(20);
    if (seed % 3 == 0) {
      // A mirrored model: the two halves must stay in step.
      SetDefaultObject(model());
    } else {
      testing::RandomModel(model(), random, options);
      // As every model the program holds: each surface edge on a line.
      ASSERT_EQ(CompactModel(model(), kCompactRebuildLines), 1);
    }
    RefreshNormals(*document, kNormalsFace | kNormalsAngleSmoothed);
    Base();
    workspace.settings.UseMoveAttach = pick(2);
    workspace.settings.UseLassoSelect = pick(2);
    workspace.settings.RealTimeSmooth = pick(2);
    workspace.settings.UseLoopSplit = pick(2);
    workspace.settings.UseLoopSplit2 = pick(2);
    SetTool(*document, kTools[pick(std::size(kTools))]);

    for (int event = 0; event < 120; ++event) {
      // Mostly over a point, so that presses grab and draw.
      int x = pick(400), y = pick(300);
      if (model().pointCount > 0 && pick(3) != 0) {
        const Pixel p = pixelOf(1 + pick(model().pointCount));
        x = p.x + pick(5) - 2;
        y = p.y + pick(5) - 2;
      }
      const MouseButton button = pick(4) == 0 ? MouseButton::kRight
                                 : pick(6) == 0 ? MouseButton::kMiddle
                                                : MouseButton::kLeft;
      const int modifiers = pick(3) == 0 ? pick(8) : 0;
      switch (pick(10)) {
        case 0: case 1: MousePress(*document, workspace, {button, modifiers, x, y}); break;
        case 2: case 3: MouseRelease(*document, workspace, {button, modifiers, x, y}); break;
        case 4: doubleClick(button, x, y, modifiers); break;
        case 5: SetTool(*document, kTools[pick(std::size(kTools))]); break;
        default: MouseMove(*document, workspace, {MouseButton::kLeft, modifiers, x, y}); break;
      }
      if (mode().state == 0 && mode().savedTool == -1) {
        std::string reason;
        ASSERT_TRUE(ValidateModel(model(), &reason))
            << "seed " << seed << " event " << event << ": " << reason;
      }
    }
    FinishPendingDraw(*document);
    std::string reason;
    ASSERT_TRUE(ValidateModel(model(), &reason)) << "seed " << seed << ": " << reason;
    while (document->undo.undoDepth > 0) {
      StepUndo(*document, -1);
      ASSERT_TRUE(ValidateModel(model(), &reason)) << "seed " << seed << " undo: " << reason;
    }
  }
}

}  // namespace
}  // namespace vexal
