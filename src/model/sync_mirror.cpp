#include "model/sync_mirror.h"

namespace vexal {
namespace {

bool IsSelectedClass(int32_t selectionClass) { return selectionClass == 1 || selectionClass == 2; }
bool IsMirrorSideClass(int32_t selectionClass) {
  return selectionClass == 3 || selectionClass == 4;
}

}  // namespace

void SyncMirror(Model& model) {
  const int n = model.pointCount;
  for (int i = 1; i <= n; ++i) {
    VERT& point = model.points[i];
    const int32_t p = point.mirror;
    if (p == i) {
      point.position.x = 0.0f;
      continue;
    }
    if (p < 1 || p > n) continue;
    VERT& partner = model.points[p];
    if (i < p && IsSelectedClass(point.selectionClass) && IsSelectedClass(partner.selectionClass)) {
      const VECTOR mean((point.position.x - partner.position.x) / 2,
                        (point.position.y + partner.position.y) / 2,
                        (point.position.z + partner.position.z) / 2);
      point.position = mean;
      partner.position = VECTOR(-mean.x, mean.y, mean.z);
    } else if (IsMirrorSideClass(point.selectionClass)) {
      point.position = VECTOR(-partner.position.x, partner.position.y, partner.position.z);
    }
  }
}

}  // namespace vexal
