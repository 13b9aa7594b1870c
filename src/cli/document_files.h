// What convert and apply share: reading the options that pick the reader,
// writer and settings, opening IN as a document window does and writing OUT
// with the writer of its extension without leaving a partial file.
#pragma once

#include <string>

#include "formats/document_io.h"
#include "model/document.h"
#include "settings/settings.h"

namespace vexal::cli {

struct FileOptions {
  std::string input, output, settingsPath;
  int type = -1, openType = -1;
};

// A reader or writer type index: 0..1000.
bool ParseIndex(const char* text, int& value);

// Takes --type, --open-type and --settings at argv[i] (advancing i past
// the value). Returns 1 when taken, 0 when argv[i] is not one of them, and
// 2 for a missing or malformed value.
int TakeFileOption(int argc, char** argv, int& i, FileOptions& options);

// The settings file --settings stands for when it is not given: the user's
// own (portable beside the program, else in the configuration folder), or
// "" when there is none and the built-in defaults apply.
std::string DefaultSettingsFile();

// Resolves the save index of OUT and the open type; loads the settings
// file. Returns 0, or 1 after printing the reason.
int PrepareFiles(FileOptions& options, Settings& settings, int& saveIndex);

// Opens options.input into the document (as a window does: the scene takes
// the settings' view switches first). 0, or 1 after printing the reason.
int OpenInput(const FileOptions& options, const Settings& settings, Document& document,
              DocumentFile& file);

// Writes the document to options.output; 0, or 1 after printing the reason
// (a file that did not exist before is not left behind).
int SaveOutput(const FileOptions& options, const Settings& settings, int saveIndex,
               Document& document, DocumentFile& file);

}  // namespace vexal::cli
