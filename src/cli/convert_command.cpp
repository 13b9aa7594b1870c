// vexal-tool convert IN OUT [--type N] [--open-type N] [--settings FILE.ini]:
// opens IN through the open dispatcher and writes OUT through the save
// dispatcher with the writer of OUT's extension.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/document_files.h"

namespace vexal::cli {
namespace {

int Usage() {
  std::fprintf(
      stderr,
      "usage: vexal-tool convert IN OUT [--type N] [--open-type N] [--settings FILE.ini]\n");
  return 2;
}

}  // namespace

int RunConvertCommand(int argc, char** argv) {
  FileOptions options;
  for (int i = 0; i < argc; ++i) {
    const std::string argument = argv[i];
    const int taken = TakeFileOption(argc, argv, i, options);
    if (taken == 2) return Usage();
    if (taken == 1) continue;
    if (!argument.empty() && argument[0] == '-') return Usage();
    if (options.input.empty()) {
      options.input = argument;
    } else if (options.output.empty()) {
      options.output = argument;
    } else {
      return Usage();
    }
  }
  if (options.output.empty()) return Usage();

  Settings settings;
  int saveIndex = 0;
  if (PrepareFiles(options, settings, saveIndex) != 0) return 1;
  auto document = std::make_unique<Document>();
  DocumentFile file;
  if (OpenInput(options, settings, *document, file) != 0) return 1;
  return SaveOutput(options, settings, saveIndex, *document, file);
}

}  // namespace vexal::cli
