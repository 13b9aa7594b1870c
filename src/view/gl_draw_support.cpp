#include "view/gl_draw_support.h"

namespace vexal::gl_draw {
namespace {

// gluLookAt from (0, 0, eye) to the origin with y up is a translation by
// -eye; then the view rotation, zoom and target.
void Camera(const SCENE& scene, float eye, float scale) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslated(0.0, 0.0, -static_cast<double>(eye));
  glRotatef(scene.angle.x, 1, 0, 0);
  glRotatef(-scene.angle.y, 0, 1, 0);
  glScalef(scale, scale, scale);
  glTranslatef(-scene.target.x, -scene.target.y, -scene.target.z);
}

}  // namespace


bool ValidCorners(const Model& model, const FACE& face) {
  for (int32_t corner : face.corners) {
    if (!ValidPoint(model, corner)) return false;
  }
  return true;
}

int32_t LineIndex(const Model& model, int32_t reference) {
  const int32_t index = reference < 0 ? -reference : reference;
  return index >= 1 && index <= model.lineCount ? index : 0;
}

void BaseCamera(const SCENE& scene) { Camera(scene, scene.distance, scene.zoom); }

void NudgedCamera(const SCENE& scene) {
  if (scene.perspective == 1) {
    const float eye = scene.distance - 0.08f;
    Camera(scene, eye, scene.zoom * eye / scene.distance);
  } else {
    Camera(scene, scene.distance - 0.03f, scene.zoom);
  }
}

void PushColor(std::vector<float>& colors, const GLColor& color) {
  colors.insert(colors.end(), {color.r, color.g, color.b, 1.0f});
}

void PushVertex(std::vector<float>& vertices, const VECTOR& p) {
  vertices.insert(vertices.end(), {p.x, p.y, p.z});
}

void DrawVertices(GLenum mode, const GLRenderBuffers& buffers, int first, int count, bool textured,
                  GLDrawPath path) {
  if (count <= 0) return;
  if (path == GLDrawPath::kBatched) {
    glVertexPointer(3, GL_FLOAT, 0, buffers.vertices.data());
    glColorPointer(4, GL_FLOAT, 0, buffers.colors.data());
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (textured) {
      glTexCoordPointer(2, GL_FLOAT, 0, buffers.texCoords.data());
      glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glDrawArrays(mode, first, count);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    return;
  }
  glBegin(mode);
  for (int i = first; i < first + count; ++i) {
    if (textured) glTexCoord2fv(&buffers.texCoords[2 * static_cast<size_t>(i)]);
    glColor4fv(&buffers.colors[4 * static_cast<size_t>(i)]);
    glVertex3fv(&buffers.vertices[3 * static_cast<size_t>(i)]);
  }
  glEnd();
}

void ClearVertices(GLRenderBuffers& buffers) {
  buffers.vertices.clear();
  buffers.colors.clear();
  buffers.texCoords.clear();
}

int VertexCount(const GLRenderBuffers& buffers) {
  return static_cast<int>(buffers.vertices.size() / 3);
}

}  // namespace vexal::gl_draw
