// Commands the application shows in windows of its own: the file dialogs
// and document life cycle, the window arrangement, help, and the tool
// windows. They are the menu items no family runs in the core, so the menu
// is the one list of their names and the host binds each to its window.
#include <unordered_set>

#include "commands/command_dispatcher.h"

namespace vexal {

void AddWindowCommands(std::vector<CommandDefinition>& commands) {
  std::unordered_set<std::string_view> inCore;
  for (const CommandDefinition& command : commands) inCore.insert(command.name);
  for (const CommandMenu& menu : MainMenu()) {
    for (const CommandItem& item : menu.items) {
      if (item.separator() || !inCore.insert(item.name).second) continue;
      commands.push_back({item.name, CommandKind::kWindow, nullptr, nullptr});
    }
  }
}

}  // namespace vexal
