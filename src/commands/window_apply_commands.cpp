// The commands behind the windows' buttons: each takes its window's values
// from the target, brings them into range by the window's field rules and
// runs the edit on the active document.
#include <string>

#include "commands/command_arguments.h"
#include "io/message_catalog.h"
#include "commands/primitives.h"
#include "commands/tool_window_fields.h"

namespace vexal {
namespace {

// A command of a window whose values are a T; any other values are refused
// before anything changes. Every window acts on an open document.
template <class T, class Run>
ArgumentCommand Taking(std::string_view name, std::string_view caption, Run run) {
  return {name, caption, EnableRule::kDocument,
          [caption, run](CommandTarget& target, CommandArguments& arguments) -> CommandResult {
            T* values = std::get_if<T>(&arguments.values);
            if (!values) {
              return CommandResult::Refused(
                  FormatMessage("%.*s was given the values of another window",
                                static_cast<int>(caption.size()), caption.data()));
            }
            return run(target, *values);
          }};
}

CommandResult ApplyPipe(CommandTarget& target, const PipeParameters& given) {
  const PipeParameters values = PipeFieldValues(given);
  // The window keeps its values in the settings; Apply uses them from there.
  if (target.workspace) {
    Settings& settings = target.workspace->settings;
    settings.PipeSegment = values.segments;
    settings.PipeRadius = values.radius;
    settings.PipeOffset = values.offset;
  }
  return MakePipe(*target.document, values);
}

CommandResult ApplyColor(CommandTarget& target, const ColorApply& given) {
  std::string reason;
  if (!ApplyMaterialEdit(*target.document, given.material,
                         ColorFieldValues(given.edit, given.material), &reason)) {
    return CommandResult::Refused(reason);
  }
  return {};
}

}  // namespace

CommandResult RunCommandWith(std::string_view name, CommandTarget& target,
                             CommandArguments& arguments) {
  CommandArguments* const previous = target.arguments;
  target.arguments = &arguments;
  const CommandResult result = RunCommand(name, target);
  target.arguments = previous;
  return result;
}

void AddWindowApplyCommands(std::vector<ArgumentCommand>& commands) {
  commands.push_back(Taking<PipeParameters>(kPipeApplyCommand, "Pipe Settings", ApplyPipe));
  commands.push_back(Taking<UVProjection>(
      kProjectionApplyCommand, "UV Projection", [](CommandTarget& target, const UVProjection& values) {
        return ProjectUV(*target.document, ProjectionFieldValues(values));
      }));
  commands.push_back(Taking<PrimitiveChoice>(
      kPrimitiveAddCommand, "Add Primitive Objects",
      [](CommandTarget& target, const PrimitiveChoice& choice) {
        return RunPrimitiveButton(*target.document, choice.name);
      }));
  commands.push_back(Taking<NumericApply>(
      kNumericApplyCommand, "Enter A Number", [](CommandTarget& target, const NumericApply& apply) {
        return ApplyNumericPage(*target.document, apply.page, NumericFieldValues(apply.values));
      }));
  commands.push_back(Taking<NumericLocation>(
      kNumericLocateCommand, "Enter A Number",
      [](CommandTarget& target, const NumericLocation& location) {
        return MoveToRememberedPosition(*target.document, location.remembered, location.axisMask);
      }));
  commands.push_back(Taking<MaterialRewrites>(
      kUtilityApplyCommand, "Utility", [](CommandTarget& target, const MaterialRewrites& values) {
        return RunMaterialUtility(*target.document, UtilityFieldValues(values));
      }));
  commands.push_back(Taking<PictureApply>(
      kPictureApplyCommand, "Insert Background Image",
      [](CommandTarget& target, PictureApply& apply) {
        return ApplyPictureValues(*target.document, PictureFieldValues(apply.values),
                                  apply.pathEdited, apply.reload);
      }));
  commands.push_back(Taking<ColorApply>(kColorApplyCommand, "Color Change", ApplyColor));
}

}  // namespace vexal
