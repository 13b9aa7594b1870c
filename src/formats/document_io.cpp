#include "formats/document_io.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>

#include "io/file_bytes.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "model/validate.h"
#include "settings/settings.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

// Runs a writer so that nothing it throws can reach the caller's event loop;
// a throw is a failure with a reason like any other.
int CallWriter(WriterFunction function, Document& document, const std::string& path,
               FormatContext& context) {
  if (function == nullptr) return context.fail(Translate("format not available"));
  try {
    return function(document, path, context);
  } catch (const std::exception& error) {
    return context.fail(FormatMessage("internal error: %s", error.what()));
  } catch (...) {
    return context.fail(Translate("internal error"));
  }
}

bool SameExtension(std::string_view a, std::string_view b) {
  if (a.size() != b.size() || a.empty()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The Save dialog on file.saveFileName and file.saveTypeIndex. On OK the
// chosen name gets the chosen type's extension when it was typed without
// it, as desktop save dialogs do, so the file is found again by its type.
bool AskSaveFileName(DocumentFile& file, const DocumentIo& io) {
  if (!io.platform.runSaveDialog(file.saveFileName, file.saveTypeIndex)) return false;
  for (const WriterEntry& writer : io.writers) {
    if (writer.saveIndex != file.saveTypeIndex) continue;
    file.saveFileName = AddSaveExtension(file.saveFileName, writer.extension);
    break;
  }
  return true;
}

void RefreshNormalsWithSetting(Document& document, int flags, const Settings& settings) {
  RefreshNormals(document.model, flags, settings.UseAngleSmooth != 0);
}

}  // namespace

bool HeadlessDocumentPlatform::runSaveDialog(std::string& /*fileName*/, int& /*typeIndex*/) {
  return false;
}

void HeadlessDocumentPlatform::showWarning(std::string_view text, std::string_view /*caption*/) {
  warningTexts.emplace_back(text);
}

void HeadlessDocumentPlatform::setStatusText(std::string_view text) {
  statusText = text;
}

uint32_t HeadlessDocumentPlatform::tickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

std::string OpenFailedMessage(std::string_view path, std::string_view reason) {
  const std::string name(path);
  std::string text = FormatMessage("Could not open the file: %s", name.c_str());
  if (!reason.empty()) {
    text += '\n';
    text += reason;
  }
  return text;
}

std::string RemoveExtension(std::string_view path) {
  return std::string(path.substr(0, path.size() - ExtensionOf(path).size()));
}

int OpenDocumentFile(Document& document, DocumentFile& file, const std::string& path, int typeIndex,
                     const DocumentIo& io) {
  DocumentPlatform& platform = io.platform;
  const uint32_t start = platform.tickCount();
  platform.setBusyCursor(true);

  if (typeIndex == kOpenSupportedFiles || typeIndex == kOpenAllFiles) typeIndex = kOpenTryAll;
  const ReaderEntry* accepted = nullptr;
  std::string reason;
  file.warnings.clear();
  std::vector<uint8_t> bytes;
  // Every reader builds into this one scratch; the document changes only
  // when a reader succeeds.
  std::unique_ptr<ReadTarget> scratch;
  if (!ReadFileBytes(path, bytes, &reason)) {
    bytes.clear();
  } else {
    try {
      scratch = std::make_unique<ReadTarget>();
    } catch (const std::exception&) {
      reason = Translate("out of memory");
    }
  }
  bool reasonFromMatchingReader = false;
  for (const ReaderEntry& reader : io.readers) {
    if (scratch == nullptr) break;
    if (typeIndex != kOpenTryAll && typeIndex != reader.openIndex) continue;
    FormatContext context;
    context.settings = &io.settings;
    int result = RunReader(reader.load, bytes, path, document.scene, *scratch, context);
    std::string invalid;
    if (result == 1 && !ValidateModel(scratch->model, &invalid)) {
      result = context.fail(FormatMessage("the reader built an inconsistent model: %s", invalid.c_str()));
    }
    if (result == 1) {
      accepted = &reader;
      file.warnings = std::move(context.warnings);
      std::swap(document.model, scratch->model);
      document.scene = scratch->scene;
      break;
    }
    // The reason worth reporting is the one of the reader the file claims
    // to be for (by the type chosen, or else by its extension); when no
    // reader claims it, none of their reasons says more than "not
    // recognised".
    const bool claims =
        typeIndex != kOpenTryAll || SameExtension(reader.extension, ExtensionOf(path));
    if (claims && !reasonFromMatchingReader) {
      reason = context.reason;
      reasonFromMatchingReader = true;
    }
  }
  platform.setBusyCursor(false);

  if (accepted == nullptr) {
    file.lastError = Refusal{reason.empty() ? Translate("not a recognised model") : reason};
    platform.showWarning(OpenFailedMessage(path, file.lastError.reason), kMessageCaption);
    platform.closeDocumentWindow();
    return 0;
  }

  file.readerName = accepted->name;
  file.lastError = {};
  const std::string documentPath = ReplaceExtension(path, ".vxl");
  document.scene.fileName = documentPath;
  file.caption = documentPath;
  file.saveFileName = documentPath;
  file.saveTypeIndex = kSaveNative;
  platform.setCaption(documentPath);
  if (accepted->openIndex == kOpenNative || io.settings.RecordAllHistory != 0) {
    platform.addToHistory(path);
  }
  RefreshSelection(document);
  RefreshNormalsWithSetting(document, kNormalsAngleSmoothed, io.settings);
  platform.documentOpened();
  ResetUndo(document);
  document.scene.modified = 0;

  const uint32_t elapsed = platform.tickCount() - start;
  platform.setStatusText(FormatMessage("Loaded in %u.%03u seconds", elapsed / 1000, elapsed % 1000));
  return 1;
}

int SaveDocumentFile(Document& document, DocumentFile& file, const DocumentIo& io) {
  DocumentPlatform& platform = io.platform;
  FinishPendingDraw(document);
  file.warnings.clear();
  if (file.saveFileName.empty()) {
    file.saveFileName = RemoveExtension(file.caption);
    if (!AskSaveFileName(file, io)) {
      file.saveFileName = document.scene.fileName;
      return 0;
    }
  }

  platform.setBusyCursor(true);
  const bool angleSmoothOff = io.settings.UseAngleSmooth == 0;
  // Every writer sees angle-smoothed corner normals, whatever the view uses.
  if (angleSmoothOff) RefreshNormals(document.model, kNormalsForceAngleSmoothed, false);
  const WriterEntry* writer = nullptr;
  for (const WriterEntry& entry : io.writers) {
    if (entry.saveIndex == file.saveTypeIndex) writer = &entry;
  }
  FormatContext context;
  context.settings = &io.settings;
  const std::string fileName = file.saveFileName;
  const int result = writer == nullptr
                         ? context.fail(FormatMessage("no writer for type %d", file.saveTypeIndex))
                         : CallWriter(writer->save, document, fileName, context);
  if (angleSmoothOff) RefreshNormalsWithSetting(document, kNormalsAngleSmoothed, io.settings);
  platform.setBusyCursor(false);

  if (result != 1) {
    file.lastError = context.refusal();
    platform.showWarning(FormatMessage("Could not write the file: %s", fileName.c_str()), kMessageCaption);
    file.saveFileName = document.scene.fileName;
    return 0;
  }
  file.lastError = {};
  file.warnings = std::move(context.warnings);
  const bool native = file.saveTypeIndex == kSaveNative;
  if (native || io.settings.RecordAllHistory != 0) platform.addToHistory(fileName);
  if (native) {
    document.scene.modified = 0;
    document.scene.fileName = fileName;
    file.caption = fileName;
  } else {
    const std::string documentPath = ReplaceExtension(fileName, ".vxl");
    document.scene.fileName = documentPath;
    file.caption = documentPath;
    file.saveFileName = documentPath;
    file.saveTypeIndex = kSaveNative;
  }
  platform.setCaption(file.caption);
  return 1;
}

int SaveDocumentAs(Document& document, DocumentFile& file, const DocumentIo& io) {
  if (file.saveFileName.empty()) file.saveFileName = file.caption;
  file.saveFileName = RemoveExtension(file.saveFileName);
  if (!AskSaveFileName(file, io)) {
    file.saveFileName = document.scene.fileName;
    return 0;
  }
  return SaveDocumentFile(document, file, io);
}

void NewDocument(Document& document, DocumentFile& file, const std::string& caption,
                 const Settings& settings) {
  InitializeDocument(document, settings.UndoDepth);
  if (settings.SetDefaultObject != 0) SetDefaultObject(document.model);
  RefreshSelection(document);
  RefreshNormals(document.model, kNormalsAngleSmoothed, settings.UseAngleSmooth != 0);
  ResetUndo(document);
  document.scene.modified = 0;
  file = DocumentFile{};
  file.caption = caption;
}

}  // namespace vexal
