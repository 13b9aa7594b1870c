// The two projections from model space to window pixels of a document's
// view, and back: the table-driven trigonometric one the tools use and the
// matrix one the renderers and picking use.
#pragma once

#include "math/matrix.h"
#include "math/vector.h"
#include "model/document.h"

namespace vexal {

// (screen x, screen y, depth); with useView false the rotated, unscaled
// coordinates.
VECTOR ProjectPoint(const Document& document, const VECTOR& point, bool useView);
// The inverse of ProjectPoint for a pixel and a depth.
VECTOR UnprojectPoint(const Document& document, float screenX, float screenY, float depth,
                      bool useView);
// full: the whole model-to-pixel transform; otherwise the camera rotation.
MATRIX ViewMatrix(const Document& document, bool full);
MATRIX InverseViewMatrix(const Document& document, bool full);
// Signed model length of one pixel at a depth; never 0.
float PixelSize(const Document& document, float depth);

// Sets SCENE::screen from a client size (integer halves).
void SetScreenSize(SCENE& scene, int clientWidth, int clientHeight);

}  // namespace vexal
