// The menu items that hide and show parts of the model.
#include "commands/command_registration.h"
#include "commands/hide_show.h"

namespace vexal {

void AddHideShowCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back(WithMode("HideItem", HidePoints, 1));
  commands.push_back(WithMode("HideNotItem", HidePoints, 0));
  commands.push_back(OnDocument("ShowItem", ShowHidden));
  commands.push_back(WithMode("HideTemplateItem", HideTemplate, 1));
  commands.push_back(WithMode("HideTemplateNotItem", HideTemplate, 0));
  commands.push_back(OnDocument("ShowTemplateItem", ShowTemplates));
}

}  // namespace vexal
