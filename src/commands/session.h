// What the main window does at start and at quit, and when a document
// window is made, activated or takes new options: every decision of it that
// does not need a window.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "commands/command_table.h"
#include "commands/file_history.h"
#include "formats/document_io.h"
#include "settings/settings.h"
#include "settings/start_up.h"

namespace vexal {

struct Document;

// What a run keeps in its two files: the settings (the file history among
// them) and the shortcut table.
struct SessionFiles {
  std::string settingsPath;  // "" when there is nowhere to keep it
  std::string shortcutPath;
};

// Start: the settings file over the built-in settings, the shortcut file
// over the default shortcuts, the file history from the settings. Returns
// "" or why the settings file was not read (the settings are then the
// built-in ones).
std::string LoadSession(const SessionFiles& files, Settings& settings,
                        std::vector<ShortcutEntry>& shortcuts, FileHistory& history);

// The main window at quit: where it is when neither maximised nor
// minimised, and its state.
struct MainWindowAtQuit {
  WindowRect normalBounds;
  bool maximized = false;
  bool minimized = false;
};

// Quit, after the tool windows were recorded: the file history, the main
// window and the last dialog folder go into the settings, tool-window
// places never recorded get their defaults, and both files are written.
// Returns "" or why the settings file was not written (the shortcut file is
// written either way).
std::string SaveSession(const SessionFiles& files, Settings& settings,
                        const std::vector<ShortcutEntry>& shortcuts, const FileHistory& history,
                        const MainWindowAtQuit& window, ScreenSize screen,
                        const std::string& lastFolder);

// What opens by itself once the window is up, in order; "" stands for a new
// untitled document. The command-line files when there are any; else
// nothing when recovered work was opened; else the last file
// (LastFileToOpen); else one new document when SetDefaultWindow is set.
std::vector<std::string> StartUpDocuments(const Settings& settings,
                                          const std::vector<std::string>& files, int recovered);

// The caption of the run's untitled document number (from 1): "Vxl<n>.vxl".
std::string UntitledCaption(int number);

// File > New in a document window's document: NewDocument, then the view
// switches of the settings again, since a new document starts with them.
void NewUntitledDocument(Document& document, DocumentFile& file, int number,
                         const Settings& settings);

// The warnings of the last open or save as one status-bar line, "; "
// between them ("" for none).
std::string FileWarningsText(const DocumentFile& file);

// A document window became the active one: its selection state is derived
// again, which also refreshes the menus, and its undo buttons follow.
void ActivateDocument(Document& document);

// After the System Configuration dialog: every document takes the smoothing
// option, the active one (may be null) re-derives its display.
void ApplySmoothingOption(const Settings& settings, std::span<Document* const> documents,
                          Document* active);

}  // namespace vexal
