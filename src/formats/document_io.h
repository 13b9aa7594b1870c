// Opening and saving a document window's file: the open dispatcher that
// picks a reader by the Open dialog's type or tries every reader, the save
// dispatcher that picks a writer by the Save dialog's type, and Save As.
//
// Everything that needs a window (dialogs, message boxes, the busy cursor,
// the status bar, the caption, the file history, the clock) goes through
// DocumentPlatform, which the application implements with widgets and the
// tests and vexal-tool implement without.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/format_registry.h"
#include "io/refusal.h"

namespace vexal {

struct Document;
struct Settings;

// The program's own texts of the dispatchers.
inline constexpr std::string_view kMessageCaption = "Vexal";

// The failed-open box: "Could not open the file: <path>" in the message
// language, and on a second
// line the reason the reader gave (none when reason is empty).
std::string OpenFailedMessage(std::string_view path, std::string_view reason);

class DocumentPlatform {
 public:
  virtual ~DocumentPlatform() = default;
  // The document's Save dialog, opened on fileName with typeIndex (a save
  // index) chosen. On OK it stores the chosen name and type and returns
  // true; on Cancel it returns false and leaves both alone.
  virtual bool runSaveDialog(std::string& fileName, int& typeIndex) = 0;
  // A warning message box.
  virtual void showWarning(std::string_view text, std::string_view caption) = 0;
  virtual void setBusyCursor(bool busy) = 0;
  // Simple status bar text.
  virtual void setStatusText(std::string_view text) = 0;
  virtual void setCaption(std::string_view caption) = 0;
  // Puts a path at the top of the file history.
  virtual void addToHistory(const std::string& path) = 0;
  // Milliseconds from any fixed start; only differences are used.
  virtual uint32_t tickCount() = 0;
  // A failed open closes the window that was created for it.
  virtual void closeDocumentWindow() = 0;
  // After a successful open: refresh the menus and the palette window and
  // load the 16 material textures and the three back pictures.
  virtual void documentOpened() {}
};

// A platform without windows, for batch work: the Save dialog always
// cancels, warnings and the status text are kept for the caller, the clock
// is the monotonic clock.
class HeadlessDocumentPlatform : public DocumentPlatform {
 public:
  bool runSaveDialog(std::string& fileName, int& typeIndex) override;
  void showWarning(std::string_view text, std::string_view caption) override;
  void setBusyCursor(bool) override {}
  void setStatusText(std::string_view text) override;
  void setCaption(std::string_view) override {}
  void addToHistory(const std::string&) override {}
  uint32_t tickCount() override;
  void closeDocumentWindow() override {}

  std::vector<std::string> warningTexts;
  std::string statusText;
};

// The file state of one document window beside its Document.
struct DocumentFile {
  std::string caption;
  // The Save dialog belongs to the window and keeps its name and type
  // between saves; an empty name means the document was never opened or
  // saved, so Save asks for one.
  std::string saveFileName;
  int saveTypeIndex = kSaveNative;
  // Name of the reader that accepted the last opened file ("VXL", "OBJ", ...).
  std::string readerName;
  // Why the last open or save failed, for callers that report it.
  Refusal lastError;
  // Oddities the last reader survived.
  std::vector<std::string> warnings;
};

struct DocumentIo {
  const Settings& settings;
  DocumentPlatform& platform;
  // Replaceable for tests; the program uses the registered formats.
  std::span<const ReaderEntry> readers = ReaderTable();
  std::span<const WriterEntry> writers = WriterTable();
};

// Fills a freshly created document from path. typeIndex is the Open
// dialog's type: 0, 1 and 11 try every reader in turn, 2..10, 12 and 13 only that
// format (8 tries LWOB, then LWO2). On success the document is renamed to
// the path with extension ".vxl", refreshed, becomes the base of its undo
// history, is not modified, and the status shows the load time; returns 1.
// On failure the model and view are restored to what they were, the
// warning OpenFailedMessage (the path, the reason on a second line) is shown,
// the window is closed and 0 is returned with file.lastError set to the
// reason.
int OpenDocumentFile(Document& document, DocumentFile& file, const std::string& path, int typeIndex,
                     const DocumentIo& io);

// Save: writes with the writer of file.saveTypeIndex to file.saveFileName,
// asking for a name first when there is none (a name chosen in the dialog
// without the chosen type's extension gets it, see AddSaveExtension). A native save clears the
// modified flag; an export renames the document to the exported name with
// ".vxl" and makes the next Save native again, keeping the modified flag.
// Returns 1 on success, 0 when cancelled or failed (then the warning
// "Could not write the file: <name>" is shown and file.lastError set).
int SaveDocumentFile(Document& document, DocumentFile& file, const DocumentIo& io);

// Save As: always runs the Save dialog (from the current name without its
// extension), then saves as SaveDocumentFile. Returns 0 on Cancel.
int SaveDocumentAs(Document& document, DocumentFile& file, const DocumentIo& io);

// File > New: an empty document, or the default object when the setting
// SetDefaultObject is on, as the base of its history, named `caption`
// (for example "Vxl1.vxl") but with no file yet.
void NewDocument(Document& document, DocumentFile& file, const std::string& caption,
                 const Settings& settings);

// The path without its extension.
std::string RemoveExtension(std::string_view path);

}  // namespace vexal
