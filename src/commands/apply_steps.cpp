#include "commands/apply_steps.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "commands/primitives.h"
#include "io/message_catalog.h"
#include "model/maintenance.h"
#include "tools/number_field.h"

namespace vexal {
namespace {

bool ParseFloat(std::string_view text, float& value) {
  if (text.empty()) return false;
  const std::string copy(text);
  char* end = nullptr;
  value = std::strtof(copy.c_str(), &end);
  return end == copy.c_str() + copy.size() && std::isfinite(value);
}

bool ParseInt(std::string_view text, int& value) {
  if (text.empty()) return false;
  const auto [end, code] = std::from_chars(text.data(), text.data() + text.size(), value);
  return code == std::errc() && end == text.data() + text.size();
}

bool SplitPair(std::string_view text, std::string_view& first, std::string_view& second) {
  const size_t comma = text.find(',');
  if (comma == std::string_view::npos) return false;
  first = text.substr(0, comma);
  second = text.substr(comma + 1);
  return true;
}

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t comma = text.find(',');
    fields.push_back(text.substr(0, comma));
    if (comma == std::string_view::npos) return fields;
    text = text.substr(comma + 1);
  }
}

// A number as the field would show it after leaving it; false when the
// text is not a number at all.
bool FieldValue(std::string_view text, const FloatFieldRule& rule, float& value) {
  float parsed = 0;
  if (!ParseFloat(text, parsed)) return false;
  value = NormalizeFloatField(text, rule);
  return true;
}

// The steps, each with whether it is followed by a value.
struct StepOption {
  std::string_view option;
  bool takesValue;
};
constexpr StepOption kStepOptions[] = {
    {"--select", true}, {"--deselect", true}, {"--material", true}, {"--view", true},
    {"--zoom", true},   {"--run", true},      {"--primitive", true}, {"--pipe", true},
    {"--uv", true},     {"--undo", false},    {"--redo", false},
};

const StepOption* FindStepOption(std::string_view option) {
  for (const StepOption& step : kStepOptions) {
    if (step.option == option) return &step;
  }
  return nullptr;
}

bool FlagValue(std::string_view text, bool& value) {
  if (text != "0" && text != "1") return false;
  value = text == "1";
  return true;
}

// Sets the listed points' states (never a hidden point); a deselection also
// clears the selected lines and surfaces, which RefreshSelection raises
// again where all their points are still selected.
void SetPointStates(Document& document, const std::vector<int>& points, int32_t state) {
  Model& model = document.model;
  for (int point : points) {
    if (model.points[point].state != kStateHidden) model.points[point].state = state;
  }
  if (state == kStateNormal) {
    for (int l = 1; l <= model.lineCount; ++l) {
      if (model.lines[l].state == kStateSelected) model.lines[l].state = kStateNormal;
    }
    for (int s = 1; s <= model.faceCount; ++s) {
      if (model.faces[s].state == kStateSelected) model.faces[s].state = kStateNormal;
    }
  }
  RefreshSelection(document);
}

MaybeRefusal RunSelection(Document& document, const ApplyStep& step) {
  Model& model = document.model;
  const bool select = step.option == "--select";
  if (select && step.value == "all") {
    for (int p = 1; p <= model.pointCount; ++p) {
      if (model.points[p].state != kStateHidden) model.points[p].state = kStateSelected;
    }
    RefreshSelection(document);
    return std::nullopt;
  }
  if (select && step.value == "none") {
    DeselectAll(model);
    RefreshSelection(document);
    return std::nullopt;
  }
  std::vector<int> points;
  std::string error;
  if (!ParsePointList(std::string_view(step.value).substr(7), model.pointCount, points, error)) {
    return Refusal{error};
  }
  SetPointStates(document, points, select ? kStateSelected : kStateNormal);
  return std::nullopt;
}

}  // namespace

bool ParsePointList(std::string_view text, int pointCount, std::vector<int>& points,
                    std::string& error) {
  points.clear();
  while (!text.empty()) {
    const size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    int first = 0, last = 0;
    const size_t dash = item.find('-', 1);
    if (dash == std::string_view::npos) {
      if (!ParseInt(item, first)) {
        error = FormatMessage("\"%.*s\" is not a point number", static_cast<int>(item.size()),
                              item.data());
        return false;
      }
      last = first;
    } else if (!ParseInt(item.substr(0, dash), first) || !ParseInt(item.substr(dash + 1), last) ||
               last < first) {
      error = FormatMessage("\"%.*s\" is not a range of point numbers",
                            static_cast<int>(item.size()), item.data());
      return false;
    }
    if (first < 1 || last > pointCount) {
      error = FormatMessage("point %d is out of range (the model has %d points)",
                            first < 1 ? first : last, pointCount);
      return false;
    }
    for (int p = first; p <= last; ++p) points.push_back(p);
  }
  if (points.empty()) {
    error = Translate("no point numbers given");
    return false;
  }
  return true;
}

bool ParsePipeValues(std::string_view text, PipeParameters& parameters) {
  const std::vector<std::string_view> fields = SplitFields(text);
  int segments = 0;
  float number = 0;
  if (fields.size() != 3 || !ParseInt(fields[0], segments) || !ParseFloat(fields[1], number) ||
      !ParseFloat(fields[2], number)) {
    return false;
  }
  parameters.segments = NormalizeIntField(fields[0], kPipeSegmentField);
  parameters.radius = NormalizeFloatField(fields[1], kPipeRadiusField);
  parameters.offset = NormalizeFloatField(fields[2], kPipeOffsetField);
  return true;
}

bool ParseUVValues(std::string_view text, UVProjection& projection) {
  const std::vector<std::string_view> fields = SplitFields(text);
  if (fields.size() < 2 || fields.size() > 10) return false;
  projection = UVProjection{};
  const std::string_view kinds[] = {"flat", "cylinder", "sphere", "face"};
  const std::string_view axes[] = {"x", "y", "z"};
  const auto kind = std::find(std::begin(kinds), std::end(kinds), fields[0]);
  const auto axis = std::find(std::begin(axes), std::end(axes), fields[1]);
  if (kind == std::end(kinds) || axis == std::end(axes)) return false;
  projection.kind = static_cast<ProjectionKind>(kind - std::begin(kinds));
  projection.axis = static_cast<ProjectionAxis>(axis - std::begin(axes));
  for (size_t i = 2; i < fields.size(); ++i) {
    const std::string_view field = fields[i];
    bool good = false;
    switch (i) {
      case 2: good = FieldValue(field, kUVCenterField, projection.centerU); break;
      case 3: good = FieldValue(field, kUVCenterField, projection.centerV); break;
      case 4: good = FieldValue(field, kUVScaleField, projection.scaleU); break;
      case 5: good = FieldValue(field, kUVScaleField, projection.scaleV); break;
      case 6: good = FlagValue(field, projection.flipU); break;
      case 7: good = FlagValue(field, projection.flipV); break;
      case 8: good = FieldValue(field, kUVAngleField, projection.angle); break;
      case 9: good = FlagValue(field, projection.useView); break;
    }
    if (!good) return false;
  }
  return true;
}

bool StepTakesValue(std::string_view option) {
  const StepOption* step = FindStepOption(option);
  return !step || step->takesValue;
}

ApplyArguments SplitApplyArguments(const std::vector<std::string>& arguments,
                                   const std::vector<std::string_view>& fileOptions) {
  ApplyArguments split;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool fileOption =
        std::find(fileOptions.begin(), fileOptions.end(), argument) != fileOptions.end();
    if (argument == "--help" || argument == "-h" || argument.empty() || argument[0] != '-') {
      split.rest.push_back(argument);
      continue;
    }
    std::vector<std::string>& into = fileOption ? split.rest : split.steps;
    into.push_back(argument);
    if ((fileOption || StepTakesValue(argument)) && i + 1 < arguments.size()) {
      into.push_back(arguments[++i]);
    }
  }
  return split;
}

bool ParseApplySteps(const std::vector<std::string>& arguments, std::vector<ApplyStep>& steps,
                     std::string& error) {
  steps.clear();
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    const StepOption* known = FindStepOption(option);
    if (!known) {
      error = FormatMessage("unknown step \"%s\"", option.c_str());
      return false;
    }
    if (!known->takesValue) {
      steps.push_back({option, {}});
      continue;
    }
    if (i + 1 >= arguments.size()) {
      error = FormatMessage("%s needs a value", option.c_str());
      return false;
    }
    const std::string& value = arguments[++i];
    const std::string_view v = value;
    bool good = true;
    if (option == "--select") {
      good = v == "all" || v == "none" || (v.starts_with("points:") && v.size() > 7);
    } else if (option == "--deselect") {
      good = v.starts_with("points:") && v.size() > 7;
    } else if (option == "--material") {
      int material = 0;
      good = ParseInt(v, material) && material >= 0 && material <= 15;
    } else if (option == "--view") {
      std::string_view ax, ay;
      float x = 0, y = 0;
      good = SplitPair(v, ax, ay) && ParseFloat(ax, x) && ParseFloat(ay, y);
    } else if (option == "--zoom") {
      float zoom = 0;
      good = ParseFloat(v, zoom) && zoom > 0;
    } else if (option == "--run") {
      good = !value.empty();
    } else if (option == "--primitive") {
      const auto& buttons = PrimitiveButtons();
      good = std::any_of(buttons.begin(), buttons.end(),
                         [&](const PrimitiveButton& button) { return button.name == v; });
    } else if (option == "--pipe") {
      PipeParameters parameters;
      good = ParsePipeValues(v, parameters);
    } else if (option == "--uv") {
      UVProjection projection;
      good = ParseUVValues(v, projection);
    }
    if (!good) {
      error = FormatMessage("bad value for %s: \"%s\"", option.c_str(), value.c_str());
      return false;
    }
    steps.push_back({option, value});
  }
  return true;
}

MaybeRefusal RunApplyStep(CommandTarget& target, const ApplyStep& step) {
  Document& document = *target.document;
  if (step.option == "--select" || step.option == "--deselect") return RunSelection(document, step);
  if (step.option == "--material") {
    document.scene.paletteIndex = std::atoi(step.value.c_str());
    return std::nullopt;
  }
  if (step.option == "--view") {
    std::string_view ax, ay;
    SplitPair(step.value, ax, ay);
    ParseFloat(ax, document.scene.angle.x);
    ParseFloat(ay, document.scene.angle.y);
    return std::nullopt;
  }
  if (step.option == "--zoom") {
    ParseFloat(step.value, document.scene.zoom);
    return std::nullopt;
  }
  std::string_view command;
  CommandArguments arguments;
  if (WindowCommandOfStep(step, command, arguments)) {
    const CommandResult result = RunCommandWith(command, target, arguments);
    return result.ok() ? MaybeRefusal() : result.refusal;
  }
  if (step.option == "--pipe" || step.option == "--uv") {
    return Refusal{FormatMessage("bad value for %s: \"%s\"", step.option.c_str(), step.value.c_str())};
  }
  std::string name;
  if (step.option == "--run") {
    name = step.value;
  } else if (step.option == "--undo") {
    name = "UndoItem";
  } else if (step.option == "--redo") {
    name = "RedoItem";
  } else {
    return Refusal{FormatMessage("unknown step %s", step.option.c_str())};
  }
  const CommandResult result = RunCommand(name, target);
  return result.ok() ? MaybeRefusal() : result.refusal;
}

bool WindowCommandOfStep(const ApplyStep& step, std::string_view& name,
                         CommandArguments& arguments) {
  if (step.option == "--primitive") {
    name = kPrimitiveAddCommand;
    arguments.values = PrimitiveChoice{step.value};
    return true;
  }
  if (step.option == "--pipe") {
    PipeParameters parameters;
    if (!ParsePipeValues(step.value, parameters)) return false;
    name = kPipeApplyCommand;
    arguments.values = parameters;
    return true;
  }
  if (step.option == "--uv") {
    UVProjection projection;
    if (!ParseUVValues(step.value, projection)) return false;
    name = kProjectionApplyCommand;
    arguments.values = projection;
    return true;
  }
  return false;
}

std::string ApplyHelpText() {
  std::string text =
      "usage: vexal-tool apply IN OUT [--settings FILE.ini] [--type N] [--open-type N] STEP...\n"
      "\n"
      "Opens IN as a document window does, runs the steps in order on it, then writes\n"
      "OUT with the writer of its extension (as convert does). On a failing step\n"
      "nothing is written.\n"
      "\n"
      "steps:\n"
      "  --select all | --select none | --select points:LIST | --deselect points:LIST\n"
      "                   set point states (LIST: 1-based numbers and ranges, 1,4,7-9);\n"
      "                   records no undo step and never selects a hidden point\n"
      "  --material K     the current palette material (0..15)\n"
      "  --view AX,AY     the camera angles in degrees\n"
      "  --zoom Z         the zoom factor\n"
      "  --run NAME       the main-menu command of that name\n"
      "  --primitive cube|sphere1|sphere2|sphere3|cylinder1|cylinder2|cylinder3\n"
      "                   a button of the Add Primitive Objects window\n"
      "  --pipe N,R,A     the Pipe Settings window's segments, radius and offset\n"
      "                   (stored in the settings), then its Apply\n"
      "  --uv KIND,AXIS[,CU,CV,SU,SV,FU,FV,ANGLE,VIEW]\n"
      "                   the UV Projection window's Apply: KIND flat|cylinder|sphere|\n"
      "                   face, AXIS x|y|z; centre 0.5,0.5, scale 1,1, flips 0,0,\n"
      "                   angle 0 and view 0 unless given\n"
      "  --undo | --redo\n"
      "\n"
      "commands for --run:\n";
  std::string line = " ";
  for (const CommandMenu& menu : MainMenu()) {
    for (const CommandItem& item : menu.items) {
      const CommandDefinition* definition = FindCommandDefinition(item.name);
      if (item.separator() || !definition || definition->kind != CommandKind::kDocument) continue;
      if (line.size() + item.name.size() + 1 > 78) {
        text += line + "\n";
        line = " ";
      }
      line += " " + std::string(item.name);
    }
  }
  if (line.size() > 1) text += line + "\n";
  return text;
}

}  // namespace vexal
