#include "view/gl_outlines.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "model/camera.h"
#include "view/gl_draw_support.h"

namespace vexal {

using namespace gl_draw;

namespace {

constexpr float kDegreesToRadians = 0.0174532924f;

// The silhouette shell: every surface pushed out along its points' normals
// by a few pixels, wound the other way and drawn filled only where it faces
// the viewer, which is the rim around the model's outline.
void DrawOutlineShell(const Document& document, const GLViewSettings& settings,
                      GLRenderBuffers& buffers, GLDrawPath path) {
  const Model& model = document.model;
  const float depth = ProjectPoint(document, document.scene.handle, false).z;
  const float k = -PixelSize(document, depth) * settings.CellEdgeNormalWidth;
  buffers.shellNormals.assign(static_cast<size_t>(model.pointCount) + 1, VECTOR());
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material == kGuideMaterial || !ValidCorners(model, face)) continue;
    for (int j = 0; j < CornerCount(face); ++j) buffers.shellNormals[face.corners[j]] += face.normal;
  }
  for (VECTOR& normal : buffers.shellNormals) normal.normalize();

  ClearVertices(buffers);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.state == kStateHidden || face.material == kGuideMaterial) continue;
    if (!ValidCorners(model, face)) continue;
    const GLColor color = StateColorGL(settings.colors, face.state);
    for (int j = 3; j >= 0; --j) {
      const int32_t corner = face.corners[j];
      PushVertex(buffers.vertices, model.points[corner].position + buffers.shellNormals[corner] * k);
      PushColor(buffers.colors, color);
    }
  }
  glEdgeFlag(GL_FALSE);
  glPolygonMode(GL_FRONT, GL_FILL);
  glPolygonMode(GL_BACK, GL_LINE);
  if (path == GLDrawPath::kBatched) {
    DrawVertices(GL_QUADS, buffers, 0, VertexCount(buffers), false, path);
  } else {
    glBegin(GL_QUADS);
    for (int i = 0; i < VertexCount(buffers); ++i) {
      glColor4fv(&buffers.colors[4 * static_cast<size_t>(i)]);
      glVertex3fv(&buffers.vertices[3 * static_cast<size_t>(i)]);
    }
    glEnd();
  }
  glEdgeFlag(GL_TRUE);
}

constexpr uint8_t kEdgeBoundary = 1;  // between two materials
constexpr uint8_t kEdgeCrease = 2;    // sharper than the smoothing angle
constexpr uint8_t kEdgeBorder = 4;    // open edge or silhouette

void ClassifyEdges(const Document& document, const GLViewSettings& settings,
                   GLRenderBuffers& buffers) {
  const Model& model = document.model;
  const size_t lines = static_cast<size_t>(model.lineCount) + 1;
  buffers.tags.assign(lines, 0);
  buffers.edgeFlags.assign(lines, 0);
  buffers.counts.assign(lines, 0);
  buffers.firstFace.assign(lines, 0);
  buffers.secondFace.assign(lines, 0);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material == kGuideMaterial || face.material < 0 || face.material >= kMaterialCount) {
      continue;
    }
    for (int j = 0; j < CornerCount(face); ++j) {
      const int32_t r = LineIndex(model, face.lines[j]);
      if (r == 0) continue;
      if (settings.CellEdgeBoundary != 0) {
        const uint8_t tag = static_cast<uint8_t>(face.material + 1);
        if (buffers.tags[r] == 0) {
          buffers.tags[r] = tag;
        } else if (buffers.tags[r] != tag) {
          buffers.tags[r] = 255;
          buffers.edgeFlags[r] |= kEdgeBoundary;
        }
      }
      ++buffers.counts[r];
      if (buffers.counts[r] == 1) buffers.firstFace[r] = s;
      if (buffers.counts[r] == 2) buffers.secondFace[r] = s;
      if (buffers.counts[r] == 4) buffers.counts[r] = 3;
    }
  }
  if (settings.CellEdgeBorder != 0) {
    for (size_t r = 1; r < lines; ++r) {
      if (buffers.counts[r] <= 1) buffers.edgeFlags[r] |= kEdgeBorder;
    }
  }
  if (settings.CellEdgeSmooth == 0 && settings.CellEdgeBorder == 0) return;

  float thresholds[kMaterialCount];
  for (int m = 0; m < kMaterialCount; ++m) {
    thresholds[m] = std::cos(model.materials[m].smoothingAngle * kDegreesToRadians);
  }
  const MATRIX pixelTransform = ViewMatrix(document, true);
  buffers.pixels.resize(static_cast<size_t>(model.pointCount) + 1);
  for (int p = 1; p <= model.pointCount; ++p) {
    buffers.pixels[p] = model.points[p].position.transformed(pixelTransform);
  }
  auto facing = [&](const FACE& face) {
    const VECTOR& a = buffers.pixels[face.corners[0]];
    const VECTOR& b = buffers.pixels[face.corners[1]];
    const VECTOR& c = buffers.pixels[face.corners[2]];
    const VECTOR normal = (a - b).cross(b - c).normalized();
    return normal.dot(VECTOR(0, 0, -1));
  };
  for (size_t r = 1; r < lines; ++r) {
    if (buffers.counts[r] != 2) continue;
    const FACE& f1 = model.faces[buffers.firstFace[r]];
    const FACE& f2 = model.faces[buffers.secondFace[r]];
    if (settings.CellEdgeSmooth != 0) {
      const float l1 = f1.normal.length();
      const float l2 = f2.normal.length();
      float c = 1.0f;
      if (l1 != 0.0f && l2 != 0.0f) {
        c = f2.normal.dot(f1.normal) / (l1 * l2);
        if (c > 0.9999f) c = 1.0f;
        if (c < -0.9999f) c = -1.0f;
      }
      if (c < thresholds[f1.material]) buffers.edgeFlags[r] |= kEdgeCrease;
    }
    if (settings.CellEdgeBorder != 0 && ValidCorners(model, f1) && ValidCorners(model, f2)) {
      if (facing(f1) * facing(f2) < 0.0f) buffers.edgeFlags[r] |= kEdgeBorder;
    }
  }
}

void DrawOutlineEdges(const Document& document, const GLViewSettings& settings,
                      GLRenderBuffers& buffers, GLDrawPath path) {
  const Model& model = document.model;
  const SCENE& scene = document.scene;
  ClearVertices(buffers);
  buffers.lineRuns.clear();
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    const uint8_t flags = buffers.edgeFlags[l];
    const uint8_t mark = buffers.marks[l];
    const bool shown = flags != 0 && (line.state != kStateHidden || scene.showHiddenEdges == 1);
    if (!shown && mark == 0) continue;
    if (!ValidPoint(model, line.a) || !ValidPoint(model, line.b)) continue;
    float width = 1.0f;
    if (flags & kEdgeBoundary) width = std::max(width, settings.CellEdgeBoundaryWidth);
    if (flags & kEdgeCrease) width = std::max(width, settings.CellEdgeSmoothWidth);
    if (flags & kEdgeBorder) width = std::max(width, settings.CellEdgeBorderWidth);
    if (buffers.lineRuns.empty() || buffers.lineRuns.back().width != width) {
      buffers.lineRuns.push_back({width, VertexCount(buffers), 0});
    }
    const GLColor color = StateColorGL(settings.colors, mark != 0 ? mark - 1 : line.state);
    PushVertex(buffers.vertices, model.points[line.a].position);
    PushVertex(buffers.vertices, model.points[line.b].position);
    PushColor(buffers.colors, color);
    PushColor(buffers.colors, color);
    buffers.lineRuns.back().vertexCount += 2;
  }
  for (const GLRenderBuffers::LineRun& run : buffers.lineRuns) {
    glLineWidth(run.width);
    if (path == GLDrawPath::kBatched) {
      DrawVertices(GL_LINES, buffers, run.firstVertex, run.vertexCount, false, path);
    } else {
      for (int v = run.firstVertex; v < run.firstVertex + run.vertexCount; v += 2) {
        DrawVertices(GL_LINES, buffers, v, 2, false, path);
      }
    }
  }
  glLineWidth(1.0f);
}

}  // namespace

bool CartoonOutlinesOn(const SCENE& scene, const GLViewSettings& settings) {
  return (scene.viewMode == 1 || scene.viewMode == 2) && scene.cellEdge == 1 &&
         (settings.CellEdgeNormal != 0 || settings.CellEdgeBorder != 0 ||
          settings.CellEdgeBoundary != 0 || settings.CellEdgeSmooth != 0);
}

void DrawCartoonOutlines(const Document& document, const GLViewSettings& settings,
                         GLRenderBuffers& buffers, GLDrawPath path) {
  if (settings.CellEdgeNormal != 0) DrawOutlineShell(document, settings, buffers, path);
  ClassifyEdges(document, settings, buffers);
  NudgedCamera(document.scene);
  DrawOutlineEdges(document, settings, buffers, path);
}

}  // namespace vexal
