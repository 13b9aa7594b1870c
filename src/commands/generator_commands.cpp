// The menu commands of the generators and projections: "Create a Pipe" with
// the pipe values of the settings, "UV Clear".
#include "commands/command_dispatcher.h"
#include "commands/make_pipe.h"
#include "commands/uv_projection.h"

namespace vexal {

void AddGeneratorCommands(std::vector<CommandDefinition>& commands) {
  commands.push_back({"PipeItem", CommandKind::kDocument, [](CommandTarget& target) {
                        const Settings settings =
                            target.workspace ? target.workspace->settings : Settings{};
                        return MakePipe(*target.document, PipeParametersFrom(settings));
                      }, nullptr});
  commands.push_back({"ClearUVItem", CommandKind::kDocument, [](CommandTarget& target) {
                        return ClearUV(*target.document);
                      }, nullptr});
}

}  // namespace vexal
