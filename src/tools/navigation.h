// Moving the camera of a document view: the drags of the Zoom, Zoom Region,
// Pan View and Rotate View tools and of their modifier-key gestures, the
// background picture drags, the fixed steps of the View commands, the
// flat-view rule, zoom to fit and the mouse wheel. Every change ends with a
// redraw. The press that starts a drag fills MODE (start and last positions,
// `backup`); these functions only apply the drag to SCENE.
#pragma once

#include "model/document.h"
#include "tools/workspace.h"

namespace vexal {

// One pixel turns the camera by one degree.
void RotateViewDrag(Document& document, int x, int y);
// Ends a rotation; a release where it began snaps both angles to the
// nearest multiple of 90 and runs the flat-view end step.
void RotateViewRelease(Document& document, Workspace& workspace, int x, int y);
// The model follows the pointer at the depth of the pan target.
void PanDrag(Document& document, int x, int y);
// Up by 100 pixels multiplies the zoom by e.
void ZoomDrag(Document& document, int y);
// Centres the view on the rectangle from the press to (x, y) and fills the
// window with it; dragged right to left it zooms out by the same factor.
void ZoomToRegion(Document& document, int x, int y);
void PictureMoveDrag(Document& document, int x, int y);
void PictureScaleDrag(Document& document, int y);

enum class FlatViewStep { kEnd = 0, kStart = 1, kRestore = 2 };
// While a rotation runs the view shows perspective (when that is the user's
// choice); a rotation that ends on an axis view switches to orthographic
// when "UseFlatView" is on; a cancelled one restores the saved projection.
void FlatView(Document& document, Workspace& workspace, FlatViewStep step);

// The Rotate Right/Left/Up/Down commands: angle.x -= b, angle.y -= a.
void RotateViewBy(Document& document, Workspace& workspace, float a, float b);
void ZoomIn(Document& document);
void ZoomOut(Document& document);
// Zoom To Selection (selectionOnly) and Zoom All: centre the counted points
// and fit them to 1.25 of the half window along the limiting axis.
void ZoomToFit(Document& document, bool selectionOnly);
// The mouse wheel: units are summed and every 120 of them multiply the zoom
// by 1.5 (up) or divide it by 1.5 (down), so a touchpad's small steps add
// up to what a wheel notch does. Does nothing when "UseMouseWheel" is 0.
void WheelZoom(Document& document, const Settings& settings, int delta);

// Snaps an angle to the nearest multiple of 90, halves away from zero.
float SnapToAxis(float degrees);

}  // namespace vexal
