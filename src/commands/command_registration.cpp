#include "commands/command_registration.h"

#include "io/message_catalog.h"

namespace vexal {

CommandDefinition OnDocument(std::string_view name, CommandResult (*run)(Document&)) {
  return {name, CommandKind::kDocument,
          [run](CommandTarget& target) {
            return target.document ? run(*target.document) : CommandResult{};
          },
          nullptr};
}

CommandDefinition WithMode(std::string_view name, CommandResult (*run)(Document&, int), int mode) {
  return {name, CommandKind::kDocument,
          [run, mode](CommandTarget& target) { return run(*target.document, mode); }, nullptr};
}

CommandDefinition OnWorkspace(std::string_view name,
                              std::function<CommandResult(Document&, Workspace&)> run) {
  return {name, CommandKind::kDocument,
          [run](CommandTarget& target) {
            if (!target.document) return CommandResult{};
            if (!target.workspace) return CommandResult::Refused(Translate("there is no clipboard here"));
            CommandResult result = run(*target.document, *target.workspace);
            FillClipboardFlags(target);
            return result;
          },
          nullptr};
}

const Settings& SettingsOf(const CommandTarget& target) {
  static const Settings defaults;
  return target.workspace ? target.workspace->settings : defaults;
}

}  // namespace vexal
