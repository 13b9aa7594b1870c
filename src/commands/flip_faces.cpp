#include "commands/edit_frame.h"
#include "commands/flip_faces.h"
#include "model/maintenance.h"

namespace vexal {

CommandResult FlipSelectedFaces(Document& document) {
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [](Document& doc) {
    Model& model = doc.model;
    for (int s = 1; s <= model.faceCount; ++s) {
      if (model.faces[s].state == kStateSelected) FlipFace(model, s);
    }
    return CommandResult{};
  });
}

}  // namespace vexal
