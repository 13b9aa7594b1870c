// vexal-tool convert IN OUT [--type N] [--open-type N] [--settings FILE.ini]:
// opens IN through the open dispatcher and writes OUT through the save
// dispatcher with the writer of OUT's extension.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "formats/document_io.h"
#include "formats/format_registry.h"
#include "model/document.h"
#include "settings/settings.h"

namespace vexal::cli {
namespace {

int Usage() {
  std::fprintf(
      stderr,
      "usage: vexal-tool convert IN OUT [--type N] [--open-type N] [--settings FILE.ini]\n");
  return 2;
}

bool ParseIndex(const char* text, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < 0 || parsed > 1000) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

// True when more than one writer shares the extension of path.
bool HasSeveralWriters(const std::string& path) {
  int writers = 0;
  for (const WriterEntry& writer : WriterTable()) {
    if (SaveIndexForPath(path, writer.saveIndex) == writer.saveIndex) ++writers;
  }
  return writers > 1;
}

}  // namespace

int RunConvertCommand(int argc, char** argv) {
  std::string input, output, settingsPath;
  int type = -1, openType = -1;
  for (int i = 0; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--type" || argument == "--open-type") {
      int value = 0;
      if (i + 1 >= argc || !ParseIndex(argv[i + 1], value)) return Usage();
      (argument == "--type" ? type : openType) = value;
      ++i;
    } else if (argument == "--settings") {
      if (i + 1 >= argc) return Usage();
      settingsPath = argv[++i];
    } else if (!argument.empty() && argument[0] == '-') {
      return Usage();
    } else if (input.empty()) {
      input = argument;
    } else if (output.empty()) {
      output = argument;
    } else {
      return Usage();
    }
  }
  if (output.empty()) return Usage();

  // --type is the save type where OUT's extension has two writers, and the
  // open type everywhere else.
  int saveType = 0;
  if (type >= 0) {
    if (HasSeveralWriters(output)) {
      saveType = type;
    } else if (openType < 0) {
      openType = type;
    }
  }
  if (openType < 0) openType = kOpenTryAll;
  const int saveIndex = SaveIndexForPath(output, saveType);
  if (saveIndex == 0) {
    std::fprintf(stderr, "%s: no writer for this extension%s\n", output.c_str(),
                 saveType != 0 ? " and type" : "");
    return 1;
  }

  Settings settings;
  if (!settingsPath.empty()) {
    std::string reason;
    if (!Exists(settingsPath)) {
      std::fprintf(stderr, "%s: cannot open: no such file\n", settingsPath.c_str());
      return 1;
    }
    if (!LoadSettings(settingsPath, settings, &reason)) {
      std::fprintf(stderr, "%s: %s\n", settingsPath.c_str(), reason.c_str());
      return 1;
    }
  }

  HeadlessDocumentPlatform platform;
  const DocumentIo io{settings, platform};
  auto document = std::make_unique<Document>();
  DocumentFile file;
  if (OpenDocumentFile(*document, file, input, openType, io) != 1) {
    std::fprintf(stderr, "%s: %s\n", input.c_str(), file.lastError.c_str());
    return 1;
  }
  for (const std::string& warning : file.warnings) {
    std::fprintf(stderr, "%s: warning: %s\n", input.c_str(), warning.c_str());
  }
  const bool existed = Exists(output);
  file.saveFileName = output;
  file.saveTypeIndex = saveIndex;
  if (SaveDocumentFile(*document, file, io) != 1) {
    // The writers replace a file only after a complete write; this catches
    // one that left something behind anyway.
    if (!existed && Exists(output)) ::unlink(output.c_str());
    std::fprintf(stderr, "%s: %s\n", output.c_str(), file.lastError.c_str());
    return 1;
  }
  return 0;
}

}  // namespace vexal::cli
