// The pivot mode switch and Move to the origin point.
#include "commands/edit_frame.h"
#include "commands/pivot_commands.h"

namespace vexal {

void ChangePivotPosition(Document& document) {
  document.scene.pivotMode = document.scene.pivotMode != 0 ? 0 : 1;
  RefreshSelection(document);
  document.notify().pivotFieldsChanged();
  Redraw(document);
}

CommandResult RunMoveToOrigin(Document& document) {
  EditSteps steps;
  return RunEdit(document, steps, [](Document& target) {
    Model& model = target.model;
    const VECTOR pivot = target.scene.handle;
    bool partnered = false;
    for (int p = 1; p <= model.pointCount && !partnered; ++p) {
      partnered = model.points[p].mirror != 0;
    }
    const VECTOR shift(partnered ? 0.0f : pivot.x, pivot.y, pivot.z);
    for (int p = 1; p <= model.pointCount; ++p) model.points[p].position -= shift;
    return CommandResult{};
  });
}

}  // namespace vexal
