// Rubber figures: lines and rectangles drawn over the view with an
// inverting pen while a drag runs. The document keeps what is on the window
// (drawing a figure again takes it off, as inverting twice does); a redraw
// wipes them all. The window draws them over either renderer.
#pragma once

#include "model/document.h"

namespace vexal {

void InvertRubberLine(Document& document, int x0, int y0, int x1, int y1);
// The frame of the rectangle with corners (x0, y0) and (x1, y1).
void InvertRubberRectangle(Document& document, int x0, int y0, int x1, int y1);
// Region tracking of a rectangle drag: takes off the rectangle from the
// press to the last position, stores (x, y) as the last position and draws
// the rectangle to it.
void TrackRubberRectangle(Document& document, int x, int y);

}  // namespace vexal
