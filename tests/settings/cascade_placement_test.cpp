#include "settings/cascade_placement.h"

#include <gtest/gtest.h>

#include <random>

namespace vexal {
namespace {

TEST(CascadePlacement, WindowsKeepTheirSizesAndStepFromTheCorner) {
  // Two fresh document windows (452 x 347), wherever they stood.
  const WindowRect fresh[] = {{300, 200, 452, 347}, {0, 0, 452, 347}};
  const std::vector<WindowRect> placed = CascadePlacement(fresh, {990, 600}, 26);
  EXPECT_EQ(placed, (std::vector<WindowRect>{{0, 0, 452, 347}, {26, 26, 452, 347}}));

  // Larger than the frame: clamped to it, and each such window starts at
  // the corner because no step leaves room for it.
  const WindowRect large[] = {{5, 5, 2000, 300}, {0, 0, 400, 900}, {0, 0, 100, 50}};
  EXPECT_EQ(CascadePlacement(large, {800, 600}, 20),
            (std::vector<WindowRect>{{0, 0, 800, 300}, {0, 0, 400, 600}, {20, 20, 100, 50}}));

  // A run that reaches the bottom edge starts again at the corner.
  const WindowRect tall[] = {{0, 0, 100, 150}, {0, 0, 100, 150}, {0, 0, 100, 150}};
  EXPECT_EQ(CascadePlacement(tall, {500, 200}, 30),
            (std::vector<WindowRect>{{0, 0, 100, 150}, {30, 30, 100, 150}, {0, 0, 100, 150}}));

  // A frame without area and a nonsense step still give windows of area.
  const WindowRect one[] = {{0, 0, 0, -5}, {0, 0, 10, 10}};
  EXPECT_EQ(CascadePlacement(one, {0, 0}, 0),
            (std::vector<WindowRect>{{0, 0, 1, 1}, {0, 0, 1, 1}}));
  EXPECT_TRUE(CascadePlacement({}, {800, 600}, 20).empty());
}

TEST(CascadePlacement, EveryWindowStaysInsideTheFrameAtItsOwnSizeOrTheFrames) {
  std::mt19937 random(21);
  std::uniform_int_distribution<int> size(-50, 1500);
  for (int round = 0; round < 200; ++round) {
    const ScreenSize frame{size(random) + 60, size(random) + 60};
    const int step = std::uniform_int_distribution<int>(1, 60)(random);
    std::vector<WindowRect> windows(static_cast<size_t>(round % 40));
    for (WindowRect& window : windows) window = {size(random), size(random), size(random), size(random)};
    const std::vector<WindowRect> placed = CascadePlacement(windows, frame, step);
    ASSERT_EQ(placed.size(), windows.size());
    for (size_t i = 0; i < placed.size(); ++i) {
      const WindowRect& rect = placed[i];
      EXPECT_EQ(rect.width, std::clamp(windows[i].width, 1, frame.width));
      EXPECT_EQ(rect.height, std::clamp(windows[i].height, 1, frame.height));
      EXPECT_EQ(rect.left, rect.top);
      EXPECT_GE(rect.left, 0);
      EXPECT_LE(rect.left + rect.width, frame.width);
      EXPECT_LE(rect.top + rect.height, frame.height);
      // Each window is one step on from the one before, or back at the corner.
      if (i > 0) {
        EXPECT_TRUE(rect.left == 0 || rect.left == placed[i - 1].left + step);
      }
    }
  }
}

}  // namespace
}  // namespace vexal
