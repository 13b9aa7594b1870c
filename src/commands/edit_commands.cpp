// Undo, Redo and the commands of the Edit menu.
#include "commands/command_dispatcher.h"

namespace vexal {

void AddEditCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back({"UndoItem", CommandKind::kDocument, [](CommandTarget& target) {
                        FinishPendingDraw(*target.document);
                        StepUndo(*target.document, -1);
                        return CommandResult{};
                      }, nullptr});
  commands.push_back({"RedoItem", CommandKind::kDocument, [](CommandTarget& target) {
                        FinishPendingDraw(*target.document);
                        StepUndo(*target.document, 1);
                        return CommandResult{};
                      }, nullptr});
  // Enter ends the chain being drawn; in any other tool it does nothing.
  commands.push_back({"FinishPointItem", CommandKind::kDocument, [](CommandTarget& target) {
                        Document* document = target.document;
                        if (document && (document->mode.tool == kToolPoint ||
                                         document->mode.tool == kToolDPoint) &&
                            document->mode.state == 1) {
                          FinishPendingDraw(*document);
                        }
                        return CommandResult{};
                      }, nullptr});
  // Two items that exist for their keys and do nothing.
  commands.push_back({"DebugItem", CommandKind::kDocument,
                      [](CommandTarget&) { return CommandResult{}; }, nullptr});
  commands.push_back({"UVEditItem", CommandKind::kDocument,
                      [](CommandTarget&) { return CommandResult{}; }, nullptr});
}

}  // namespace vexal
