#include "settings/start_up.h"

#include <array>

namespace vexal {
namespace {

// The settings keys of each tool window, in SubWindow order; only the
// angle palette has a size.
struct ToolWindowKeys {
  int Settings::*left;
  int Settings::*top;
  int Settings::*show;
  int Settings::*width = nullptr;
  int Settings::*height = nullptr;
};
constexpr std::array<ToolWindowKeys, 9> kToolWindowKeys = {{
    {&Settings::LocateLeft, &Settings::LocateTop, &Settings::ShowLocateWindow,
     &Settings::LocateWidth, &Settings::LocateHeight},
    {&Settings::PaletteLeft, &Settings::PaletteTop, &Settings::ShowPaletteWindow},
    {&Settings::GridLeft, &Settings::GridTop, &Settings::ShowGridWindow},
    {&Settings::RandomLeft, &Settings::RandomTop, &Settings::ShowRandomWindow},
    {&Settings::AttachLeft, &Settings::AttachTop, &Settings::ShowAttachWindow},
    {&Settings::PipeLeft, &Settings::PipeTop, &Settings::ShowPipeWindow},
    {&Settings::NumericLeft, &Settings::NumericTop, &Settings::ShowNumericWindow},
    {&Settings::ProjectionLeft, &Settings::ProjectionTop, &Settings::ShowProjectionWindow},
    {&Settings::PrimitiveLeft, &Settings::PrimitiveTop, &Settings::ShowPrimitiveWindow},
}};

const ToolWindowKeys& KeysOf(SubWindow window) {
  return kToolWindowKeys[static_cast<size_t>(window)];
}

bool IsPalette(SubWindow window) {
  return window == SubWindow::kLocate || window == SubWindow::kPalette;
}

}  // namespace

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
  for (SubWindow window : kSubWindows) {
    if (IsPalette(window)) continue;
    const ToolWindowKeys& keys = KeysOf(window);
    if (settings.*keys.left == kUnsetPlacement) settings.*keys.left = centred.left;
    if (settings.*keys.top == kUnsetPlacement) settings.*keys.top = centred.top;
  }
}

ToolWindowStart ToolWindowStartPlacement(const Settings& settings, SubWindow window,
                                         const WindowRect& built) {
  const ToolWindowKeys& keys = KeysOf(window);
  ToolWindowStart start;
  start.bounds = built;
  const bool saved = settings.SaveSubWindow != 0 && settings.BootFirst != 0;
  const bool show = settings.*keys.show != 0;
  if (IsPalette(window)) {
    start.visible = settings.ShowSubWindow == 0 || show;
    if (!saved) return start;
    start.placed = true;
    if (settings.*keys.left != kUnsetPlacement) start.bounds.left = settings.*keys.left;
    if (settings.*keys.top != kUnsetPlacement) start.bounds.top = settings.*keys.top;
    if (keys.width == nullptr) return start;
    const int width = settings.*keys.width;
    const int height = settings.*keys.height;
    if (width != kUnsetPlacement && width > 0) start.bounds.width = width;
    if (height != kUnsetPlacement && height > 0) start.bounds.height = height;
    return start;
  }
  start.visible = settings.ShowSubWindow == 1 && show;
  if (saved && settings.*keys.left != kUnsetPlacement && settings.*keys.top != kUnsetPlacement) {
    start.bounds.left = settings.*keys.left;
    start.bounds.top = settings.*keys.top;
    start.placed = true;
  } else {
    start.centred = true;
  }
  return start;
}

ToolWindowStart ToolWindowResetPlacement(SubWindow window) {
  ToolWindowStart reset;
  switch (window) {
    case SubWindow::kLocate:
      // Ten less than the height a fresh settings file holds.
      reset.bounds = {726, 100, 200, 118};
      reset.placed = true;
      break;
    case SubWindow::kPalette:
      reset.bounds = {726, 229, 230, 139};
      reset.placed = true;
      break;
    case SubWindow::kAttach:
      break;
    default:
      reset.centred = true;
  }
  return reset;
}

void RecordToolWindow(Settings& settings, SubWindow window, const WindowRect& bounds,
                      bool visible) {
  const ToolWindowKeys& keys = KeysOf(window);
  settings.*keys.left = bounds.left;
  settings.*keys.top = bounds.top;
  if (keys.width != nullptr) {
    settings.*keys.width = bounds.width;
    settings.*keys.height = bounds.height;
  }
  settings.*keys.show = visible ? 1 : 0;
}

std::string LastFileToOpen(const Settings& settings) {
  if (settings.OpenLastFile == 0) return {};
  return FileHistoryEntry(settings, 0);
}

}  // namespace vexal
