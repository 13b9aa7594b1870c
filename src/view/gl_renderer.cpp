#include "view/gl_renderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <utility>

#include "settings/settings.h"
#include "model/camera.h"

namespace vexal {
namespace {

constexpr float kDegreesToRadians = 0.0174532924f;

const VECTOR kCubePoints[8] = {{-1, 1, -1}, {-1, -1, -1}, {1, -1, -1}, {1, 1, -1},
                               {-1, 1, 1},  {-1, -1, 1},  {1, -1, 1},  {1, 1, 1}};
const int kCubeLines[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {0, 4}, {1, 5},
                               {2, 6}, {3, 7}, {4, 5}, {5, 6}, {6, 7}, {7, 4}};

// A one-pixel checkerboard: rows alternate AA and 55.
struct StipplePattern {
  GLubyte rows[128];
  StipplePattern() {
    for (int row = 0; row < 32; ++row) {
      for (int column = 0; column < 4; ++column) rows[row * 4 + column] = row % 2 == 0 ? 0xAA : 0x55;
    }
  }
};
const StipplePattern kGuideStipple;

float Clamp01(float value) { return value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value); }

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

void BaseCamera(const SCENE& scene) { Camera(scene, scene.distance, scene.zoom); }

// Lines and outlines are drawn from an eye moved a little toward the target
// (with a compensating scale in perspective), so that they pass the depth
// test in front of the surfaces they border.
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

// Draws vertices [first, first + count) of the buffers as one primitive.
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

// The literal quicksort of the blended view: the middle element becomes the
// pivot at the front; one scan walks the pivot along, moving each smaller
// key in front of it and swapping every other key to the back end; both
// parts are sorted alike. Which surface of two at the same depth comes
// first follows from these exact moves, and with it which one the depth
// test keeps. The smaller part is sorted by recursion and the larger by
// the loop, which keeps the stack shallow without changing the result.
void SortByKey(std::vector<float>& keys, std::vector<int32_t>& order, int low, int high) {
  while (low < high) {
    const int middle = low + (high - low) / 2;
    std::swap(keys[low], keys[middle]);
    std::swap(order[low], order[middle]);
    int pivot = low;
    int back = high;
    while (pivot < back) {
      const int next = pivot + 1;
      if (keys[next] < keys[pivot]) {
        std::swap(keys[pivot], keys[next]);
        std::swap(order[pivot], order[next]);
        pivot = next;
      } else {
        std::swap(keys[next], keys[back]);
        std::swap(order[next], order[back]);
        --back;
      }
    }
    if (pivot - low < high - pivot) {
      SortByKey(keys, order, low, pivot - 1);
      low = pivot + 1;
    } else {
      SortByKey(keys, order, pivot + 1, high);
      high = pivot - 1;
    }
  }
}

void DrawGrid(const ViewColors& colors) {
  glBegin(GL_LINES);
  if (colors.gridType != -1 && colors.gridType != 0) {
    const float e = 12.0f * (1.0f / 3.0f);
    for (int i = -12; i <= 12; ++i) {
      const float x = static_cast<float>(i) * (1.0f / 3.0f);
      if (i != 0) {
        glColor3f(0.5f, 0.5f, 0.5f);
        glVertex3f(x, 0, -e);
        glVertex3f(x, 0, e);
        glVertex3f(-e, 0, x);
        glVertex3f(e, 0, x);
      } else {
        glColor3f(0, 0, 0);
        glVertex3f(0, 0, -e);
        glVertex3f(0, 0, 0);
        glVertex3f(-e, 0, 0);
        glVertex3f(0, 0, 0);
      }
    }
    glColor3f(1, 0, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(5, 0, 0);
    glColor3f(0, 1, 0);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 5, 0);
    glColor3f(0, 0, 1);
    glVertex3f(0, 0, 0);
    glVertex3f(0, 0, 5);
  } else {
    for (int edge = 0; edge < 12; ++edge) {
      if (edge < 8) {
        glColor3f(0.5f, 1.0f, 0.5f);
      } else {
        glColor3f(1.0f, 0.5f, 0.5f);
      }
      const VECTOR& a = kCubePoints[kCubeLines[edge][0]];
      const VECTOR& b = kCubePoints[kCubeLines[edge][1]];
      glVertex3f(a.x, a.y, a.z);
      glVertex3f(b.x, b.y, b.z);
    }
  }
  glEnd();
}

void DrawBackPictures(const Document& document, const DocumentTextures& textures) {
  const SCENE& scene = document.scene;
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glPolygonMode(GL_FRONT, GL_FILL);
  glPolygonMode(GL_BACK, GL_LINE);
  glEnable(GL_TEXTURE_2D);
  const float s = scene.pictureScale;
  const float depth = scene.pictureDepth;
  const VECTOR& p = scene.pictureOffset;
  for (int slot = 0; slot < kPictureSlots; ++slot) {
    const BPICTURE& picture = document.model.pictures[slot];
    if (picture.loaded == 0) continue;
    const float w = static_cast<float>(picture.width) * 0.01f * s;
    const float h = static_cast<float>(picture.height) * 0.01f * s;
    const float u = (picture.flipSide != 0 ? depth : -depth) * s;
    const float m = (picture.flipSide + picture.flip) % 2 != 0 ? 1.0f : 0.0f;
    VECTOR corners[4];
    if (slot == 0) {
      corners[0] = {u, p.y + h, p.z + w};
      corners[1] = {u, p.y - h, p.z + w};
      corners[2] = {u, p.y - h, p.z - w};
      corners[3] = {u, p.y + h, p.z - w};
    } else if (slot == 1) {
      corners[0] = {p.x - w, u, p.z - h};
      corners[1] = {p.x - w, u, p.z + h};
      corners[2] = {p.x + w, u, p.z + h};
      corners[3] = {p.x + w, u, p.z - h};
    } else {
      corners[0] = {p.x - w, p.y + h, u};
      corners[1] = {p.x - w, p.y - h, u};
      corners[2] = {p.x + w, p.y - h, u};
      corners[3] = {p.x + w, p.y + h, u};
    }
    const UV texCoords[4] = {{m, 0}, {m, 1}, {1 - m, 1}, {1 - m, 0}};
    glBindTexture(GL_TEXTURE_2D, textures.picture[slot]);
    glColor3f(1, 1, 1);
    glBegin(GL_POLYGON);
    for (int n = 0; n < 4; ++n) {
      const int i = picture.flipSide != 0 ? 3 - n : n;
      glTexCoord2f(texCoords[i].u, texCoords[i].v);
      glVertex3f(corners[i].x, corners[i].y, corners[i].z);
    }
    glEnd();
  }
  glDisable(GL_TEXTURE_2D);
}

void DrawPoints(const Document& document, const GLViewSettings& settings, GLRenderBuffers& buffers,
                GLDrawPath path) {
  const Model& model = document.model;
  ClearVertices(buffers);
  const GLColor stateColors[3] = {StateColorGL(settings.colors, 0),
                                  StateColorGL(settings.colors, 1),
                                  StateColorGL(settings.colors, 2)};
  for (int p = 1; p <= model.pointCount; ++p) {
    const VERT& point = model.points[p];
    if (point.state == kStateHidden) continue;
    PushVertex(buffers.vertices, point.position);
    PushColor(buffers.colors, stateColors[point.state == kStateSelected ? 1 : 0]);
  }
  DrawVertices(GL_POINTS, buffers, 0, VertexCount(buffers), false, path);
}

void ComputeMarks(const Model& model, std::vector<uint8_t>& marks) {
  marks.assign(static_cast<size_t>(model.lineCount) + 1, 0);
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    for (int j = 0; j < CornerCount(face); ++j) {
      const int32_t r = LineIndex(model, face.lines[j]);
      if (r == 0) continue;
      if (face.state == kStateSelected) {
        marks[r] = 2;
      } else if (face.state == kStateNormal && model.lines[r].state == kStateHidden) {
        marks[r] = 1;
      }
    }
  }
}

void DrawLines(const Document& document, const GLViewSettings& settings, GLRenderBuffers& buffers,
               GLDrawPath path) {
  const Model& model = document.model;
  const SCENE& scene = document.scene;
  ClearVertices(buffers);
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    const uint8_t mark = buffers.marks[l];
    if (line.state == kStateHidden && scene.showHiddenEdges != 1 && mark == 0) continue;
    if (!ValidPoint(model, line.a) || !ValidPoint(model, line.b)) continue;
    const GLColor color = StateColorGL(settings.colors, mark != 0 ? mark - 1 : line.state);
    PushVertex(buffers.vertices, model.points[line.a].position);
    PushVertex(buffers.vertices, model.points[line.b].position);
    PushColor(buffers.colors, color);
    PushColor(buffers.colors, color);
  }
  DrawVertices(GL_LINES, buffers, 0, VertexCount(buffers), false, path);
}

void ApplyFaceRunState(const GLRenderBuffers::FaceRun& run) {
  glBindTexture(GL_TEXTURE_2D, run.texture);
  if (run.cull) {
    glEnable(GL_CULL_FACE);
  } else {
    glDisable(GL_CULL_FACE);
  }
  if (run.guide) {
    glEnable(GL_POLYGON_STIPPLE);
  } else {
    glDisable(GL_POLYGON_STIPPLE);
  }
}

void DrawSurfaces(const Document& document, const DocumentTextures& textures,
                  const GLViewSettings& settings, GLRenderBuffers& buffers, GLDrawPath path) {
  const Model& model = document.model;
  const SCENE& scene = document.scene;
  const MATRIX rotation = ViewMatrix(document, false);
  VECTOR light = VECTOR(-1, 1, 1).transformed(rotation);
  light.normalize();
  const VECTOR view = VECTOR(0, 0, 1).transformed(rotation);

  glDisable(GL_CULL_FACE);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glPolygonStipple(kGuideStipple.rows);

  ClearVertices(buffers);
  buffers.faceFirstVertex.clear();
  buffers.faceIndices.clear();
  buffers.faceRuns.clear();
  for (int32_t s : buffers.order) {
    const FACE& face = model.faces[s];
    if (face.state == kStateHidden) continue;
    const bool guide = face.material == kGuideMaterial;
    if (guide && scene.showDummy == 0) continue;
    if (face.material < 0 || face.material >= kMaterialCount || !ValidCorners(model, face)) continue;
    bool cull = false;
    if (scene.perspective == 1) {
      cull = scene.doubleSided != 1 && !guide;
    } else if (scene.doubleSided == 0 && !guide && face.normal.dot(view) < 0.0f) {
      continue;
    }
    const MATERIAL& material = model.materials[face.material];
    const int corners = CornerCount(face);
    float intensity[4] = {1, 1, 1, 1};
    if (scene.showLight == 1 || settings.celShade) {
      const bool smooth = scene.smooth == 1 && !guide;
      for (int j = 0; j < corners; ++j) {
        float value = (smooth ? face.cornerNormals[j] : face.normal).dot(light);
        if (scene.showLight == 1) {
          if (value < 0.0f && scene.showReflection == 1) value = -value;
        } else {
          value = value > 0.3f ? 1.0f : 0.0f;
        }
        intensity[j] = value;
      }
    }
    const bool greyTexture =
        material.textureLoaded != 0 && material.blend == 0 && scene.showTexture == 1;
    const float alpha = scene.alphaMode == 2 && material.light[3] != 255
                            ? static_cast<float>(material.light[3]) / 255.0f
                            : 1.0f;

    const unsigned texture = textures.material[static_cast<size_t>(face.material)];
    if (buffers.faceRuns.empty() || buffers.faceRuns.back().texture != texture ||
        buffers.faceRuns.back().guide != guide || buffers.faceRuns.back().cull != cull) {
      GLRenderBuffers::FaceRun run;
      run.texture = texture;
      run.guide = guide;
      run.cull = cull;
      run.firstFace = static_cast<int>(buffers.faceFirstVertex.size());
      run.firstIndex = static_cast<int>(buffers.faceIndices.size());
      buffers.faceRuns.push_back(run);
    }
    GLRenderBuffers::FaceRun& run = buffers.faceRuns.back();
    const unsigned first = static_cast<unsigned>(VertexCount(buffers));
    buffers.faceFirstVertex.push_back(static_cast<int32_t>(first));
    ++run.faceCount;
    for (int j = 0; j < corners; ++j) {
      const float i = intensity[j];
      GLColor color;
      if (greyTexture) {
        color.r = color.g = color.b = Clamp01(0.5f + 0.5f * i);
      } else {
        auto channel = [&](int c) {
          return Clamp01((static_cast<float>(material.dark[c]) * (1.0f - i) +
                          static_cast<float>(material.light[c]) * i) /
                         255.0f);
        };
        color = {channel(0), channel(1), channel(2)};
      }
      buffers.colors.insert(buffers.colors.end(), {color.r, color.g, color.b, alpha});
      buffers.texCoords.insert(buffers.texCoords.end(), {face.uv[j].u, 1.0f - face.uv[j].v});
      PushVertex(buffers.vertices, model.points[face.corners[j]].position);
    }
    // The polygon as a fan from corner 0, the way OpenGL splits it.
    for (int j = 1; j + 1 < corners; ++j) {
      buffers.faceIndices.insert(buffers.faceIndices.end(),
                                 {first, first + static_cast<unsigned>(j),
                                  first + static_cast<unsigned>(j + 1)});
    }
    run.indexCount = static_cast<int>(buffers.faceIndices.size()) - run.firstIndex;
  }
  buffers.faceFirstVertex.push_back(VertexCount(buffers));

  const bool textured = scene.showTexture == 1;
  if (path == GLDrawPath::kBatched) {
    glVertexPointer(3, GL_FLOAT, 0, buffers.vertices.data());
    glColorPointer(4, GL_FLOAT, 0, buffers.colors.data());
    glTexCoordPointer(2, GL_FLOAT, 0, buffers.texCoords.data());
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    if (textured) glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (const GLRenderBuffers::FaceRun& run : buffers.faceRuns) {
      ApplyFaceRunState(run);
      glDrawElements(GL_TRIANGLES, run.indexCount, GL_UNSIGNED_INT,
                     buffers.faceIndices.data() + run.firstIndex);
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
  } else {
    for (const GLRenderBuffers::FaceRun& run : buffers.faceRuns) {
      ApplyFaceRunState(run);
      for (int f = run.firstFace; f < run.firstFace + run.faceCount; ++f) {
        const int first = buffers.faceFirstVertex[static_cast<size_t>(f)];
        const int count = buffers.faceFirstVertex[static_cast<size_t>(f) + 1] - first;
        DrawVertices(GL_POLYGON, buffers, first, count, textured, path);
      }
    }
  }
  glDisable(GL_POLYGON_STIPPLE);
  glDisable(GL_CULL_FACE);
}

bool CartoonOutlinesOn(const SCENE& scene, const GLViewSettings& settings) {
  return (scene.viewMode == 1 || scene.viewMode == 2) && scene.cellEdge == 1 &&
         (settings.CellEdgeNormal != 0 || settings.CellEdgeBorder != 0 ||
          settings.CellEdgeBoundary != 0 || settings.CellEdgeSmooth != 0);
}

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

GLViewSettings GLViewSettingsFrom(const Settings& settings, bool celShade) {
  GLViewSettings result;
  result.colors = ViewColorsFrom(settings);
  result.CellEdgeNormal = settings.CellEdgeNormal;
  result.CellEdgeBorder = settings.CellEdgeBorder;
  result.CellEdgeBoundary = settings.CellEdgeBoundary;
  result.CellEdgeSmooth = settings.CellEdgeSmooth;
  result.CellEdgeNormalWidth = settings.CellEdgeNormalWidth;
  result.CellEdgeBorderWidth = settings.CellEdgeBorderWidth;
  result.CellEdgeBoundaryWidth = settings.CellEdgeBoundaryWidth;
  result.CellEdgeSmoothWidth = settings.CellEdgeSmoothWidth;
  result.celShade = celShade;
  return result;
}

ViewColors ViewColorsFrom(const Settings& settings) {
  ViewColors colors;
  colors.background = static_cast<uint32_t>(settings.WindowBGColor);
  colors.normal = static_cast<uint32_t>(settings.WindowNormalColor);
  colors.selected = static_cast<uint32_t>(settings.WindowSelectColor);
  colors.hidden = static_cast<uint32_t>(settings.WindowHideColor);
  colors.gridType = settings.GridType;
  return colors;
}

GLColor ColorGL(uint32_t color) {
  return {static_cast<float>(color & 255u) / 255.0f,
          static_cast<float>((color >> 8) & 255u) / 255.0f,
          static_cast<float>((color >> 16) & 255u) / 255.0f};
}

GLColor StateColorGL(const ViewColors& colors, int32_t state) {
  return ColorGL(StateColor(colors, state));
}

void SurfaceDrawOrder(const Document& document, std::vector<int32_t>& order,
                      std::vector<float>& keys, std::vector<float>& depths) {
  const Model& model = document.model;
  const SCENE& scene = document.scene;
  order.resize(static_cast<size_t>(std::max(model.faceCount, 0)));
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int32_t>(i) + 1;
  if (scene.alphaMode != 2 || (scene.viewMode != 1 && scene.viewMode != 2)) return;
  const MATRIX inverse = InverseViewMatrix(document, false);
  depths.resize(static_cast<size_t>(model.pointCount) + 1);
  for (int p = 1; p <= model.pointCount; ++p) {
    depths[p] = model.points[p].position.transformed(inverse).z;
  }
  keys.resize(order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    const FACE& face = model.faces[order[i]];
    const int corners = CornerCount(face);
    float sum = 0.0f;
    for (int j = 0; j < corners; ++j) {
      if (ValidPoint(model, face.corners[j])) sum += depths[face.corners[j]];
    }
    keys[i] = sum / static_cast<float>(corners);
  }
  SortByKey(keys, order, 0, static_cast<int>(order.size()) - 1);
}

void RenderGL(const Document& document, const DocumentTextures& textures,
              const GLViewSettings& settings, GLRenderBuffers& buffers, GLDrawPath path) {
  const SCENE& scene = document.scene;
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  // Whatever the host left in the context, the picture starts from the
  // fixed-function defaults it was designed for.
  glDisable(GL_LIGHTING);
  glDisable(GL_COLOR_MATERIAL);
  glDisable(GL_POLYGON_OFFSET_FILL);
  glDisable(GL_DITHER);
  // A frame ends with culling and texturing off; the background pictures
  // rely on that (their back side shows as an outline, not culled).
  glDisable(GL_CULL_FACE);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_POLYGON_STIPPLE);
  glShadeModel(GL_SMOOTH);
  glDepthFunc(GL_LESS);
  glDepthMask(GL_TRUE);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glLineWidth(1.0f);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);

  SurfaceDrawOrder(document, buffers.order, buffers.keys, buffers.depths);

  glPointSize(4.0f);
  const GLColor background = ColorGL(settings.colors.background);
  glClearColor(background.r, background.g, background.b, 1.0f);
  glEnable(GL_DEPTH_TEST);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  BaseCamera(scene);
  if (scene.showGrid == 1) DrawGrid(settings.colors);
  if (scene.showBackPicture == 1) DrawBackPictures(document, textures);

  if (scene.alphaMode == 1) {
    glDisable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.125f);
  } else if (scene.alphaMode == 2) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_ALPHA_TEST);
  } else {
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
  }

  const bool wires = scene.viewMode == 0 || scene.viewMode == 2;
  if (wires) {
    DrawPoints(document, settings, buffers, path);
    ComputeMarks(document.model, buffers.marks);
    NudgedCamera(scene);
    DrawLines(document, settings, buffers, path);
  } else {
    buffers.marks.assign(static_cast<size_t>(document.model.lineCount) + 1, 0);
  }

  if (scene.showTexture == 1) {
    glEnable(GL_TEXTURE_2D);
  } else {
    glDisable(GL_TEXTURE_2D);
  }
  BaseCamera(scene);
  if (scene.viewMode == 1 || scene.viewMode == 2) {
    DrawSurfaces(document, textures, settings, buffers, path);
  }
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);

  if (CartoonOutlinesOn(scene, settings)) {
    if (settings.CellEdgeNormal != 0) DrawOutlineShell(document, settings, buffers, path);
    ClassifyEdges(document, settings, buffers);
    NudgedCamera(scene);
    DrawOutlineEdges(document, settings, buffers, path);
  }

  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopClientAttrib();
  glPopAttrib();
}

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

void DrawFrameGL(Document& document, const DocumentTextures& textures,
                 const GLViewSettings& settings, GLRenderBuffers& buffers, GLDrawPath path) {
  // The open line(s) of a chain being drawn belong to the rubber band, which
  // the window draws afterwards, not to the scene.
  int provisional = 0;
  if (DrawingChain(document.mode, kToolPoint)) provisional = 1;
  if (DrawingChain(document.mode, kToolDPoint)) provisional = 2;
  provisional = std::min(provisional, document.model.lineCount);
  document.model.lineCount -= provisional;
  RenderGL(document, textures, settings, buffers, path);
  DrawHandleAxesGL(document);
  document.model.lineCount += provisional;
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

bool RedrawGL(Document& document, GLLib& gl, const DocumentTextures& textures,
              const GLViewSettings& settings, GLRenderBuffers& buffers, GLDrawPath path) {
  if (!gl.Begin()) return false;
  DrawFrameGL(document, textures, settings, buffers, path);
  gl.End();
  return true;
}

}  // namespace vexal
