#include "formats/triangle_soup.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "formats/format.h"
#include "io/message_catalog.h"

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

// Every coordinate's bits reach the top bits the slot is taken from.
size_t Slot(const VECTOR& p) {
  uint64_t h = (uint64_t{Bits(p.x)} << 32 | Bits(p.y)) * 0x9E3779B97F4A7C15ull;
  h = (h ^ Bits(p.z)) * 0xC2B2AE3D27D4EB4Full;
  return static_cast<size_t>(h >> 48) & (kSlots - 1);
}

bool SamePosition(const VECTOR& a, const VECTOR& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

}  // namespace

void TriangleSoup::clear() {
  points_.clear();
  faces_.clear();
  segments_.clear();
  loosePoints_ = 0;
  slots_.assign(kSlots, 0);
  dropped_ = 0;
}

int32_t TriangleSoup::point(const VECTOR& position) {
  if (slots_.size() != kSlots) slots_.assign(kSlots, 0);
  size_t slot = Slot(position);
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

bool TriangleSoup::addLine(int32_t a, int32_t b) {
  if (a == b) return true;
  if (segments_.size() >= static_cast<size_t>(kMaxLineSegments)) return false;
  segments_.push_back({a, b});
  return true;
}

bool TriangleSoup::linkLines(FormatContext& context) {
  lines_.clear();
  faceLines_.assign(faces_.size(), {});
  // Lines met so far by their lower point: a list through nextLine_.
  firstLine_.assign(points_.size() + 1, 0);
  nextLine_.assign(1, 0);
  // The line from d to e, made when new; 0 past the table's capacity.
  const auto lineOf = [&](int32_t d, int32_t e) -> int32_t {
    const int32_t low = std::min(d, e);
    const int32_t high = std::max(d, e);
    int32_t line = firstLine_[static_cast<size_t>(low)];
    while (line != 0) {
      const std::array<int32_t, 2>& known = lines_[static_cast<size_t>(line - 1)];
      if (known[0] == high || known[1] == high) return line;
      line = nextLine_[static_cast<size_t>(line)];
    }
    if (lines_.size() >= static_cast<size_t>(kMaxCount)) return 0;
    lines_.push_back({d, e});
    line = static_cast<int32_t>(lines_.size());
    nextLine_.push_back(firstLine_[static_cast<size_t>(low)]);
    firstLine_[static_cast<size_t>(low)] = line;
    return line;
  };
  for (size_t f = 0; f < faces_.size(); ++f) {
    const std::array<int32_t, 3>& corners = faces_[f].corners;
    for (size_t j = 0; j < 3; ++j) {
      const int32_t d = corners[j];
      const int32_t line = lineOf(d, corners[(j + 1) % 3]);
      if (line == 0) {
        context.fail(Translate("the surfaces need more than 19999 lines"));
        return false;
      }
      faceLines_[f][j] = lines_[static_cast<size_t>(line - 1)][0] == d ? line : -line;
    }
  }
  for (const std::array<int32_t, 2>& segment : segments_) {
    if (lineOf(segment[0], segment[1]) == 0) {
      context.fail(Translate("the surfaces and line segments need more than 19999 lines"));
      return false;
    }
  }
  return true;
}

bool TriangleSoup::commit(Model& model, FormatContext& context, bool emptyAllowed) {
  const bool nothing = faces_.empty() && points_.empty() && dropped_ == 0;
  const bool loose = !segments_.empty() || loosePoints_ > 0;
  if (faces_.empty() && !loose && !(nothing && emptyAllowed)) {
    context.fail(dropped_ > 0 ? Translate("every triangle is degenerate")
                              : Translate("no triangles"));
    return false;
  }
  if (!linkLines(context)) return false;

  // Records past a table's count are kept zero (ClearModel's promise), so
  // only the part that was live or becomes live is written: clearing the
  // whole capacity would cost more than reading the file.
  static const Model& kEmpty = []() -> const Model& {
    static Model empty;
    ClearModel(empty);
    return empty;
  }();
  const auto reset = [](auto& table, int32_t oldCount, size_t newCount) {
    const size_t end = std::max(static_cast<size_t>(std::max(oldCount, 0)), newCount) + 1;
    std::fill(table.begin(), table.begin() + static_cast<std::ptrdiff_t>(std::min(end, table.size())),
              typename std::decay_t<decltype(table)>::value_type{});
  };
  reset(model.points, model.pointCount, points_.size());
  reset(model.lines, model.lineCount, lines_.size());
  reset(model.faces, model.faceCount, faces_.size());
  model.materials = kEmpty.materials;
  model.pictures = kEmpty.pictures;

  model.pointCount = static_cast<int32_t>(points_.size());
  for (size_t i = 0; i < points_.size(); ++i) model.points[i + 1].position = points_[i];
  model.lineCount = static_cast<int32_t>(lines_.size());
  for (size_t i = 0; i < lines_.size(); ++i) {
    model.lines[i + 1] = LINE{lines_[i][0], lines_[i][1], kStateNormal};
  }
  model.faceCount = static_cast<int32_t>(faces_.size());
  for (size_t i = 0; i < faces_.size(); ++i) {
    const Face& face = faces_[i];
    FACE& f = model.faces[i + 1];
    f.corners = {face.corners[0], face.corners[1], face.corners[2], face.corners[0]};
    f.lines = {faceLines_[i][0], faceLines_[i][1], faceLines_[i][2], faceLines_[i][0]};
    f.uv = {face.uvs[0], face.uvs[1], face.uvs[2], face.uvs[0]};
    f.material = face.material;
  }
  return true;
}

}  // namespace vexal
