#include "commands/edit_frame.h"
#include "commands/uv_projection.h"

namespace vexal {

CommandResult ClearUV(Document& document) {
  return RunEdit(document, EditSteps{}, [](Document& doc) {
    Model& model = doc.model;
    for (int s = 1; s <= model.faceCount; ++s) {
      if (model.faces[s].state == kStateSelected) model.faces[s].uv = {};
    }
    return CommandResult{};
  });
}

}  // namespace vexal
