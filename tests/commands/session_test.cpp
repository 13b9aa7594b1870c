// The main window's start-up and quit sequences and what it does to a
// document it makes, activates or gives new options, without a window.
#include "commands/session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "model/document.h"
#include "settings/prepare_document.h"

namespace vexal {
namespace {

namespace fs = std::filesystem;

class SessionTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = testing::TempDir() + "session_test_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    files_ = {(folder_ / "config/vexal.ini").string(), (folder_ / "config/vexal.kbd").string()};
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  fs::path folder_;
  SessionFiles files_;
};

// What quit writes is what the next start reads: the history in its order,
// the main window, the last dialog folder, a rebound shortcut; tool-window
// places never recorded get their defaults on the way.
TEST_F(SessionTest, QuitWritesWhatTheNextStartReads) {
  Settings settings;
  std::vector<ShortcutEntry> shortcuts = DefaultShortcuts();
  ASSERT_FALSE(shortcuts.empty());
  shortcuts.front().value = static_cast<ShortcutValue>(kShortcutCtrl | 'Q');
  FileHistory history;
  history.add("/m/old.vxl");
  history.add("/m/new.vxl");
  settings.GridLeft = kUnsetPlacement;
  ASSERT_EQ(SaveSession(files_, settings, shortcuts, history, {{5, 6, 700, 500}, true, false},
                        {1920, 1080}, "/m"),
            "");
  EXPECT_EQ(settings.GridLeft, (1920 - kToolWindowWidth) / 2);

  Settings next;
  std::vector<ShortcutEntry> nextShortcuts;
  FileHistory nextHistory;
  nextHistory.add("/stale.vxl");
  ASSERT_EQ(LoadSession(files_, next, nextShortcuts, nextHistory), "");
  EXPECT_EQ(nextHistory.entries(), (std::vector<std::string>{"/m/new.vxl", "/m/old.vxl"}));
  EXPECT_EQ(FileHistoryEntry(next, 2), "");
  EXPECT_EQ(next.MainState, 2);
  EXPECT_EQ(next.MainLeft, 5);
  EXPECT_EQ(next.MainHeight, 500);
  EXPECT_EQ(next.LastFolder, "/m");
  EXPECT_EQ(next.BootFirst, 1);
  EXPECT_EQ(next.GridLeft, settings.GridLeft);
  ASSERT_EQ(nextShortcuts.size(), shortcuts.size());
  EXPECT_EQ(nextShortcuts.front().value, shortcuts.front().value);
}

// Without a place for the settings only the shortcut file is written; a
// settings file that cannot be written or read is reported, and a start
// without files has the built-in settings and the default shortcuts.
TEST_F(SessionTest, MissingOrBrokenFilesAreReportedAndTheDefaultsApply) {
  Settings settings;
  const std::vector<ShortcutEntry> shortcuts = DefaultShortcuts();
  EXPECT_EQ(SaveSession({"", files_.shortcutPath}, settings, shortcuts, {}, {}, {}, ""), "");
  EXPECT_FALSE(fs::exists(folder_ / "config/vexal.ini"));
  EXPECT_TRUE(fs::exists(files_.shortcutPath));

  std::ofstream(folder_ / "plain") << "a file, not a folder";
  const SessionFiles blocked{(folder_ / "plain/vexal.ini").string(), files_.shortcutPath};
  EXPECT_NE(SaveSession(blocked, settings, shortcuts, {}, {}, {}, ""), "");

  fs::create_directories(folder_ / "folder.ini");
  Settings read;
  read.UndoDepth = 77;
  std::vector<ShortcutEntry> readShortcuts;
  FileHistory history;
  EXPECT_NE(LoadSession({(folder_ / "folder.ini").string(), ""}, read, readShortcuts, history), "");
  EXPECT_EQ(read.UndoDepth, Settings{}.UndoDepth);
  EXPECT_EQ(readShortcuts.size(), shortcuts.size());
  EXPECT_TRUE(history.entries().empty());
}

TEST(Session, StartUpOpensTheArgumentsElseTheLastFileElseANewDocument) {
  struct Case {
    std::vector<std::string> files;
    int recovered, openLastFile;
    const char* lastFile;
    int setDefaultWindow;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {{"/a.obj", "/b.png"}, 0, 1, "/last.vxl", 1, {"/a.obj", "/b.png"}},
      {{"/a.obj"}, 2, 1, "/last.vxl", 1, {"/a.obj"}},  // recovered work opens beside them
      {{}, 1, 1, "/last.vxl", 1, {}},                  // recovered work takes their place
      {{}, 0, 1, "/last.vxl", 1, {"/last.vxl"}},
      {{}, 0, 0, "/last.vxl", 1, {""}},
      {{}, 0, 1, "", 1, {""}},
      {{}, 0, 1, "", 0, {}},
      {{}, 0, 0, "/last.vxl", 0, {}},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(row++);
    Settings settings;
    settings.OpenLastFile = c.openLastFile;
    FileHistoryEntry(settings, 0) = c.lastFile;
    settings.SetDefaultWindow = c.setDefaultWindow;
    EXPECT_EQ(StartUpDocuments(settings, c.files, c.recovered), c.expected);
  }
}

// New brings back the settings' view switches that clearing the document
// took away, and the default object when it is asked for.
TEST(Session, NewUntitledDocumentsTakeTheSettingsViewSwitches) {
  for (const int defaultObject : {0, 1}) {
    Settings settings;
    settings.UseOpenGL = 0;
    settings.VisibleHandle = 0;
    settings.Perspective = 0;
    settings.SetDefaultObject = defaultObject;
    auto document = std::make_unique<Document>();
    PrepareDocument(*document, settings);
    document->scene.showHandle = 1;
    DocumentFile file;
    NewUntitledDocument(*document, file, 3, settings);
    EXPECT_EQ(file.caption, "Vxl3.vxl");
    EXPECT_EQ(document->scene.useGL, 0);
    EXPECT_EQ(document->scene.showHandle, 0);
    EXPECT_EQ(document->scene.perspective, 0);
    EXPECT_EQ(document->scene.modified, 0);
    EXPECT_EQ(document->model.pointCount, defaultObject ? 8 : 0);
  }
  EXPECT_EQ(UntitledCaption(12), "Vxl12.vxl");
}

TEST(Session, FileWarningsMakeOneStatusLine) {
  DocumentFile file;
  EXPECT_EQ(FileWarningsText(file), "");
  file.warnings = {"2 faces dropped"};
  EXPECT_EQ(FileWarningsText(file), "2 faces dropped");
  file.warnings = {"a", "", "c"};
  EXPECT_EQ(FileWarningsText(file), "a; ; c");
}

// Every place that makes a document starts it alike.
TEST(Session, PreparedDocumentsTakeTheUndoDepthViewSwitchesAndSmoothing) {
  Settings settings;
  settings.UndoDepth = 25;
  settings.UseAngleSmooth = 0;
  settings.UseOpenGL = 0;
  settings.VisibleDoubleSide = 1;
  auto document = std::make_unique<Document>();
  document->model.pointCount = 3;
  document->scene.zoom = 7;
  PrepareDocument(*document, settings);
  EXPECT_EQ(document->undo.slotCount(), 25);
  EXPECT_FALSE(document->useAngleSmooth);
  EXPECT_EQ(document->scene.useGL, 0);
  EXPECT_EQ(document->scene.doubleSided, 1);
  EXPECT_EQ(document->model.pointCount, 0);
  EXPECT_EQ(document->scene.zoom, SCENE{}.zoom);
}

class Recorder : public DocumentObserver {
 public:
  void selectionMenusChanged() override { ++menus; }
  void undoButtonsChanged(bool canUndo, bool) override { undoShown = canUndo ? 1 : 0; }
  int menus = 0;
  int undoShown = -1;
};

// The smoothing option reaches every document; only the active one (if
// any) re-derives its state, and an activated one shows its undo state.
TEST(Session, OptionsReachEveryDocumentAndActivationRefreshesTheActiveOne) {
  Settings settings;
  settings.UseAngleSmooth = 0;
  auto first = std::make_unique<Document>();
  auto second = std::make_unique<Document>();
  Recorder firstSeen, secondSeen;
  for (auto [document, seen] :
       {std::pair{first.get(), &firstSeen}, std::pair{second.get(), &secondSeen}}) {
    PrepareDocument(*document, Settings{});
    document->observer = seen;
  }
  const std::vector<Document*> all = {first.get(), second.get()};
  ApplySmoothingOption(settings, all, second.get());
  EXPECT_FALSE(first->useAngleSmooth);
  EXPECT_FALSE(second->useAngleSmooth);
  EXPECT_EQ(firstSeen.menus, 0);
  EXPECT_GT(secondSeen.menus, 0);
  settings.UseAngleSmooth = 1;
  ApplySmoothingOption(settings, all, nullptr);
  EXPECT_TRUE(first->useAngleSmooth);
  EXPECT_EQ(firstSeen.menus, 0);

  ActivateDocument(*first);
  EXPECT_GT(firstSeen.menus, 0);
  EXPECT_EQ(firstSeen.undoShown, 0);
  PushUndo(*first, 1);
  firstSeen.undoShown = -1;
  ActivateDocument(*first);
  EXPECT_EQ(firstSeen.undoShown, 1);
}

}  // namespace
}  // namespace vexal
