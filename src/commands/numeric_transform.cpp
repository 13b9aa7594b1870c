#include "commands/numeric_transform.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

#include "commands/edit_frame.h"
#include "math/matrix.h"
#include "model/camera.h"
#include "model/maintenance.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

constexpr float kDegreesToRadians = 0.017453292f;

bool Finite(const VECTOR& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// Partnered points are selected on both sides of the plane: anything that
// moves them along x would pull the pairs apart.
bool PairsSelected(const Document& document) { return document.scene.mirrorSelection >= 2; }

MATRIX Translation(const VECTOR& t) { return MATRIX::translation(t.x, t.y, t.z); }

// inner, or inner carried out along the view's axes: V^-1 x inner x V.
MATRIX InViewAxes(const Document& document, const MATRIX& inner, bool useView) {
  if (!useView) return inner;
  return InverseViewMatrix(document, false) * inner * ViewMatrix(document, false);
}

MATRIX PageMatrix(const Document& document, NumericPage page, const NumericValues& values) {
  const VECTOR pivot = document.scene.handle;
  switch (page) {
    case NumericPage::kGo: {
      // The pivot has to land exactly on the typed place, which a view
      // rotation around the difference would spoil; the window disables the
      // view box in this mode, and it is ignored here too.
      if (values.placeNewCoordinate) return Translation(values.go - pivot);
      VECTOR t = values.go;
      if (PairsSelected(document)) t.x = 0.0f;
      return InViewAxes(document, Translation(t), values.moveUsingView);
    }
    case NumericPage::kScale: {
      VECTOR center = values.scaleAroundOrigin ? VECTOR() : pivot;
      if (PairsSelected(document)) center.x = 0.0f;
      const VECTOR factors = values.scale * 0.01f;
      return Translation(-center) *
             InViewAxes(document, MATRIX::scaling(factors.x, factors.y, factors.z),
                        values.scaleUsingView) *
             Translation(center);
    }
    case NumericPage::kRotate: {
      const VECTOR center = values.rotateAroundOrigin ? VECTOR() : pivot;
      const VECTOR angles = values.rotate * kDegreesToRadians;
      return Translation(-center) *
             InViewAxes(document, MATRIX::rotation(angles.x, angles.y, angles.z),
                        values.rotateUsingView) *
             Translation(center);
    }
    case NumericPage::kRememberPosition:
      break;
  }
  return MATRIX();
}

// Gives every point whose own state is 1 the position place() returns.
// All new positions are computed first, so a result that is not finite
// refuses before anything changed.
CommandResult PlaceSelectedPoints(Model& model, const std::function<VECTOR(const VECTOR&)>& place) {
  std::vector<VECTOR> placed;
  for (int p = 1; p <= model.pointCount; ++p) {
    if (model.points[p].state != kStateSelected) continue;
    const VECTOR position = place(model.points[p].position);
    if (!Finite(position)) return CommandResult::Refused(Translate("the new positions would be out of range"));
    placed.push_back(position);
  }
  size_t next = 0;
  for (int p = 1; p <= model.pointCount; ++p) {
    if (model.points[p].state == kStateSelected) model.points[p].position = placed[next++];
  }
  return CommandResult{};
}

const VECTOR& PageFields(NumericPage page, const NumericValues& values) {
  static const VECTOR kNone;
  switch (page) {
    case NumericPage::kGo: return values.go;
    case NumericPage::kScale: return values.scale;
    case NumericPage::kRotate: return values.rotate;
    case NumericPage::kRememberPosition: break;
  }
  return kNone;
}

}  // namespace

void ResetNumericFields(NumericValues& values) {
  const VECTOR remembered = values.remembered;
  values = NumericValues{};
  values.remembered = remembered;
}

CommandResult ApplyNumericPage(Document& document, NumericPage page, const NumericValues& values) {
  EditSteps steps;
  steps.syncMirror = true;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [&](Document& target) {
    if (target.scene.selectedCount == 0) return CommandResult::Refused(Translate("nothing is selected"));
    if (!Finite(PageFields(page, values))) {
      return CommandResult::Refused(Translate("a typed value is not a number"));
    }
    const MATRIX matrix = PageMatrix(target, page, values);
    const bool keepX = page == NumericPage::kRotate && PairsSelected(target);
    return PlaceSelectedPoints(target.model, [&](const VECTOR& position) {
      VECTOR moved = position.transformed(matrix);
      if (keepX) moved.x = position.x;
      return moved;
    });
  });
}

CommandResult MoveToRememberedPosition(Document& document, const VECTOR& remembered, int axisMask) {
  EditSteps steps;
  steps.syncMirror = true;
  steps.normalFlags = kNormalsFace | kNormalsAngleSmoothed | kNormalsSelectedPoints;
  return RunEdit(document, steps, [&](Document& target) {
    if (target.scene.selectedCount == 0) return CommandResult::Refused(Translate("nothing is selected"));
    const VECTOR pivot = target.scene.handle;
    VECTOR delta((axisMask & kAxisMaskX) ? remembered.x - pivot.x : 0.0f,
                 (axisMask & kAxisMaskY) ? remembered.y - pivot.y : 0.0f,
                 (axisMask & kAxisMaskZ) ? remembered.z - pivot.z : 0.0f);
    if (PairsSelected(target)) delta.x = 0.0f;
    if (!Finite(delta)) return CommandResult::Refused(Translate("the remembered position is not a number"));
    CommandResult result =
        PlaceSelectedPoints(target.model, [&](const VECTOR& position) { return position + delta; });
    if (result.ok()) target.scene.handle += delta;
    return result;
  });
}

void RememberPivot(NumericValues& values, const VECTOR& pivot, int axisMask) {
  if (axisMask & kAxisMaskX) values.remembered.x = pivot.x;
  if (axisMask & kAxisMaskY) values.remembered.y = pivot.y;
  if (axisMask & kAxisMaskZ) values.remembered.z = pivot.z;
}

std::string PivotFieldText(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%3.6f", static_cast<double>(value));
  return text;
}

}  // namespace vexal
