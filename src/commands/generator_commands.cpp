// The menu commands of the generators and projections: "Create a Pipe" with
// the pipe values of the settings, "UV Clear".
#include "commands/command_dispatcher.h"
#include "commands/make_pipe.h"
#include "commands/number_field.h"
#include "commands/uv_projection.h"

namespace vexal {

PipeParameters PipeParametersFrom(const Settings& settings) {
  // The settings file may hold anything; the window would show these.
  PipeParameters parameters;
  parameters.segments = NormalizeIntField(IntFieldText(settings.PipeSegment), kPipeSegmentField);
  parameters.radius = NormalizeFloatField(FloatFieldText(settings.PipeRadius), kPipeRadiusField);
  parameters.offset = NormalizeFloatField(FloatFieldText(settings.PipeOffset), kPipeOffsetField);
  return parameters;
}

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
