// The menu items of the point clipboard and of deleting the selection.
#include "commands/clipboard.h"
#include "commands/command_registration.h"
#include "commands/delete_selection.h"

namespace vexal {

void AddClipboardCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back(OnWorkspace("CopyItem", [](Document& document, Workspace& workspace) {
    FinishPendingDraw(document);
    CopySelection(document, workspace.clipboard);
    return CommandResult{};
  }));
  commands.push_back(OnWorkspace("CutItem", [](Document& document, Workspace& workspace) {
    return CutSelection(document, workspace.clipboard);
  }));
  commands.push_back(OnWorkspace("PasteItem", [](Document& document, Workspace& workspace) {
    return PasteClipboard(document, workspace.clipboard);
  }));
  commands.push_back(OnDocument("DeleteItem", DeleteSelection));
  commands.push_back(OnDocument("DeleteSurfaceItem", DeleteSelectedFaces));
}

}  // namespace vexal
