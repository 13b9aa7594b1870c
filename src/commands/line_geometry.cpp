// The line geometry and chain ends shared by the line commands.
#include <algorithm>
#include <cmath>

#include "commands/line_geometry.h"

namespace vexal {

bool ClosestPointsOfLines(const VECTOR& p0, const VECTOR& p1, const VECTOR& p2, const VECTOR& p3,
                          ClosestPoints& result) {
  constexpr float kEpsilon = 0.00001f;
  const VECTOR d1 = p0 - p1;
  const VECTOR d2 = p2 - p3;
  const VECTOR n = d2.cross(d1);
  if (!(n.length() >= kEpsilon)) return false;
  const VECTOR m1 = n.cross(d1);
  const VECTOR m2 = n.cross(d2);
  const float a = m2.dot(p0 - p3);
  const float b = m2.dot(p1 - p3);
  if (!(std::fabs(a - b) >= kEpsilon)) return false;
  const float a2 = m1.dot(p2 - p1);
  const float b2 = m1.dot(p3 - p1);
  if (!(std::fabs(a2 - b2) >= kEpsilon)) return false;
  result.t1 = b / (b - a);
  result.t2 = b2 / (b2 - a2);
  result.q1 = p1 + d1 * result.t1;
  result.q2 = p3 + d2 * result.t2;
  return true;
}

bool FootOnLine(const VECTOR& point, const VECTOR& e1, const VECTOR& e2, LineFoot& result) {
  const VECTOR e = e2 - e1;
  const VECTOR w = point - e1;
  const VECTOR k = e.cross(w);
  const VECTOR g = e.cross(k);
  ClosestPoints closest;
  if (!ClosestPointsOfLines(point, point + g, e1, e2, closest)) return false;
  result.foot = closest.q2;
  result.t = closest.t2;
  result.distance = (closest.q1 - point).length();
  return true;
}

bool FindChainEnds(const Model& model, ChainEnds& ends) {
  int found = 0;
  for (int p = 1; p <= model.pointCount; ++p) {
    if (model.points[p].state != kStateSelected) continue;
    if (++found == 1) {
      ends.a = p;
    } else if (found == 2) {
      ends.b = p;
    } else {
      return false;
    }
  }
  if (found != 2) return false;
  int aLines = 0, bLines = 0;
  for (int l = 1; l <= model.lineCount; ++l) {
    const LINE& line = model.lines[l];
    if (line.a == ends.a || line.b == ends.a) {
      ++aLines;
      ends.aPrevious = line.a == ends.a ? line.b : line.a;
    }
    if (line.a == ends.b || line.b == ends.b) {
      ++bLines;
      ends.bPrevious = line.a == ends.b ? line.b : line.a;
    }
  }
  return aLines == 1 && bLines == 1;
}

}  // namespace vexal
