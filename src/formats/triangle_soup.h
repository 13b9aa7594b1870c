// Triangles given corner by corner, as STL and glTF store them, gathered
// into the point and surface tables of a model: corners at exactly the same
// position become one point (+0 and -0 alike), triangles whose corners meet
// in fewer than three points are dropped and counted. Line segments and
// loose points (glTF's line and point primitives) join the same tables.
// Nothing reaches a model until commit(), so a reader that fails half way
// changes nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "math/vector.h"
#include "model/model.h"

namespace vexal {

struct FormatContext;

// Line segments a soup takes before merging: more than the line table
// holds, so repeated segments still fit, while a file of endless segments
// is refused early.
inline constexpr int kMaxLineSegments = 4 * kMaxCount;

class TriangleSoup {
 public:
  // Forgets everything gathered (the storage is kept for the next file).
  void clear();

  // The point at position, added when no earlier corner stood exactly
  // there. Returns 0 when that would pass 19,999 points. position must be
  // finite (readers check before calling).
  int32_t point(const VECTOR& position);

  // A triangle of three points from point(), corners in file order, with
  // the texture coordinate of each corner. Returns false when that would
  // pass 19,999 surfaces; a degenerate triangle returns true and is counted
  // in droppedTriangles().
  bool addTriangle(const std::array<int32_t, 3>& corners, const std::array<UV, 3>& uvs,
                   int32_t material);

  // A line between two points from point(), kept when no surface edge or
  // earlier line joins them already. A segment from a point to itself is
  // ignored. Returns false past kMaxLineSegments segments.
  bool addLine(int32_t a, int32_t b);

  // Marks a point from point() as wanted on its own, so that a file of
  // loose points is not taken for an empty one.
  void keepPoint(int32_t point) { loosePoints_ += point > 0; }

  int32_t pointCount() const { return static_cast<int32_t>(points_.size()); }
  int32_t triangleCount() const { return static_cast<int32_t>(faces_.size()); }
  int droppedTriangles() const { return dropped_; }

  // Replaces model's tables with the points and triangles (palette and
  // pictures cleared to their defaults; the caller sets materials after)
  // and a line for every edge, linked as CompactModel links them. Returns
  // false with a reason in context, model untouched, when nothing usable
  // was read or the edges need more than 19,999 lines. A file that holds
  // nothing at all (no triangle, line or point) gives an empty model
  // when emptyAllowed, as formats that can store an empty model ask.
  // Expects the records past model's counts to be zero, as ClearModel and
  // the maintenance operations leave them.
  bool commit(Model& model, FormatContext& context, bool emptyAllowed = false);

 private:
  struct Face {
    std::array<int32_t, 3> corners;
    std::array<UV, 3> uvs;
    int32_t material;
  };
  bool linkLines(FormatContext& context);

  std::vector<VECTOR> points_;
  std::vector<std::array<int32_t, 2>> lines_;
  std::vector<std::array<int32_t, 3>> faceLines_;
  std::vector<int32_t> firstLine_;
  std::vector<int32_t> nextLine_;
  std::vector<Face> faces_;
  std::vector<std::array<int32_t, 2>> segments_;
  int loosePoints_ = 0;
  // Open addressing over the points: 0 is an empty slot, else a point.
  std::vector<int32_t> slots_;
  int dropped_ = 0;
};

}  // namespace vexal
