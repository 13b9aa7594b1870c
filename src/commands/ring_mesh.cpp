#include "commands/ring_mesh.h"

#include "commands/edit_frame.h"
#include "model/maintenance.h"
#include "model/table_room.h"

namespace vexal {

RingMeshCounts RingMeshSize(int around, int rings) {
  return {around * rings + 2, around * rings + around * (rings - 1) + 2 * around,
          around * (rings - 1) + 2 * around};
}

int AppendSelectedPoint(Model& model, const VECTOR& position) {
  const int point = ++model.pointCount;
  model.points[point] = VERT{};
  SetPoint(model, point, position.x, position.y, position.z, kStateSelected, 0);
  return point;
}

void AppendRingMesh(Model& model, int firstPoint, int around, int rings, int topPole,
                    int bottomPole, int material) {
  const int n = around;
  auto point = [&](int ring, int k) { return firstPoint + n * ring + (k % n); };
  auto addLine = [&](int a, int b) {
    const int line = ++model.lineCount;
    SetLine(model, line, a, b, kStateSelected);
    return line;
  };
  const int ringLines = model.lineCount + 1;  // ring j, k: ringLines + n*j + k
  for (int j = 0; j < rings; ++j) {
    for (int k = 0; k < n; ++k) addLine(point(j, k), point(j, k + 1));
  }
  const int meridians = model.lineCount + 1;  // between ring j and j+1 at k
  for (int j = 0; j + 1 < rings; ++j) {
    for (int k = 0; k < n; ++k) addLine(point(j, k), point(j + 1, k));
  }
  const int topSpokes = model.lineCount + 1;
  for (int k = 0; k < n; ++k) addLine(point(0, k), topPole);
  const int bottomSpokes = model.lineCount + 1;
  for (int k = 0; k < n; ++k) addLine(point(rings - 1, k), bottomPole);

  auto ringLine = [&](int j, int k) { return ringLines + n * j + (k % n); };
  auto meridian = [&](int j, int k) { return meridians + n * j + (k % n); };
  auto addSurface = [&](int c0, int c1, int c2, int c3, int r0, int r1, int r2, int r3) {
    const int surface = ++model.faceCount;
    model.faces[surface] = FACE{};
    SetFace(model, surface, c0, c1, c2, c3, material, kStateSelected);
    SetFaceLines(model, surface, r0, r1, r2, r3);
  };
  for (int j = 0; j + 1 < rings; ++j) {
    for (int k = 0; k < n; ++k) {
      addSurface(point(j, k), point(j, k + 1), point(j + 1, k + 1), point(j + 1, k),
                 ringLine(j, k), meridian(j, k + 1), -ringLine(j + 1, k), -meridian(j, k));
    }
  }
  const int last = rings - 1;
  for (int k = 0; k < n; ++k) {
    const int spokeNext = (k + 1) % n;
    // (top, ring 0 k+1, ring 0 k): the spokes run from the ring to the pole.
    addSurface(topPole, point(0, k + 1), point(0, k), topPole, -(topSpokes + spokeNext),
               -ringLine(0, k), topSpokes + k, -(topSpokes + spokeNext));
    // (bottom, last ring k, last ring k+1)
    addSurface(bottomPole, point(last, k), point(last, k + 1), bottomPole, -(bottomSpokes + k),
               ringLine(last, k), bottomSpokes + spokeNext, -(bottomSpokes + k));
  }
}

CommandResult AddRingSolid(Document& document, int around, int rings,
                           const std::function<VECTOR(int ring, int k)>& ringPoint,
                           const VECTOR& topPole, const VECTOR& bottomPole) {
  const RingMeshCounts size = RingMeshSize(around, rings);
  if (MaybeRefusal full = CheckRoom(document.model, size.points, size.lines, size.surfaces)) {
    return CommandResult::Refused(*full);
  }
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [&](Document& doc) {
    Model& model = doc.model;
    DeselectAll(model);
    const int first = model.pointCount + 1;
    for (int j = 0; j < rings; ++j) {
      for (int k = 0; k < around; ++k) AppendSelectedPoint(model, ringPoint(j, k));
    }
    const int top = AppendSelectedPoint(model, topPole);
    const int bottom = AppendSelectedPoint(model, bottomPole);
    AppendRingMesh(model, first, around, rings, top, bottom, doc.scene.paletteIndex);
    return CommandResult{};
  });
}

}  // namespace vexal
