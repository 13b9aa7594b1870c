// AlignToAxis: every selected point takes the pivot's coordinate along one
// axis of the view.
#include "commands/edit_frame.h"
#include "commands/align_to_axis.h"
#include "model/camera.h"
#include "model/maintenance.h"
#include "io/message_catalog.h"

namespace vexal {

CommandResult RunAlignToAxis(Document& document, int axis) {
  EditSteps steps;
  steps.syncMirror = true;
  steps.normalFlags = kNormalsFace | kNormalsAngleSmoothed | kNormalsSelectedPoints;
  return RunEdit(document, steps, [axis](Document& target) {
    if (target.scene.selectedCount == 0) return CommandResult::Refused(Translate("nothing is selected"));
    Model& model = target.model;
    const VECTOR pivot = ProjectPoint(target, target.scene.handle, false);
    const float centre = axis == 0 ? pivot.x : axis == 1 ? pivot.y : pivot.z;
    for (int p = 1; p <= model.pointCount; ++p) {
      VERT& point = model.points[p];
      if (point.selectionClass != 1 && point.selectionClass != 2) continue;
      VECTOR v = ProjectPoint(target, point.position, false);
      (axis == 0 ? v.x : axis == 1 ? v.y : v.z) = centre;
      point.position = UnprojectPoint(target, v.x, v.y, v.z, false);
    }
    return CommandResult{};
  });
}

}  // namespace vexal
