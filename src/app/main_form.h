// TMainForm: the multiple-document frame. It owns the settings, the file
// history, the shortcut table and the document and viewer windows, builds
// its menus and toolbar from the core's command table and routes each
// command to the active document.
#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "app/user_interface.h"
#include "commands/command_dispatcher.h"
#include "commands/command_table.h"
#include "commands/file_history.h"
#include "commands/session.h"
#include "settings/settings.h"
#include "settings/start_up.h"
#include "tools/workspace.h"

class QAction;
class QActionGroup;
class QMdiArea;
class QMenu;
class QTimer;

namespace vexal::app {

class TChildForm;
class TLocateForm;
class TGridForm;
class TRandomForm;
class TAttachForm;
class TPaletteForm;
class TPrimitiveForm;
class TPipeForm;
class TNumericForm;
class TProjectionForm;
class TInformationForm;
class TKeyboardForm;
class TPictureForm;
class TFormatForm;
class TUtilityForm;
class TOptionForm;

class TMainForm : public QMainWindow, public CommandHost {
  Q_OBJECT
 public:
  // executablePath decides where the settings and shortcut files live;
  // ui answers the modal questions (null: real dialogs).
  explicit TMainForm(const QString& executablePath, UserInterface* ui = nullptr);
  ~TMainForm() override;

  // What the first show and the first idle moment do: load the settings and
  // shortcuts, then open the command-line files, the last file or a new
  // document. Called by showEvent; tests may call it directly.
  void startUp(const QStringList& files);

  // The single entry through which every window is opened: an image goes
  // to a viewer, anything else to a document window (a new untitled one
  // for an empty path). filterIndex is the Open dialog's 1-based type or 0.
  void openByName(const QString& path, int filterIndex);
  // A viewer on path whatever the file holds: an image, or the words "This
  // file is not supported". Never a document window.
  void showImage(const QString& path);
  // Window > Cascade: the document windows keep their sizes (within the
  // frame) and stand one title bar apart, the active one on top.
  void cascadeDocuments();

  TChildForm* activeDocument() const;
  QList<TChildForm*> documents() const;
  int viewerCount() const;
  // Closes every document window through its save prompt; stops at the
  // first cancelled close. Returns false when one was cancelled.
  bool closeAll();
  // Quit: Close All, then (unless cancelled) write the settings and
  // shortcut files. Returns false when the program keeps running.
  bool quit();
  // Writes the settings, shortcuts, history and window places; the reason
  // when one could not be written, else empty.
  std::string saveSession();

  QAction* action(const QString& name) const;
  void refreshMenuState();
  TPaletteForm* paletteWindow() const { return palette_; }
  void showStatus(const QString& text);
  void addToHistory(const std::string& path);
  void setCloseCancelled() { closeCancelled_ = true; }

  Settings& settings() { return workspace_.settings; }
  Workspace& workspace() { return workspace_; }
  // Runs a command by its name through the core's dispatcher, on the
  // active document; a refusal shows its reason in the status bar.
  CommandResult command(const QString& name);
  // What the dispatcher sees of the application now.
  CommandTarget commandTarget();
  // CommandHost: the commands that need windows.
  bool runWindowCommand(std::string_view name) override;
  // The About box's cel-shade switch (not kept in the settings file).
  bool celShade() const { return celShade_; }
  const FileHistory& history() const { return history_; }
  UserInterface& ui() { return *ui_; }
  QString settingsPath() const { return settingsPath_; }
  QString shortcutPath() const { return shortcutPath_; }

  // Runs the command behind a tool window's or dialog's button with the
  // window's values on the active document; a refusal shows its reason in
  // the status bar unless the window reports it itself. kDisabled, and
  // nothing shown, without a document.
  CommandResult command(std::string_view name, CommandArguments& arguments,
                        bool statusOnFailure = true);
  // The Information window for the active document, if there is one.
  void showInformation();
  // The active document's pivot may have changed: the numeric window's
  // "Go" fields follow it when they show the pivot.
  void refreshPivotFields();
  // "Reset SubWindow Position".
  void resetSubWindows();
  // After the System Configuration dialog: every document takes the
  // smoothing option, the active one re-derives its display and redraws;
  // the recovery copies follow the new interval.
  void applyOptions();
  // Recovery copies: every modified document that changed since its copy is
  // written (wait: before the return); a saved or closed document's copy
  // goes.
  void writeRecoveryCopies(bool wait);
  void forgetRecoveryCopy(TChildForm* form);
  RecoveryKeeper* recovery() const { return recovery_.get(); }
  // Offers the copies ended runs left behind in "Recover Unsaved Work";
  // returns how many documents were recovered.
  int offerRecovery();
  // SIGTERM and SIGHUP (a logout) write every modified document's recovery
  // copy and end the program without questions. Called once, by main().
  void handleTerminationSignals();
  std::vector<ShortcutEntry>& shortcuts() { return shortcuts_; }
  // The tool windows, for the placement code and the tests.
  TPrimitiveForm* primitiveForm() const { return primitive_; }
  TPipeForm* pipeForm() const { return pipe_; }
  TProjectionForm* projectionForm() const { return projection_; }
  TNumericForm* numericForm() const { return numeric_; }
  TInformationForm* informationForm() const { return information_; }
  TLocateForm* locateForm() const { return locate_; }

  static QString OpenFilter();
  static QString SaveFilter();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // A new, empty document window in the frame.
  TChildForm* addDocumentWindow();
  void restartRecoveryTimer();
  void terminateNow();
  void buildMenus();
  void buildToolbar();
  void bindCommands();
  void applyShortcuts();
  void rebuildHistoryMenu();
  // The Window menu's list of open documents, below its commands; rebuilt
  // each time the menu opens.
  void rebuildWindowList();
  // The size of the screen the window is on (0 x 0 without one).
  ScreenSize screenSize() const;
  void openDialog();
  void showAbout();
  void showShortcutList();
  void showHelp();
  // The tool windows' places and visibility from and to the settings.
  void placeToolWindows();
  void recordToolWindows();
  // Each tool window with its place in the settings, in the order of
  // kToolWindows.
  QList<std::pair<SubWindow, QWidget*>> toolWindows() const;
  SessionFiles sessionFiles() const;

  std::unique_ptr<UserInterface> ownedUi_;
  UserInterface* ui_;
  QString executablePath_;
  QString settingsPath_;
  QString shortcutPath_;
  Workspace workspace_;
  FileHistory history_;
  std::vector<ShortcutEntry> shortcuts_;
  int untitled_ = 0;
  bool closeCancelled_ = false;
  bool started_ = false;
  bool quitting_ = false;
  bool celShade_ = false;
  QMdiArea* mdi_;
  QMenu* fileMenu_ = nullptr;
  QAction* historyAnchor_ = nullptr;  // the separator before "Quit"
  QMenu* windowMenu_ = nullptr;
  QList<QAction*> windowList_;  // the separator and one item per document
  QList<QAction*> historyActions_;
  QHash<QString, QAction*> actions_;
  QHash<QString, QAction*> buttons_;
  QHash<QString, std::function<void()>> handlers_;
  QActionGroup* toolGroup_ = nullptr;
  QList<QPointer<QWidget>> viewers_;
  TLocateForm* locate_ = nullptr;
  TGridForm* grid_ = nullptr;
  TRandomForm* random_ = nullptr;
  TAttachForm* attach_ = nullptr;
  TPaletteForm* palette_ = nullptr;
  TPrimitiveForm* primitive_ = nullptr;
  TPipeForm* pipe_ = nullptr;
  TNumericForm* numeric_ = nullptr;
  TProjectionForm* projection_ = nullptr;
  TInformationForm* information_ = nullptr;
  TKeyboardForm* keyboard_ = nullptr;
  TPictureForm* picture_ = nullptr;
  TFormatForm* format_ = nullptr;
  TUtilityForm* utility_ = nullptr;
  TOptionForm* options_ = nullptr;
  std::unique_ptr<RecoveryKeeper> recovery_;
  QTimer* recoveryTimer_ = nullptr;
  std::string recoveryError_;
};

}  // namespace vexal::app
