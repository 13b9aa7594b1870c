#include "commands/command_dispatcher.h"
#include "io/message_catalog.h"

#include <algorithm>
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
  if (!item)
    return {CommandStatus::kUnknown,
            Refusal{FormatMessage("no command is called %s", std::string(name).c_str())}};
  const CommandDefinition* definition = FindCommandDefinition(name);
  if (!definition) {
    return {CommandStatus::kNotBuilt,
            Refusal{FormatMessage("%.*s is not available yet",
                                  static_cast<int>(item->caption.size()), item->caption.data())}};
  }
  if (definition->kind == CommandKind::kWindow && !target.host) {
    return {CommandStatus::kNeedsWindow,
            Refusal{FormatMessage("%.*s needs a window and cannot run here",
                                  static_cast<int>(item->caption.size()), item->caption.data())}};
  }
  if (!CommandEnabled(name, target)) {
    std::string why = Translate("the command is disabled");
    switch (item->rule) {
      case EnableRule::kDocument: why = Translate("no document is open"); break;
      case EnableRule::kUndo: why = Translate("there is nothing to undo"); break;
      case EnableRule::kRedo: why = Translate("there is nothing to redo"); break;
      case EnableRule::kPoints: why = Translate("the model has no points"); break;
      case EnableRule::kSelection: why = Translate("nothing is selected"); break;
      case EnableRule::kUnselected: why = Translate("every point is selected"); break;
      case EnableRule::kClipboard: why = Translate("the clipboard is empty"); break;
      case EnableRule::kPaletteClipboard: why = Translate("no palette has been copied"); break;
      case EnableRule::kAlways: break;
    }
    return {CommandStatus::kDisabled, Refusal{why}};
  }
  if (definition->kind == CommandKind::kWindow) {
    if (!target.host->runWindowCommand(name)) {
      return {CommandStatus::kNotBuilt,
              Refusal{FormatMessage("%.*s is not available yet",
                                    static_cast<int>(item->caption.size()), item->caption.data())}};
    }
    return {};
  }
  return definition->run(target);
}

}  // namespace vexal
