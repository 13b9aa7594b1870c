#include "commands/system_options.h"

#include <array>

namespace vexal {
namespace {

constexpr std::string_view kWindows = "Windows";
constexpr std::string_view kStart = "Start";
constexpr std::string_view kView = "New windows";
constexpr std::string_view kTools = "Tools";
constexpr std::string_view kCartoon = "Cartoon effect";

const std::array<SystemSwitch, 37> kSwitches = {{
    {"Save position and sizes menu.", &Settings::SaveMainWindow, false, kWindows},
    {"Save position and sizes window.", &Settings::SaveSubWindow, false, kWindows},
    {"Display the sub window was open at the end.", &Settings::ShowSubWindow, false, kWindows},
    {"Create a new Window, open the file at startup.", &Settings::SetDefaultWindow, false, kStart},
    {"Open recent history at startup.", &Settings::OpenLastFile, false, kStart},
    {"Vxl files are also added to the history of others formats.", &Settings::RecordAllHistory,
     false, kStart},
    {"Initial object position", &Settings::SetDefaultObject, false, kStart},
    {"OpenGL rendering", &Settings::UseOpenGL, false, kView},
    {"Show Orthogonal view at startup", &Settings::Perspective, true, kView},
    {"Show Backfaces", &Settings::VisibleDoubleSide, false, kView},
    {"Show Handle axis", &Settings::VisibleHandle, false, kView},
    {"Show Hidden line", &Settings::VisibleHideLine, false, kView},
    {"Show Smoothing", &Settings::VisibleSmooth, false, kView},
    {"Show Dummy", &Settings::VisibleDummy, false, kView},
    {"Show Grid", &Settings::VisibleGrid, false, kView},
    {"Show Texture", &Settings::VisibleTexture, false, kView},
    {"Show Background Image", &Settings::VisibleBackPicture, false, kView},
    {"Show Light", &Settings::VisibleLight, false, kView},
    {"Show Reflection", &Settings::VisibleReflection, false, kView},
    {"Show Transparency", &Settings::VisibleTransparence, false, kView},
    {"Show Semi-Transparency", &Settings::VisibleTranslucent, false, kView},
    {"Show Filtered texture", &Settings::LinearTexture, false, kView},
    {"Show Filtered Background Image", &Settings::LinearBackPicture, false, kView},
    {"Show Cartoon effect", &Settings::VisibleCellEdge, false, kView},
    {"Zoom to the rotation of the wheel.", &Settings::UseMouseWheel, false, kTools},
    {"While you move only one absorption by right-clicking.", &Settings::UseMoveAttach, false,
     kTools},
    {"Create a vertex on the line (except for creating vertices) face to divide.",
     &Settings::UseLoopSplit, false, kTools},
    {"Edge when you can make a vertex, Alt + Shift + Ctrl continuous face to split.",
     &Settings::UseLoopSplit2, false, kTools},
    {"Select the range and use of the lasso tool when is moving.", &Settings::UseLassoSelect,
     false, kTools},
    {"Lasso selection at the face.", &Settings::UseSelectFace, true, kTools},
    {"When the projection is centering, only camera was adsorbed to the axis.",
     &Settings::UseFlatView, false, kTools},
    {"Smoothing processing with smoothing angle.", &Settings::UseAngleSmooth, false, kTools},
    {"When moving, smoothing processing in real time.", &Settings::RealTimeSmooth, false, kTools},
    {"Normal border movement", &Settings::CellEdgeNormal, false, kCartoon},
    {"Border edge", &Settings::CellEdgeBorder, false, kCartoon},
    {"Boundary of palette", &Settings::CellEdgeBoundary, false, kCartoon},
    {"Angle smoothing", &Settings::CellEdgeSmooth, false, kCartoon},
}};

// Widths in pixels: above 0, at most 100.
constexpr FloatFieldRule WidthRule(float fallback) { return {0.0f, 100.0f, fallback, false, true}; }

const std::array<SystemWidth, 4> kWidths = {{
    {"Normal border width", &Settings::CellEdgeNormalWidth, WidthRule(2.0f)},
    {"Border edge width", &Settings::CellEdgeBorderWidth, WidthRule(2.0f)},
    {"Boundary of palette width", &Settings::CellEdgeBoundaryWidth, WidthRule(1.0f)},
    {"Angle smoothing width", &Settings::CellEdgeSmoothWidth, WidthRule(1.0f)},
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
