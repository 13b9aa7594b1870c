// The menu items of mirror symmetry.
#include "commands/command_registration.h"
#include "commands/mirror.h"

namespace vexal {

void AddMirrorCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back(OnDocument("MirrorItem", RunMirrorSelection));
  commands.push_back(OnDocument("UnMirrorItem", RunUnmirrorSelection));
  commands.push_back(WithMode("XReflectItem", RunReflectSelection, 0));
  commands.push_back(WithMode("YReflectItem", RunReflectSelection, 1));
}

}  // namespace vexal
