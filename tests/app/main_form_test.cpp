#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cmath>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <deque>

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <QPushButton>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTextBrowser>

#include "app/about_box.h"
#include "app/child_form.h"
#include "app/shortcut_form.h"
#include "app/color_form.h"
#include "app/palette_form.h"
#include "app/gl_view_widget.h"
#include "app/information_form.h"
#include "app/locate_form.h"
#include "app/main_form.h"
#include "app/number_edit.h"
#include "app/numeric_form.h"
#include "commands/apply_steps.h"
#include "commands/command_fixture.h"
#include "support/model_copy.h"
#include "model/camera.h"
#include "app/option_form.h"
#include "app/pipe_form.h"
#include "app/primitive_form.h"
#include "app/projection_form.h"
#include "app/qt_canvas.h"
#include "app/viewer_form.h"
#include "view/gl_offscreen.h"
#include "formats/native_format.h"
#include "model/document.h"
#include "model/maintenance.h"
#include "support/message_language.h"
#include "formats/recovery.h"
#include "support/test_models.h"
#include "tools/tool_dispatch.h"

namespace vexal::app {
namespace {

QApplication& Application() {
  static int argc = 1;
  static char name[] = "test_app";
  static char* argv[] = {name, nullptr};
  static QApplication* application = [] {
    auto* created = new QApplication(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    return created;
  }();
  return *application;
}

// Answers the modal questions from a script and records what was asked.
class ScriptedUserInterface : public UserInterface {
 public:
  QMessageBox::StandardButton askYesNoCancel(QWidget*, const QString& title,
                                             const QString& text) override {
    questions << title + "|" + text;
    if (answers.empty()) return QMessageBox::Cancel;
    const auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void warning(QWidget*, const QString& title, const QString& text) override {
    warnings << title + "|" + text;
  }
  void information(QWidget*, const QString&, const QString&) override {}
  QString openFileName(QWidget*, const QString&, int&) override { return openPath; }
  bool saveFileName(QWidget*, const QString&, QString& name, int& typeIndex) override {
    if (saveAs.isEmpty()) return false;
    name = saveAs;
    typeIndex = 1;
    return true;
  }
  std::deque<QMessageBox::StandardButton> answers;
  QStringList questions;
  QStringList warnings;
  QString saveAs;
  QString openPath;
};

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application();
    ASSERT_TRUE(folder.isValid());
    // The settings go to this test's own configuration folder.
    qputenv("XDG_CONFIG_HOME", folder.filePath("config").toUtf8());
    form = std::make_unique<TMainForm>(folder.filePath("vexal"), &ui);
    // No file arguments; SetDefaultWindow opens one untitled document.
    form->startUp({});
    QApplication::processEvents();
  }
  void TearDown() override {
    ui.answers.assign(20, QMessageBox::No);
    form->quit();
    form.reset();
  }
  // Marks the active document modified as an edit does.
  void edit() {
    Document& document = form->activeDocument()->document();
    document.model.points[1].position.x += 1;
    PushUndo(document, 1);
  }

  QTemporaryDir folder;
  ScriptedUserInterface ui;
  std::unique_ptr<TMainForm> form;
};

TEST_F(MainFormTest, UntitledDocumentsAreNumberedForTheWholeRun) {
  ASSERT_EQ(form->documents().size(), 1);
  form->openByName(QString(), 0);
  form->openByName(QString(), 0);
  QStringList captions;
  for (TChildForm* child : form->documents()) captions << child->caption();
  captions.sort();
  EXPECT_EQ(captions, (QStringList{"Vxl1.vxl", "Vxl2.vxl", "Vxl3.vxl"}));
  EXPECT_TRUE(form->closeAll());
  EXPECT_TRUE(form->documents().isEmpty());
  form->openByName(QString(), 0);
  EXPECT_EQ(form->activeDocument()->caption(), "Vxl4.vxl");
  // The default object is there and drawn.
  EXPECT_EQ(form->activeDocument()->document().model.pointCount, 8);
}

TEST_F(MainFormTest, MenuEnablementFollowsDocumentsAndHistory) {
  EXPECT_TRUE(form->action("FileSaveItem")->isEnabled());
  EXPECT_FALSE(form->action("UndoItem")->isEnabled());
  EXPECT_FALSE(form->action("CutItem")->isEnabled());  // nothing selected
  edit();
  form->refreshMenuState();
  EXPECT_TRUE(form->action("UndoItem")->isEnabled());
  EXPECT_TRUE(form->action("UndoBtn")->isEnabled());
  form->action("UndoItem")->trigger();
  EXPECT_FALSE(form->action("UndoItem")->isEnabled());
  EXPECT_TRUE(form->action("RedoItem")->isEnabled());

  ui.answers = {QMessageBox::No};
  EXPECT_TRUE(form->closeAll());
  EXPECT_FALSE(form->action("FileSaveItem")->isEnabled());
  EXPECT_FALSE(form->action("FileCloseAllItem")->isEnabled());
  EXPECT_TRUE(form->action("FileNewItem")->isEnabled());
  EXPECT_EQ(form->action("FileNewItem")->shortcut(), QKeySequence("Ctrl+N"));
  EXPECT_EQ(form->action("ZoomInItem")->shortcut(),
            QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus)));
}

// The file history stands right before "Quit" with no separator of its own,
// and the application's title is the main window's caption.
TEST_F(MainFormTest, HistoryEntriesLeadStraightToQuit) {
  EXPECT_EQ(form->windowTitle(), "Vexal2.72 EN");
  EXPECT_EQ(QApplication::applicationDisplayName(), form->windowTitle());
  QAction* quit = form->action("FileExitItem");
  QMenu* fileMenu = nullptr;
  for (QObject* owner : quit->associatedObjects()) {
    if (auto* menu = qobject_cast<QMenu*>(owner)) fileMenu = menu;
  }
  ASSERT_NE(fileMenu, nullptr);
  const auto separatorsInARow = [&] {
    const QList<QAction*> actions = fileMenu->actions();
    for (qsizetype i = 1; i < actions.size(); ++i) {
      if (actions[i]->isSeparator() && actions[i - 1]->isSeparator()) return true;
    }
    return false;
  };
  const auto beforeQuit = [&] {
    const QList<QAction*> actions = fileMenu->actions();
    const qsizetype at = actions.indexOf(quit);
    return at > 0 ? actions[at - 1] : nullptr;
  };
  ASSERT_NE(beforeQuit(), nullptr);
  EXPECT_TRUE(beforeQuit()->isSeparator());
  form->addToHistory(folder.filePath("a.vxl").toStdString());
  form->addToHistory(folder.filePath("b.vxl").toStdString());
  ASSERT_NE(beforeQuit(), nullptr);
  EXPECT_FALSE(beforeQuit()->isSeparator());
  EXPECT_TRUE(beforeQuit()->text().contains("a.vxl")) << beforeQuit()->text().toStdString();
  EXPECT_FALSE(separatorsInARow());
}

TEST_F(MainFormTest, ClosePromptAnswers) {
  edit();
  TChildForm* child = form->activeDocument();
  const QString caption = child->caption();

  ui.answers = {QMessageBox::Cancel};
  EXPECT_FALSE(form->closeAll());
  ASSERT_EQ(ui.questions.size(), 1);
  EXPECT_EQ(ui.questions[0], "VEXAL|" + caption + "         Save before to quit ?    ");
  EXPECT_EQ(form->documents().size(), 1);

  // Yes with a cancelled Save dialog: still modified, so it stays open.
  ui.answers = {QMessageBox::Yes};
  EXPECT_FALSE(form->closeAll());
  EXPECT_EQ(form->documents().size(), 1);

  // Yes with a name: saved natively, then closed.
  ui.saveAs = folder.filePath("saved.vxl");
  ui.answers = {QMessageBox::Yes};
  EXPECT_TRUE(form->closeAll());
  EXPECT_TRUE(form->documents().isEmpty());
  EXPECT_TRUE(QFile::exists(ui.saveAs));
  ASSERT_FALSE(form->history().entries().empty());
  EXPECT_EQ(form->history().entries().front(), ui.saveAs.toStdString());
}

TEST_F(MainFormTest, CancelledQuitWritesNoSettings) {
  edit();
  ui.answers = {QMessageBox::Cancel};
  EXPECT_FALSE(form->quit());
  EXPECT_FALSE(QFile::exists(form->settingsPath()));
  ui.answers = {QMessageBox::No};
  EXPECT_TRUE(form->quit());
  EXPECT_TRUE(QFile::exists(form->settingsPath()));
  EXPECT_TRUE(QFile::exists(form->shortcutPath()));
}

TEST_F(MainFormTest, WindowMenuListsTheDocumentsAndTheActiveOneIsChecked) {
  form->openByName(QString(), 0);
  form->openByName(QString(), 0);
  auto* menu = form->findChild<QMenu*>("WindowItem");
  ASSERT_NE(menu, nullptr);
  // The captions and check marks of the list, as the menu shows them.
  const auto listed = [&] {
    emit menu->aboutToShow();
    QStringList items;
    bool pastCommands = false;
    for (QAction* action : menu->actions()) {
      if (action->objectName() == "WindowMinimizeItem") pastCommands = true;
      if (!pastCommands || action->isSeparator() || !action->objectName().startsWith("WindowList"))
        continue;
      items << action->text() + (action->isChecked() ? " +" : "");
    }
    return items;
  };
  EXPECT_EQ(listed(), (QStringList{"&1 Vxl1.vxl", "&2 Vxl2.vxl", "&3 Vxl3.vxl +"}));
  // Opening the menu twice does not pile items up; choosing one activates it.
  EXPECT_EQ(listed().size(), 3);
  form->findChild<QAction*>("WindowListItem1")->trigger();
  EXPECT_EQ(form->activeDocument()->caption(), "Vxl1.vxl");
  EXPECT_EQ(listed(), (QStringList{"&1 Vxl1.vxl +", "&2 Vxl2.vxl", "&3 Vxl3.vxl"}));
  ui.answers.assign(5, QMessageBox::No);
  ASSERT_TRUE(form->closeAll());
  EXPECT_TRUE(listed().isEmpty());
}

TEST_F(MainFormTest, AModifiedDocumentShowsTheModifiedMark) {
  TChildForm* child = form->activeDocument();
  ASSERT_NE(child, nullptr);
  EXPECT_FALSE(child->isWindowModified());
  EXPECT_TRUE(child->windowTitle().endsWith("[*]")) << child->windowTitle().toStdString();
  edit();
  EXPECT_TRUE(child->isWindowModified());
  // The close question names the document without the mark.
  ui.answers = {QMessageBox::Cancel};
  child->parentWidget()->close();
  ASSERT_FALSE(ui.questions.isEmpty());
  EXPECT_TRUE(ui.questions.back().startsWith("VEXAL|Vxl1.vxl         Save")) << ui.questions.back().toStdString();
  // Maximised, the frame's title carries the document's caption and mark.
  form->show();
  child->parentWidget()->showMaximized();
  QApplication::processEvents();
  EXPECT_TRUE(form->windowTitle().contains("Vxl1.vxl[*]")) << form->windowTitle().toStdString();
  EXPECT_TRUE(form->isWindowModified());
  // Saved, the mark goes.
  ui.saveAs = folder.filePath("saved.vxl");
  form->action("FileSaveItem")->trigger();
  EXPECT_FALSE(child->isWindowModified());
  EXPECT_FALSE(form->isWindowModified());
}

TEST_F(MainFormTest, EveryDialogAndToolWindowFitsA1024By768Screen) {
  // The frame's title bar and the desktop's panel take some of the height.
  const QSize room(1024, 768 - 60);
  TShortCutForm shortcuts(form.get(), DefaultShortcuts());
  TAboutBox about(form.get(), 0, 0);
  int windows = 0;
  for (QWidget* widget : form->findChildren<QWidget*>()) {
    if (!widget->isWindow() || qobject_cast<QMenu*>(widget)) continue;
    ++windows;
    const QSize size = widget->sizeHint().expandedTo(widget->minimumSizeHint());
    EXPECT_LE(size.width(), room.width()) << widget->windowTitle().toStdString();
    EXPECT_LE(size.height(), room.height()) << widget->windowTitle().toStdString();
  }
  EXPECT_GE(windows, 15);
}

TEST_F(MainFormTest, SettingsGoToTheConfigFolderWithTheLastDialogFolder) {
  const QString models = folder.filePath("models");
  ASSERT_TRUE(QDir().mkpath(models));
  ui.saveAs = models + "/kept.vxl";
  ui.answers = {QMessageBox::Yes};
  edit();
  ASSERT_TRUE(form->quit());
  EXPECT_EQ(form->settingsPath(), folder.filePath("config/vexal/vexal.ini"));
  EXPECT_EQ(form->shortcutPath(), folder.filePath("config/vexal/vexal.kbd"));
  EXPECT_FALSE(QFile::exists(folder.filePath("vexal.ini")));
  EXPECT_FALSE(QFile::exists(folder.filePath("vexal.kbd")));
  Settings saved;
  ASSERT_TRUE(LoadSettings(form->settingsPath().toStdString(), saved, nullptr));
  EXPECT_EQ(saved.LastFolder, models.toStdString());

  // The next run's dialogs start there; opening elsewhere moves it.
  auto next = std::make_unique<TMainForm>(folder.filePath("vexal"), &ui);
  next->startUp({});
  EXPECT_EQ(ui.lastFolder(), models);
  ASSERT_TRUE(QDir().mkpath(folder.filePath("elsewhere")));
  ui.openPath = folder.filePath("elsewhere/copy.vxl");
  ASSERT_TRUE(QFile::copy(ui.saveAs, ui.openPath));
  next->action("FileOpenItem")->trigger();
  EXPECT_EQ(ui.lastFolder(), folder.filePath("elsewhere"));
  ui.answers.assign(20, QMessageBox::No);
  ASSERT_TRUE(next->quit());
}

TEST_F(MainFormTest, ImagesGoToTheViewerModelsToDocuments) {
  const QString png = folder.filePath("picture.png");
  QImage image(20, 10, QImage::Format_ARGB32);
  image.fill(QColor(10, 20, 30, 128));
  ASSERT_TRUE(image.save(png));
  const auto before = form->documents().size();
  form->openByName(png, 0);
  EXPECT_EQ(form->viewerCount(), 1);
  EXPECT_EQ(form->documents().size(), before);
  EXPECT_TRUE(form->history().entries().empty());

  // A native document goes to a window and into the history.
  const QString vxl = folder.filePath("cube.vxl");
  {
    Document document;
    SetDefaultObject(document.model);
    FormatContext context;
    ASSERT_EQ(SaveNativeFile(document, vxl.toStdString(), context), 1) << context.reason;
  }
  form->openByName(vxl, 0);
  EXPECT_EQ(form->documents().size(), before + 1);
  EXPECT_EQ(form->activeDocument()->caption(), vxl);
  EXPECT_EQ(form->history().entries().front(), vxl.toStdString());

  // Neither: a failed open warns and leaves no window behind.
  const QString junk = folder.filePath("junk.bin");
  QFile file(junk);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("not a model");
  file.close();
  {
    const ScopedMessageLanguage japanese(MessageLanguage::kJapanese);
    form->openByName(junk, 0);
    QApplication::processEvents();
  }
  EXPECT_EQ(form->documents().size(), before + 1);
  ASSERT_EQ(ui.warnings.size(), 1);
  EXPECT_TRUE(ui.warnings[0].startsWith("Vexal|ﾌｧｲﾙｵｰﾌﾟﾝ失敗:"));
}

TEST_F(MainFormTest, ViewSwitchesToggleTheActiveDocument) {
  TChildForm* child = form->activeDocument();
  SCENE& scene = child->document().scene;
  const int perspective = scene.perspectiveDefault;
  form->action("PerspItem")->trigger();
  EXPECT_EQ(scene.perspective, 1 - perspective);
  EXPECT_EQ(form->action("PerspItem")->isChecked(), scene.perspectiveDefault == 0);
  form->action("PerspItem")->trigger();
  EXPECT_EQ(scene.perspective, perspective);
  form->action("ViewMode1Item")->trigger();
  EXPECT_EQ(scene.viewMode, 0);
  EXPECT_TRUE(form->action("ViewMode1Item")->isChecked());
  EXPECT_FALSE(form->action("ViewMode3Item")->isChecked());
  const int grid = scene.showGrid;
  form->action("GridItem")->trigger();
  EXPECT_EQ(scene.showGrid, 1 - grid);
  // The software view draws the model: the background is not all there is.
  const QImage frame = child->renderImage();
  ASSERT_FALSE(frame.isNull());
  const QRgb background = frame.pixel(0, 0);
  int other = 0;
  for (int y = 0; y < frame.height(); ++y) {
    for (int x = 0; x < frame.width(); ++x) other += frame.pixel(x, y) != background;
  }
  EXPECT_GT(other, 50);
}

TEST_F(MainFormTest, ToolButtonsAndMouseEventsReachTheDocumentsTool) {
  TChildForm* child = form->activeDocument();
  Document& document = child->document();
  form->action("CameraBtn")->trigger();
  EXPECT_EQ(document.mode.tool, kToolCamera);
  EXPECT_TRUE(form->action("CameraBtn")->isChecked());
  EXPECT_TRUE(form->action("CameraItem")->isChecked());
  // The Qt events of the view: a drag 30 pixels right turns the camera.
  QWidget* view = child->findChild<ViewWidget*>();
  if (document.scene.useGL && child->glView()) view = child->glView();
  ASSERT_NE(view, nullptr);
  const float before = document.scene.angle.y;
  auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, at, view->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(view, &event);
  };
  send(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseMove, {130, 100}, Qt::NoButton, Qt::LeftButton);
  EXPECT_FLOAT_EQ(document.scene.angle.y, before - 30);
  send(QEvent::MouseButtonRelease, {130, 100}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(document.mode.state, 0);
  // A command whose rule is not met stays disabled; the navigation ones work.
  EXPECT_FALSE(form->action("AttachItem")->isEnabled());
  EXPECT_TRUE(form->action("ObjectAllItem")->isEnabled());
  EXPECT_TRUE(form->action("ZoomBtn")->isEnabled());

  // The Move tool: the pointer is a cross over a selected point only.
  ASSERT_TRUE(form->action("MoveBtn")->isEnabled());
  form->action("MoveBtn")->trigger();
  EXPECT_EQ(document.mode.tool, kToolMove);
  Model& model = document.model;
  model.points[1].state = kStateSelected;
  RefreshSelection(document);
  const VECTOR selected = ProjectPoint(document, model.points[1].position, true);
  send(QEvent::MouseMove, {selected.x, selected.y}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(view->cursor().shape(), Qt::CrossCursor);
  send(QEvent::MouseMove, {2, 2}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MainFormTest, CtrlDeleteRemovesChainPointsAndNothingElseOwnsTheKey) {
  form->show();
  form->activateWindow();
  QApplication::processEvents();
  TChildForm* child = form->activeDocument();
  ASSERT_NE(child, nullptr);
  Document& document = child->document();
  // A poly-line 1-2-3 with its middle point selected.
  Model& model = document.model;
  ClearModel(model);
  SetPoint(model, 1, 0, 0, 0, kStateNormal, 0);
  SetPoint(model, 2, 1, 1, 0, kStateSelected, 0);
  SetPoint(model, 3, 2, 0, 0, kStateNormal, 0);
  model.pointCount = 3;
  SetLine(model, 1, 1, 2, 0);
  SetLine(model, 2, 2, 3, 0);
  model.lineCount = 2;
  RefreshSelection(document);
  PushUndo(document, 1);
  form->refreshMenuState();
  // Even with both items enabled the key reaches exactly one of them.
  form->action("ClearUVItem")->setEnabled(true);
  EXPECT_EQ(form->action("DeleteLinePointItem")->shortcut(), QKeySequence("Ctrl+Del"));
  EXPECT_TRUE(form->action("ClearUVItem")->shortcut().isEmpty());
  QTest::keyClick(child, Qt::Key_Delete, Qt::ControlModifier);
  QApplication::processEvents();
  EXPECT_EQ(model.pointCount, 2);
  EXPECT_EQ(model.lineCount, 1);
}

TEST_F(MainFormTest, PaletteWindowChoosesTheEntryAndTheColourDialogWritesIt) {
  Document& document = form->activeDocument()->document();
  TPaletteForm* palette = form->paletteWindow();
  ASSERT_NE(palette, nullptr);
  palette->resize(160, 80);
  form->action("PaletteWindowItem")->trigger();
  EXPECT_TRUE(palette->isVisible());
  auto press = [&](QPointF at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    QMouseEvent down(QEvent::MouseButtonPress, at, palette->mapToGlobal(at), button, button,
                     modifiers);
    QApplication::sendEvent(palette, &down);
  };
  press({95, 40}, Qt::LeftButton, Qt::NoModifier);  // column 9 of 16
  EXPECT_EQ(document.scene.paletteIndex, 9);
  EXPECT_EQ(palette->panel().column, 9);
  form->action("LeftMovePalItem")->trigger();
  EXPECT_EQ(palette->panel().column, 8);
  // The window paints the ramps: column 9 (black) is dark at its top.
  const QImage shot = palette->grab().toImage();
  EXPECT_EQ(QColor(shot.pixel(95, 2)).red(), 0);

  TColorForm dialog(palette, form.get(), document, 3);
  dialog.findChild<QLineEdit*>("OpacityEdit")->setText("300");
  dialog.findChild<QLineEdit*>("NameEdit")->setText("");
  dialog.findChild<QLineEdit*>("TextureEdit")->setText("wood.png");
  dialog.findChild<QPushButton*>("HalfButton")->click();
  const int depth = document.undo.undoDepth;
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const MATERIAL& entry = document.model.materials[3];
  EXPECT_EQ(entry.light[3], 255);
  EXPECT_EQ(TextOf(entry.name), "mat_03");
  EXPECT_EQ(TextOf(entry.texture), "wood.png");
  EXPECT_EQ(entry.dark[0], 255 >> 1);
  EXPECT_EQ(document.undo.undoDepth, depth + 1);
}

TEST_F(MainFormTest, CopyInOneDocumentPastesIntoAnother) {
  TChildForm* first = form->activeDocument();
  Document& source = first->document();
  source.model.points[1].state = kStateSelected;
  RefreshSelection(source);
  form->refreshMenuState();
  EXPECT_FALSE(form->action("PasteItem")->isEnabled());
  form->action("CopyItem")->trigger();
  EXPECT_TRUE(form->action("PasteItem")->isEnabled());
  form->openByName(QString(), 0);
  QApplication::processEvents();
  TChildForm* second = form->activeDocument();
  ASSERT_NE(second, first);
  form->refreshMenuState();
  ASSERT_TRUE(form->action("PasteItem")->isEnabled());
  form->action("PasteItem")->trigger();
  EXPECT_EQ(second->document().model.pointCount, 8 + 2);
  EXPECT_EQ(second->document().scene.selectedCount, 2);
}

}  // namespace
}  // namespace vexal::app


namespace vexal::app {
namespace {

TEST(ViewerForm, CaptionAlphaViewAndZoomLimits) {
  Application();
  QTemporaryDir folder;
  const QString path = folder.filePath("rgba.png");
  QImage image(100, 50, QImage::Format_ARGB32);
  image.fill(QColor(200, 100, 50, 77));
  ASSERT_TRUE(image.save(path));

  auto* viewer = new TViewerForm(nullptr);
  ASSERT_TRUE(viewer->showImageFile(path));
  EXPECT_EQ(viewer->windowTitle(), path + " [ 100x50 ] (32 bit)");
  EXPECT_EQ(viewer->clientSize(), QSize(144, 80));
  ASSERT_TRUE(viewer->hasAlpha());
  viewer->showAlpha();
  EXPECT_TRUE(viewer->showingAlpha());
  for (int i = 0; i < 12; ++i) viewer->grow();
  EXPECT_EQ(viewer->level(), 8);
  EXPECT_EQ(viewer->clientSize(), QSize(784, 416));
  for (int i = 0; i < 12; ++i) viewer->shrink();
  EXPECT_EQ(viewer->level(), 0);

  const QString text = folder.filePath("notes.txt");
  QFile file(text);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("hello");
  file.close();
  EXPECT_FALSE(viewer->showImageFile(text));
  EXPECT_EQ(viewer->windowTitle(), text);
  delete viewer;
}

}  // namespace
}  // namespace vexal::app


namespace vexal::app {
namespace {

TEST(QtCanvas, ThinLinesLeaveOutTheirLastPixelClipAndInvertBack) {
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(QColor(161, 161, 161));
  const QImage before = image.copy();
  {
    QtCanvas canvas(image);
    canvas.setPen(0x0000FF, 1, PenMode::kCopy);  // red, as 0x00BBGGRR
    canvas.line(10, 10, 20, 10);
    canvas.line(-1000000, 5, 1000000, 5);  // far ends are clipped
  }
  EXPECT_EQ(image.pixelColor(10, 10), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(19, 10), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(20, 10), QColor(161, 161, 161));
  for (int x = 0; x < 40; ++x) ASSERT_EQ(image.pixelColor(x, 5), QColor(255, 0, 0)) << x;

  image = before.copy();
  {
    QtCanvas canvas(image);
    canvas.setPen(0, 1, PenMode::kInvert);
    canvas.line(3, 2, 35, 27);
    EXPECT_EQ(image.pixelColor(3, 2), QColor(94, 94, 94));
    canvas.line(3, 2, 35, 27);
  }
  EXPECT_EQ(image, before);
}

// The window's canvas and the off-screen one set the same pixels for the
// same one-pixel lines, near and far.
TEST(QtCanvas, DrawsTheSameLinesAsTheOffscreenCanvas) {
  QImage image(50, 40, QImage::Format_RGB32);
  image.fill(Qt::black);
  ImageCanvas offscreen(50, 40);
  offscreen.fillRect(0, 0, 50, 40, 0);
  const int lines[][4] = {{0, 0, 49, 39},   {3, 30, 47, 2},     {25, 20, 25, 20},
                          {-80, 7, 90, 33}, {10, -1000000, 11, 1000000},
                          {49, 39, 0, 0},   {5, 17, 44, 18}};
  {
    QtCanvas canvas(image);
    canvas.setPen(0xFFFFFF, 1, PenMode::kCopy);
    offscreen.setPen(0xFFFFFF, 1, PenMode::kCopy);
    for (const auto& l : lines) {
      canvas.line(l[0], l[1], l[2], l[3]);
      offscreen.line(l[0], l[1], l[2], l[3]);
    }
  }
  int lit = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 50; ++x) {
      const bool window = image.pixelColor(x, y) == QColor(Qt::white);
      ASSERT_EQ(window, offscreen.image().row(y)[x * 3] == 0xFF) << x << "," << y;
      lit += window;
    }
  }
  EXPECT_GT(lit, 150);
}

}  // namespace
}  // namespace vexal::app

namespace vexal::app {
namespace {

// The Grid window opens from the Window menu, normalises what is typed
// into the settings, and Apply snaps the active document's selection.
TEST_F(MainFormTest, GridWindowStoresItsFieldsAndAppliesToTheActiveDocument) {
  Document& document = form->activeDocument()->document();
  document.model.points[1].state = kStateSelected;
  RefreshSelection(document);
  form->action("GirdWindowItem")->trigger();
  QWidget* grid = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->windowTitle() == "Grid") grid = window;
  }
  ASSERT_NE(grid, nullptr);
  EXPECT_TRUE(grid->isVisible());
  auto* width = grid->findChild<QLineEdit*>("WidthX");
  ASSERT_NE(width, nullptr);
  width->setText("0.3");
  emit width->editingFinished();
  grid->findChild<QLineEdit*>("WidthY")->setText("not a number");
  emit grid->findChild<QLineEdit*>("WidthY")->editingFinished();
  EXPECT_FLOAT_EQ(form->workspace().settings.GridWidthX, 0.3f);
  EXPECT_EQ(grid->findChild<QLineEdit*>("WidthY")->text(), "0.125");
  const float x = document.model.points[1].position.x;
  QPushButton* apply = grid->findChild<QPushButton*>();
  ASSERT_NE(apply, nullptr);
  apply->click();
  EXPECT_FLOAT_EQ(document.model.points[1].position.x, std::round(x / 0.3f) * 0.3f);
  EXPECT_EQ(document.undo.undoDepth, 1);
}

}  // namespace
}  // namespace vexal::app

// The tool windows and dialogs of the generators, projections and options.
namespace vexal::app {
namespace {

template <typename T>
T* Child(QWidget* window, const QString& name) {
  T* child = window->findChild<T*>(name);
  EXPECT_NE(child, nullptr) << name.toStdString();
  return child;
}

TEST_F(MainFormTest, PrimitiveButtonsAndThePipeWindowEditTheActiveDocument) {
  Document& document = form->activeDocument()->document();
  form->action("PrimitiveWindowItem")->trigger();
  EXPECT_TRUE(form->primitiveForm()->isVisible());
  Child<QPushButton>(form->primitiveForm(), "sphere1Btn")->click();
  EXPECT_EQ(document.model.pointCount, 8 + 32);
  EXPECT_EQ(document.scene.selectedCount, 32);
  EXPECT_TRUE(form->action("UndoItem")->isEnabled());
  EXPECT_TRUE(form->action("PipeItem")->isEnabled());
  EXPECT_TRUE(form->action("ClearUVItem")->isEnabled());

  form->action("PipeWindowItem")->trigger();
  auto* segments = Child<NumberEdit>(form->pipeForm(), "SegmentEdit");
  auto* radius = Child<NumberEdit>(form->pipeForm(), "RadiusEdit");
  EXPECT_EQ(segments->text(), "6");
  segments->setText("2");
  segments->normalize();
  radius->setText("abc");
  radius->normalize();
  EXPECT_EQ(segments->text(), "3");
  EXPECT_EQ(radius->text(), "0.125");
  EXPECT_EQ(form->settings().PipeSegment, 3);
  // A sphere has no chain ends or plain loops: Apply only deselects.
  Child<QPushButton>(form->pipeForm(), "ApplyBtn")->click();
  EXPECT_EQ(document.model.pointCount, 40);
  EXPECT_EQ(document.scene.selectedCount, 0);

  form->action("ProjectionWindowItem")->trigger();
  EXPECT_TRUE(form->projectionForm()->isVisible());
  form->showInformation();
  EXPECT_EQ(form->informationForm()->text(),
            "Total Vertex : 40\nTotal Edge : 74\nTotal Polygon : 64 (\u25A1 26 \u25B3 12)\n"
            "Dummy Polygon : 0");
}

TEST_F(MainFormTest, ToolWindowsKeepTheirPlacesAndResetMovesThem) {
  form->settings().ShowPipeWindow = 1;
  form->pipeForm()->show();
  form->pipeForm()->move(40, 50);
  form->primitiveForm()->hide();
  form->settings().UseAngleSmooth = 0;
  form->applyOptions();
  EXPECT_FALSE(form->activeDocument()->document().useAngleSmooth);
  ASSERT_TRUE(form->quit());
  Settings saved;
  ASSERT_TRUE(LoadSettings(form->settingsPath().toStdString(), saved, nullptr));
  EXPECT_EQ(saved.ShowPipeWindow, 1);
  EXPECT_EQ(saved.ShowPrimitiveWindow, 0);
  EXPECT_EQ(saved.PipeLeft, form->pipeForm()->pos().x());
  EXPECT_EQ(saved.PipeTop, form->pipeForm()->pos().y());
  EXPECT_EQ(saved.UseAngleSmooth, 0);

  // The next run puts the pipe window back where it was, shown.
  auto next = std::make_unique<TMainForm>(folder.filePath("vexal"), &ui);
  next->startUp({});
  QApplication::processEvents();
  EXPECT_TRUE(next->pipeForm()->isVisible());
  EXPECT_FALSE(next->primitiveForm()->isVisible());
  EXPECT_EQ(next->pipeForm()->pos(), QPoint(saved.PipeLeft, saved.PipeTop));
  EXPECT_EQ(next->locateForm()->height(), 128);
  next->resetSubWindows();
  EXPECT_EQ(next->locateForm()->geometry(), QRect(726, 100, 200, 118));
  EXPECT_NE(next->pipeForm()->pos(), QPoint(saved.PipeLeft, saved.PipeTop));
  // New windows of the next run take the smoothing option.
  EXPECT_FALSE(next->activeDocument()->document().useAngleSmooth);
  ui.answers.assign(20, QMessageBox::No);
  next->quit();
}

TEST_F(MainFormTest, EnterANumberOpensThroughTheDispatcherAndItsGoFieldsFollowThePivot) {
  Document& document = form->activeDocument()->document();
  ClearModel(document.model);
  SetPoint(document.model, 1, 1, 2, 3, kStateSelected, 0);
  SetPoint(document.model, 2, 3, 2, 3, kStateSelected, 0);
  document.model.pointCount = 2;
  RefreshSelection(document);
  ResetUndo(document);
  ASSERT_TRUE(form->command("NumericWindowItem").ok());
  TNumericForm* numeric = form->numericForm();
  ASSERT_TRUE(numeric->isVisible());
  EXPECT_EQ(numeric->windowTitle(), "Enter A Number");
  EXPECT_EQ(Child<NumberEdit>(numeric, "ScaleX")->text(), "100");

  Child<NumberEdit>(numeric, "GoX")->setText("0.5");
  Child<NumberEdit>(numeric, "GoZ")->setText("not a number");
  Child<QPushButton>(numeric, "ApplyBtn")->click();
  EXPECT_EQ(document.model.points[1].position, VECTOR(1.5f, 2, 3));
  EXPECT_EQ(document.undo.undoDepth, 1);
  EXPECT_EQ(Child<NumberEdit>(numeric, "GoZ")->text(), "0");

  // Placing: the fields show the pivot and follow it through Undo.
  auto* place = Child<QCheckBox>(numeric, "PlaceNewCoordinateCheck");
  place->click();
  EXPECT_FALSE(Child<QCheckBox>(numeric, "MoveUsingViewCheck")->isEnabled());
  EXPECT_EQ(Child<NumberEdit>(numeric, "GoX")->text(), "2.500000");
  form->action("UndoItem")->trigger();
  EXPECT_EQ(Child<NumberEdit>(numeric, "GoX")->text(), "2.000000");
  Child<QPushButton>(numeric, "DefaultBtn")->click();
  EXPECT_FALSE(place->isChecked());
  EXPECT_TRUE(Child<QCheckBox>(numeric, "MoveUsingViewCheck")->isEnabled());

  ui.answers.assign(20, QMessageBox::No);
  ASSERT_TRUE(form->quit());
  Settings saved;
  ASSERT_TRUE(LoadSettings(form->settingsPath().toStdString(), saved, nullptr));
  EXPECT_EQ(saved.ShowNumericWindow, 1);
  EXPECT_EQ(saved.NumericLeft, numeric->pos().x());
}

// The Add Primitive, Pipe and UV Projection windows' buttons and the apply
// steps --primitive, --pipe and --uv run the same commands: the same steps
// on a core document give the window's document record for record.
TEST_F(MainFormTest, WindowButtonsAndApplyStepsMakeTheSameModel) {
  Document& document = form->activeDocument()->document();
  auto core = testing::DocumentWith([&](Model& model) { testing::CopyLive(document.model, model); });
  core->scene.paletteIndex = document.scene.paletteIndex;
  core->useAngleSmooth = document.useAngleSmooth;
  Workspace workspace;
  CommandTarget target;
  target.document = core.get();
  target.documentCount = 1;
  target.workspace = &workspace;
  const auto step = [&](const char* option, const char* value) {
    std::vector<ApplyStep> steps;
    std::string error;
    ASSERT_TRUE(ParseApplySteps({option, value}, steps, error)) << error;
    ASSERT_EQ(RunApplyStep(target, steps[0]), std::nullopt) << option;
    EXPECT_TRUE(testing::SameRecords(document.model, core->model)) << option << " " << value;
  };

  form->action("PrimitiveWindowItem")->trigger();
  Child<QPushButton>(form->primitiveForm(), "cylinder2Btn")->click();
  step("--primitive", "cylinder2");

  form->action("PipeWindowItem")->trigger();
  Child<NumberEdit>(form->pipeForm(), "SegmentEdit")->setText("5");
  Child<NumberEdit>(form->pipeForm(), "RadiusEdit")->setText("0.3");
  Child<NumberEdit>(form->pipeForm(), "OffsetEdit")->setText("400");
  Child<QPushButton>(form->pipeForm(), "ApplyBtn")->click();
  step("--pipe", "5,0.3,400");
  EXPECT_EQ(form->settings().PipeOffset, workspace.settings.PipeOffset);

  form->action("SelectAllItem")->trigger();
  step("--run", "SelectAllItem");
  form->action("ProjectionWindowItem")->trigger();
  const int depth = document.undo.undoDepth;
  Child<QPushButton>(form->projectionForm(), "ApplyBtn")->click();
  EXPECT_EQ(document.undo.undoDepth, depth + 1);
  step("--uv", "flat,x");
  EXPECT_EQ(document.undo.undoDepth, core->undo.undoDepth);
}

TEST_F(MainFormTest, EveryMainMenuItemHasItsCode) {
  // Items still handled elsewhere are built by other changes; these are
  // the ones of the generators, projections and dialogs.
  for (const char* name : {"PipeItem", "ClearUVItem", "PipeWindowItem", "ProjectionWindowItem",
                           "PrimitiveWindowItem", "PictureWindowItem", "SetSystemItem",
                           "SetFormatItem", "SetShortCutItem", "UtilityItem",
                           "ResetSubWindowItem"}) {
    EXPECT_NE(FindCommandDefinition(name), nullptr) << name;
    EXPECT_TRUE(form->action(name)->isEnabled() || std::string(name) == "PipeItem" ||
                std::string(name) == "ClearUVItem")
        << name;
  }
}

TEST_F(MainFormTest, BackgroundPictureOKStoresTheWindowsValuesInTheDocument) {
  Document& document = form->activeDocument()->document();
  bool ran = false;
  QTimer::singleShot(0, [&] {
    QDialog* dialog = form->findChild<QDialog*>("PictureForm");
    ASSERT_NE(dialog, nullptr);
    const auto edits = dialog->findChildren<QLineEdit*>();
    ASSERT_GE(edits.size(), 5);
    edits[1]->setText("side.png");  // the Y axis path
    for (QLineEdit* edit : edits) {
      if (auto* number = qobject_cast<NumberEdit*>(edit)) number->setText("0");
    }
    ran = true;
    dialog->accept();
  });
  form->action("PictureWindowItem")->trigger();
  ASSERT_TRUE(ran);
  EXPECT_EQ(TextOf(document.model.pictures[1].path), "side.png");
  // Scale and depth of 0 read as their defaults.
  EXPECT_EQ(document.scene.pictureScale, 1.0f);
  EXPECT_EQ(document.scene.pictureDepth, 2.0f);
}

TEST(OptionForm, BoxesShowTheSettingsWithTwoInvertedAndStoreThemBack) {
  Application();
  TOptionForm dialog(nullptr);
  Settings settings;
  settings.UseSelectFace = 1;
  settings.WindowBGColor = 0x00112233;
  dialog.load(settings);
  QCheckBox* orthogonal = nullptr;
  QCheckBox* lassoFace = nullptr;
  QCheckBox* smoothing = nullptr;
  for (QCheckBox* box : dialog.findChildren<QCheckBox*>()) {
    if (box->text() == "Start in orthographic projection") orthogonal = box;
    if (box->text() == "Lasso tool: a click picks points and lines only, never a surface")
      lassoFace = box;
    if (box->text() == "Smooth only across edges within the smoothing angle") smoothing = box;
  }
  ASSERT_TRUE(orthogonal && lassoFace && smoothing);
  EXPECT_FALSE(orthogonal->isChecked());  // Perspective = 1
  EXPECT_FALSE(lassoFace->isChecked());   // UseSelectFace = 1
  EXPECT_TRUE(smoothing->isChecked());
  orthogonal->setChecked(true);
  smoothing->setChecked(false);
  Settings stored;
  dialog.store(stored);
  EXPECT_EQ(stored.Perspective, 0);
  EXPECT_EQ(stored.UseSelectFace, 1);
  EXPECT_EQ(stored.UseAngleSmooth, 0);
  EXPECT_EQ(stored.WindowBGColor, 0x00112233);
  EXPECT_EQ(stored.CellEdgeNormalWidth, 2.0f);
}

TEST_F(MainFormTest, ANewDocumentComesToTheFrontMaximisedLikeTheOneBefore) {
  TChildForm* first = form->activeDocument();
  auto* firstSub = qobject_cast<QMdiSubWindow*>(first->parentWidget());
  ASSERT_NE(firstSub, nullptr);
  firstSub->showMaximized();
  QApplication::processEvents();
  const QString vxl = folder.filePath("second.vxl");
  {
    Document document;
    SetDefaultObject(document.model);
    FormatContext context;
    ASSERT_EQ(SaveNativeFile(document, vxl.toStdString(), context), 1) << context.reason;
  }
  for (const QString& path : {vxl, QString()}) {
    form->openByName(path, 0);
    QApplication::processEvents();
    TChildForm* opened = form->activeDocument();
    ASSERT_NE(opened, first);
    if (!path.isEmpty()) {
      EXPECT_EQ(opened->caption(), vxl);
    }
    auto* sub = qobject_cast<QMdiSubWindow*>(opened->parentWidget());
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->isMaximized()) << path.toStdString();
    first = opened;
  }
}

TEST_F(MainFormTest, CascadeKeepsEachWindowsSizeAndStepsThePlaces) {
  form->resize(1000, 720);
  form->show();  // the frame lays out its document area
  form->openByName(QString(), 0);
  QApplication::processEvents();
  QList<QMdiSubWindow*> subs;
  for (TChildForm* child : form->documents()) {
    subs << qobject_cast<QMdiSubWindow*>(child->parentWidget());
  }
  ASSERT_EQ(subs.size(), 2);
  subs[0]->resize(500, 300);
  subs[1]->showMaximized();
  QApplication::processEvents();
  form->action("WindowCascadeItem")->trigger();
  QApplication::processEvents();
  EXPECT_FALSE(subs[1]->isMaximized());
  EXPECT_EQ(subs[0]->size(), QSize(500, 300));
  EXPECT_EQ(subs[1]->size(), QSize(444 + 8, 317 + 30));
  EXPECT_EQ(subs[0]->pos(), QPoint(0, 0));
  EXPECT_GT(subs[1]->pos().x(), 0);
  EXPECT_EQ(subs[1]->pos().x(), subs[1]->pos().y());
  // The active window stays active, on top of the cascade.
  EXPECT_EQ(form->activeDocument(), subs[1]->widget());
}

TEST_F(MainFormTest, MenuItemsCarryTheirHintsToTheStatusBar) {
  for (const auto& [name, hint] : {std::pair<QString, QString>{"LoopAttachItem", "Combined continuous surface"},
                                   {"PipeItem", "Create a pipe around a edge"},
                                   {"MoveItem", "Move"}}) {
    QAction* item = form->action(name);
    ASSERT_NE(item, nullptr) << name.toStdString();
    EXPECT_EQ(item->statusTip(), hint);
    // What a menu does when the pointer rests on one of its items.
    item->showStatusText(form.get());
    EXPECT_EQ(form->statusBar()->currentMessage(), hint);
  }
}

TEST_F(MainFormTest, TheShortcutListShowsTheKeysBoundWhenItOpens) {
  auto pageOnOpening = [&] {
    QString page;
    QTimer::singleShot(0, [&] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        if (auto* browser = dialog->findChild<QTextBrowser*>()) page = browser->toPlainText();
        dialog->close();
      }
    });
    form->action("ViewShortCutItem")->trigger();
    return page;
  };
  EXPECT_TRUE(pageOnOpening().contains("Ctrl+N\nNew"));
  for (ShortcutEntry& entry : form->shortcuts()) {
    if (entry.name == "FileNewItem") entry.value = kShortcutShift | kShortcutCtrl | 'K';
  }
  const QString page = pageOnOpening();
  EXPECT_TRUE(page.contains("Shift+Ctrl+K\nNew")) << page.toStdString();
  EXPECT_FALSE(page.contains("Ctrl+N\nNew"));
}

TEST_F(MainFormTest, ShowOnATextureThatIsNoImageOpensTheViewerNotADocument) {
  const QString notes = folder.filePath("notes.txt");
  {
    QFile file(notes);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");  // a model, not an image
  }
  const auto documents = form->documents().size();
  TColorForm dialog(form.get(), form.get(), form->activeDocument()->document(), 2);
  dialog.findChild<QLineEdit*>("TextureEdit")->setText(notes);
  QPushButton* show = nullptr;
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    if (button->text() == "Show") show = button;
  }
  ASSERT_NE(show, nullptr);
  show->click();
  QApplication::processEvents();
  EXPECT_EQ(form->documents().size(), documents);
  EXPECT_TRUE(ui.warnings.isEmpty()) << ui.warnings.join("; ").toStdString();
  EXPECT_EQ(form->viewerCount(), 1);
  TViewerForm* viewer = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* found = qobject_cast<TViewerForm*>(window); found && found->isVisible()) viewer = found;
  }
  ASSERT_NE(viewer, nullptr);
  EXPECT_EQ(viewer->windowTitle(), notes);
  bool unsupportedShown = false;
  for (QLabel* label : viewer->findChildren<QLabel*>()) {
    unsupportedShown |= label->text() == "This file is not supported" && label->isVisible();
  }
  EXPECT_TRUE(unsupportedShown);
  viewer->close();
}

// Answers the recovery window with Recover for every row.
class RecoveringUserInterface : public ScriptedUserInterface {
 public:
  RecoveryChoice chooseRecovery(QWidget*, const std::vector<RecoveryEntry>& entries) override {
    offered += entries.size();
    RecoveryChoice choice;
    choice.action = RecoveryChoice::Action::kRecover;
    for (size_t i = 0; i < entries.size(); ++i) choice.rows.push_back(i);
    return choice;
  }
  size_t offered = 0;
};

// At start the copy an ended run left is offered and opens modified under
// its original path; this run's copies are written from the timer's call,
// go with a clean save and with Quit.
TEST(MainFormRecovery, OffersLeftCopiesAndKeepsItsOwnUntilSavedOrQuit) {
  Application();
  QTemporaryDir folder;
  ASSERT_TRUE(folder.isValid());
  const std::string state = folder.filePath("state").toStdString();
  const char* saved = std::getenv("XDG_STATE_HOME");
  const std::string savedState = saved ? saved : "";
  ::setenv("XDG_STATE_HOME", state.c_str(), 1);
  RecoveryFolder recovery(state + "/vexal/recovery");
  const pid_t child = ::fork();
  if (child == 0) _exit(0);
  int status = 0;
  ::waitpid(child, &status, 0);
  const std::string cubePath = folder.filePath("cube.vxl").toStdString();
  {
    auto cube = std::make_unique<Document>();
    testing::ClosedCube(cube->model);
    ASSERT_TRUE(recovery.writeCopy(*cube, {child, 1}, 1, cubePath, cubePath, 0, nullptr));
  }
  auto mine = [&] {
    std::vector<RecoveryEntry> entries;
    EXPECT_TRUE(recovery.entries(entries, nullptr));
    return entries;
  };

  RecoveringUserInterface ui;
  auto form = std::make_unique<TMainForm>(folder.filePath("vexal"), &ui);
  form->startUp({});
  QApplication::processEvents();
  EXPECT_EQ(ui.offered, 1u);
  // The recovered document takes the place of the new one.
  ASSERT_EQ(form->documents().size(), 1);
  TChildForm* recovered = form->documents()[0];
  EXPECT_EQ(recovered->document().scene.fileName, cubePath);
  EXPECT_TRUE(recovered->modified());
  EXPECT_EQ(recovered->document().model.faceCount, 6);
  EXPECT_TRUE(recovery.recoverable().empty());  // the copy is this run's now
  ASSERT_EQ(mine().size(), 1u);

  ASSERT_TRUE(recovered->save());
  EXPECT_TRUE(mine().empty());
  EXPECT_TRUE(QFile::exists(QString::fromStdString(cubePath)));

  form->openByName(QString(), 0);
  TChildForm* untitled = form->activeDocument();
  ASSERT_NE(untitled, recovered);
  Document& document = untitled->document();
  document.model.points[1].position.x += 1;
  PushUndo(document, 1);
  form->writeRecoveryCopies(true);
  ASSERT_EQ(mine().size(), 1u);
  EXPECT_EQ(mine()[0].path, "");
  EXPECT_EQ(mine()[0].name, "Vxl1.vxl");

  ui.answers.assign(20, QMessageBox::No);
  ASSERT_TRUE(form->quit());
  EXPECT_TRUE(mine().empty());
  form.reset();
  if (saved) {
    ::setenv("XDG_STATE_HOME", savedState.c_str(), 1);
  } else {
    ::unsetenv("XDG_STATE_HOME");
  }
}

// Escape over the window cancels the active document's stroke point by
// point, as the right button does; with nothing running it is left alone.
TEST_F(MainFormTest, EscapeTakesBackAStrokeOfTheActiveDocument) {
  TChildForm* child = form->activeDocument();
  ASSERT_NE(child, nullptr);
  Document& document = child->document();
  const int points = document.model.pointCount;
  SetTool(document, kToolPoint);
  for (int x : {20, 60, 100}) {
    MousePress(document, form->workspace(), {MouseButton::kLeft, 0, x, 20});
    MouseRelease(document, form->workspace(), {MouseButton::kLeft, 0, x, 20});
  }
  ASSERT_EQ(document.mode.state, 1);
  const int drawn = document.model.pointCount;
  ASSERT_GE(drawn, points + 2);
  QTest::keyClick(child, Qt::Key_Escape);
  EXPECT_EQ(document.model.pointCount, drawn - 1);
  for (int i = 0; i < 5 && document.mode.state == 1; ++i) QTest::keyClick(child, Qt::Key_Escape);
  ASSERT_EQ(document.mode.state, 0);
  const int left = document.model.pointCount;
  QTest::keyClick(child, Qt::Key_Escape);
  EXPECT_EQ(document.model.pointCount, left);
}

}  // namespace
}  // namespace vexal::app
