#include "app/main_form.h"

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
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "app/about_box.h"
#include "app/child_form.h"
#include "app/shortcut_form.h"
#include "app/viewer_form.h"
#include "formats/format_registry.h"
#include "model/maintenance.h"
#include "view/projection.h"

// Resources of a static library are registered by hand, once.
static void InitializeResources() { Q_INIT_RESOURCE(resources); }

namespace vexal::app {
namespace {

// Physical keys of the Windows virtual-key codes; the punctuation keys are
// those of the same place on a US keyboard.
int QtKeyOf(uint8_t code, bool& keypad) {
  keypad = false;
  if ((code >= 0x30 && code <= 0x39) || (code >= 0x41 && code <= 0x5A)) return code;
  if (code >= 0x60 && code <= 0x69) {
    keypad = true;
    return Qt::Key_0 + (code - 0x60);
  }
  if (code >= 0x70 && code <= 0x87) return Qt::Key_F1 + (code - 0x70);
  switch (code) {
    case 0x08: return Qt::Key_Backspace;
    case 0x09: return Qt::Key_Tab;
    case 0x0D: return Qt::Key_Return;
    case 0x1B: return Qt::Key_Escape;
    case 0x20: return Qt::Key_Space;
    case 0x21: return Qt::Key_PageUp;
    case 0x22: return Qt::Key_PageDown;
    case 0x23: return Qt::Key_End;
    case 0x24: return Qt::Key_Home;
    case 0x25: return Qt::Key_Left;
    case 0x26: return Qt::Key_Up;
    case 0x27: return Qt::Key_Right;
    case 0x28: return Qt::Key_Down;
    case 0x2D: return Qt::Key_Insert;
    case 0x2E: return Qt::Key_Delete;
    case 0x6A: keypad = true; return Qt::Key_Asterisk;
    case 0x6B: keypad = true; return Qt::Key_Plus;
    case 0x6D: keypad = true; return Qt::Key_Minus;
    case 0x6E: keypad = true; return Qt::Key_Period;
    case 0x6F: keypad = true; return Qt::Key_Slash;
    case 0xBA: return Qt::Key_Semicolon;
    case 0xBB: return Qt::Key_Equal;
    case 0xBC: return Qt::Key_Comma;
    case 0xBD: return Qt::Key_Minus;
    case 0xBE: return Qt::Key_Period;
    case 0xBF: return Qt::Key_Slash;
    case 0xC0: return Qt::Key_QuoteLeft;
    case 0xDB: return Qt::Key_BracketLeft;
    case 0xDC: return Qt::Key_Backslash;
    case 0xDD: return Qt::Key_BracketRight;
    case 0xDE: return Qt::Key_Apostrophe;
    case 0xE2: return Qt::Key_Backslash;
    default: return 0;
  }
}

void Relayout(SCENE& scene, const QSize& size) { SetScreenSize(scene, size.width(), size.height()); }

}  // namespace

QKeySequence KeySequenceFromShortcut(ShortcutValue value) {
  bool keypad = false;
  const int key = QtKeyOf(static_cast<uint8_t>(value & 0xFF), keypad);
  if (key == 0) return {};
  int modifiers = 0;
  if (value & kShortcutShift) modifiers |= Qt::SHIFT;
  if (value & kShortcutCtrl) modifiers |= Qt::CTRL;
  if (value & kShortcutAlt) modifiers |= Qt::ALT;
  if (keypad) modifiers |= Qt::KeypadModifier;
  return QKeySequence(key | modifiers);
}

QString TMainForm::OpenFilter() {
  return "Supported Files|*.vxl;*.rok;*.obj;*.dxf;*.mx;*.mqo;*.lwo;*.3ds;*.fcw|VXL File "
         "(*.vxl)|*.vxl|Hexagreat-3D File (*.rok)|*.rok|OBJ File (*.obj)|*.obj|DXF File "
         "(*.dxf)|*.dxf|MX File (*.mx)|*.mx|MQO File (*.mqo)|*.mqo|LWO File (*.lwo)|*.lwo|3DS "
         "File (*.3ds)|*.3ds|FCW File (*.fcw)|*.fcw|All Files (*.*)|*.*";
}

QString TMainForm::SaveFilter() {
  QStringList parts;
  for (const WriterEntry& writer : WriterTable()) {
    const QString extension = QString::fromLatin1(writer.extension);
    parts << QString("%1 File (*%2)").arg(QString::fromLatin1(writer.name), extension)
          << "*" + extension;
  }
  return parts.join('|');
}

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
  QApplication::setApplicationDisplayName(QString());
  setAcceptDrops(true);
  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->viewport()->installEventFilter(this);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
    // An activated document re-derives its selection state, which also
    // refreshes the menus and the undo buttons.
    if (auto* form = sub ? qobject_cast<TChildForm*>(sub->widget()) : nullptr) {
      RefreshSelection(form->document());
      UpdateUndoButtons(form->document());
    }
    refreshMenuState();
  });
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
      action->setShortcutContext(Qt::ApplicationShortcut);
      connect(action, &QAction::triggered, this, [this, name] { command(name); });
      actions_.insert(name, action);
    }
  }
  for (const char* name : {"ViewMode1Item", "ViewMode2Item", "ViewMode3Item", "ViewTextureItem",
                           "ViewLightItem", "SmoothItem", "ViewReflectionItem", "LinearTextureItem",
                           "LinearBackPictureItem", "ViewAlpha1Item", "ViewAlpha2Item",
                           "ViewAlpha3Item", "HandleItem", "HideLineItem", "DummyItem", "GridItem",
                           "PerspItem", "CullItem", "ViewEdgeItem", "ViewPictureItem", "UseGLItem"}) {
    actions_.value(name)->setCheckable(true);
  }
  actions_.value("ViewMode3Item")->setChecked(true);
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
  handlers_["UndoItem"] = [this] {
    TChildForm* form = activeDocument();
    if (!form || form->document().undo.undoDepth == 0) return;
    FinishPendingDraw(form->document());
    StepUndo(form->document(), -1);
    refreshMenuState();
  };
  handlers_["RedoItem"] = [this] {
    TChildForm* form = activeDocument();
    if (!form || form->document().undo.redoDepth == 0) return;
    FinishPendingDraw(form->document());
    StepUndo(form->document(), 1);
    refreshMenuState();
  };
  auto viewMode = [this](int mode) {
    return [this, mode] {
      if (TChildForm* form = activeDocument()) {
        form->document().scene.viewMode = mode;
        form->redraw();
      }
      refreshMenuState();
    };
  };
  handlers_["ViewMode1Item"] = viewMode(0);
  handlers_["ViewMode2Item"] = viewMode(1);
  handlers_["ViewMode3Item"] = viewMode(2);
  handlers_["HandleItem"] = [this] { toggleScene(&SCENE::showHandle); };
  handlers_["HideLineItem"] = [this] { toggleScene(&SCENE::showHiddenEdges); };
  handlers_["DummyItem"] = [this] { toggleScene(&SCENE::showDummy); };
  handlers_["GridItem"] = [this] { toggleScene(&SCENE::showGrid); };
  handlers_["PerspItem"] = [this] {
    if (TChildForm* form = activeDocument()) {
      SCENE& scene = form->document().scene;
      scene.perspectiveDefault = 1 - scene.perspectiveDefault;
      scene.perspective = scene.perspectiveDefault;
      Relayout(scene, form->viewSize());
      form->redraw();
    }
    refreshMenuState();
  };
  handlers_["ViewTextureItem"] = [this] { toggleScene(&SCENE::showTexture); };
  handlers_["ViewLightItem"] = [this] { toggleScene(&SCENE::showLight); };
  handlers_["SmoothItem"] = [this] { toggleScene(&SCENE::smooth); };
  handlers_["ViewReflectionItem"] = [this] { toggleScene(&SCENE::showReflection); };
  handlers_["CullItem"] = [this] { toggleScene(&SCENE::doubleSided); };
  handlers_["ViewEdgeItem"] = [this] { toggleScene(&SCENE::cellEdge); };
  handlers_["ViewPictureItem"] = [this] { toggleScene(&SCENE::showBackPicture); };
  handlers_["LinearTextureItem"] = [this] {
    toggleScene(&SCENE::linearTexture);
    if (TChildForm* form = activeDocument()) form->resetTextureFilters();
  };
  handlers_["LinearBackPictureItem"] = [this] {
    toggleScene(&SCENE::linearBackPicture);
    if (TChildForm* form = activeDocument()) form->resetTextureFilters();
  };
  auto alphaMode = [this](int mode) {
    return [this, mode] {
      if (TChildForm* form = activeDocument()) {
        form->document().scene.alphaMode = mode;
        form->redraw();
      }
      refreshMenuState();
    };
  };
  handlers_["ViewAlpha1Item"] = alphaMode(0);
  handlers_["ViewAlpha2Item"] = alphaMode(1);
  handlers_["ViewAlpha3Item"] = alphaMode(2);
  handlers_["UseGLItem"] = [this] {
    if (TChildForm* form = activeDocument()) form->setUseGL(form->document().scene.useGL == 0);
    refreshMenuState();
  };
  handlers_["ResetPicturePositionItem"] = [this] {
    if (TChildForm* form = activeDocument()) {
      form->document().scene.pictureOffset = VECTOR();
      form->redraw();
    }
  };
  handlers_["WindowCascadeItem"] = [this] { mdi_->cascadeSubWindows(); };
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
  handlers_["UVEditItem"] = [] {};
  handlers_["DebugItem"] = [] {};
  handlers_["ViewNumberItem"] = [this] {
    if (TChildForm* form = activeDocument()) form->redraw();
  };
  handlers_["SearchforHelpOnItem"] = [this] { showHelp(); };
  handlers_["ViewShortCutItem"] = [this] { showShortcutList(); };
  handlers_["HelpAboutItem"] = [this] { showAbout(); };
}

void TMainForm::applyShortcuts() {
  for (const ShortcutEntry& entry : shortcuts_) {
    if (QAction* action = actions_.value(QString::fromStdString(entry.name))) {
      action->setShortcut(KeySequenceFromShortcut(entry.value));
    }
  }
}

void TMainForm::command(const QString& name) {
  const auto handler = handlers_.find(name);
  if (handler == handlers_.end()) return;
  (*handler)();
}

void TMainForm::toggleScene(int SCENE::*field) {
  if (TChildForm* form = activeDocument()) {
    int& value = form->document().scene.*field;
    value = value ? 0 : 1;
    form->redraw();
  }
  refreshMenuState();
}

void TMainForm::startUp(const QStringList& files) {
  if (started_) return;
  started_ = true;
  untitled_ = 0;
  std::string reason;
  if (!LoadSettings(settingsPath_.toStdString(), settings_, &reason)) {
    showStatus(QString::fromStdString(reason));
  }
  shortcuts_ = DefaultShortcuts();
  LoadShortcutFile(shortcutPath_.toStdString(), shortcuts_);
  applyShortcuts();
  std::vector<std::string> entries;
  for (int i = 0; i < kFileHistoryCount; ++i) entries.push_back(FileHistoryEntry(settings_, i));
  history_.assign(entries);
  rebuildHistoryMenu();
  if (settings_.SaveMainWindow && settings_.MainLeft != kUnsetPlacement &&
      settings_.MainWidth != kUnsetPlacement && settings_.MainWidth > 100 &&
      settings_.MainHeight > 100) {
    setGeometry(settings_.MainLeft, settings_.MainTop, settings_.MainWidth, settings_.MainHeight);
  }
  if (settings_.MainState == 2) setWindowState(windowState() | Qt::WindowMaximized);

  // The files are opened once the event loop is idle, after the window is up.
  QTimer::singleShot(0, this, [this, files] {
    if (!files.isEmpty()) {
      for (const QString& file : files) openByName(file, 0);
      return;
    }
    if (settings_.OpenLastFile && !history_.entries().empty()) {
      openByName(QString::fromStdString(history_.entries().front()), 0);
      return;
    }
    if (settings_.SetDefaultWindow) openByName(QString(), 0);
  });
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (!started_) startUp(QCoreApplication::arguments().mid(1));
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
  auto* form = new TChildForm(this);
  QMdiSubWindow* sub = mdi_->addSubWindow(form);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  sub->resize(444 + 8, 317 + 30);
  sub->show();
  SetScreenSize(form->document().scene, form->viewSize().width(), form->viewSize().height());
  if (path.isEmpty()) {
    ++untitled_;
    form->newDocument(QString("Vxl%1.vxl").arg(untitled_));
    // A new document starts with the view switches of the settings.
    ApplySceneDefaults(settings_, form->document().scene);
    form->setUseGL(form->document().scene.useGL != 0);
  } else {
    if (form->openFile(path, filterIndex)) form->setUseGL(form->document().scene.useGL != 0);
  }
  refreshMenuState();
}

void TMainForm::openDialog() {
  int filterIndex = 1;
  const QString path = ui_->openFileName(this, OpenFilter(), filterIndex);
  if (!path.isEmpty()) openByName(path, filterIndex);
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
  closeCancelled_ = false;
  int index = 0;
  for (;;) {
    QList<QMdiSubWindow*> subs;
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
      if (!sub->isHidden() || sub->isMinimized()) subs.append(sub);
    }
    if (index >= subs.size()) break;
    const qsizetype before = subs.size();
    subs[index]->close();
    if (closeCancelled_) break;
    qsizetype after = 0;
    for (QMdiSubWindow* sub : mdi_->subWindowList()) after += !sub->isHidden() || sub->isMinimized();
    if (after != before) {
      index = 0;
    } else {
      ++index;
    }
  }
  refreshMenuState();
  return !closeCancelled_;
}

bool TMainForm::quit() {
  if (!closeAll()) return false;
  quitting_ = true;
  for (int i = 0; i < kFileHistoryCount; ++i) {
    FileHistoryEntry(settings_, i) =
        i < static_cast<int>(history_.entries().size()) ? history_.entries()[i] : std::string();
  }
  if (isMaximized()) {
    settings_.MainState = 2;
  } else {
    settings_.MainState = isMinimized() ? 1 : 0;
    settings_.MainLeft = geometry().left();
    settings_.MainTop = geometry().top();
    settings_.MainWidth = geometry().width();
    settings_.MainHeight = geometry().height();
  }
  std::string reason;
  if (!SaveSettings(settingsPath_.toStdString(), settings_, &reason)) {
    ui_->warning(this, "Vexal", QString::fromStdString(reason));
  }
  SaveShortcutFile(shortcutPath_.toStdString(), shortcuts_);
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
  if (!historyActions_.isEmpty()) {
    // The history sits between the separator and "Quit", set off by its own
    // separator before "Quit".
    auto* separator = new QAction(fileMenu_);
    separator->setSeparator(true);
    fileMenu_->insertAction(actions_.value("FileExitItem"), separator);
    historyActions_.append(separator);
  }
}

void TMainForm::showStatus(const QString& text) { statusBar()->showMessage(text); }

ViewColors TMainForm::viewColors() const {
  ViewColors colors;
  colors.background = static_cast<uint32_t>(settings_.WindowBGColor);
  colors.normal = static_cast<uint32_t>(settings_.WindowNormalColor);
  colors.selected = static_cast<uint32_t>(settings_.WindowSelectColor);
  colors.hidden = static_cast<uint32_t>(settings_.WindowHideColor);
  colors.gridType = settings_.GridType;
  return colors;
}

QAction* TMainForm::action(const QString& name) const {
  if (QAction* a = actions_.value(name)) return a;
  return buttons_.value(name);
}

void TMainForm::refreshMenuState() {
  TChildForm* form = activeDocument();
  const bool hasDocument = !documents().isEmpty();
  const Document* document = form ? &form->document() : nullptr;
  auto allowed = [&](const CommandItem& item) {
    if (!item.implemented) return false;
    switch (item.rule) {
      case EnableRule::kAlways: return true;
      case EnableRule::kDocument: return hasDocument;
      case EnableRule::kUndo: return document && document->undo.undoDepth != 0;
      case EnableRule::kRedo: return document && document->undo.redoDepth != 0;
      case EnableRule::kPoints: return document && document->model.pointCount > 0;
      case EnableRule::kSelection: return document && document->scene.selectedCount > 0;
      case EnableRule::kUnselected:
        return document && document->scene.selectedCount != document->model.pointCount;
      case EnableRule::kClipboard: return false;
      case EnableRule::kPaletteClipboard: return false;
    }
    return false;
  };
  for (const CommandMenu& menu : MainMenu()) {
    for (const CommandItem& item : menu.items) {
      if (item.separator()) continue;
      const QString name = QString::fromLatin1(item.name.data(), static_cast<qsizetype>(item.name.size()));
      if (QAction* a = actions_.value(name)) a->setEnabled(allowed(item));
    }
  }
  for (const ToolButton& button : ToolbarButtons()) {
    if (button.name.empty()) continue;
    QAction* b = buttons_.value(QString::fromLatin1(button.name.data(), static_cast<qsizetype>(button.name.size())));
    const CommandItem* item = FindCommand(button.command);
    if (b && item) b->setEnabled(allowed(*item));
    if (b && button.tool >= 0 && document) b->setChecked(document->mode.tool == button.tool);
  }
  if (document) {
    const SCENE& s = document->scene;
    auto check = [this](const char* name, bool on) { actions_.value(name)->setChecked(on); };
    check("ViewMode1Item", s.viewMode == 0);
    check("ViewMode2Item", s.viewMode == 1);
    check("ViewMode3Item", s.viewMode == 2);
    check("ViewTextureItem", s.showTexture);
    check("ViewLightItem", s.showLight);
    check("SmoothItem", s.smooth);
    check("ViewReflectionItem", s.showReflection);
    check("LinearTextureItem", s.linearTexture);
    check("LinearBackPictureItem", s.linearBackPicture);
    check("ViewAlpha1Item", s.alphaMode == 0);
    check("ViewAlpha2Item", s.alphaMode == 1);
    check("ViewAlpha3Item", s.alphaMode == 2);
    check("HandleItem", s.showHandle);
    check("HideLineItem", s.showHiddenEdges);
    check("DummyItem", s.showDummy);
    check("GridItem", s.showGrid);
    check("PerspItem", s.perspectiveDefault == 0);
    check("CullItem", s.doubleSided);
    check("ViewEdgeItem", s.cellEdge);
    check("ViewPictureItem", s.showBackPicture);
    check("UseGLItem", s.useGL);
  }
  // "OpenGL Drawing" only where the window could get a context.
  if (form && !form->openGLAvailable()) actions_.value("UseGLItem")->setEnabled(false);
}

void TMainForm::showAbout() {
  TAboutBox box(this, settings_.GridType, cellShade_);
  box.exec();
  settings_.GridType = box.gridType();
  cellShade_ = box.cellShade();
  if (TChildForm* form = activeDocument()) form->redraw();
}

void TMainForm::showShortcutList() {
  TShortCutForm form(this);
  form.exec();
}

void TMainForm::showHelp() {
  QFileInfo executable(executablePath_);
  const QString help = executable.dir().filePath(executable.completeBaseName() + ".chm");
  if (!QFileInfo::exists(help)) {
    ui_->warning(this, "Vexal", "The help file was not found: " + help);
    return;
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(help))) {
    ui_->warning(this, "Vexal", "No program is set up to show the help file: " + help);
  }
}

}  // namespace vexal::app
