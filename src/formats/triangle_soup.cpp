#include "formats/triangle_soup.h"

#include <cstring>

#include "formats/format.h"
#include "model/maintenance.h"

namespace vexal {
namespace {

// Over three times the most points a model holds, so probe runs stay short.
constexpr size_t kSlots = size_t{1} << 16;

uint32_t Bits(float value) {
  // -0 and +0 are the same position.
  if (value == 0.0f) value = 0.0f;
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

uint64_t PositionKey(const VECTOR& p) {
  uint64_t h = Bits(p.x);
  h = h * 0x9E3779B97F4A7C15ull ^ Bits(p.y);
  h = h * 0x9E3779B97F4A7C15ull ^ Bits(p.z);
  return h;
}

bool SamePosition(const VECTOR& a, const VECTOR& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

}  // namespace

void TriangleSoup::clear() {
  points_.clear();
  faces_.clear();
  slots_.assign(kSlots, 0);
  dropped_ = 0;
}

int32_t TriangleSoup::point(const VECTOR& position) {
  if (slots_.size() != kSlots) slots_.assign(kSlots, 0);
  size_t slot = static_cast<size_t>(PositionKey(position) >> 40) & (kSlots - 1);
  for (;;) {
    const int32_t index = slots_[slot];
    if (index == 0) break;
    if (SamePosition(points_[static_cast<size_t>(index - 1)], position)) return index;
    slot = (slot + 1) & (kSlots - 1);
  }
  if (points_.size() >= static_cast<size_t>(kMaxCount)) return 0;
  points_.push_back(position);
  const int32_t index = static_cast<int32_t>(points_.size());
  slots_[slot] = index;
  return index;
}

bool TriangleSoup::addTriangle(const std::array<int32_t, 3>& corners, const std::array<UV, 3>& uvs,
                               int32_t material) {
  if (corners[0] == corners[1] || corners[1] == corners[2] || corners[2] == corners[0]) {
    ++dropped_;
    return true;
  }
  if (faces_.size() >= static_cast<size_t>(kMaxCount)) return false;
  faces_.push_back({corners, uvs, material});
  return true;
}

bool TriangleSoup::commit(Model& model, FormatContext& context) const {
  ClearModel(model);
  if (faces_.empty()) {
    context.fail(dropped_ > 0 ? "every triangle is degenerate" : "no triangles");
    return false;
  }
  model.pointCount = static_cast<int32_t>(points_.size());
  for (size_t i = 0; i < points_.size(); ++i) {
    VERT& v = model.points[i + 1];
    v.position = points_[i];
  }
  model.faceCount = static_cast<int32_t>(faces_.size());
  for (size_t i = 0; i < faces_.size(); ++i) {
    const Face& face = faces_[i];
    FACE& f = model.faces[i + 1];
    f.corners = {face.corners[0], face.corners[1], face.corners[2], face.corners[0]};
    f.uv = {face.uvs[0], face.uvs[1], face.uvs[2], face.uvs[0]};
    f.material = face.material;
  }
  if (!CompactModel(model, kCompactRebuildLines | kCompactRequirePoints)) {
    ClearModel(model);
    context.fail("the surfaces need more than 19999 lines");
    return false;
  }
  return true;
}

}  // namespace vexal
