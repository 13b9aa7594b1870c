#include "commands/edit_frame.h"
#include "commands/hide_show.h"

namespace vexal {
namespace {

// The points HidePoints and HideTemplate take: mode 1 the selected points
// themselves, mode 0 every point outside the selection and its corners
// (a partner of the selection counts as outside).
bool Chosen(const VERT& point, int mode) {
  if (mode == 1) return point.state == kStateSelected;
  return point.selectionClass == 0 || point.selectionClass == 3 || point.selectionClass == 4;
}

}  // namespace

CommandResult HidePoints(Document& document, int mode) {
  return RunEdit(document, EditSteps{}, [mode](Document& doc) {
    Model& model = doc.model;
    const int32_t from = mode == 1 ? kStateSelected : kStateNormal;
    for (int p = 1; p <= model.pointCount; ++p) {
      if (Chosen(model.points[p], mode)) model.points[p].state = kStateHidden;
    }
    for (int l = 1; l <= model.lineCount; ++l) {
      if (model.lines[l].state == from) model.lines[l].state = kStateHidden;
    }
    for (int s = 1; s <= model.faceCount; ++s) {
      if (model.faces[s].state == from) model.faces[s].state = kStateHidden;
    }
    return CommandResult{};
  });
}

CommandResult ShowHidden(Document& document) {
  return RunEdit(document, EditSteps{}, [](Document& doc) {
    Model& model = doc.model;
    for (int p = 1; p <= model.pointCount; ++p) {
      VERT& point = model.points[p];
      if (point.state == kStateHidden && !(point.flags & kPointTemplateFlag)) {
        point.state = kStateNormal;
      }
    }
    for (int l = 1; l <= model.lineCount; ++l) {
      if (model.lines[l].state == kStateHidden) model.lines[l].state = kStateNormal;
    }
    for (int s = 1; s <= model.faceCount; ++s) {
      if (model.faces[s].state == kStateHidden) model.faces[s].state = kStateNormal;
    }
    return CommandResult{};
  });
}

CommandResult HideTemplate(Document& document, int mode) {
  return RunEdit(document, EditSteps{}, [mode](Document& doc) {
    Model& model = doc.model;
    for (int p = 1; p <= model.pointCount; ++p) {
      VERT& point = model.points[p];
      if (!Chosen(point, mode)) continue;
      point.state = kStateHidden;
      point.flags |= kPointTemplateFlag;
    }
    // RefreshSelection then hides the lines and surfaces whose ends and
    // corners are all hidden.
    DeselectAll(model);
    return CommandResult{};
  });
}

CommandResult ShowTemplates(Document& document) {
  return RunEdit(document, EditSteps{}, [](Document& doc) {
    Model& model = doc.model;
    auto isTemplate = [&model](int32_t point) {
      return (model.points[point].flags & kPointTemplateFlag) != 0;
    };
    // Only hidden lines and surfaces come back, and only those resting on a
    // template point.
    for (int l = 1; l <= model.lineCount; ++l) {
      LINE& line = model.lines[l];
      if (line.state == kStateHidden && (isTemplate(line.a) || isTemplate(line.b))) {
        line.state = kStateNormal;
      }
    }
    for (int s = 1; s <= model.faceCount; ++s) {
      FACE& face = model.faces[s];
      if (face.state != kStateHidden) continue;
      for (int32_t corner : face.corners) {
        if (isTemplate(corner)) {
          face.state = kStateNormal;
          break;
        }
      }
    }
    for (int p = 1; p <= model.pointCount; ++p) {
      VERT& point = model.points[p];
      if (!(point.flags & kPointTemplateFlag)) continue;
      point.state = kStateNormal;
      point.flags &= ~kPointTemplateFlag;
    }
    return CommandResult{};
  });
}

}  // namespace vexal
