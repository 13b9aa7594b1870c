// The overlays drawn over a finished OpenGL frame: the transform handle and
// the tools' rubber figures.
#pragma once

#include <vector>

#include "model/document.h"
#include "view/software_renderer.h"

namespace vexal {

// The transform handle overlay (axes and a 20-pixel square facing the
// viewer), drawn over the scene without depth test when a transform tool is
// active, something is selected and SCENE.showHandle is 1.
void DrawHandleAxesGL(const Document& document);

// Lines in window pixels (origin top left) drawn with an inverting pen over
// the frame: the rubber figures of the tools. Restores what it changes.
void DrawRubberLinesGL(const std::vector<RubberLine>& lines, int width, int height);

}  // namespace vexal
