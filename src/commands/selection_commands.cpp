// The selection commands of the Edit menu: select all, by colour, by how
// many surfaces share the edges, by connection, by edge loop.
#include "commands/command_dispatcher.h"
#include "commands/edit_frame.h"
#include "model/maintenance.h"
#include "tools/selection_rules.h"

namespace vexal {
namespace {

CommandDefinition SelectionCommand(std::string_view name, int normalFlags, void (*select)(Model&)) {
  return {name, CommandKind::kDocument,
          [normalFlags, select](CommandTarget& target) {
            EditSteps steps;
            steps.normalFlags = normalFlags;
            return RunEdit(*target.document, steps, [select](Document& document) {
              select(document.model);
              return CommandResult{};
            });
          },
          nullptr};
}

}  // namespace

void AddSelectionCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back(SelectionCommand("SelectAllItem", 0, SelectAllPoints));
  // The menu item selects the current palette entry's surfaces; the palette
  // window passes its own material and keep flag through the same change.
  commands.push_back({"SelectColorItem", CommandKind::kDocument,
                      [](CommandTarget& target) {
                        Document& document = *target.document;
                        return CommandResult(
                            RunMaterialSelection(document, document.scene.paletteIndex, false));
                      },
                      nullptr});
  commands.push_back(SelectionCommand("SelectTripleItem", 0, SelectTripleFaces));
  commands.push_back(SelectionCommand("SelectLineItem", 0, SelectIndependentLines));
  commands.push_back({"SelectChainItem", CommandKind::kDocument,
                      [](CommandTarget& target) {
                        return CommandResult(RunExpandedSelection(*target.document));
                      },
                      nullptr});
  commands.push_back(SelectionCommand("SelectLoopItem", 0, SelectEdgeLoop));
}

}  // namespace vexal
