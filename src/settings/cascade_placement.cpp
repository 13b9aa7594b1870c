#include "settings/cascade_placement.h"

#include <algorithm>

namespace vexal {

std::vector<WindowRect> CascadePlacement(std::span<const WindowRect> windows, ScreenSize frame,
                                         int step) {
  const int frameWidth = std::max(frame.width, 1);
  const int frameHeight = std::max(frame.height, 1);
  step = std::max(step, 1);
  std::vector<WindowRect> placed;
  placed.reserve(windows.size());
  int offset = 0;
  for (const WindowRect& window : windows) {
    WindowRect rect;
    rect.width = std::clamp(window.width, 1, frameWidth);
    rect.height = std::clamp(window.height, 1, frameHeight);
    // Compared in wide arithmetic: many windows make a large offset.
    if (static_cast<long long>(offset) + rect.width > frameWidth ||
        static_cast<long long>(offset) + rect.height > frameHeight) {
      offset = 0;
    }
    rect.left = offset;
    rect.top = offset;
    placed.push_back(rect);
    offset += step;
  }
  return placed;
}

}  // namespace vexal
