#include "model/model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace vexal {
namespace {

constexpr PaletteColors kDefaultPalette[kMaterialCount] = {
    {{233, 233, 233}, {105, 105, 105}}, {{144, 255, 255}, {16, 127, 127}},
    {{144, 144, 255}, {16, 16, 127}},   {{255, 174, 174}, {127, 46, 46}},
    {{144, 255, 144}, {16, 127, 16}},   {{255, 255, 91}, {127, 127, 0}},
    {{255, 232, 217}, {192, 96, 48}},   {{198, 93, 53}, {38, 11, 0}},
    {{255, 255, 255}, {255, 255, 255}}, {{0, 0, 0}, {0, 0, 0}},
    {{231, 187, 150}, {231, 187, 150}}, {{255, 18, 18}, {192, 0, 0}},
    {{248, 248, 248}, {185, 185, 185}}, {{233, 233, 233}, {105, 105, 105}},
    {{233, 233, 233}, {105, 105, 105}}, {{233, 233, 233}, {105, 105, 105}},
};

}  // namespace

std::string_view TextOf(const TextBuffer& buffer) {
  return std::string_view(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

std::string DefaultMaterialName(int index) {
  char name[16];
  std::snprintf(name, sizeof name, "mat_%02d", index);
  return name;
}

bool SetText(TextBuffer& buffer, std::string_view text) {
  if (text.size() >= buffer.size()) return false;
  // An empty view may carry a null pointer, which memcpy must not see.
  if (!text.empty()) std::memcpy(buffer.data(), text.data(), text.size());
  std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(text.size()), buffer.end(), '\0');
  return true;
}

PaletteColors DefaultPaletteColors(int material) { return kDefaultPalette[material]; }

Model::Model() : points(kPointSlots), lines(kLineSlots), faces(kFaceSlots) { ClearModel(*this); }

void SetPoint(Model& model, int point, float x, float y, float z, int32_t state, int32_t mirror) {
  VERT& v = model.points[point];
  v.position.set(x, y, z);
  v.state = state;
  v.mirror = mirror;
}

void SetLine(Model& model, int line, int32_t a, int32_t b, int32_t state) {
  model.lines[line] = LINE{a, b, state};
}

void SetFaceLines(Model& model, int surface, int32_t r0, int32_t r1, int32_t r2, int32_t r3) {
  model.faces[surface].lines = {r0, r1, r2, r3};
}

void SetFaceCorners(Model& model, int surface, int32_t c0, int32_t c1, int32_t c2, int32_t c3) {
  model.faces[surface].corners = {c0, c1, c2, c3};
}

void SetFace(Model& model, int surface, int32_t c0, int32_t c1, int32_t c2, int32_t c3,
             int32_t material, int32_t state) {
  FACE& f = model.faces[surface];
  f.corners = {c0, c1, c2, c3};
  f.material = material;
  f.state = state;
}

void SetFaceUV(Model& model, int surface, UV uv0, UV uv1, UV uv2, UV uv3) {
  model.faces[surface].uv = {uv0, uv1, uv2, uv3};
}

void SetMaterialColors(Model& model, int material, int32_t lightR, int32_t lightG, int32_t lightB,
                       int32_t lightA, int32_t darkR, int32_t darkG, int32_t darkB, int32_t darkA) {
  MATERIAL& m = model.materials[material];
  m.light = {lightR, lightG, lightB, lightA};
  m.dark = {darkR, darkG, darkB, darkA};
}

void ClearModel(Model& model) {
  // Only the live part of a table can hold data; the slots beyond were
  // zeroed when the model was built or when they were last in use.
  std::fill(model.points.begin(), model.points.end(), VERT{});
  std::fill(model.lines.begin(), model.lines.end(), LINE{});
  std::fill(model.faces.begin(), model.faces.end(), FACE{});
  model.pointCount = model.lineCount = model.faceCount = 0;
  for (int i = 0; i < kMaterialCount; ++i) {
    MATERIAL m{};
    const PaletteColors& colors = kDefaultPalette[i];
    m.light = {colors.light[0], colors.light[1], colors.light[2], 255};
    m.dark = {colors.dark[0], colors.dark[1], colors.dark[2], 255};
    m.smoothingAngle = 59.5f;
    SetText(m.name, DefaultMaterialName(i));
    model.materials[i] = m;
  }
  for (BPICTURE& picture : model.pictures) picture = BPICTURE{};
}

void FlipFace(Model& model, int surface) {
  FACE& f = model.faces[surface];
  const auto c = f.corners;
  const auto r = f.lines;
  const auto u = f.uv;
  if (IsQuad(f)) {
    f.corners = {c[0], c[3], c[2], c[1]};
    f.lines = {-r[3], -r[2], -r[1], -r[0]};
    f.uv = {u[0], u[3], u[2], u[1]};
    // A quad whose first two corners are one point reads as a triangle once
    // reversed; it keeps a triangle's repeated first line reference.
    if (c[1] == c[0]) f.lines[3] = f.lines[0];
  } else {
    f.corners = {c[0], c[2], c[1], c[0]};
    f.lines = {-r[2], -r[1], -r[0], -r[2]};
    f.uv = {u[0], u[2], u[1], u[0]};
  }
}

void FlipAllFaces(Model& model) {
  for (int s = 1; s <= model.faceCount; ++s) FlipFace(model, s);
}

void ScaleModel(Model& model, float sx, float sy, float sz) {
  for (int p = 1; p <= model.pointCount; ++p) {
    VECTOR& v = model.points[p].position;
    v.x *= sx;
    v.y *= sy;
    v.z *= sz;
  }
  const float product = sx * sy * sz;
  if (product < 0.0f || std::isnan(product)) FlipAllFaces(model);
}

void DeselectAll(Model& model) {
  for (int p = 1; p <= model.pointCount; ++p) {
    if (model.points[p].state == kStateSelected) model.points[p].state = kStateNormal;
  }
  for (int l = 1; l <= model.lineCount; ++l) {
    if (model.lines[l].state == kStateSelected) model.lines[l].state = kStateNormal;
  }
  for (int s = 1; s <= model.faceCount; ++s) {
    if (model.faces[s].state == kStateSelected) model.faces[s].state = kStateNormal;
  }
}

}  // namespace vexal
