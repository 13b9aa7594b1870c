// vexal-tool info FILE: opens FILE as the Open command does without a type
// and prints the four lines of the Information window and the reader that
// accepted the file.
#include <cstdio>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "formats/document_io.h"
#include "model/document.h"
#include "model/model_info.h"
#include "settings/settings.h"

namespace vexal::cli {

int RunInfoCommand(int argc, char** argv) {
  if (argc != 1 || argv[0][0] == '-') {
    std::fprintf(stderr, "usage: vexal-tool info FILE\n");
    return 2;
  }
  const std::string path = argv[0];
  Settings settings;
  HeadlessDocumentPlatform platform;
  const DocumentIo io{settings, platform};
  auto document = std::make_unique<Document>();
  DocumentFile file;
  if (OpenDocumentFile(*document, file, path, kOpenTryAll, io) != 1) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), file.lastError.reason.c_str());
    return 1;
  }
  const std::string text = ModelInfoText(CountModelInfo(document->model));
  std::fputs(text.c_str(), stdout);
  std::printf("Format : %s\n", file.readerName.c_str());
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace vexal::cli
