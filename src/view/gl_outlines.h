// The cartoon outlines of the OpenGL renderer: a silhouette shell around
// the model and the edges it marks as material boundaries, creases (sharper
// than the material's smoothing angle) and borders (open edges and the
// silhouette), each kind at its own width.
#pragma once

#include "model/document.h"
#include "view/gl_renderer.h"

namespace vexal {

// True when the scene shows surfaces with outlines on and at least one kind
// of outline is switched on in the settings.
bool CartoonOutlinesOn(const SCENE& scene, const GLViewSettings& settings);

// Draws the outlines over the surfaces already drawn. buffers.marks must
// hold the line marks of the frame (one per line, 0 for none).
void DrawCartoonOutlines(const Document& document, const GLViewSettings& settings,
                         GLRenderBuffers& buffers, GLDrawPath path);

}  // namespace vexal
