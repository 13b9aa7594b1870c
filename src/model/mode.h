// MODE: the tool state of one document window.
#pragma once

#include <cstdint>

#include "math/vector.h"

namespace vexal {

enum Tool : int32_t {
  kToolSelect = 0,
  kToolPoint = 1,
  kToolDPoint = 2,
  kToolLasso = 3,
  kToolPaint = 11,
  kToolSpoit = 12,
  kToolQuad = 13,
  kToolMove = 31,
  kToolRotate = 32,
  kToolScale = 33,
  kToolNormalMove = 34,
  kToolZoom = 41,
  kToolSelectZoom = 42,
  kToolPan = 43,
  kToolCamera = 44,
};

struct MODE {
  int32_t tool = kToolSelect;
  int32_t state = 0;
  int32_t savedTool = -1;  // tool to return to after a temporary gesture
  int32_t savedState = 0;
  int32_t startX = 0, startY = 0;
  int32_t lastX = 0, lastY = 0;
  int32_t rubberX = 0, rubberY = 0;
  int32_t mirrorRubberX = 0, mirrorRubberY = 0;
  int32_t modifiers = 0;  // 1 Shift + 2 Alt + 4 Ctrl
  int32_t targetKind = 0;
  int32_t targetIndex = 0;
  int32_t chainStart = 0;
  int32_t previousPoint = 0;
  int32_t provisional = 0;  // next PushUndo overwrites the current slot
  VECTOR backup;
};

}  // namespace vexal
