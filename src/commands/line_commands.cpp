// The menu items of the commands that shape chains of lines; Attach Edge
// takes its arc segments from the Drawing window's setting.
#include "commands/align_to_axis.h"
#include "commands/attach_edge.h"
#include "commands/command_registration.h"
#include "commands/mirror_edge.h"
#include "commands/move_to_cross.h"
#include "commands/move_to_edge.h"

namespace vexal {

void AddLineCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back({"AttachLineItem", CommandKind::kDocument, [](CommandTarget& target) {
                        return RunAttachEdge(*target.document,
                                             SettingsOf(target).AttachLineSegment);
                      }, nullptr});
  commands.push_back(OnDocument("MoveCrossItem", RunMoveToCross));
  commands.push_back(OnDocument("MoveLineItem", RunMoveToEdge));
  commands.push_back(WithMode("XLineItem", RunAlignToAxis, 0));
  commands.push_back(WithMode("YLineItem", RunAlignToAxis, 1));
  commands.push_back(WithMode("ZLineItem", RunAlignToAxis, 2));
  commands.push_back(OnDocument("MirrorLineItem", RunMirrorEdge));
}

}  // namespace vexal
