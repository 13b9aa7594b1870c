// Registration of the line and point placing commands; the tool windows'
// values come from the shared settings record.
#include <cstdlib>

#include "commands/line_commands.h"
#include "commands/point_commands.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

const Settings& SettingsOf(const CommandTarget& target) {
  static const Settings defaults;
  return target.workspace ? target.workspace->settings : defaults;
}

CommandResult NeedsDocument() { return CommandResult::Refused(Translate("no document is open")); }

}  // namespace

void AddLineCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back({"AttachLineItem", CommandKind::kDocument, [](CommandTarget& target) {
                        return RunAttachEdge(*target.document,
                                             SettingsOf(target).AttachLineSegment);
                      }, nullptr});
  commands.push_back({"MoveCrossItem", CommandKind::kDocument,
                      [](CommandTarget& target) { return RunMoveToCross(*target.document); },
                      nullptr});
  commands.push_back({"MoveLineItem", CommandKind::kDocument,
                      [](CommandTarget& target) { return RunMoveToEdge(*target.document); },
                      nullptr});
  commands.push_back({"XLineItem", CommandKind::kDocument,
                      [](CommandTarget& target) { return RunAlignToAxis(*target.document, 0); },
                      nullptr});
  commands.push_back({"YLineItem", CommandKind::kDocument,
                      [](CommandTarget& target) { return RunAlignToAxis(*target.document, 1); },
                      nullptr});
  commands.push_back({"ZLineItem", CommandKind::kDocument,
                      [](CommandTarget& target) { return RunAlignToAxis(*target.document, 2); },
                      nullptr});
  commands.push_back({"MirrorLineItem", CommandKind::kDocument,
                      [](CommandTarget& target) { return RunMirrorEdge(*target.document); },
                      nullptr});
}

void AddPointCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back({"SetGridItem", CommandKind::kDocument, [](CommandTarget& target) {
                        return RunSnapToGrid(*target.document, SettingsOf(target));
                      }, nullptr});
  commands.push_back({"SetRandomItem", CommandKind::kDocument, [](CommandTarget& target) {
                        return RunRandomPosition(*target.document, SettingsOf(target),
                                                 [] { return std::rand(); });
                      }, nullptr});
  commands.push_back({"ChangePivotItem", CommandKind::kDocument,
                      [](CommandTarget& target) {
                        if (!target.document) return NeedsDocument();
                        ChangePivotPosition(*target.document);
                        return CommandResult{};
                      },
                      [](const Document& document) { return document.scene.pivotMode != 0; }});
  commands.push_back({"MoveOriginItem", CommandKind::kDocument, [](CommandTarget& target) {
                        if (!target.document) return NeedsDocument();
                        return RunMoveToOrigin(*target.document);
                      }, nullptr});
}

}  // namespace vexal
