// Commands the application shows in windows of its own: the file dialogs
// and document life cycle, the window arrangement, help, and the tool
// windows.
#include "commands/command_dispatcher.h"

namespace vexal {

void AddWindowCommands(std::vector<CommandDefinition>& commands) {
  for (std::string_view name :
       {"FileNewItem", "FileOpenItem", "FileCloseItem", "FileCloseAllItem", "FileSaveItem",
        "FileSaveAsItem", "FileExitItem", "WindowCascadeItem", "WindowTileItem",
        "WindowArrangeItem", "WindowMinimizeItem", "SearchforHelpOnItem", "ViewShortCutItem",
        "HelpAboutItem", "LocateWindowItem", "GirdWindowItem", "RandomWindowItem",
        "AttachLineWindowItem", "PaletteWindowItem", "PipeWindowItem", "ProjectionWindowItem",
        "PrimitiveWindowItem", "NumericWindowItem", "PictureWindowItem", "SetSystemItem",
        "SetFormatItem", "SetShortCutItem", "UtilityItem", "ResetSubWindowItem"}) {
    commands.push_back({name, CommandKind::kWindow, nullptr, nullptr});
  }
}

}  // namespace vexal
