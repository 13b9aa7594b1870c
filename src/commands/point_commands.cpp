// The menu items of the commands that place the selected points; the tool
// windows' values come from the shared settings record.
#include <cstdlib>

#include "commands/command_registration.h"
#include "io/message_catalog.h"
#include "commands/pivot_commands.h"
#include "commands/random_position.h"
#include "commands/snap_to_grid.h"

namespace vexal {
namespace {

CommandResult NeedsDocument() { return CommandResult::Refused(Translate("no document is open")); }

}  // namespace

void AddPointCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back({"SetGridItem", CommandKind::kDocument, [](CommandTarget& target) {
                        return RunSnapToGrid(*target.document, SettingsOf(target));
                      }, nullptr});
  commands.push_back({"SetRandomItem", CommandKind::kDocument, [](CommandTarget& target) {
                        return RunRandomPosition(*target.document, SettingsOf(target),
                                                 [] { return std::rand(); });
                      }, nullptr});
  commands.push_back({"ChangePivotItem", CommandKind::kDocument,
                      [](CommandTarget& target) {
                        if (!target.document) return NeedsDocument();
                        ChangePivotPosition(*target.document);
                        return CommandResult{};
                      },
                      [](const Document& document) { return document.scene.pivotMode != 0; }});
  commands.push_back({"MoveOriginItem", CommandKind::kDocument, [](CommandTarget& target) {
                        if (!target.document) return NeedsDocument();
                        return RunMoveToOrigin(*target.document);
                      }, nullptr});
}

}  // namespace vexal
