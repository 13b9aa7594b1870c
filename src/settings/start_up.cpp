#include "settings/start_up.h"

#include <array>
#include <utility>

namespace vexal {

WindowRect CentredOnScreen(int width, int height, ScreenSize screen) {
  return {(screen.width - width) / 2, (screen.height - height) / 2, width, height};
}

MainWindowStart MainWindowStartPlacement(const Settings& settings, const WindowRect& designBounds,
                                         ScreenSize screen) {
  MainWindowStart start;
  if (settings.BootFirst == 0 || settings.SaveMainWindow == 0) {
    start.bounds = CentredOnScreen(designBounds.width, designBounds.height, screen);
    return start;
  }
  const auto saved = [](int value, int fallback) { return value == kUnsetPlacement ? fallback : value; };
  start.bounds = {saved(settings.MainLeft, designBounds.left), saved(settings.MainTop, designBounds.top),
                  saved(settings.MainWidth, designBounds.width),
                  saved(settings.MainHeight, designBounds.height)};
  // A size no window can have (a damaged file) keeps the design-time size.
  if (start.bounds.width <= 0 || start.bounds.height <= 0) {
    start.bounds.width = designBounds.width;
    start.bounds.height = designBounds.height;
  }
  start.maximized = settings.MainState == 2;
  return start;
}

void RecordMainWindow(Settings& settings, const WindowRect& normalBounds, bool maximized,
                      bool minimized) {
  settings.MainState = maximized ? 2 : minimized ? 1 : 0;
  settings.MainLeft = normalBounds.left;
  settings.MainTop = normalBounds.top;
  settings.MainWidth = normalBounds.width;
  settings.MainHeight = normalBounds.height;
}

void FillUnsetToolWindowPositions(Settings& settings, ScreenSize screen) {
  if (settings.PaletteLeft == kUnsetPlacement) settings.PaletteLeft = kPaletteLeft;
  if (settings.PaletteTop == kUnsetPlacement) settings.PaletteTop = kPaletteTop;
  const WindowRect centred = CentredOnScreen(kToolWindowWidth, kToolWindowHeight, screen);
  const std::array<std::pair<int Settings::*, int Settings::*>, 7> tools = {{
      {&Settings::GridLeft, &Settings::GridTop},
      {&Settings::RandomLeft, &Settings::RandomTop},
      {&Settings::AttachLeft, &Settings::AttachTop},
      {&Settings::PipeLeft, &Settings::PipeTop},
      {&Settings::NumericLeft, &Settings::NumericTop},
      {&Settings::ProjectionLeft, &Settings::ProjectionTop},
      {&Settings::PrimitiveLeft, &Settings::PrimitiveTop},
  }};
  for (const auto& [left, top] : tools) {
    if (settings.*left == kUnsetPlacement) settings.*left = centred.left;
    if (settings.*top == kUnsetPlacement) settings.*top = centred.top;
  }
}

std::string LastFileToOpen(const Settings& settings) {
  if (settings.OpenLastFile == 0) return {};
  return FileHistoryEntry(settings, 0);
}

}  // namespace vexal
