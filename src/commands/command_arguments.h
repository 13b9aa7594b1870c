// The values a window's button hands to its command: the Pipe, UV
// Projection, Add Primitive, Enter A Number, Utility, background picture and
// colour windows gather their fields into one of these, put it on the
// command target and run the command by name, as `vexal-tool apply`'s
// --pipe, --uv and --primitive steps do with the values they parse. The
// command brings every number into range by the window's field rules
// before it changes anything, so a value that never passed through a field
// acts as if it had been typed there.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "commands/background_pictures.h"
#include "commands/command_dispatcher.h"
#include "commands/make_pipe.h"
#include "commands/material_utility.h"
#include "commands/numeric_transform.h"
#include "commands/uv_projection.h"
#include "tools/palette_panel.h"

namespace vexal {

// Add Primitive Objects: the button by its name ("cube", "sphere1" ...).
struct PrimitiveChoice {
  std::string name;
};

// Enter A Number's Apply: the page shown and every field.
struct NumericApply {
  NumericPage page = NumericPage::kGo;
  NumericValues values;
};

// Enter A Number's "Location" buttons.
struct NumericLocation {
  VECTOR remembered;
  int axisMask = kAxisMaskAll;
};

// The background picture window's OK. `reload` is filled by the command:
// the slots whose picture file the window has to load again.
struct PictureApply {
  PictureValues values;
  std::array<bool, kPictureSlots> pathEdited{};
  std::array<bool, kPictureSlots> reload{};
};

// The colour window's OK on one palette entry.
struct ColorApply {
  int material = 0;
  MaterialEdit edit;
};

struct CommandArguments {
  std::variant<std::monostate, PipeParameters, UVProjection, PrimitiveChoice, NumericApply,
               NumericLocation, MaterialRewrites, PictureApply, ColorApply>
      values;
};

// The commands behind the windows' buttons; none has a menu item.
inline constexpr std::string_view kPipeApplyCommand = "PipeWindowApply";
inline constexpr std::string_view kProjectionApplyCommand = "ProjectionWindowApply";
inline constexpr std::string_view kPrimitiveAddCommand = "PrimitiveWindowAdd";
inline constexpr std::string_view kNumericApplyCommand = "NumericWindowApply";
inline constexpr std::string_view kNumericLocateCommand = "NumericWindowLocate";
inline constexpr std::string_view kUtilityApplyCommand = "UtilityWindowApply";
inline constexpr std::string_view kPictureApplyCommand = "PictureWindowApply";
inline constexpr std::string_view kColorApplyCommand = "ColorWindowApply";

// Runs a window's command with its values on the target's document.
CommandResult RunCommandWith(std::string_view name, CommandTarget& target,
                             CommandArguments& arguments);

}  // namespace vexal
