#include "commands/weld_commands.h"

#include "commands/edit_frame.h"
#include "model/maintenance.h"
#include "model/weld.h"

namespace vexal {
namespace {

template <typename Weld>
CommandResult RunWeld(Document& document, Weld weld) {
  EditSteps steps;
  steps.normalFlags = kNormalsAngleSmoothed;
  return RunEdit(document, steps, [&](Document& target) {
    const WeldSelection selection{target.scene.selectedCount, target.scene.mirrorSelection,
                                  target.scene.handle};
    return CommandResult::From(weld(target, selection));
  });
}

}  // namespace

CommandResult RunAttachSingle(Document& document) {
  return RunWeld(document, [](Document& target, const WeldSelection& selection) {
    return AttachSingle(target.model, selection);
  });
}

CommandResult RunAttachApproximate(Document& document) {
  return RunWeld(document, [](Document& target, const WeldSelection& selection) {
    // The radius is held in single precision before it is squared.
    const float radius = static_cast<float>(0.1 / static_cast<double>(target.scene.zoom));
    return AttachApproximate(target.model, selection, radius);
  });
}

CommandResult RunAttachSame(Document& document) {
  return RunWeld(document, [](Document& target, const WeldSelection& selection) {
    return AttachSame(target.model, selection);
  });
}

void AddWeldCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back({"AttachItem", CommandKind::kDocument,
                      [](CommandTarget& target) { return RunAttachSingle(*target.document); },
                      nullptr});
  commands.push_back({"MoreAttachItem", CommandKind::kDocument,
                      [](CommandTarget& target) { return RunAttachApproximate(*target.document); },
                      nullptr});
  commands.push_back({"SameAttachItem", CommandKind::kDocument,
                      [](CommandTarget& target) { return RunAttachSame(*target.document); },
                      nullptr});
}

}  // namespace vexal
