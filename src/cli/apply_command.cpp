// vexal-tool apply IN OUT [--settings FILE.ini] [--type N] [--open-type N]
// STEP...: opens IN as a document window does, runs each step as the
// application runs it on the active document, then writes OUT as convert
// does. A step that cannot run stops everything: one line names it, counted
// from 1, and nothing is written.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/document_files.h"
#include "commands/apply_steps.h"
#include "model/camera.h"
#include "tools/workspace.h"
#include "io/message_catalog.h"

namespace vexal::cli {
namespace {

// The drawing area of a new document window, for the view-dependent
// commands.
constexpr int kViewWidth = 444;
constexpr int kViewHeight = 317;

int Usage(const std::string& why) {
  if (!why.empty()) std::fprintf(stderr, "%s\n", FormatMessage("vexal-tool apply: %s", why.c_str()).c_str());
  std::fprintf(stderr,
               "usage: vexal-tool apply IN OUT [--settings FILE.ini] STEP... (see "
               "vexal-tool apply --help)\n");
  return 2;
}

}  // namespace

int RunApplyCommand(int argc, char** argv) {
  const ApplyArguments split = SplitApplyArguments(
      std::vector<std::string>(argv, argv + argc), {"--settings", "--type", "--open-type"});
  // TakeFileOption reads its options in argv form.
  std::vector<char*> rest;
  for (const std::string& argument : split.rest) rest.push_back(const_cast<char*>(argument.c_str()));
  const int count = static_cast<int>(rest.size());
  FileOptions options;
  for (int i = 0; i < count; ++i) {
    const std::string argument = rest[static_cast<size_t>(i)];
    if (argument == "--help" || argument == "-h") {
      std::fputs(ApplyHelpText().c_str(), stdout);
      return 0;
    }
    const int taken = TakeFileOption(count, rest.data(), i, options);
    if (taken == 2) return Usage(FormatMessage("bad value for %s", argument.c_str()));
    if (taken == 1) continue;
    if (options.input.empty()) {
      options.input = argument;
    } else if (options.output.empty()) {
      options.output = argument;
    } else {
      return Usage(FormatMessage("unexpected argument \"%s\"", argument.c_str()));
    }
  }
  if (options.output.empty()) return Usage("");
  std::vector<ApplyStep> steps;
  std::string error;
  if (!ParseApplySteps(split.steps, steps, error)) return Usage(error);

  auto workspace = std::make_unique<Workspace>();
  int saveIndex = 0;
  if (PrepareFiles(options, workspace->settings, saveIndex) != 0) return 1;
  auto document = std::make_unique<Document>();
  DocumentFile file;
  if (OpenInput(options, workspace->settings, *document, file) != 0) return 1;
  SetScreenSize(document->scene, kViewWidth, kViewHeight);

  CommandTarget target;
  target.document = document.get();
  target.documentCount = 1;
  target.workspace = workspace.get();
  target.openGLAvailable = false;
  for (size_t i = 0; i < steps.size(); ++i) {
    if (const MaybeRefusal refused = RunApplyStep(target, steps[i])) {
      std::fprintf(stderr, "%s\n",
                   FormatMessage("step %zu (%s): %s", i + 1, steps[i].text().c_str(),
                                 refused->reason.c_str())
                       .c_str());
      return 1;
    }
  }
  return SaveOutput(options, workspace->settings, saveIndex, *document, file);
}

}  // namespace vexal::cli
