#include "tools/quadify.h"

#include <algorithm>

namespace vexal {

int QuadifyAt(Model& model, int32_t line) {
  int32_t triangles[2] = {0, 0};
  int slots[2] = {0, 0};
  int found = 0;
  for (int s = 1; s <= model.faceCount; ++s) {
    const FACE& face = model.faces[s];
    if (face.material == kGuideMaterial || face.state == kStateRemoved) continue;
    const int n = CornerCount(face);
    for (int j = 0; j < n; ++j) {
      const int32_t r = face.lines[j];
      if ((r < 0 ? -r : r) != line) continue;
      if (n == 4) return 0;
      if (found < 2) {
        triangles[found] = s;
        slots[found] = j;
      }
      ++found;
      break;
    }
  }
  if (found != 2 || model.faceCount >= kMaxCount) return 0;
  FACE& t1 = model.faces[triangles[0]];
  FACE& t2 = model.faces[triangles[1]];
  const int k1 = slots[0], k2 = slots[1];
  auto at = [](int slot) { return slot % 3; };
  FACE quad;
  quad.corners[0] = t1.corners[at(k1 + 1)];
  quad.corners[1] = t1.corners[at(k1 + 2)];
  quad.uv[0] = t1.uv[at(k1 + 1)];
  quad.uv[1] = t1.uv[at(k1 + 2)];
  quad.lines[0] = t1.lines[at(k1 + 1)];
  quad.lines[1] = t1.lines[at(k1 + 2)];
  if ((t1.lines[k1] > 0) != (t2.lines[k2] > 0)) {
    // The two wind the same way: T2 runs the shared line backwards.
    quad.corners[2] = t2.corners[at(k2 + 1)];
    quad.corners[3] = t2.corners[at(k2 + 2)];
    quad.uv[2] = t2.uv[at(k2 + 1)];
    quad.uv[3] = t2.uv[at(k2 + 2)];
    quad.lines[2] = t2.lines[at(k2 + 1)];
    quad.lines[3] = t2.lines[at(k2 + 2)];
  } else {
    quad.corners[2] = t2.corners[k2];
    quad.corners[3] = t2.corners[at(k2 + 2)];
    quad.uv[2] = t2.uv[k2];
    quad.uv[3] = t2.uv[at(k2 + 2)];
    quad.lines[2] = -t2.lines[at(k2 + 2)];
    quad.lines[3] = -t2.lines[at(k2 + 1)];
  }
  quad.material = std::min(t1.material, t2.material);
  quad.state = kStateNormal;
  model.lines[line].state = kStateRemoved;
  t1.state = kStateRemoved;
  t2.state = kStateRemoved;
  model.faces[++model.faceCount] = quad;
  return 1;
}

}  // namespace vexal
