// The OpenGL renderer of a document window: filled, shaded, textured and
// transparent surfaces, background pictures, the grid or reference cube,
// points and lines drawn just in front of the surfaces, the cartoon
// outlines (gl_outlines.h), and the transform handle overlay in its OpenGL
// form (gl_overlays.h).
//
// Shading is computed here from the model's own face and corner normals
// (OpenGL lighting stays off); the normals themselves come from
// RefreshNormals and are only read. Textures are uploaded by
// texture_loader.h and only bound here.
#pragma once

#include <cstdint>
#include <vector>

#include "math/vector.h"
#include "model/document.h"
#include "view/gl_overlays.h"
#include "view/software_renderer.h"
#include "view/texture_loader.h"

namespace vexal {

struct Settings;

// What the renderer takes from the settings and the main window.
struct GLViewSettings {
  ViewColors colors;
  int CellEdgeNormal = 1;
  int CellEdgeBorder = 1;
  int CellEdgeBoundary = 1;
  int CellEdgeSmooth = 1;
  float CellEdgeNormalWidth = 2.0f;
  float CellEdgeBorderWidth = 2.0f;
  float CellEdgeBoundaryWidth = 1.0f;
  float CellEdgeSmoothWidth = 1.0f;
  // The main window's cel-shade switch (not stored in the settings file).
  bool celShade = false;
};

GLViewSettings GLViewSettingsFrom(const Settings& settings, bool celShade = false);
// The colours and grid type the software renderer takes from the settings.
ViewColors ViewColorsFrom(const Settings& settings);

// An OpenGL colour (bytes / 255) from a 0x00BBGGRR colour.
struct GLColor {
  float r = 0, g = 0, b = 0;
};
GLColor ColorGL(uint32_t color);
// StateColor split into OpenGL's 0..1 channels.
GLColor StateColorGL(const ViewColors& colors, int32_t state);

// How geometry reaches OpenGL. kBatched draws whole runs of primitives that
// share their state from vertex arrays; kImmediate issues one glBegin/glEnd
// per polygon with a call per vertex attribute. Both give the same picture.
enum class GLDrawPath { kBatched, kImmediate };

// Scratch arrays of the renderer, kept by the window so a redraw does not
// allocate once they have grown to the model's size.
struct GLRenderBuffers {
  struct FaceRun {
    unsigned texture = 0;
    bool guide = false;
    bool cull = false;
    int firstFace = 0;  // into faceFirstVertex
    int faceCount = 0;
    int firstIndex = 0;  // into faceIndices
    int indexCount = 0;
  };
  struct LineRun {
    float width = 1.0f;
    int firstVertex = 0;
    int vertexCount = 0;
  };
  std::vector<int32_t> order;
  std::vector<float> keys;
  std::vector<float> depths;
  std::vector<uint8_t> marks;
  std::vector<float> vertices;
  std::vector<float> colors;
  std::vector<float> texCoords;
  std::vector<int32_t> faceFirstVertex;
  std::vector<unsigned> faceIndices;
  std::vector<FaceRun> faceRuns;
  std::vector<LineRun> lineRuns;
  std::vector<VECTOR> shellNormals;
  std::vector<VECTOR> pixels;
  std::vector<uint8_t> tags;
  std::vector<uint8_t> edgeFlags;
  std::vector<uint8_t> counts;
  std::vector<int32_t> firstFace;
  std::vector<int32_t> secondFace;
};

// The order surfaces are drawn in: back to front (ascending mean depth of
// the corners in the camera frame) when alphaMode is 2 and surfaces are
// shown, else 1..surface count. Fills `order` with surface numbers.
void SurfaceDrawOrder(const Document& document, std::vector<int32_t>& order,
                      std::vector<float>& keys, std::vector<float>& depths);

// Draws the scene into the current context, whose projection SetProjection
// has set. Restores every OpenGL state it changes.
void RenderGL(const Document& document, const DocumentTextures& textures,
              const GLViewSettings& settings, GLRenderBuffers& buffers,
              GLDrawPath path = GLDrawPath::kBatched);

// RenderGL and the handle overlay with the provisional line(s) of a chain
// being drawn left out, into the current context.
void DrawFrameGL(Document& document, const DocumentTextures& textures,
                 const GLViewSettings& settings, GLRenderBuffers& buffers,
                 GLDrawPath path = GLDrawPath::kBatched);

// One whole frame: Begin, DrawFrameGL, End. False when the context could not
// be made current (the frame is skipped).
bool RedrawGL(Document& document, GLLib& gl, const DocumentTextures& textures,
              const GLViewSettings& settings, GLRenderBuffers& buffers,
              GLDrawPath path = GLDrawPath::kBatched);

}  // namespace vexal
