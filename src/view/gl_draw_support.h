// Small drawing steps the OpenGL renderer's passes share: index checks,
// the two cameras, and the vertex arrays of GLRenderBuffers drawn batched or
// one call per vertex.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <vector>

#include "math/vector.h"
#include "model/model.h"
#include "model/scene.h"
#include "view/gl_renderer.h"

namespace vexal::gl_draw {

// True when every corner of face names a point of model.
bool ValidCorners(const Model& model, const FACE& face);
// The line a surface's signed line reference names, or 0 when it names none.
int32_t LineIndex(const Model& model, int32_t reference);

// The view camera of the scene.
void BaseCamera(const SCENE& scene);
// Lines and outlines are drawn from an eye moved a little toward the target
// (with a compensating scale in perspective), so that they pass the depth
// test in front of the surfaces they border.
void NudgedCamera(const SCENE& scene);

void PushColor(std::vector<float>& colors, const GLColor& color);
void PushVertex(std::vector<float>& vertices, const VECTOR& p);
// Draws vertices [first, first + count) of the buffers as one primitive.
void DrawVertices(GLenum mode, const GLRenderBuffers& buffers, int first, int count, bool textured,
                  GLDrawPath path);
void ClearVertices(GLRenderBuffers& buffers);
int VertexCount(const GLRenderBuffers& buffers);

}  // namespace vexal::gl_draw
