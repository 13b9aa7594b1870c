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

}  // namespace
}  // namespace vexal
