// The wireframe renderer used when OpenGL is off or unavailable, and the two
// overlays drawn after either renderer: the transform handle and the rubber
// band of the vertex drawing tools.
#pragma once

#include <cstdint>
#include <vector>

#include "model/document.h"
#include "view/canvas.h"

namespace vexal {

// What the renderer takes from the settings.
struct ViewColors {
  uint32_t background = 10592673;
  uint32_t normal = 0;
  uint32_t selected = 255;
  uint32_t hidden = 12632256;
  int gridType = -1;  // 1 ground grid, -1 and 0 the reference cube
};

// The colour of an element state: 1 selected, 2 hidden, anything else normal.
uint32_t StateColor(const ViewColors& colors, int32_t state);

void RenderSoftware(const Document& document, const ViewColors& colors, Canvas& canvas);
// The handle axes and square (the software form).
void DrawHandleAxes(const Document& document, Canvas& canvas);
// The provisional line(s) of a vertex chain, in window pixels.
std::vector<RubberLine> RubberBandLines(const Document& document);
// Those lines with an inverting pen.
void DrawRubberBand(const Document& document, Canvas& canvas);
// Lines with an inverting pen (the rubber figures of the tools).
void DrawRubberLines(const std::vector<RubberLine>& lines, Canvas& canvas);
// Scene, handle overlay and rubber band in that order, with the provisional
// lines of a chain being drawn left out of the scene.
void RedrawSoftware(Document& document, const ViewColors& colors, Canvas& canvas);

// True while a vertex chain is being drawn with the given tool (Point or
// DPoint), directly or under a pending temporary gesture.
bool DrawingChain(const MODE& mode, int32_t tool);

}  // namespace vexal
