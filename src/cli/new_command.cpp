// vexal-tool new OUT [--type N]: a new document as File > New makes it
// (with the default object), written by the writer of OUT's extension.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/document_files.h"
#include "formats/document_io.h"
#include "formats/format_registry.h"
#include "model/document.h"
#include "settings/settings.h"
#include "io/message_catalog.h"

namespace vexal::cli {
namespace {

int Usage() {
  std::fprintf(stderr, "usage: vexal-tool new OUT [--type N]\n");
  return 2;
}

}  // namespace

int RunNewCommand(int argc, char** argv) {
  std::string output;
  int typeIndex = 0;
  for (int i = 0; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--type") {
      if (i + 1 >= argc || !ParseIndex(argv[i + 1], typeIndex)) return Usage();
      ++i;
    } else if (!argument.empty() && argument[0] == '-') {
      return Usage();
    } else if (output.empty()) {
      output = argument;
    } else {
      return Usage();
    }
  }
  if (output.empty()) return Usage();
  const int saveIndex = SaveIndexForPath(output, typeIndex);
  if (saveIndex == 0) {
    std::fprintf(stderr, "%s\n", (typeIndex != 0 ? FormatMessage("%s: no writer for this extension and type", output.c_str())
                            : FormatMessage("%s: no writer for this extension", output.c_str()))
                     .c_str());
    return 1;
  }

  Settings settings;
  settings.SetDefaultObject = 1;
  HeadlessDocumentPlatform platform;
  const DocumentIo io{settings, platform};
  auto document = std::make_unique<Document>();
  DocumentFile file;
  NewDocument(*document, file, "Vxl1.vxl", settings);
  file.saveFileName = output;
  file.saveTypeIndex = saveIndex;
  if (SaveDocumentFile(*document, file, io) != 1) {
    std::fprintf(stderr, "%s: %s\n", output.c_str(), file.lastError.reason.c_str());
    return 1;
  }
  return 0;
}

}  // namespace vexal::cli
