// The steps of `vexal-tool apply`: what a user does to an open document,
// written as arguments. Each step runs as the application runs it on the
// active document, through the same command dispatcher; selection, material
// and view steps only set the scene up and record no undo step.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/command_dispatcher.h"

namespace vexal {

struct ApplyStep {
  std::string option;  // "--select", "--run", ...
  std::string value;   // its argument; empty for --undo and --redo

  // As the user wrote it: "--run DeleteItem".
  std::string text() const { return value.empty() ? option : option + " " + value; }
};

// Splits the arguments into steps and checks their syntax (not their
// effect). False with a reason for a usage error.
bool ParseApplySteps(const std::vector<std::string>& arguments, std::vector<ApplyStep>& steps,
                     std::string& error);

// Runs one step on the target's document. Returns an empty string on
// success, else why it could not run (the document is then unchanged by
// the step).
std::string RunApplyStep(CommandTarget& target, const ApplyStep& step);

// "1,4,7-9" as 1-based point numbers, each checked against pointCount.
bool ParsePointList(std::string_view text, int pointCount, std::vector<int>& points,
                    std::string& error);

// The text of `vexal-tool apply --help`: the steps and every command name
// a step can run.
std::string ApplyHelpText();

}  // namespace vexal
