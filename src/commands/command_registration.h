// Helpers the command families share to register their menu items.
#pragma once

#include <functional>
#include <string_view>

#include "commands/command_dispatcher.h"
#include "model/document.h"
#include "settings/settings.h"
#include "tools/workspace.h"

namespace vexal {

// A command on the active document. Items that are always enabled run with
// no document too, and then do nothing.
CommandDefinition OnDocument(std::string_view name, CommandResult (*run)(Document&));

// A command on the active document that takes a fixed mode or axis.
CommandDefinition WithMode(std::string_view name, CommandResult (*run)(Document&, int), int mode);

// A command that reads or fills a clipboard of the workspace; refused
// without a workspace. The target's clipboard flags are refreshed after it.
CommandDefinition OnWorkspace(std::string_view name,
                              std::function<CommandResult(Document&, Workspace&)> run);

// The tool windows' values: the workspace's settings, or the defaults
// when there is no workspace.
const Settings& SettingsOf(const CommandTarget& target);

}  // namespace vexal
