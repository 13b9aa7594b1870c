#include "commands/session.h"

#include "commands/shortcut_file.h"
#include "model/document.h"
#include "model/maintenance.h"

namespace vexal {

std::string LoadSession(const SessionFiles& files, Settings& settings,
                        std::vector<ShortcutEntry>& shortcuts, FileHistory& history) {
  std::string reason;
  if (LoadSettings(files.settingsPath, settings, &reason)) reason.clear();
  shortcuts = DefaultShortcuts();
  LoadShortcutFile(files.shortcutPath, shortcuts);
  std::vector<std::string> entries;
  for (int i = 0; i < kFileHistoryCount; ++i) entries.push_back(FileHistoryEntry(settings, i));
  history.assign(entries);
  return reason;
}

std::string SaveSession(const SessionFiles& files, Settings& settings,
                        const std::vector<ShortcutEntry>& shortcuts, const FileHistory& history,
                        const MainWindowAtQuit& window, ScreenSize screen,
                        const std::string& lastFolder) {
  const std::vector<std::string>& entries = history.entries();
  for (int i = 0; i < kFileHistoryCount; ++i) {
    FileHistoryEntry(settings, i) =
        i < static_cast<int>(entries.size()) ? entries[static_cast<size_t>(i)] : std::string();
  }
  RecordMainWindow(settings, window.normalBounds, window.maximized, window.minimized);
  FillUnsetToolWindowPositions(settings, screen);
  settings.LastFolder = lastFolder;
  std::string reason;
  // No home folder at all: nothing to write to (never beside the program).
  if (!files.settingsPath.empty() && SaveSettings(files.settingsPath, settings, &reason)) {
    reason.clear();
  }
  SaveShortcutFile(files.shortcutPath, shortcuts);
  return reason;
}

std::vector<std::string> StartUpDocuments(const Settings& settings,
                                          const std::vector<std::string>& files, int recovered) {
  if (!files.empty()) return files;
  // Recovered work takes the place of the last file or a new document.
  if (recovered > 0) return {};
  const std::string last = LastFileToOpen(settings);
  if (!last.empty()) return {last};
  if (settings.SetDefaultWindow) return {std::string()};
  return {};
}

std::string UntitledCaption(int number) {
  return "Vxl" + std::to_string(number) + ".vxl";
}

void NewUntitledDocument(Document& document, DocumentFile& file, int number,
                         const Settings& settings) {
  NewDocument(document, file, UntitledCaption(number), settings);
  ApplySceneDefaults(settings, document.scene);
}

std::string FileWarningsText(const DocumentFile& file) {
  std::string text;
  for (const std::string& warning : file.warnings) text += (text.empty() ? "" : "; ") + warning;
  return text;
}

void ActivateDocument(Document& document) {
  RefreshSelection(document);
  UpdateUndoButtons(document);
}

void ApplySmoothingOption(const Settings& settings, std::span<Document* const> documents,
                          Document* active) {
  for (Document* document : documents) document->useAngleSmooth = settings.UseAngleSmooth != 0;
  if (active == nullptr) return;
  RefreshSelection(*active);
  RefreshNormals(*active, kNormalsAngleSmoothed);
}

}  // namespace vexal
