// What the settings decide when the program starts and quits: where the
// main window goes, which file opens by itself, and the window positions
// written back at exit.
#pragma once

#include <string>

#include "settings/settings.h"

namespace vexal {

struct WindowRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

struct ScreenSize {
  int width = 0;
  int height = 0;
};

struct MainWindowStart {
  WindowRect bounds;
  bool maximized = false;
};

// The main window's place at start. The saved bounds and state apply only
// when both BootFirst and SaveMainWindow are non-zero (a bound the file left
// unset keeps the window's own); otherwise the window keeps its design-time
// size, centred on the screen, in the normal state.
MainWindowStart MainWindowStartPlacement(const Settings& settings, const WindowRect& designBounds,
                                         ScreenSize screen);

// The position that centres a window of width x height on the screen, in
// integer arithmetic.
WindowRect CentredOnScreen(int width, int height, ScreenSize screen);

// Records the main window at quit: MainState (0 normal, 1 minimised, 2
// maximised) and the normal bounds, the ones it returns to when it is no
// longer maximised or minimised.
void RecordMainWindow(Settings& settings, const WindowRect& normalBounds, bool maximized,
                      bool minimized);

// The size a tool window has before it was ever moved, until each tool
// window gives its own: the angle palette's built-in size.
inline constexpr int kToolWindowWidth = 200;
inline constexpr int kToolWindowHeight = 128;
// Where the colour palette window stands before it was ever moved: under
// the angle palette's built-in bounds.
inline constexpr int kPaletteLeft = 726;
inline constexpr int kPaletteTop = 240;

// Before the settings are written: each tool-window position the file never
// held gets its default, the colour palette its design-time position and the
// seven other tool windows the position that centres them on the screen, so
// no "unset" marker reaches the file.
void FillUnsetToolWindowPositions(Settings& settings, ScreenSize screen);

// The tool windows whose places the settings keep, in the order they are
// placed and shown at start.
enum class SubWindow {
  kLocate,   // the angle palette, the one whose size is kept too
  kPalette,  // the colour palette
  kGrid,
  kRandom,
  kAttach,
  kPipe,
  kNumeric,
  kProjection,
  kPrimitive,
};
inline constexpr SubWindow kSubWindows[] = {
    SubWindow::kLocate,  SubWindow::kPalette,    SubWindow::kGrid,
    SubWindow::kRandom,  SubWindow::kAttach,     SubWindow::kPipe,
    SubWindow::kNumeric, SubWindow::kProjection, SubWindow::kPrimitive};

struct ToolWindowStart {
  // Where the window goes; its bounds as built when the settings hold none.
  // Only the angle palette takes the size.
  WindowRect bounds;
  // Whether the window is put at bounds; false leaves it where it was built.
  bool placed = false;
  // Centred on the screen instead (keeping its size).
  bool centred = false;
  bool visible = false;
};

// A tool window's place and visibility at start, from its bounds as built
// (the angle palette's client bounds, the others' frame position). Saved
// places apply only when SaveSubWindow and BootFirst are both set, and each
// value the file left unset keeps the built one; the seven windows other
// than the two palettes need both coordinates saved, else they are centred.
// ShowSubWindow 0 shows both palettes and hides the others; 1 shows each
// window whose Show... key is set.
ToolWindowStart ToolWindowStartPlacement(const Settings& settings, SubWindow window,
                                         const WindowRect& built);

// Where "Reset SubWindow Position" puts a tool window: the two palettes at
// fixed bounds, the attach window where it is, the others centred.
ToolWindowStart ToolWindowResetPlacement(SubWindow window);

// Records a tool window at quit: its position (the angle palette's whole
// client bounds) and whether it is shown.
void RecordToolWindow(Settings& settings, SubWindow window, const WindowRect& bounds, bool visible);

// The file to open when the program starts without file arguments: history
// entry FileHistory00 when OpenLastFile is set and that entry is not empty,
// else "".
std::string LastFileToOpen(const Settings& settings);

}  // namespace vexal
