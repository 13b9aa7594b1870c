#include "commands/command_dispatcher.h"

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
    AddWindowCommands(commands);
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
    for (size_t i = 0; i < commands.size(); ++i) byName.emplace(commands[i].name, i);
  }
};

const Registry& TheRegistry() {
  static const Registry registry;
  return registry;
}

}  // namespace

const std::vector<CommandDefinition>& CommandDefinitions() { return TheRegistry().commands; }

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
  if (!item) return {CommandStatus::kUnknown, "no command is called " + std::string(name)};
  const CommandDefinition* definition = FindCommandDefinition(name);
  // Every item of the table has its command (the dispatcher tests check).
  assert(definition != nullptr);
  if (!definition) return {CommandStatus::kUnknown, "no command is called " + std::string(name)};
  if (definition->kind == CommandKind::kWindow && !target.host) {
    return {CommandStatus::kNeedsWindow,
            std::string(item->caption) + " needs a window and cannot run here"};
  }
  if (!CommandEnabled(name, target)) {
    std::string why = "the command is disabled";
    switch (item->rule) {
      case EnableRule::kDocument: why = "no document is open"; break;
      case EnableRule::kUndo: why = "there is nothing to undo"; break;
      case EnableRule::kRedo: why = "there is nothing to redo"; break;
      case EnableRule::kPoints: why = "the model has no points"; break;
      case EnableRule::kSelection: why = "nothing is selected"; break;
      case EnableRule::kUnselected: why = "every point is selected"; break;
      case EnableRule::kClipboard: why = "the clipboard is empty"; break;
      case EnableRule::kPaletteClipboard: why = "no palette has been copied"; break;
      case EnableRule::kAlways: break;
    }
    return {CommandStatus::kDisabled, why};
  }
  if (definition->kind == CommandKind::kWindow) {
    if (!target.host->runWindowCommand(name)) {
      return {CommandStatus::kNeedsWindow,
              std::string(item->caption) + " needs a window and cannot run here"};
    }
    return {};
  }
  return definition->run(target);
}

}  // namespace vexal
