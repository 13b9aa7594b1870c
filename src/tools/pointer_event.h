// One mouse event of a document window, as the tools see it: the button,
// the shift state as the window system reports it, and the position in the
// drawing area's own pixels.
#pragma once

#include <cstdint>

namespace vexal {

enum class MouseButton { kLeft, kRight, kMiddle, kOther };

// Shift-state bits: the three modifier keys, then the buttons held.
inline constexpr int kShiftKey = 1;
inline constexpr int kAltKey = 2;
inline constexpr int kCtrlKey = 4;
inline constexpr int kLeftHeld = 8;
inline constexpr int kRightHeld = 16;
inline constexpr int kMiddleHeld = 32;
inline constexpr int kDoubleClick = 64;

struct PointerEvent {
  MouseButton button = MouseButton::kLeft;  // ignored for moves
  int shift = 0;
  int x = 0;
  int y = 0;

  // The modifier code of the tools: 1 Shift + 2 Alt + 4 Ctrl, nothing else.
  int modifiers() const { return shift & 7; }
};

}  // namespace vexal
