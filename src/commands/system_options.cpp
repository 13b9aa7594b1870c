#include "commands/system_options.h"

#include <array>

namespace vexal {
namespace {

constexpr std::string_view kWindows = "Windows";
constexpr std::string_view kStart = "Start";
constexpr std::string_view kView = "New windows";
constexpr std::string_view kTools = "Tools";
constexpr std::string_view kCartoon = "Cartoon effect";

// Each caption says what checking the box does.
const std::array<SystemSwitch, 37> kSwitches = {{
    {"Restore the main window's position and size at start", &Settings::SaveMainWindow, false,
     kWindows},
    {"Restore the tool windows' positions at start", &Settings::SaveSubWindow, false, kWindows},
    {"Reopen the tool windows that were open at exit", &Settings::ShowSubWindow, false, kWindows},
    {"Open a new model at start when no file is given", &Settings::SetDefaultWindow, false,
     kStart},
    {"Open the most recent file at start", &Settings::OpenLastFile, false, kStart},
    {"List files of every format in the recent files, not only .vxl files",
     &Settings::RecordAllHistory, false, kStart},
    {"Start a new model with the default object", &Settings::SetDefaultObject, false, kStart},
    {"Draw with OpenGL", &Settings::UseOpenGL, false, kView},
    {"Start in orthographic projection", &Settings::Perspective, true, kView},
    {"Show back faces", &Settings::VisibleDoubleSide, false, kView},
    {"Show the handle axes", &Settings::VisibleHandle, false, kView},
    {"Show hidden edges", &Settings::VisibleHideLine, false, kView},
    {"Smooth shading", &Settings::VisibleSmooth, false, kView},
    {"Show the dummy", &Settings::VisibleDummy, false, kView},
    {"Show the grid", &Settings::VisibleGrid, false, kView},
    {"Show textures", &Settings::VisibleTexture, false, kView},
    {"Show the background images", &Settings::VisibleBackPicture, false, kView},
    {"Light the model", &Settings::VisibleLight, false, kView},
    {"Show reflected light", &Settings::VisibleReflection, false, kView},
    {"Show transparency (cut-out)", &Settings::VisibleTransparence, false, kView},
    {"Show semi-transparency (blended)", &Settings::VisibleTranslucent, false, kView},
    {"Filter textures smoothly", &Settings::LinearTexture, false, kView},
    {"Filter background images smoothly", &Settings::LinearBackPicture, false, kView},
    {"Cartoon outlines", &Settings::VisibleCellEdge, false, kView},
    {"The mouse wheel zooms the view", &Settings::UseMouseWheel, false, kTools},
    {"Move: with one point selected, right-click while dragging to weld it to the point it "
     "meets",
     &Settings::UseMoveAttach, false, kTools},
    {"Shift+Alt+click on a line cuts across its whole edge ring, not only that line",
     &Settings::UseLoopSplit, false, kTools},
    {"Ctrl+Shift+Alt+click on a line cuts across its whole edge ring", &Settings::UseLoopSplit2,
     false, kTools},
    {"Move, rotate and scale: dragging on empty space selects with a lasso",
     &Settings::UseLassoSelect, false, kTools},
    {"Lasso tool: a click picks points and lines only, never a surface", &Settings::UseSelectFace,
     true, kTools},
    {"Switch to orthographic projection when a view rotation ends on an axis",
     &Settings::UseFlatView, false, kTools},
    {"Smooth only across edges within the smoothing angle", &Settings::UseAngleSmooth, false,
     kTools},
    {"Update smooth shading while dragging (slower on large models)", &Settings::RealTimeSmooth,
     false, kTools},
    {"Outline the silhouette", &Settings::CellEdgeNormal, false, kCartoon},
    {"Outline open borders and contour edges", &Settings::CellEdgeBorder, false, kCartoon},
    {"Outline where materials meet", &Settings::CellEdgeBoundary, false, kCartoon},
    {"Outline edges sharper than the smoothing angle", &Settings::CellEdgeSmooth, false,
     kCartoon},
}};

// Widths in pixels: above 0, at most 100.
constexpr FloatFieldRule WidthRule(float fallback) { return {0.0f, 100.0f, fallback, false, true}; }

const std::array<SystemWidth, 4> kWidths = {{
    {"Silhouette width", &Settings::CellEdgeNormalWidth, WidthRule(2.0f)},
    {"Border width", &Settings::CellEdgeBorderWidth, WidthRule(2.0f)},
    {"Material boundary width", &Settings::CellEdgeBoundaryWidth, WidthRule(1.0f)},
    {"Sharp edge width", &Settings::CellEdgeSmoothWidth, WidthRule(1.0f)},
}};

// The loader keeps the same limits for a hand-edited file.
const std::array<SystemNumber, 2> kNumbers = {{
    {"Undo steps kept (new documents)", &Settings::UndoDepth, {2, 1000, 10, true, true}},
    {"Recovery copy every (seconds, 0 = never)", &Settings::AutoSaveSeconds,
     {0, 86400, 120, true, true}},
}};

const std::array<SystemColor, 4> kColors = {{
    {"Background", &Settings::WindowBGColor},
    {"Vertex and edge", &Settings::WindowNormalColor},
    {"Selection", &Settings::WindowSelectColor},
    {"Template", &Settings::WindowHideColor},
}};

}  // namespace

std::span<const SystemSwitch> SystemSwitches() { return kSwitches; }
std::span<const SystemWidth> SystemWidths() { return kWidths; }
std::span<const SystemNumber> SystemNumbers() { return kNumbers; }
std::span<const SystemColor> SystemColors() { return kColors; }

bool SwitchChecked(const Settings& settings, const SystemSwitch& option) {
  const bool on = settings.*option.field != 0;
  return option.inverted ? !on : on;
}

void SetSwitchChecked(Settings& settings, const SystemSwitch& option, bool checked) {
  settings.*option.field = (option.inverted ? !checked : checked) ? 1 : 0;
}

}  // namespace vexal
