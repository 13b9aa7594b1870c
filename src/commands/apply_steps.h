// The steps of `vexal-tool apply`: what a user does to an open document,
// written as arguments. Each step runs as the application runs it on the
// active document, through the same command dispatcher; selection, material
// and view steps only set the scene up and record no undo step.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/command_arguments.h"
#include "commands/command_dispatcher.h"
#include "commands/make_pipe.h"
#include "commands/uv_projection.h"

namespace vexal {

struct ApplyStep {
  std::string option;  // "--select", "--run", ...
  std::string value;   // its argument; empty for --undo and --redo

  // As the user wrote it: "--run DeleteItem".
  std::string text() const { return value.empty() ? option : option + " " + value; }
};

// Whether a step option is followed by its value: every step but --undo
// and --redo, and anything that is no step at all (ParseApplySteps names
// it).
bool StepTakesValue(std::string_view option);

// `vexal-tool apply`'s command line split in one left-to-right pass: every
// argument starting with "-" that is not one of fileOptions is a step,
// taken with its value (which may itself start with "-", a negative angle);
// everything else (IN, OUT, --help, and each file option with its value)
// stays in `rest`, in order, for the caller to read.
struct ApplyArguments {
  std::vector<std::string> rest;
  std::vector<std::string> steps;
};
ApplyArguments SplitApplyArguments(const std::vector<std::string>& arguments,
                                   const std::vector<std::string_view>& fileOptions);

// Splits the step arguments into steps and checks their syntax (not their
// effect). False with a reason for a usage error.
bool ParseApplySteps(const std::vector<std::string>& arguments, std::vector<ApplyStep>& steps,
                     std::string& error);

// Runs one step on the target's document. Returns nothing on success, else
// the refusal (the document is then unchanged by the step).
MaybeRefusal RunApplyStep(CommandTarget& target, const ApplyStep& step);

// The window command a --primitive, --pipe or --uv step runs, with the
// values it parsed; false for every other step (and for a malformed
// value). The windows' buttons run the same commands with their values.
bool WindowCommandOfStep(const ApplyStep& step, std::string_view& name,
                         CommandArguments& arguments);

// "1,4,7-9" as 1-based point numbers, each checked against pointCount.
bool ParsePointList(std::string_view text, int pointCount, std::vector<int>& points,
                    std::string& error);

// "N,R,A" of --pipe: three numbers, brought into range by the pipe
// window's field rules (2 segments become 3, a radius of 0 becomes 0.125).
// False when a value is missing or not a number.
bool ParsePipeValues(std::string_view text, PipeParameters& parameters);
// "KIND,AXIS[,CU,CV,SU,SV,FU,FV,ANGLE,VIEW]" of --uv: KIND flat, cylinder,
// sphere or face; AXIS x, y or z; then any leading part of the numbers
// (centre, scale, flips 0/1, angle in degrees, view 0/1), the rest taking
// the window's defaults. Numbers are brought into range by the window's
// field rules. False on anything else.
bool ParseUVValues(std::string_view text, UVProjection& projection);

// The text of `vexal-tool apply --help`: the steps and every command name
// a step can run.
std::string ApplyHelpText();

}  // namespace vexal
