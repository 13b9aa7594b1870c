#include "model/model_snapshot.h"

#include <algorithm>
#include <cassert>

namespace vexal {
namespace {

template <typename T>
void RestoreTable(std::vector<T>& table, const std::vector<T>& copy, int32_t oldCount,
                  int32_t newCount) {
  std::copy(copy.begin(), copy.end(), table.begin());
  for (int32_t i = newCount + 1; i <= oldCount; ++i) table[i] = T{};
}

}  // namespace

void ModelSnapshot::captureRecords(const Model& model) {
  pointCount = model.pointCount;
  lineCount = model.lineCount;
  faceCount = model.faceCount;
  points.assign(model.points.begin(), model.points.begin() + model.pointCount + 1);
  lines.assign(model.lines.begin(), model.lines.begin() + model.lineCount + 1);
  faces.assign(model.faces.begin(), model.faces.begin() + model.faceCount + 1);
}

void ModelSnapshot::capture(const Model& model) {
  captureRecords(model);
  materials = model.materials;
}

void ModelSnapshot::restore(Model& model) const {
  assert(holdsRecords() && "restoring a snapshot that was never taken");
  RestoreTable(model.points, points, model.pointCount, pointCount);
  RestoreTable(model.lines, lines, model.lineCount, lineCount);
  RestoreTable(model.faces, faces, model.faceCount, faceCount);
  model.pointCount = pointCount;
  model.lineCount = lineCount;
  model.faceCount = faceCount;
  model.materials = materials;
}

}  // namespace vexal
