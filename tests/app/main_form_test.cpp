#include <gtest/gtest.h>

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
#include <deque>

#include "app/child_form.h"
#include "app/gl_view_widget.h"
#include "app/main_form.h"
#include "app/qt_canvas.h"
#include "app/viewer_form.h"
#include "formats/native_format.h"
#include "model/document.h"
#include "model/maintenance.h"

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
  QString openFileName(QWidget*, const QString&, int&) override { return {}; }
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
};

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application();
    ASSERT_TRUE(folder.isValid());
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
  EXPECT_FALSE(form->action("CutItem")->isEnabled());  // not built yet
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
  form->openByName(junk, 0);
  QApplication::processEvents();
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
  // Not built yet, a command stays disabled; the navigation ones work.
  EXPECT_FALSE(form->action("AttachItem")->isEnabled());
  EXPECT_TRUE(form->action("ObjectAllItem")->isEnabled());
  EXPECT_TRUE(form->action("ZoomBtn")->isEnabled());
  EXPECT_FALSE(form->action("MoveBtn")->isEnabled());
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
