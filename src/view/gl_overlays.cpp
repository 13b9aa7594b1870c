#include "view/gl_overlays.h"

#include <GL/gl.h>

#include "model/camera.h"
#include "view/gl_draw_support.h"

namespace vexal {

using namespace gl_draw;

void DrawHandleAxesGL(const Document& document) {
  const SCENE& scene = document.scene;
  const MODE& mode = document.mode;
  auto isTransform = [](int32_t tool) { return tool >= kToolMove && tool <= kToolScale; };
  if (!(isTransform(mode.tool) || isTransform(mode.savedTool))) return;
  if (scene.selectedCount == 0 || scene.showHandle != 1) return;

  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_CULL_FACE);
  glDisable(GL_LIGHTING);
  BaseCamera(scene);

  const VECTOR& h = scene.handle;
  const float depth = ProjectPoint(document, h, false).z;
  const float length = PixelSize(document, depth) * 80.0f;
  glDisable(GL_DEPTH_TEST);
  glLineWidth(2.0f);
  glBegin(GL_LINES);
  glColor3f(1, 0, 0);
  glVertex3f(h.x, h.y, h.z);
  glVertex3f(h.x - length, h.y, h.z);
  glColor3f(0, 0.5f, 0);
  glVertex3f(h.x, h.y, h.z);
  glVertex3f(h.x, h.y - length, h.z);
  glColor3f(0, 0, 1);
  glVertex3f(h.x, h.y, h.z);
  glVertex3f(h.x, h.y, h.z - length);
  glEnd();
  glLineWidth(1.0f);
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  if (scene.pivotMode == 1) {
    glColor3f(0.5f, 1, 0.5f);
  } else {
    glColor3f(1, 1, 0);
  }
  const float s = PixelSize(document, depth) * 10.0f;
  const float square[4][2] = {{s, s}, {-s, s}, {-s, -s}, {s, -s}};
  glBegin(GL_POLYGON);
  for (const auto& corner : square) {
    const VECTOR p = h + UnprojectPoint(document, corner[0], corner[1], 0.0f, false);
    glVertex3f(p.x, p.y, p.z);
  }
  glEnd();
  glLineWidth(1.0f);

  glPopMatrix();
  glPopAttrib();
}

void DrawRubberLinesGL(const std::vector<RubberLine>& lines, int width, int height) {
  if (lines.empty() || width <= 0 || height <= 0) return;
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_LINE_STIPPLE);
  glLineWidth(1.0f);
  glEnable(GL_COLOR_LOGIC_OP);
  glLogicOp(GL_INVERT);
  glBegin(GL_LINES);
  for (const RubberLine& line : lines) {
    // Pixel centres, so a line lands on the pixels the software pen sets.
    glVertex2f(static_cast<float>(line.x0) + 0.5f, static_cast<float>(line.y0) + 0.5f);
    glVertex2f(static_cast<float>(line.x1) + 0.5f, static_cast<float>(line.y1) + 0.5f);
  }
  glEnd();
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopAttrib();
}

}  // namespace vexal
