#include "cli/document_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "formats/format_registry.h"
#include "settings/prepare_document.h"
#include "io/message_catalog.h"

namespace vexal::cli {
namespace {

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

std::string DefaultSettingsFile() {
  char buffer[4096];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  const std::string self = length > 0 ? std::string(buffer, static_cast<size_t>(length)) : "";
  std::string path = SettingsFilePath(self, ".ini");
  return !path.empty() && Exists(path) ? path : std::string();
}

bool ParseIndex(const char* text, int& value) {
  char* end = nullptr;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || parsed < 0 || parsed > 1000) return false;
  value = static_cast<int>(parsed);
  return true;
}

int TakeFileOption(int argc, char** argv, int& i, FileOptions& options) {
  const std::string argument = argv[i];
  if (argument == "--type" || argument == "--open-type") {
    int value = 0;
    if (i + 1 >= argc || !ParseIndex(argv[i + 1], value)) return 2;
    (argument == "--type" ? options.type : options.openType) = value;
    ++i;
    return 1;
  }
  if (argument == "--settings") {
    if (i + 1 >= argc) return 2;
    options.settingsPath = argv[++i];
    return 1;
  }
  return 0;
}

int PrepareFiles(FileOptions& options, Settings& settings, int& saveIndex) {
  // --type is the save type where OUT's extension has two writers, and the
  // open type everywhere else.
  int saveType = 0;
  if (options.type >= 0) {
    if (HasSeveralWriters(options.output)) {
      saveType = options.type;
    } else if (options.openType < 0) {
      options.openType = options.type;
    }
  }
  if (options.openType < 0) options.openType = kOpenTryAll;
  saveIndex = SaveIndexForPath(options.output, saveType);
  if (saveIndex == 0) {
    std::fprintf(stderr, "%s\n", (saveType != 0 ? FormatMessage("%s: no writer for this extension and type", options.output.c_str())
                            : FormatMessage("%s: no writer for this extension", options.output.c_str()))
                     .c_str());
    return 1;
  }
  if (options.settingsPath.empty()) options.settingsPath = DefaultSettingsFile();
  if (!options.settingsPath.empty()) {
    std::string reason;
    if (!Exists(options.settingsPath)) {
      std::fprintf(stderr, "%s\n", FormatMessage("%s: cannot open: no such file", options.settingsPath.c_str()).c_str());
      return 1;
    }
    if (!LoadSettings(options.settingsPath, settings, &reason)) {
      std::fprintf(stderr, "%s: %s\n", options.settingsPath.c_str(), reason.c_str());
      return 1;
    }
  }
  return 0;
}

int OpenInput(const FileOptions& options, const Settings& settings, Document& document,
              DocumentFile& file) {
  HeadlessDocumentPlatform platform;
  const DocumentIo io{settings, platform};
  PrepareDocument(document, settings);
  if (OpenDocumentFile(document, file, options.input, options.openType, io) != 1) {
    std::fprintf(stderr, "%s: %s\n", options.input.c_str(), file.lastError.reason.c_str());
    return 1;
  }
  for (const std::string& warning : file.warnings) {
    std::fprintf(stderr, "%s\n", FormatMessage("%s: warning: %s", options.input.c_str(), warning.c_str()).c_str());
  }
  return 0;
}

std::unique_ptr<Document> OpenForDrawing(const std::string& input, const Settings& settings) {
  HeadlessDocumentPlatform platform;
  const DocumentIo io{settings, platform};
  auto document = std::make_unique<Document>();
  PrepareDocument(*document, settings);
  DocumentFile file;
  if (OpenDocumentFile(*document, file, input, kOpenTryAll, io) != 1) {
    std::fprintf(stderr, "%s: %s\n", input.c_str(), file.lastError.reason.c_str());
    return nullptr;
  }
  return document;
}

const char* ReadInOutArguments(
    int argc, char** argv, std::string& input, std::string& output,
    const std::function<const char*(std::string_view, int&)>& takeOption) {
  for (int i = 0; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (!argument.empty() && argument[0] == '-') {
      if (const char* problem = takeOption(argument, i)) return problem;
    } else if (input.empty()) {
      input = argument;
    } else if (output.empty()) {
      output = argument;
    } else {
      return MarkMessage("too many file names");
    }
  }
  return input.empty() || output.empty() ? "" : nullptr;
}

int SaveOutput(const FileOptions& options, const Settings& settings, int saveIndex,
               Document& document, DocumentFile& file) {
  HeadlessDocumentPlatform platform;
  const DocumentIo io{settings, platform};
  const bool existed = Exists(options.output);
  file.saveFileName = options.output;
  file.saveTypeIndex = saveIndex;
  if (SaveDocumentFile(document, file, io) != 1) {
    // The writers replace a file only after a complete write; this catches
    // one that left something behind anyway.
    if (!existed && Exists(options.output)) ::unlink(options.output.c_str());
    std::fprintf(stderr, "%s: %s\n", options.output.c_str(), file.lastError.reason.c_str());
    return 1;
  }
  for (const std::string& warning : file.warnings) {
    std::fprintf(stderr, "%s\n", FormatMessage("%s: warning: %s", options.output.c_str(), warning.c_str()).c_str());
  }
  return 0;
}

}  // namespace vexal::cli
