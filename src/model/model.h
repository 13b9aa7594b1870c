// The document model: fixed-capacity tables of points (VERT), lines (LINE)
// and three- or four-cornered surfaces (FACE), a 16-entry palette and three
// background picture slots. Tables are indexed from 1; record 0 exists but
// carries no geometry, and index 0 in a reference field means "none".
//
// The primitives below check nothing: callers keep indices in range. The
// maintenance operations (maintenance.h) enforce the capacity limit.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "math/vector.h"

namespace vexal {

inline constexpr int kPointSlots = 80000;
inline constexpr int kLineSlots = 80000;
inline constexpr int kFaceSlots = 20000;
// A valid model holds fewer than 20000 records in each table.
inline constexpr int kMaxCount = 19999;
inline constexpr int kMaterialCount = 16;
inline constexpr int kGuideMaterial = 15;
inline constexpr int kPictureSlots = 3;
inline constexpr int kTextCapacity = 260;

// Element states shared by points, lines and surfaces.
inline constexpr int32_t kStateNormal = 0;
inline constexpr int32_t kStateSelected = 1;
inline constexpr int32_t kStateHidden = 2;
inline constexpr int32_t kStateRemoved = -1;

// Bit 0 of VERT::flags: the point was hidden as a template.
inline constexpr int32_t kPointTemplateFlag = 1;

// A text field of kTextCapacity characters including the terminator.
using TextBuffer = std::array<char, kTextCapacity>;

std::string_view TextOf(const TextBuffer& buffer);
// Stores text; returns false (leaving the buffer unchanged) when it does not
// fit in kTextCapacity - 1 bytes, so a caller never truncates silently.
bool SetText(TextBuffer& buffer, std::string_view text);
// The name a palette entry has by default and takes when its name is
// cleared: "mat_00" .. "mat_15".
std::string DefaultMaterialName(int index);

struct VERT {
  VECTOR position;
  VECTOR selectedNormal;  // mean face normal of selected surfaces around it
  int32_t mirror = 0;     // partner across x = 0; 0 none, own index on the plane
  int32_t state = 0;
  int32_t selectionClass = 0;  // 0..4, derived by RefreshSelection
  int32_t flags = 0;
};

struct LINE {
  int32_t a = 0;
  int32_t b = 0;
  int32_t state = 0;
};

struct FACE {
  // Edge j runs from corner j to corner j+1; +i when LINE i runs that way,
  // -i when it runs the other way, 0 when unknown.
  std::array<int32_t, 4> lines{};
  // A triangle repeats corner 0 as corner 3.
  std::array<int32_t, 4> corners{};
  int32_t material = 0;
  int32_t state = 0;
  VECTOR normal;
  std::array<VECTOR, 4> cornerNormals{};
  std::array<UV, 4> uv{};
};

struct MATERIAL {
  int32_t textureWidth = 0;   // run-time only
  int32_t textureHeight = 0;  // run-time only
  int32_t textureLoaded = 0;  // run-time only
  int32_t blend = 0;          // "Blend Texture and color"
  float smoothingAngle = 59.5f;
  std::array<int32_t, 4> light{};  // R, G, B, A (A = opacity)
  std::array<int32_t, 4> dark{};
  TextBuffer name{};
  TextBuffer texture{};  // empty = no texture
};

struct BPICTURE {
  int32_t loaded = 0;  // run-time only
  int32_t width = 0;   // run-time only
  int32_t height = 0;  // run-time only
  int32_t flipSide = 0;
  int32_t flip = 0;
  VECTOR position;
  TextBuffer path{};
};

struct Model {
  int32_t pointCount = 0;
  int32_t lineCount = 0;
  int32_t faceCount = 0;
  // Sized to their capacities once and never resized.
  std::vector<VERT> points;
  std::vector<LINE> lines;
  std::vector<FACE> faces;
  std::array<MATERIAL, kMaterialCount> materials{};
  std::array<BPICTURE, kPictureSlots> pictures{};

  Model();
};

void SetPoint(Model& model, int point, float x, float y, float z, int32_t state, int32_t mirror);
void SetLine(Model& model, int line, int32_t a, int32_t b, int32_t state);
void SetFaceLines(Model& model, int surface, int32_t r0, int32_t r1, int32_t r2, int32_t r3);
void SetFaceCorners(Model& model, int surface, int32_t c0, int32_t c1, int32_t c2, int32_t c3);
void SetFace(Model& model, int surface, int32_t c0, int32_t c1, int32_t c2, int32_t c3,
             int32_t material, int32_t state);
void SetFaceUV(Model& model, int surface, UV uv0, UV uv1, UV uv2, UV uv3);
void SetMaterialColors(Model& model, int material, int32_t lightR, int32_t lightG, int32_t lightB,
                       int32_t lightA, int32_t darkR, int32_t darkG, int32_t darkB, int32_t darkA);

inline bool IsQuad(const FACE& face) { return face.corners[3] != face.corners[0]; }
inline int CornerCount(const FACE& face) { return IsQuad(face) ? 4 : 3; }
inline bool IsQuad(const Model& model, int surface) { return IsQuad(model.faces[surface]); }
inline int CornerCount(const Model& model, int surface) { return CornerCount(model.faces[surface]); }
// Whether point indexes a live record of the point table (1..pointCount).
inline bool ValidPoint(const Model& model, int32_t point) { return point >= 1 && point <= model.pointCount; }

// Empties the three tables, the palette (to the default palette) and the
// three picture slots.
void ClearModel(Model& model);
// Reverses the winding of one surface (corners, line references, UVs);
// normals are left for RefreshNormals.
void FlipFace(Model& model, int surface);
void FlipAllFaces(Model& model);
// Scales every point; mirrors the winding when sx*sy*sz is negative or NaN.
void ScaleModel(Model& model, float sx, float sy, float sz);
// Selected (1) points, lines and surfaces become normal; hidden stay hidden.
void DeselectAll(Model& model);
// The object of File > New: two mirrored squares of four points each with a
// quad on each (materials 1 and 2), line references linked.
void SetDefaultObject(Model& model);

// The default light and dark colours of palette entry `material`.
struct PaletteColors {
  std::array<int32_t, 3> light;
  std::array<int32_t, 3> dark;
};
PaletteColors DefaultPaletteColors(int material);

}  // namespace vexal
