#include "commands/command_dispatcher.h"
#include "io/message_catalog.h"

#include <algorithm>
#include <cassert>
#include <unordered_map>

namespace vexal {
namespace {

struct Registry {
  std::vector<CommandDefinition> commands;
  std::unordered_map<std::string_view, size_t> byName;

  Registry() {
    AddViewCommands(commands);
    AddEditCommands(commands);
    AddSelectionCommands(commands);
    AddWeldCommands(commands);
    AddMirrorCommands(commands);
    AddLineCommands(commands);
    AddPointCommands(commands);
    AddTopologyCommands(commands);
    AddHideShowCommands(commands);
    AddClipboardCommands(commands);
    AddPaintCommands(commands);
    AddGeneratorCommands(commands);
    AddWindowCommands(commands);
    for (size_t i = 0; i < commands.size(); ++i) byName.emplace(commands[i].name, i);
  }
};

const Registry& TheRegistry() {
  static const Registry registry;
  return registry;
}

struct ArgumentRegistry {
  std::vector<ArgumentCommand> commands;
  std::unordered_map<std::string_view, size_t> byName;

  ArgumentRegistry() {
    AddWindowApplyCommands(commands);
    for (size_t i = 0; i < commands.size(); ++i) byName.emplace(commands[i].name, i);
  }
};

const ArgumentRegistry& TheArgumentRegistry() {
  static const ArgumentRegistry registry;
  return registry;
}

Refusal DisabledReason(EnableRule rule) {
  switch (rule) {
    case EnableRule::kDocument: return {Translate("no document is open")};
    case EnableRule::kUndo: return {Translate("there is nothing to undo")};
    case EnableRule::kRedo: return {Translate("there is nothing to redo")};
    case EnableRule::kPoints: return {Translate("the model has no points")};
    case EnableRule::kSelection: return {Translate("nothing is selected")};
    case EnableRule::kUnselected: return {Translate("every point is selected")};
    case EnableRule::kClipboard: return {Translate("the clipboard is empty")};
    case EnableRule::kPaletteClipboard: return {Translate("no palette has been copied")};
    case EnableRule::kAlways: break;
  }
  return {Translate("the command is disabled")};
}

CommandResult RunArgumentCommand(const ArgumentCommand& command, CommandTarget& target) {
  if (!EnableRuleHolds(command.rule, target)) {
    return {CommandStatus::kDisabled, DisabledReason(command.rule)};
  }
  if (!target.arguments) {
    return CommandResult::Refused(FormatMessage("%.*s needs the values of its window",
                                                static_cast<int>(command.caption.size()), command.caption.data()));
  }
  return command.run(target, *target.arguments);
}

}  // namespace

const std::vector<CommandDefinition>& CommandDefinitions() { return TheRegistry().commands; }

const std::vector<ArgumentCommand>& ArgumentCommands() { return TheArgumentRegistry().commands; }

const ArgumentCommand* FindArgumentCommand(std::string_view name) {
  const ArgumentRegistry& registry = TheArgumentRegistry();
  const auto found = registry.byName.find(name);
  return found == registry.byName.end() ? nullptr : &registry.commands[found->second];
}

const CommandDefinition* FindCommandDefinition(std::string_view name) {
  const Registry& registry = TheRegistry();
  const auto found = registry.byName.find(name);
  return found == registry.byName.end() ? nullptr : &registry.commands[found->second];
}

bool EnableRuleHolds(EnableRule rule, const CommandTarget& target) {
  const Document* document = target.document;
  switch (rule) {
    case EnableRule::kAlways: return true;
    case EnableRule::kDocument: return target.documentCount > 0 && document != nullptr;
    case EnableRule::kUndo: return document && document->undo.undoDepth != 0;
    case EnableRule::kRedo: return document && document->undo.redoDepth != 0;
    case EnableRule::kPoints: return document && document->model.pointCount > 0;
    case EnableRule::kSelection: return document && document->scene.selectedCount > 0;
    case EnableRule::kUnselected:
      return document && document->scene.selectedCount != document->model.pointCount;
    case EnableRule::kClipboard: return document && target.pointClipboardFilled;
    case EnableRule::kPaletteClipboard: return document && target.paletteClipboardFilled;
  }
  return false;
}

bool CommandEnabled(std::string_view name, const CommandTarget& target) {
  if (const ArgumentCommand* command = FindArgumentCommand(name)) {
    return EnableRuleHolds(command->rule, target);
  }
  const CommandItem* item = FindCommand(name);
  const CommandDefinition* definition = FindCommandDefinition(name);
  if (!item || !definition) return false;
  if (definition->kind == CommandKind::kWindow && !target.host) return false;
  if (name == "UseGLItem" && target.document && !target.openGLAvailable) return false;
  return EnableRuleHolds(item->rule, target);
}

std::optional<bool> CommandChecked(std::string_view name, const CommandTarget& target) {
  const CommandDefinition* definition = FindCommandDefinition(name);
  if (!definition || !definition->checked || !target.document) return std::nullopt;
  return definition->checked(*target.document);
}

void FillClipboardFlags(CommandTarget& target) {
  if (!target.workspace) return;
  target.pointClipboardFilled = !target.workspace->clipboard.empty();
  target.paletteClipboardFilled = target.workspace->paletteClipboard.filled;
}

CommandResult RunCommand(std::string_view name, CommandTarget& target) {
  FillClipboardFlags(target);
  const CommandItem* item = FindCommand(name);
  if (!item) {
    if (const ArgumentCommand* command = FindArgumentCommand(name)) {
      return RunArgumentCommand(*command, target);
    }
    return {CommandStatus::kUnknown,
            Refusal{FormatMessage("no command is called %s", std::string(name).c_str())}};
  }
  const CommandDefinition* definition = FindCommandDefinition(name);
  // Every item of the table has its command (the dispatcher tests check).
  assert(definition != nullptr);
  if (!definition) return {CommandStatus::kUnknown,
            Refusal{FormatMessage("no command is called %s", std::string(name).c_str())}};
  if (definition->kind == CommandKind::kWindow && !target.host) {
    return {CommandStatus::kNeedsWindow,
            Refusal{FormatMessage("%.*s needs a window and cannot run here",
                                  static_cast<int>(item->caption.size()), item->caption.data())}};
  }
  if (!CommandEnabled(name, target)) return {CommandStatus::kDisabled, DisabledReason(item->rule)};
  if (definition->kind == CommandKind::kWindow) {
    if (!target.host->runWindowCommand(name)) {
      return {CommandStatus::kNeedsWindow,
              Refusal{FormatMessage("%.*s needs a window and cannot run here",
                                    static_cast<int>(item->caption.size()), item->caption.data())}};
    }
    return {};
  }
  return definition->run(target);
}

}  // namespace vexal
