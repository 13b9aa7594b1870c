#include "app/main_form.h"

#include <cstdio>

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <clocale>

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "app/about_box.h"
#include "app/key_sequence.h"
#include "app/child_form.h"
#include "app/format_form.h"
#include "app/information_form.h"
#include "app/keyboard_form.h"
#include "app/locate_form.h"
#include "app/tool_windows.h"
#include "app/palette_form.h"
#include "app/numeric_form.h"
#include "app/option_form.h"
#include "app/picture_form.h"
#include "app/pipe_form.h"
#include "app/primitive_form.h"
#include "app/projection_form.h"
#include "app/utility_form.h"
#include "app/shortcut_form.h"
#include "app/viewer_form.h"
#include "formats/format_registry.h"
#include "model/camera.h"
#include "model/maintenance.h"
#include "settings/cascade_placement.h"
#include "commands/shortcut_file.h"
#include "commands/command_arguments.h"
#include "commands/close_sequence.h"
#include "commands/session.h"
#include "commands/window_list.h"
#include "settings/manual_path.h"
#include "settings/start_up.h"
#include "io/message_catalog.h"
#include "tools/tool_dispatch.h"

// Resources of a static library are registered by hand, once.
static void InitializeResources() { Q_INIT_RESOURCE(resources); }

namespace vexal::app {

QString TMainForm::OpenFilter() { return QString::fromStdString(OpenDialogFilter()); }

QString TMainForm::SaveFilter() { return QString::fromStdString(SaveDialogFilter()); }

TMainForm::TMainForm(const QString& executablePath, UserInterface* ui)
    : ui_(ui), executablePath_(executablePath) {
  InitializeResources();
  // Model files are written with printf: keep "." as the decimal point even
  // when QApplication has adopted a desktop locale that uses ",".
  std::setlocale(LC_NUMERIC, "C");
  if (!ui_) {
    ownedUi_ = std::make_unique<DialogUserInterface>();
    ui_ = ownedUi_.get();
  }
  settingsPath_ = QString::fromStdString(SettingsFilePath(executablePath.toStdString(), ".ini"));
  shortcutPath_ = QString::fromStdString(SettingsFilePath(executablePath.toStdString(), ".kbd"));
  setObjectName("MainForm");
  setWindowTitle("Vexal2.72 EN");
  // The application's title is the main window's caption.
  QApplication::setApplicationDisplayName(windowTitle());
  setAcceptDrops(true);
  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->viewport()->installEventFilter(this);
  // Escape reaches whatever widget has the keyboard; it is looked at before
  // any shortcut bound to it.
  qApp->installEventFilter(this);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    // An activated document re-derives its selection state, which also
    // refreshes the menus and the undo buttons.
    if (auto* form = sub ? qobject_cast<TChildForm*>(sub->widget()) : nullptr) {
      ActivateDocument(form->document());
    }
    refreshMenuState();
    refreshPivotFields();
  });
  locate_ = new TLocateForm(this);
  grid_ = new TGridForm(this);
  random_ = new TRandomForm(this);
  attach_ = new TAttachForm(this);
  palette_ = new TPaletteForm(this);
  shortcuts_ = DefaultShortcuts();
  buildMenus();
  buildToolbar();
  bindCommands();
  applyShortcuts();
  statusBar()->showMessage(QString());
  resize(1000, 720);
  refreshMenuState();
}

TMainForm::~TMainForm() {
  for (const QPointer<QWidget>& viewer : viewers_) {
    if (viewer) delete viewer.data();
  }
}

void TMainForm::buildMenus() {
  for (const CommandMenu& menu : MainMenu()) {
    QMenu* qmenu = menuBar()->addMenu(QString::fromUtf8(menu.caption.data(),
                                                        static_cast<qsizetype>(menu.caption.size())));
    qmenu->setObjectName(QString::fromLatin1(menu.name.data(), static_cast<qsizetype>(menu.name.size())));
    if (menu.name == "FileItem") fileMenu_ = qmenu;
    if (menu.name == "WindowItem") {
      windowMenu_ = qmenu;
      connect(qmenu, &QMenu::aboutToShow, this, &TMainForm::rebuildWindowList);
    }
    for (const CommandItem& item : menu.items) {
      if (item.separator()) {
        QAction* separator = qmenu->addSeparator();
        if (menu.name == "FileItem") historyAnchor_ = separator;
        continue;
      }
      const QString name = QString::fromLatin1(item.name.data(), static_cast<qsizetype>(item.name.size()));
      QAction* action = qmenu->addAction(
          QString::fromUtf8(item.caption.data(), static_cast<qsizetype>(item.caption.size())));
      action->setObjectName(name);
      const std::string_view hint = MenuItemHint(item.name);
      action->setStatusTip(QString::fromUtf8(hint.data(), static_cast<qsizetype>(hint.size())));
      action->setShortcutContext(Qt::ApplicationShortcut);
      connect(action, &QAction::triggered, this, [this, name] { command(name); });
      actions_.insert(name, action);
    }
  }
  // Items with a check mark are those whose command reports one.
  for (const CommandDefinition& definition : CommandDefinitions()) {
    if (!definition.checked) continue;
    const QString name = QString::fromLatin1(definition.name.data(), static_cast<qsizetype>(definition.name.size()));
    if (QAction* action = actions_.value(name)) action->setCheckable(true);
  }
}

void TMainForm::buildToolbar() {
  QToolBar* toolbar = addToolBar("ToolBar");
  toolbar->setObjectName("ToolBar1");
  toolbar->setIconSize(QSize(24, 24));
  toolGroup_ = new QActionGroup(this);
  toolGroup_->setExclusive(true);
  for (const ToolButton& button : ToolbarButtons()) {
    if (button.name.empty()) {
      toolbar->addSeparator();
      continue;
    }
    const QString name = QString::fromLatin1(button.name.data(), static_cast<qsizetype>(button.name.size()));
    const QString hint = QString::fromLatin1(button.hint.data(), static_cast<qsizetype>(button.hint.size()));
    const QString commandName =
        QString::fromLatin1(button.command.data(), static_cast<qsizetype>(button.command.size()));
    QAction* action = toolbar->addAction(QIcon(":/icons/" + name + ".svg"), hint);
    action->setObjectName(name);
    action->setToolTip(hint);
    action->setStatusTip(hint);
    if (button.tool >= 0) {
      action->setCheckable(true);
      toolGroup_->addAction(action);
    }
    connect(action, &QAction::triggered, this, [this, commandName] { command(commandName); });
    buttons_.insert(name, action);
  }
}

void TMainForm::bindCommands() {
  handlers_["FileNewItem"] = [this] { openByName(QString(), 0); };
  handlers_["FileOpenItem"] = [this] { openDialog(); };
  handlers_["FileCloseItem"] = [this] {
    if (QMdiSubWindow* sub = mdi_->activeSubWindow()) sub->close();
  };
  handlers_["FileCloseAllItem"] = [this] { closeAll(); };
  handlers_["FileSaveItem"] = [this] {
    if (TChildForm* form = activeDocument()) form->save();
  };
  handlers_["FileSaveAsItem"] = [this] {
    if (TChildForm* form = activeDocument()) form->saveAs();
  };
  handlers_["FileExitItem"] = [this] { close(); };
  handlers_["WindowCascadeItem"] = [this] { cascadeDocuments(); };
  handlers_["WindowTileItem"] = [this] { mdi_->tileSubWindows(); };
  handlers_["WindowArrangeItem"] = [this] {
    // Minimised windows line up along the bottom when shown minimised again.
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
      if (sub->isMinimized()) sub->showMinimized();
    }
  };
  handlers_["WindowMinimizeItem"] = [this] {
    const auto subs = mdi_->subWindowList();
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) (*it)->showMinimized();
  };
  handlers_["SearchforHelpOnItem"] = [this] { showHelp(); };
  handlers_["ViewShortCutItem"] = [this] { showShortcutList(); };
  handlers_["HelpAboutItem"] = [this] { showAbout(); };
  handlers_["LocateWindowItem"] = [this] {
    locate_->show();
    locate_->raise();
  };
  handlers_["GirdWindowItem"] = [this] {
    grid_->load();
    grid_->show();
    grid_->raise();
  };
  handlers_["RandomWindowItem"] = [this] {
    random_->load();
    random_->show();
    random_->raise();
  };
  handlers_["AttachLineWindowItem"] = [this] {
    attach_->show();
    attach_->raise();
  };
  handlers_["PaletteWindowItem"] = [this] {
    palette_->show();
    palette_->raise();
  };
  // The tool windows and dialogs are made once and live as long as the
  // main window.
  primitive_ = new TPrimitiveForm(this);
  pipe_ = new TPipeForm(this);
  numeric_ = new TNumericForm(this);
  projection_ = new TProjectionForm(this);
  information_ = new TInformationForm(this);
  keyboard_ = new TKeyboardForm(this, *ui_);
  picture_ = new TPictureForm(this);
  format_ = new TFormatForm(this);
  utility_ = new TUtilityForm(this);
  options_ = new TOptionForm(this);
  for (const auto& [name, window] : {std::pair<QString, QWidget*>{"PrimitiveWindowItem", primitive_},
                                     {"PipeWindowItem", pipe_},
                                     {"NumericWindowItem", numeric_},
                                     {"ProjectionWindowItem", projection_}}) {
    handlers_[name] = [window] {
      window->show();
      window->raise();
    };
  }
  handlers_["PictureWindowItem"] = [this] { picture_->run(); };
  handlers_["SetSystemItem"] = [this] {
    if (options_->edit(workspace_.settings)) applyOptions();
    // The active document redraws after the dialog either way.
    if (TChildForm* form = activeDocument()) form->redraw();
  };
  handlers_["SetFormatItem"] = [this] { format_->edit(workspace_.settings); };
  handlers_["SetShortCutItem"] = [this] {
    if (keyboard_->edit(shortcuts_)) {
      applyShortcuts();
      SaveShortcutFile(shortcutPath_.toStdString(), shortcuts_);
    }
  };
  handlers_["UtilityItem"] = [this] { utility_->run(); };
  handlers_["ResetSubWindowItem"] = [this] { resetSubWindows(); };
}

CommandResult TMainForm::command(std::string_view name, CommandArguments& arguments,
                                bool statusOnFailure) {
  CommandTarget target = commandTarget();
  const CommandResult result = RunCommandWith(name, target, arguments);
  // Without a document the window's button does nothing, quietly.
  if (!result.ok() && result.status != CommandStatus::kDisabled && statusOnFailure) {
    showStatus(QString::fromStdString(result.refusal.reason));
  }
  refreshMenuState();
  return result;
}

void TMainForm::refreshPivotFields() {
  if (numeric_) numeric_->refreshPivotFields();
}

void TMainForm::showInformation() {
  if (TChildForm* form = activeDocument()) information_->showInformation(form->document().model);
}

void TMainForm::applyOptions() {
  SetMessageLanguage(LanguageFromSetting(workspace_.settings.Language));
  restartRecoveryTimer();
  std::vector<Document*> all;
  for (TChildForm* form : documents()) all.push_back(&form->document());
  TChildForm* active = activeDocument();
  ApplySmoothingOption(workspace_.settings, all, active ? &active->document() : nullptr);
}

namespace {

void CenterOnScreen(QWidget* window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  const QSize size = window->frameGeometry().size();
  window->move((area.width() - size.width()) / 2, (area.height() - size.height()) / 2);
}

}  // namespace

void TMainForm::resetSubWindows() {
  for (const auto& [which, window] : toolWindows()) {
    const ToolWindowStart reset = ToolWindowResetPlacement(which);
    if (reset.centred) {
      CenterOnScreen(window);
    } else if (reset.placed) {
      window->setGeometry(reset.bounds.left, reset.bounds.top, reset.bounds.width,
                          reset.bounds.height);
    }
  }
}

void TMainForm::applyShortcuts() {
  for (const ShortcutEntry& entry : BoundShortcuts(shortcuts_)) {
    if (QAction* action = actions_.value(QString::fromStdString(entry.name))) {
      action->setShortcut(KeySequenceFromShortcut(entry.value));
    }
  }
}

CommandTarget TMainForm::commandTarget() {
  CommandTarget target;
  TChildForm* form = activeDocument();
  target.document = form ? &form->document() : nullptr;
  target.documentCount = static_cast<int>(documents().size());
  target.workspace = &workspace_;
  target.host = this;
  target.openGLAvailable = form ? form->openGLAvailable() : true;
  FillClipboardFlags(target);
  return target;
}

CommandResult TMainForm::command(const QString& name) {
  CommandTarget target = commandTarget();
  const CommandResult result = RunCommand(name.toStdString(), target);
  if (result.status == CommandStatus::kRefused)
    showStatus(QString::fromStdString(result.refusal.reason));
  refreshMenuState();
  return result;
}

bool TMainForm::runWindowCommand(std::string_view name) {
  const auto handler = handlers_.find(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
  if (handler == handlers_.end()) return false;
  (*handler)();
  return true;
}

void TMainForm::startUp(const QStringList& files) {
  if (started_) return;
  started_ = true;
  untitled_ = 0;
  const std::string reason = LoadSession(sessionFiles(), workspace_.settings, shortcuts_, history_);
  if (!reason.empty()) showStatus(QString::fromStdString(reason));
  SetMessageLanguage(LanguageFromSetting(workspace_.settings.Language));
  recovery_ = std::make_unique<RecoveryKeeper>(DefaultRecoveryFolder(), CurrentRecoveryOwner());
  restartRecoveryTimer();
  applyShortcuts();
  rebuildHistoryMenu();
  ui_->setLastFolder(QString::fromStdString(workspace_.settings.LastFolder));
  const QRect design = geometry();
  const MainWindowStart start = MainWindowStartPlacement(
      workspace_.settings, {design.left(), design.top(), design.width(), design.height()}, screenSize());
  setGeometry(start.bounds.left, start.bounds.top, start.bounds.width, start.bounds.height);
  if (start.maximized) setWindowState(windowState() | Qt::WindowMaximized);

  placeToolWindows();

  // The files are opened once the event loop is idle, after the window is up.
  QTimer::singleShot(0, this, [this, files] {
    std::vector<std::string> arguments;
    for (const QString& file : files) arguments.push_back(file.toStdString());
    const int recovered = offerRecovery();
    for (const std::string& path : StartUpDocuments(workspace_.settings, arguments, recovered)) {
      openByName(QString::fromStdString(path), 0);
    }
  });
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!started_) startUp(QCoreApplication::arguments().mid(1));
}

void TMainForm::showImage(const QString& path) {
  auto* viewer = new TViewerForm(this);
  viewer->showImageFile(path);
  // Over a modal dialog the viewer is modal too, so it can be looked at
  // and closed before going back to the dialog.
  if (QApplication::activeModalWidget()) viewer->setWindowModality(Qt::ApplicationModal);
  viewer->show();
  viewers_.append(viewer);
}

void TMainForm::openByName(const QString& path, int filterIndex) {
  if (!path.isEmpty()) {
    auto* viewer = new TViewerForm(this);
    if (viewer->showImageFile(path)) {
      viewer->show();
      viewers_.append(viewer);
      return;
    }
    delete viewer;
  }
  TChildForm* form = addDocumentWindow();
  if (path.isEmpty()) {
    form->newDocument(++untitled_);
    form->setUseGL(form->document().scene.useGL != 0);
  } else {
    if (form->openFile(path, filterIndex)) form->setUseGL(form->document().scene.useGL != 0);
  }
  refreshMenuState();
}

TChildForm* TMainForm::addDocumentWindow() {
  // The new window comes to the front, maximised when the one in front was.
  const QMdiSubWindow* front = mdi_->activeSubWindow();
  const bool maximized = front && front->isMaximized();
  auto* form = new TChildForm(this);
  QMdiSubWindow* sub = mdi_->addSubWindow(form);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->resize(444 + 8, 317 + 30);
  if (maximized) {
    sub->showMaximized();
  } else {
    sub->show();
  }
  // Made active, and given the keyboard: when the main window is activated
  // again (after the Open dialog, say) the frame activates the window that
  // holds its focus widget, which must be this one and not the last view
  // clicked.
  mdi_->setActiveSubWindow(sub);
  form->setFocus(Qt::OtherFocusReason);
  SetScreenSize(form->document().scene, form->viewSize().width(), form->viewSize().height());
  return form;
}

void TMainForm::restartRecoveryTimer() {
  if (!recoveryTimer_) {
    recoveryTimer_ = new QTimer(this);
    connect(recoveryTimer_, &QTimer::timeout, this, [this] { writeRecoveryCopies(false); });
  }
  const int seconds = workspace_.settings.AutoSaveSeconds;
  if (seconds > 0) {
    recoveryTimer_->start(seconds * 1000);
  } else {
    recoveryTimer_->stop();
  }
}

void TMainForm::writeRecoveryCopies(bool wait) {
  if (!recovery_) return;
  std::vector<RecoveryDocument> list;
  for (TChildForm* form : documents()) {
    list.push_back({form->recoveryNumber(), &form->document(), form->document().scene.fileName,
                    form->file().caption});
  }
  recovery_->update(list, wait);
  const std::string error = recovery_->lastError();
  if (!error.empty() && error != recoveryError_) showStatus(QString::fromStdString(error));
  recoveryError_ = error;
}

void TMainForm::forgetRecoveryCopy(TChildForm* form) {
  if (recovery_) recovery_->forget(form->recoveryNumber());
}

int TMainForm::offerRecovery() {
  if (!recovery_) return 0;
  const std::vector<RecoveryEntry> entries = recovery_->folder().recoverable();
  if (entries.empty()) return 0;
  int recovered = 0;
  const RecoveryChoice choice = ui_->chooseRecovery(this, entries);
  RecoveryFolder folder(recovery_->folder().path());
  for (size_t row : choice.rows) {
    if (row >= entries.size()) continue;
    const RecoveryEntry& entry = entries[row];
    std::string reason;
    if (choice.action == RecoveryChoice::Action::kDiscard) {
      if (!folder.discard(entry.copy, &reason)) showStatus(QString::fromStdString(reason));
    } else if (choice.action == RecoveryChoice::Action::kRecover) {
      TChildForm* form = addDocumentWindow();
      if (!form->recoverFile(entry)) continue;
      ++recovered;
      form->setUseGL(form->document().scene.useGL != 0);
      // The copy is this run's now: it stays until the document is saved
      // or closed.
      if (!recovery_->adopt(entry.copy, form->recoveryNumber(), form->document().revision, &reason)) {
        showStatus(QString::fromStdString(reason));
      }
    }
  }
  refreshMenuState();
  return recovered;
}

namespace {

// The write end of the pipe the signal handler wakes the event loop with.
int gTerminationWrite = -1;

void OnTerminationSignal(int) {
  const char byte = 1;
  // Only async-signal-safe calls here; a full pipe already holds a wake-up.
  [[maybe_unused]] const ssize_t written = ::write(gTerminationWrite, &byte, 1);
}

}  // namespace

void TMainForm::handleTerminationSignals() {
  int ends[2];
  if (gTerminationWrite >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
    return;
  }
  gTerminationWrite = ends[0];
  auto* notifier = new QSocketNotifier(ends[1], QSocketNotifier::Read, this);
  connect(notifier, &QSocketNotifier::activated, this, [this, notifier, ends] {
    notifier->setEnabled(false);
    char byte;
    [[maybe_unused]] const ssize_t got = ::read(ends[1], &byte, 1);
    terminateNow();
  });
  struct sigaction action {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

void TMainForm::terminateNow() {
  // The copies stay: they are what the next start offers. No save prompt
  // runs, since nobody may be there to answer it.
  writeRecoveryCopies(true);
  // The settings, history and window places are kept as at a normal quit;
  // nobody may be there to read a failure, so it goes to the log.
  const std::string reason = saveSession();
  if (!reason.empty()) std::fprintf(stderr, "vexal: %s\n", reason.c_str());
  quitting_ = true;
  QCoreApplication::exit(0);
}

void TMainForm::openDialog() {
  int filterIndex = 1;
  const QString path = ui_->openFileName(this, OpenFilter(), filterIndex);
  if (path.isEmpty()) return;
  ui_->setLastFolder(QFileInfo(path).absolutePath());
  openByName(path, filterIndex);
}

void TMainForm::cascadeDocuments() {
  // Minimised windows stay where they are; the active window goes last, on
  // top of the others.
  QMdiSubWindow* active = mdi_->activeSubWindow();
  QList<QMdiSubWindow*> subs;
  for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
    if (sub->isHidden() || sub->isMinimized() || sub == active) continue;
    subs.append(sub);
  }
  if (active && !active->isHidden() && !active->isMinimized()) subs.append(active);
  std::vector<WindowRect> windows;
  for (QMdiSubWindow* sub : subs) {
    if (sub->isMaximized()) sub->showNormal();
    const QRect bounds = sub->geometry();
    windows.push_back({bounds.left(), bounds.top(), bounds.width(), bounds.height()});
  }
  // One step is the height of a window's title bar and frame.
  const QStyle* style = mdi_->style();
  const int step = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, mdi_) +
                   style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, mdi_);
  const QSize frame = mdi_->viewport()->size();
  const std::vector<WindowRect> placed =
      CascadePlacement(windows, {frame.width(), frame.height()}, step);
  for (qsizetype i = 0; i < subs.size(); ++i) {
    const WindowRect& rect = placed[static_cast<size_t>(i)];
    subs[i]->setGeometry(rect.left, rect.top, rect.width, rect.height);
    subs[i]->raise();
  }
  if (active) mdi_->setActiveSubWindow(active);
}

TChildForm* TMainForm::activeDocument() const {
  QMdiSubWindow* sub = mdi_->activeSubWindow();
  if (!sub) sub = mdi_->currentSubWindow();
  if (!sub || sub->isHidden()) {
    const auto all = documents();
    return all.isEmpty() ? nullptr : all.front();
  }
  return qobject_cast<TChildForm*>(sub->widget());
}

QList<TChildForm*> TMainForm::documents() const {
  QList<TChildForm*> forms;
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    if (sub->isHidden() && !sub->isMinimized()) continue;
    if (auto* form = qobject_cast<TChildForm*>(sub->widget())) forms.append(form);
  }
  return forms;
}

int TMainForm::viewerCount() const {
  int count = 0;
  for (const QPointer<QWidget>& viewer : viewers_) count += viewer && viewer->isVisible();
  return count;
}

bool TMainForm::closeAll() {
  const auto open = [this] {
    QList<QMdiSubWindow*> subs;
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
      if (!sub->isHidden() || sub->isMinimized()) subs.append(sub);
    }
    return subs;
  };
  closeCancelled_ = false;
  CloseInTurn([&] { return static_cast<size_t>(open().size()); },
              [&](size_t index) {
                open()[static_cast<qsizetype>(index)]->close();
                return !closeCancelled_;
              });
  refreshMenuState();
  return !closeCancelled_;
}

std::string TMainForm::saveSession() {
  recordToolWindows();
  // normalGeometry() is the place the window returns to from maximised or
  // minimised; it is the one written.
  const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
  const MainWindowAtQuit window{{normal.left(), normal.top(), normal.width(), normal.height()},
                                isMaximized(), isMinimized()};
  return SaveSession(sessionFiles(), workspace_.settings, shortcuts_, history_, window,
                     screenSize(), ui_->lastFolder().toStdString());
}

bool TMainForm::quit() {
  if (!closeAll()) return false;
  quitting_ = true;
  if (recovery_) recovery_->forgetAll();
  const std::string reason = saveSession();
  if (!reason.empty()) ui_->warning(this, "Vexal", QString::fromStdString(reason));
  for (const QPointer<QWidget>& viewer : viewers_) {
    if (viewer) viewer->close();
  }
  return true;
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (quitting_ || quit()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) openByName(url.toLocalFile(), 0);
  }
  event->acceptProposedAction();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  // Escape over this window cancels a gesture of the active document as a
  // right press does; with none it goes on to whatever it is bound to.
  if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier && widget &&
        widget->window() == this) {
      TChildForm* form = activeDocument();
      if (form && EscapeGesture(form->document(), workspace_)) {
        refreshMenuState();
        event->accept();
        return true;
      }
    }
  }
  // A double click on the frame's empty area is New.
  if (watched == mdi_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
    openByName(QString(), 0);
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::addToHistory(const std::string& path) {
  history_.add(path);
  rebuildHistoryMenu();
}

void TMainForm::rebuildHistoryMenu() {
  for (QAction* action : historyActions_) {
    fileMenu_->removeAction(action);
    delete action;
  }
  historyActions_.clear();
  for (size_t i = 0; i < history_.entries().size(); ++i) {
    auto* action = new QAction(QString::fromStdString(history_.caption(i)), fileMenu_);
    const QString path = QString::fromStdString(history_.entries()[i]);
    connect(action, &QAction::triggered, this, [this, path] { openByName(path, 0); });
    fileMenu_->insertAction(actions_.value("FileExitItem"), action);
    historyActions_.append(action);
  }
}

ScreenSize TMainForm::screenSize() const {
  const QScreen* shown = screen() ? screen() : QGuiApplication::primaryScreen();
  if (!shown) return {};
  return {shown->geometry().width(), shown->geometry().height()};
}

QList<std::pair<SubWindow, QWidget*>> TMainForm::toolWindows() const {
  return {{SubWindow::kLocate, locate_},      {SubWindow::kPalette, palette_},
          {SubWindow::kGrid, grid_},          {SubWindow::kRandom, random_},
          {SubWindow::kAttach, attach_},      {SubWindow::kPipe, pipe_},
          {SubWindow::kNumeric, numeric_},    {SubWindow::kProjection, projection_},
          {SubWindow::kPrimitive, primitive_}};
}

void TMainForm::placeToolWindows() {
  // The angle palette keeps its client size; the others are placed by their
  // frames. The colour palette is shown last.
  for (const auto& [which, window] : toolWindows()) {
    const bool locate = which == SubWindow::kLocate;
    if (!locate && which != SubWindow::kPalette) window->adjustSize();
    const QRect built = locate ? window->geometry() : QRect(window->pos(), window->size());
    const ToolWindowStart start = ToolWindowStartPlacement(
        workspace_.settings, which, {built.left(), built.top(), built.width(), built.height()});
    if (start.centred) {
      CenterOnScreen(window);
    } else if (start.placed && locate) {
      window->setGeometry(start.bounds.left, start.bounds.top, start.bounds.width,
                          start.bounds.height);
    } else if (start.placed) {
      window->move(start.bounds.left, start.bounds.top);
    }
    if (which != SubWindow::kPalette) window->setVisible(start.visible);
  }
  palette_->setVisible(
      ToolWindowStartPlacement(workspace_.settings, SubWindow::kPalette, {}).visible);
}

void TMainForm::recordToolWindows() {
  for (const auto& [which, window] : toolWindows()) {
    const QRect bounds =
        which == SubWindow::kLocate ? window->geometry() : QRect(window->pos(), window->size());
    RecordToolWindow(workspace_.settings, which,
                     {bounds.left(), bounds.top(), bounds.width(), bounds.height()},
                     window->isVisible());
  }
}

SessionFiles TMainForm::sessionFiles() const {
  return {settingsPath_.toStdString(), shortcutPath_.toStdString()};
}

void TMainForm::showStatus(const QString& text) { statusBar()->showMessage(text); }

QAction* TMainForm::action(const QString& name) const {
  if (QAction* a = actions_.value(name)) return a;
  return buttons_.value(name);
}

void TMainForm::rebuildWindowList() {
  for (QAction* action : windowList_) {
    windowMenu_->removeAction(action);
    action->deleteLater();
  }
  windowList_.clear();
  const TChildForm* active = activeDocument();
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* sub : mdi_->subWindowList()) {
    if (!sub->isHidden() || sub->isMinimized()) windows.append(sub);
  }
  if (windows.isEmpty()) return;
  windowList_.append(windowMenu_->addSeparator());
  for (qsizetype i = 0; i < windows.size(); ++i) {
    QMdiSubWindow* sub = windows[i];
    const auto* form = qobject_cast<TChildForm*>(sub->widget());
    QString title = form ? form->caption() : sub->windowTitle();
    if (form && form->isWindowModified()) title += QLatin1String(" *");
    QAction* action = windowMenu_->addAction(QString::fromStdString(
        WindowListCaption(static_cast<size_t>(i), title.toStdString())));
    action->setObjectName(QStringLiteral("WindowListItem%1").arg(i + 1));
    action->setCheckable(true);
    action->setChecked(active && sub->widget() == active);
    connect(action, &QAction::triggered, this, [this, sub = QPointer<QMdiSubWindow>(sub)] {
      if (!sub) return;
      if (sub->isMinimized()) sub->showNormal();
      mdi_->setActiveSubWindow(sub);
    });
    windowList_.append(action);
  }
}

void TMainForm::refreshMenuState() {
  const CommandTarget target = commandTarget();
  // The modified mark of every document, and of the frame for the active
  // one (the frame's title shows it while that window is maximised).
  for (TChildForm* form : documents()) form->syncModifiedMark();
  const TChildForm* active = activeDocument();
  if (windowTitle().contains(QLatin1String("[*]"))) setWindowModified(active && active->isWindowModified());
  if (palette_) palette_->refresh();
  for (const CommandMenu& menu : MainMenu()) {
    for (const CommandItem& item : menu.items) {
      if (item.separator()) continue;
      QAction* action = actions_.value(QString::fromLatin1(item.name.data(), static_cast<qsizetype>(item.name.size())));
      if (!action) continue;
      action->setEnabled(CommandEnabled(item.name, target));
      if (const std::optional<bool> checked = CommandChecked(item.name, target)) {
        action->setChecked(*checked);
      }
    }
  }
  for (const ToolButton& button : ToolbarButtons()) {
    if (button.name.empty()) continue;
    QAction* b = buttons_.value(QString::fromLatin1(button.name.data(), static_cast<qsizetype>(button.name.size())));
    if (!b) continue;
    b->setEnabled(CommandEnabled(button.command, target));
    if (button.tool >= 0 && target.document) b->setChecked(target.document->mode.tool == button.tool);
  }
}

void TMainForm::showAbout() {
  TAboutBox box(this, workspace_.settings.GridType, celShade_);
  box.exec();
  workspace_.settings.GridType = box.gridType();
  celShade_ = box.celShade();
  if (TChildForm* form = activeDocument()) form->redraw();
}

void TMainForm::showShortcutList() {
  // Built on every opening, from the keys bound now.
  TShortCutForm form(this, shortcuts_);
  form.exec();
}

void TMainForm::showHelp() {
  const std::vector<std::string> locations =
      ManualLocations(executablePath_.toStdString(), VEXAL_BUILD_MANUAL);
  const QString help = QString::fromStdString(FindManual(locations));
  if (help.isEmpty()) {
    ui_->warning(this, "Vexal", QString::fromStdString(ManualNotFoundText(locations)));
    return;
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(help))) {
    ui_->warning(
        this, "Vexal",
        QString::fromStdString(FormatMessage("No program is set up to show the help file: %s",
                                             help.toStdString().c_str())));
  }
}

}  // namespace vexal::app
