// Small models symmetric about x = 0 for the mirror-aware commands.
#pragma once

#include "model/maintenance.h"
#include "model/model.h"

namespace vexal::testing {

// Two quads side by side across the mirror plane, both facing +z:
//   4 --- 6 --- 5      4 = (-1,1)  6 = (0,1)  5 = (1,1)
//   |  1  |  2  |
//   1 --- 3 --- 2      1 = (-1,0)  3 = (0,0)  2 = (1,0)
// Partners 1<->2, 4<->5; 3 and 6 lie on the plane. Surface 1 is
// (1, 3, 6, 4); surface 2, its mirror image, is (2, 5, 6, 3) rotated to
// start at `rightStart`. Seven lines, linked.
inline void RotatedSymmetricStrip(Model& model, int rightStart) {
  ClearModel(model);
  SetPoint(model, 1, -1, 0, 0, 0, 2);
  SetPoint(model, 2, 1, 0, 0, 0, 1);
  SetPoint(model, 3, 0, 0, 0, 0, 3);
  SetPoint(model, 4, -1, 1, 0, 0, 5);
  SetPoint(model, 5, 1, 1, 0, 0, 4);
  SetPoint(model, 6, 0, 1, 0, 0, 6);
  model.pointCount = 6;
  SetFace(model, 1, 1, 3, 6, 4, 2, 0);
  SetFaceUV(model, 1, UV(0, 0), UV(1, 0), UV(1, 1), UV(0, 1));
  const int32_t right[4] = {2, 5, 6, 3};
  const UV rightUV[4] = {UV(0, 0), UV(0, 1), UV(1, 1), UV(1, 0)};
  const int k = rightStart;
  SetFace(model, 2, right[k % 4], right[(k + 1) % 4], right[(k + 2) % 4], right[(k + 3) % 4], 2, 0);
  SetFaceUV(model, 2, rightUV[k % 4], rightUV[(k + 1) % 4], rightUV[(k + 2) % 4],
            rightUV[(k + 3) % 4]);
  model.faceCount = 2;
  CompactModel(model, kCompactRebuildLines);
}

inline void SymmetricStrip(Model& model) { RotatedSymmetricStrip(model, 0); }

}  // namespace vexal::testing
