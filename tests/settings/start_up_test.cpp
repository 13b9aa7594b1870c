// Start-up and quit decisions taken from the settings: the main window's
// placement, the file opened by itself and the positions written at exit.
#include "settings/start_up.h"

#include <gtest/gtest.h>

namespace vexal {
namespace {

const WindowRect kDesign{0, 0, 1000, 720};
const ScreenSize kScreen{1920, 1080};

// A settings record as a previous run saved it: moved and maximised.
Settings SavedRun() {
  Settings settings;
  settings.BootFirst = 1;
  settings.SaveMainWindow = 1;
  settings.MainLeft = 40;
  settings.MainTop = 30;
  settings.MainWidth = 800;
  settings.MainHeight = 600;
  settings.MainState = 2;
  return settings;
}

TEST(StartUp, SavedBoundsApplyOnlyWhenBootFirstAndSaveMainWindowAreSet) {
  const MainWindowStart saved = MainWindowStartPlacement(SavedRun(), kDesign, kScreen);
  EXPECT_EQ(saved.bounds, (WindowRect{40, 30, 800, 600}));
  EXPECT_TRUE(saved.maximized);

  // The first run (BootFirst 0) and SaveMainWindow 0 both centre the window
  // at its design-time size, and a saved maximised state is not applied.
  const WindowRect centred{460, 180, 1000, 720};
  Settings firstRun = SavedRun();
  firstRun.BootFirst = 0;
  Settings notSaved = SavedRun();
  notSaved.SaveMainWindow = 0;
  Settings noFile;
  for (const Settings* settings : {&firstRun, &notSaved, &noFile}) {
    const MainWindowStart start = MainWindowStartPlacement(*settings, kDesign, kScreen);
    EXPECT_EQ(start.bounds, centred);
    EXPECT_FALSE(start.maximized);
  }
  // Odd sizes centre in integer arithmetic, and a window larger than the
  // screen gets a negative position.
  EXPECT_EQ(CentredOnScreen(101, 51, {200, 100}), (WindowRect{49, 24, 101, 51}));
  EXPECT_EQ(CentredOnScreen(300, 100, {200, 100}), (WindowRect{-50, 0, 300, 100}));
}

TEST(StartUp, UnsetOrImpossibleSavedBoundsKeepTheWindowsOwn) {
  Settings settings = SavedRun();
  settings.MainLeft = kUnsetPlacement;
  settings.MainHeight = kUnsetPlacement;
  settings.MainState = 0;
  MainWindowStart start = MainWindowStartPlacement(settings, {7, 8, 1000, 720}, kScreen);
  EXPECT_EQ(start.bounds, (WindowRect{7, 30, 800, 720}));
  EXPECT_FALSE(start.maximized);
  settings.MainWidth = 0;
  start = MainWindowStartPlacement(settings, {7, 8, 1000, 720}, kScreen);
  EXPECT_EQ(start.bounds.width, 1000);
}

TEST(StartUp, QuitRecordsTheNormalBoundsWhateverTheState) {
  Settings settings;
  RecordMainWindow(settings, {10, 20, 640, 480}, true, false);
  EXPECT_EQ(settings.MainState, 2);
  EXPECT_EQ(settings.MainLeft, 10);
  EXPECT_EQ(settings.MainHeight, 480);
  RecordMainWindow(settings, {11, 21, 641, 481}, false, true);
  EXPECT_EQ(settings.MainState, 1);
  EXPECT_EQ(settings.MainWidth, 641);
  RecordMainWindow(settings, {12, 22, 642, 482}, false, false);
  EXPECT_EQ(settings.MainState, 0);
  EXPECT_EQ(settings.MainTop, 22);
}

TEST(StartUp, UnsetToolWindowPositionsGetTheirDefaultsBeforeSaving) {
  Settings settings;
  settings.GridLeft = 5;  // moved by the user: kept
  FillUnsetToolWindowPositions(settings, kScreen);
  EXPECT_EQ(settings.GridLeft, 5);
  EXPECT_EQ(settings.GridTop, (1080 - kToolWindowHeight) / 2);
  EXPECT_EQ(settings.PaletteLeft, kPaletteLeft);
  EXPECT_EQ(settings.PaletteTop, kPaletteTop);
  for (int Settings::*field :
       {&Settings::RandomLeft, &Settings::AttachLeft, &Settings::PipeLeft, &Settings::NumericLeft,
        &Settings::ProjectionLeft, &Settings::PrimitiveLeft}) {
    EXPECT_EQ(settings.*field, (1920 - kToolWindowWidth) / 2);
  }
  for (int Settings::*field : {&Settings::RandomTop, &Settings::AttachTop, &Settings::PipeTop,
                               &Settings::NumericTop, &Settings::ProjectionTop, &Settings::PrimitiveTop}) {
    EXPECT_EQ(settings.*field, (1080 - kToolWindowHeight) / 2);
  }
}

TEST(StartUp, OpenLastFileOpensFileHistory00Only) {
  Settings settings;
  FileHistoryEntry(settings, 1) = "/models/second.vxl";
  EXPECT_EQ(LastFileToOpen(settings), "");
  settings.OpenLastFile = 1;
  // An empty first entry opens nothing, even with later entries present.
  EXPECT_EQ(LastFileToOpen(settings), "");
  FileHistoryEntry(settings, 0) = "/models/first.vxl";
  EXPECT_EQ(LastFileToOpen(settings), "/models/first.vxl");
  settings.OpenLastFile = 0;
  EXPECT_EQ(LastFileToOpen(settings), "");
}

// Each tool window reads back from the settings what quit wrote into them:
// a window recorded with its own bounds and shown state starts there, so no
// two windows share a key and the angle palette alone keeps its size.
TEST(StartUp, ToolWindowsStartWhereTheyWereRecorded) {
  for (const bool shown : {true, false}) {
    Settings settings;
    settings.SaveSubWindow = 1;
    settings.BootFirst = 1;
    settings.ShowSubWindow = 1;
    int n = 0;
    for (SubWindow window : kSubWindows) {
      ++n;
      RecordToolWindow(settings, window, {10 * n, 20 * n, 100 + n, 50 + n}, shown);
    }
    n = 0;
    for (SubWindow window : kSubWindows) {
      ++n;
      SCOPED_TRACE(n);
      const WindowRect built{1, 2, 3, 4};
      const ToolWindowStart start = ToolWindowStartPlacement(settings, window, built);
      EXPECT_TRUE(start.placed);
      EXPECT_FALSE(start.centred);
      EXPECT_EQ(start.visible, shown);
      const bool sized = window == SubWindow::kLocate;
      EXPECT_EQ(start.bounds,
                (WindowRect{10 * n, 20 * n, sized ? 100 + n : 3, sized ? 50 + n : 4}));
    }
  }
}

// Where a tool window starts by the switches: saved places need both
// SaveSubWindow and BootFirst; the palettes keep what the file left unset,
// the others are centred without both coordinates; ShowSubWindow 0 shows
// the palettes only.
TEST(StartUp, ToolWindowPlacementFollowsTheSwitches) {
  struct Case {
    SubWindow window;
    int saveSubWindow, bootFirst, showSubWindow, show;
    bool leftSaved, topSaved;
    bool placed, centred, visible;
    WindowRect bounds;
  };
  const WindowRect built{7, 8, 200, 128};
  const Case cases[] = {
      {SubWindow::kLocate, 1, 1, 1, 1, true, true, true, false, true, {30, 40, 250, 90}},
      {SubWindow::kLocate, 0, 1, 1, 1, true, true, false, false, true, built},
      {SubWindow::kLocate, 1, 0, 1, 0, true, true, false, false, false, built},
      {SubWindow::kLocate, 1, 1, 0, 0, false, true, true, false, true, {7, 40, 250, 90}},
      {SubWindow::kPalette, 1, 1, 1, 0, true, false, true, false, false, {30, 8, 200, 128}},
      {SubWindow::kPalette, 1, 1, 2, 1, true, true, true, false, true, {30, 40, 200, 128}},
      {SubWindow::kGrid, 1, 1, 1, 1, true, true, true, false, true, {30, 40, 200, 128}},
      {SubWindow::kGrid, 1, 1, 1, 1, true, false, false, true, true, built},
      {SubWindow::kPipe, 1, 1, 0, 1, true, true, true, false, false, {30, 40, 200, 128}},
      {SubWindow::kPipe, 1, 1, 2, 1, true, true, true, false, false, {30, 40, 200, 128}},
      {SubWindow::kPrimitive, 0, 1, 1, 1, true, true, false, true, true, built},
      {SubWindow::kProjection, 1, 0, 1, 0, true, true, false, true, false, built},
  };
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(row++);
    Settings settings;
    settings.SaveSubWindow = c.saveSubWindow;
    settings.BootFirst = c.bootFirst;
    settings.ShowSubWindow = c.showSubWindow;
    RecordToolWindow(settings, c.window, {30, 40, 250, 90}, c.show != 0);
    if (!c.leftSaved) {
      settings.LocateLeft = settings.PaletteLeft = settings.GridLeft = kUnsetPlacement;
    }
    if (!c.topSaved) settings.PaletteTop = settings.GridTop = kUnsetPlacement;
    const ToolWindowStart start = ToolWindowStartPlacement(settings, c.window, built);
    EXPECT_EQ(start.placed, c.placed);
    EXPECT_EQ(start.centred, c.centred);
    EXPECT_EQ(start.visible, c.visible);
    EXPECT_EQ(start.bounds, c.bounds);
  }
  // A size no window can have keeps the angle palette's built size.
  Settings damaged;
  damaged.SaveSubWindow = damaged.BootFirst = 1;
  damaged.LocateWidth = 0;
  damaged.LocateHeight = -5;
  EXPECT_EQ(ToolWindowStartPlacement(damaged, SubWindow::kLocate, built).bounds.width, 200);
  EXPECT_EQ(ToolWindowStartPlacement(damaged, SubWindow::kLocate, built).bounds.height, 128);
}

TEST(StartUp, ResetPutsThePalettesAtFixedBoundsAndCentresTheOthers) {
  for (SubWindow window : kSubWindows) {
    const ToolWindowStart reset = ToolWindowResetPlacement(window);
    switch (window) {
      case SubWindow::kLocate:
        EXPECT_EQ(reset.bounds, (WindowRect{726, 100, 200, 118}));
        break;
      case SubWindow::kPalette:
        EXPECT_EQ(reset.bounds, (WindowRect{726, 229, 230, 139}));
        break;
      default:
        break;
    }
    const bool palette = window == SubWindow::kLocate || window == SubWindow::kPalette;
    EXPECT_EQ(reset.placed, palette);
    EXPECT_EQ(reset.centred, !palette && window != SubWindow::kAttach);
  }
}

}  // namespace
}  // namespace vexal
