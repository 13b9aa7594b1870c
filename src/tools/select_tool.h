// The Select and Lasso tools: a click selects the element under the
// pointer, a drag on empty space selects the points inside a rectangle or a
// lasso. The transform tools start and end their region drags through the
// same functions.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/document.h"
#include "tools/pointer_event.h"
#include "tools/workspace.h"

namespace vexal {

// The drag of a lasso: its vertices, in window pixels: slot 0 is the
// press, slots 1..count the moves (at most 509; later moves overwrite slot
// 509). The rest is room for the closing copy of slot 0.
inline constexpr int kLassoSlots = 512;
inline constexpr int kLassoMaxCount = 509;
struct LassoBuffer final : ToolDrag {
  int16_t count = 0;
  std::array<std::array<int16_t, 2>, kLassoSlots> vertices{};
};

// The lasso the press started, or null when no lasso drag runs.
LassoBuffer* RunningLasso(Document& document);

// A press of the Select or Lasso tool. point and line are what the press
// picked. Left: a click selects (Shift adds, Ctrl removes, Shift+Ctrl
// toggles, otherwise only it is selected; no undo step) or, on empty space,
// a region starts. Right while a region runs: the region ends unused.
void SelectionPress(Document& document, const Workspace& workspace, const PointerEvent& event,
                    int point, int line);

// Starts a region drag at the event (state 1, the modifier code kept); a
// lasso starts with the press as its only vertex.
void StartRegion(Document& document, const PointerEvent& event, bool lasso);

// A move of a running lasso: one more vertex (the 509th and later ones
// overwrite the last slot) and its segment drawn.
void TrackLasso(Document& document, int x, int y);

// The end of a region drag: the points inside the rectangle from the press
// to (x, y), or inside the lasso, change by the modifier code of the press
// (inside: Shift toggles, Ctrl clears, Shift+Ctrl and no key set; outside:
// cleared unless a key was held). One undo step when something is then
// selected.
void RectangleSelect(Document& document, int x, int y);
void LassoSelect(Document& document);

// Which points (index 1..count) lie strictly inside the rectangle with
// corners (x0, y0) and (x1, y1), hidden ones included.
std::vector<uint8_t> PointsInRectangle(const Document& document, int x0, int y0, int x1, int y1);
// Which points lie inside the closed polygon of the given vertices: the
// segment from (-1000, -1000) to the point's pixel crosses an odd number of
// its edges (ends included, parallel edges never crossing). Fewer than
// three edges hold nothing.
std::vector<uint8_t> PointsInLasso(const Document& document,
                                   const std::vector<std::array<int16_t, 2>>& polygon);

// Segment (ax, ay)-(bx, by) against (cx, cy)-(dx, dy): both intersection
// parameters in [0, 1]; parallel segments never cross. Exact for pixel
// coordinates up to 1e9.
bool SegmentsCross(int64_t ax, int64_t ay, int64_t bx, int64_t by, int64_t cx, int64_t cy,
                   int64_t dx, int64_t dy);

}  // namespace vexal
