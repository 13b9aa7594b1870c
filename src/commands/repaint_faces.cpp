#include "commands/repaint_faces.h"

#include "commands/edit_frame.h"
#include "model/maintenance.h"

namespace vexal {

CommandResult RepaintFaces(Document& document) {
  EditSteps steps;
  steps.normalFlags = kNormalsFace | kNormalsAngleSmoothed | kNormalsSelectedPoints;
  return RunEdit(document, steps, [](Document& doc) {
    Model& model = doc.model;
    for (int s = 1; s <= model.faceCount; ++s) {
      if (model.faces[s].state == kStateSelected) model.faces[s].material = doc.scene.paletteIndex;
    }
    return CommandResult{};
  });
}

}  // namespace vexal
