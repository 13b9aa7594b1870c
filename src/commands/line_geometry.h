// The line geometry and chain ends the line commands share.
#pragma once

#include "math/vector.h"
#include "model/model.h"

namespace vexal {

// The closest points of the line through p0 and p1 and the line through
// p2 and p3: q1 = p1 + t1 (p0 - p1), q2 = p3 + t2 (p2 - p3). False when the
// lines are (nearly) parallel or a direction is (nearly) zero.
struct ClosestPoints {
  VECTOR q1, q2;
  float t1 = 0.0f, t2 = 0.0f;
};
bool ClosestPointsOfLines(const VECTOR& p0, const VECTOR& p1, const VECTOR& p2, const VECTOR& p3,
                          ClosestPoints& result);

// The foot of the perpendicular from point to the line through e1 and e2,
// foot = e2 + t (e1 - e2). False when there is none (the point lies on the
// line, or e1 = e2).
struct LineFoot {
  VECTOR foot;
  float t = 0.0f;
  float distance = 0.0f;
};
bool FootOnLine(const VECTOR& point, const VECTOR& e1, const VECTOR& e2, LineFoot& result);

// The ends of two open chains: exactly two points whose own state is 1
// (a first, b second in index order), each the end of exactly one line,
// whose other ends are aPrevious and bPrevious.
struct ChainEnds {
  int a = 0, aPrevious = 0, b = 0, bPrevious = 0;
};
bool FindChainEnds(const Model& model, ChainEnds& ends);

}  // namespace vexal
