#include "commands/command_table.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace vexal {
namespace {

CommandItem Item(std::string_view name, std::string_view caption, ShortcutValue shortcut, int tag,
                 EnableRule rule) {
  return CommandItem{name, caption, shortcut, tag, rule, {}};
}
CommandItem Item(std::string_view name, std::string_view caption, ShortcutValue shortcut, int tag,
                 EnableRule rule, std::string_view hint) {
  return CommandItem{name, caption, shortcut, tag, rule, hint};
}
CommandItem Separator() { return CommandItem{}; }

const std::vector<CommandMenu> kMenu = {
    {"FileItem", "File", {
        Item("FileNewItem", "New", 0x404E, 0, EnableRule::kAlways),
        Item("FileOpenItem", "Open...", 0x404F, 0, EnableRule::kAlways),
        Item("FileCloseItem", "Close", 0x0000, 0, EnableRule::kDocument),
        Item("FileCloseAllItem", "Close All", 0x0000, 0, EnableRule::kDocument),
        Item("FileSaveItem", "Save", 0x4053, 0, EnableRule::kDocument),
        Item("FileSaveAsItem", "Save As...", 0x6053, 0, EnableRule::kDocument),
        Separator(),
        Item("FileExitItem", "Quit", 0x0000, 0, EnableRule::kAlways),
    }},
    {"EditItem", "Edit", {
        Item("UndoItem", "Undo", 0x405A, 0, EnableRule::kUndo),
        Item("RedoItem", "Redo", 0x605A, 0, EnableRule::kRedo),
        Separator(),
        Item("CutItem", "Cut", 0x4058, 0, EnableRule::kSelection),
        Item("CopyItem", "Copy", 0x4043, 0, EnableRule::kSelection),
        Item("DeleteItem", "Delete", 0x002E, 0, EnableRule::kSelection),
        Item("PasteItem", "Paste", 0x4056, 0, EnableRule::kClipboard),
        Item("SelectAllItem", "Select All", 0x4041, 0, EnableRule::kPoints),
        Separator(),
        Item("SelectChainItem", "Expanded Selection", 0x00DD, 0, EnableRule::kSelection),
        Item("SelectLoopItem", "Edge loop selection", 0x004C, 0, EnableRule::kSelection),
        Separator(),
        Item("SelectColorItem", "Select Color", 0x4059, 0, EnableRule::kPoints),
        Item("SelectTripleItem", "Select A Three-wire Face", 0x0078, 0, EnableRule::kPoints),
        Item("SelectLineItem", "Select An Independent Edge", 0x604C, 0, EnableRule::kPoints),
    }},
    {"ChangeItem", "Tools", {
        Item("AttachItem", "Attach A Single Vertex", 0x4054, 0, EnableRule::kSelection),
        Item("MoreAttachItem", "Attach Approximate Vertex", 0x404A, 0, EnableRule::kSelection),
        Item("SameAttachItem", "Attach The Same Vertex", 0x604A, 0, EnableRule::kSelection),
        Item("UnMirrorItem", "UnMirror Vertex Of Symmetry", 0x4045, 0, EnableRule::kSelection),
        Item("MirrorItem", "Mirror Vertex Of Symmetry", 0x404D, 0, EnableRule::kSelection),
        Item("MirrorLineItem", "Mirror Edge Symmetry", 0x404C, 0, EnableRule::kSelection),
        Separator(),
        Item("AttachLineItem", "Attach Edge At Vertices", 0x2076, 1, EnableRule::kSelection),
        Item("MoveCrossItem", "Move To Cross Vertex Of The Edge", 0x2077, 1, EnableRule::kSelection),
        Item("MoveLineItem", "Move to Edge of the Vertex", 0x204C, 0, EnableRule::kSelection),
        Separator(),
        Item("SetGridItem", "Snap To Grid", 0x0047, 0, EnableRule::kSelection),
        Item("SetRandomItem", "Random Position", 0x0052, 0, EnableRule::kSelection),
        Separator(),
        Item("PipeItem", "Create a Pipe", 0x2045, 0, EnableRule::kSelection,
             "Create a pipe around a edge"),
        Item("LoopSplitItem", "Edge Cut", 0x00BC, 0, EnableRule::kSelection),
        Item("LoopAttachItem", "Attach Loop", 0x00BE, 0, EnableRule::kSelection,
             "Combined continuous surface"),
        Item("SubDivideItem", "Subdivide Face", 0x2044, 0, EnableRule::kSelection),
        Item("TriangleItem", "Triangularize Face", 0x2054, 0, EnableRule::kSelection),
        Item("QuadrangulateItem", "Quadrangulate Face", 0x2051, 0, EnableRule::kSelection),
        Item("DeleteLinePointItem", "Delete Vertices On The Edge", 0x402E, 0, EnableRule::kSelection),
        Separator(),
        Item("XLineItem", "Align To The X Axis", 0x0074, 0, EnableRule::kSelection),
        Item("YLineItem", "Align To The Y Axis", 0x0075, 0, EnableRule::kSelection),
        Item("ZLineItem", "Align To The Z Axis", 0x0076, 0, EnableRule::kSelection),
        Separator(),
        Item("XReflectItem", "Mirror X Ref", 0x2074, 0, EnableRule::kSelection),
        Item("YReflectItem", "Mirror Y Ref", 0x2075, 0, EnableRule::kSelection),
        Separator(),
        Item("HideItem", "Hide Selection", 0x4048, 0, EnableRule::kSelection),
        Item("HideNotItem", "Hide Not Selected", 0x4044, 0, EnableRule::kUnselected),
        Item("ShowItem", "Show Hidden Parts", 0x4057, 0, EnableRule::kPoints),
        Item("HideTemplateItem", "Hide Selected Template", 0x6048, 0, EnableRule::kSelection),
        Item("HideTemplateNotItem", "Hide No Selected Template", 0x6044, 0, EnableRule::kUnselected),
        Item("ShowTemplateItem", "Show Templates", 0x6057, 0, EnableRule::kPoints),
        Separator(),
        Item("ClearUVItem", "UV Clear", 0x402E, 0, EnableRule::kSelection),
    }},
    {"SurfacePaintItem", "Face", {
        Item("PaintAllItem", "Create Face and Paint All", 0x4042, 0, EnableRule::kPoints),
        Item("PaintSelectItem", "Create Face and Paint Selection", 0x4046, 0, EnableRule::kSelection),
        Item("RepaintItem", "Repaint Face", 0x6046, 0, EnableRule::kSelection),
        Item("DeleteSurfaceItem", "Delete Faces", 0x4051, 0, EnableRule::kSelection),
        Separator(),
        Item("FaceFlipItem", "Invert The Normals", 0x0046, 0, EnableRule::kSelection),
        Item("FaceAlignItem", "Uniform The Normals", 0x2046, 0, EnableRule::kDocument),
    }},
    {"OptionItem", "Options", {
        Item("SetSystemItem", "System Configuration Settings...", 0x0000, 0, EnableRule::kAlways),
        Item("SetFormatItem", "Format 3D Object Settings...", 0x0000, 0, EnableRule::kAlways),
        Item("SetShortCutItem", "Shortcuts Keys Settings...", 0x0000, 0, EnableRule::kAlways),
        Item("UtilityItem", "Utility...", 0x0000, 0, EnableRule::kAlways),
    }},
    {"DrawItem", "View", {
        Item("ViewMode1Item", "Wireframe", 0x0034, 0, EnableRule::kAlways),
        Item("ViewMode2Item", "Faces", 0x0035, 0, EnableRule::kAlways),
        Item("ViewMode3Item", "Show All", 0x0036, 0, EnableRule::kAlways),
        Separator(),
        Item("ViewTextureItem", "Textured", 0x0037, 0, EnableRule::kAlways),
        Item("ViewLightItem", "View Light", 0x0038, 0, EnableRule::kAlways),
        Item("SmoothItem", "Smoothing Faces", 0x0039, 0, EnableRule::kAlways),
        Item("ViewReflectionItem", "Show The Reflected Light", 0x004F, 0, EnableRule::kAlways),
        Separator(),
        Item("LinearTextureItem", "Display Linear Texture Filtering", 0x2037, 0, EnableRule::kAlways),
        Item("LinearBackPictureItem", "Display Linear Filtering Background Image", 0x2038, 0, EnableRule::kAlways),
        Separator(),
        Item("ViewAlpha1Item", "No Alpha (1)", 0x00DB, 0, EnableRule::kAlways),
        Item("ViewAlpha2Item", "Without Alpha (2)", 0x40DB, 0, EnableRule::kAlways),
        Item("ViewAlpha3Item", "Without Alpha (3)(transparency)", 0x20DB, 0, EnableRule::kAlways),
        Separator(),
        Item("HandleItem", "Show Handle Axis", 0x0030, 0, EnableRule::kAlways),
        Item("HideLineItem", "Show Hidden Edge", 0x00BD, 0, EnableRule::kAlways),
        Item("DummyItem", "Show Dummy", 0x00DC, 0, EnableRule::kAlways),
        Item("GridItem", "Show Grid", 0x00C0, 0, EnableRule::kAlways),
        Separator(),
        Item("PerspItem", "Show Orthogonal View", 0x0079, 0, EnableRule::kAlways),
        Item("CullItem", "Show Backfaces", 0x007A, 0, EnableRule::kAlways),
        Separator(),
        Item("ViewEdgeItem", "Cartoon Effect", 0x0045, 0, EnableRule::kAlways),
        Separator(),
        Item("ViewPictureItem", "Show Background Image", 0x0009, 0, EnableRule::kAlways),
        Separator(),
        Item("UseGLItem", "OpenGL Drawing", 0x2009, 0, EnableRule::kAlways),
    }},
    {"WindowItem", "Window", {
        Item("LocateWindowItem", "Show Angle Palette Window", 0x207B, 0, EnableRule::kAlways),
        Item("PaletteWindowItem", "Show Color Palette Window", 0x007B, 0, EnableRule::kAlways),
        Separator(),
        Item("GirdWindowItem", "Grid Settings", 0x6047, 0, EnableRule::kAlways),
        Item("PipeWindowItem", "Pipe Settings", 0x6050, 0, EnableRule::kAlways),
        Item("RandomWindowItem", "Random Position Settings", 0x6052, 0, EnableRule::kAlways),
        Item("AttachLineWindowItem", "Drawing Settings", 0x604C, 0, EnableRule::kAlways),
        Separator(),
        Item("ProjectionWindowItem", "UV Projection", 0x00BB, 0, EnableRule::kAlways),
        Item("UVEditItem", "UV Edit", 0x0000, 1, EnableRule::kAlways),
        Item("PrimitiveWindowItem", "Add Primitive Objects", 0x4050, 0, EnableRule::kAlways),
        Item("NumericWindowItem", "Enter A Number", 0x0077, 0, EnableRule::kAlways),
        Separator(),
        Item("PictureWindowItem", "Insert Background Image...", 0x00BA, 0, EnableRule::kAlways),
        Separator(),
        Item("WindowCascadeItem", "Cascade", 0x0000, 0, EnableRule::kDocument),
        Item("WindowTileItem", "Tile", 0x0000, 0, EnableRule::kDocument),
        Item("WindowArrangeItem", "Arrange Icons", 0x0000, 0, EnableRule::kDocument),
        Item("WindowMinimizeItem", "Minimize All", 0x0000, 0, EnableRule::kDocument),
    }},
    {"ToolbarItem", "ToolBar", {
        Item("SelectItem", "Rectangular Selection", 0x004D, 0, EnableRule::kDocument),
        Item("LassoItem", "Lasso Selection Region", 0x0057, 0, EnableRule::kDocument),
        Item("PointItem", "Draw Vertex", 0x0031, 0, EnableRule::kDocument),
        Item("DPointItem", "Draw Mirror Vertex", 0x0032, 0, EnableRule::kDocument),
        Item("PaintItem", "Paint", 0x0050, 0, EnableRule::kDocument),
        Item("SpoitItem", "Spoit Color Face", 0x0049, 0, EnableRule::kDocument),
        Item("QuadItem", "Quadify", 0x0051, 0, EnableRule::kDocument),
        Item("MoveItem", "Select and Move", 0x0054, 0, EnableRule::kDocument),
        Item("RotateItem", "Select and Rotate", 0x0059, 0, EnableRule::kDocument),
        Item("ScaleItem", "Scale", 0x0048, 0, EnableRule::kDocument),
        Item("NormalMoveItem", "Select and Move Normal direction", 0x004E, 0, EnableRule::kDocument),
        Item("ZoomItem", "Zoom", 0x0000, 0, EnableRule::kDocument),
        Item("SelectZoomItem", "Zoom Region", 0x005A, 0, EnableRule::kDocument),
        Item("PanItem", "Pan View", 0x0000, 0, EnableRule::kDocument),
        Item("CameraItem", "Rotate View", 0x0043, 0, EnableRule::kDocument),
        Item("ObjectItem", "Zoom To Selection", 0x2041, 0, EnableRule::kDocument),
        Item("ObjectAllItem", "Zoom All", 0x0041, 0, EnableRule::kDocument),
    }},
    {"EtcItem", "Other", {
        Item("ZoomInItem", "Zoom In", 0x0000, 0, EnableRule::kAlways),
        Item("ZoomOutItem", "Zoom Out", 0x40BD, 0, EnableRule::kAlways),
        Item("ResetPicturePositionItem", "Reset Picture Position", 0x4024, 0, EnableRule::kAlways),
        Item("ChangePivotItem", "Change Pivot Position", 0x002D, 0, EnableRule::kAlways),
        Item("ResetSubWindowItem", "Reset SubWindow Position", 0x0024, 0, EnableRule::kAlways),
        Item("PaletteCopyItem", "Palette Copy", 0x6043, 0, EnableRule::kAlways),
        Item("PalettePasteItem", "Palette Paste", 0x6056, 0, EnableRule::kPaletteClipboard),
        Item("SelectPaletteReloadItem", "Select Palette Reload", 0x406F, 0, EnableRule::kAlways),
        Item("AllPaletteReloadItem", "Reload All Palette", 0x606F, 0, EnableRule::kAlways),
        Item("MoveOriginItem", "Move to the origin point", 0x6024, 0, EnableRule::kAlways),
        Item("RightRotateItem", "Rotate Right", 0x0027, 1, EnableRule::kAlways),
        Item("LeftRotateItem", "Rotate Left", 0x0025, 1, EnableRule::kAlways),
        Item("UpRotateItem", "Rotate Up", 0x0026, 1, EnableRule::kAlways),
        Item("DownRotateItem", "Rotate Down", 0x0028, 1, EnableRule::kAlways),
        Item("FinishPointItem", "Create a fixed point", 0x000D, 1, EnableRule::kAlways),
        Item("RightMovePalItem", "Move Right Pal", 0x4027, 1, EnableRule::kAlways),
        Item("LeftMovePalItem", "Move Left Pal", 0x4025, 1, EnableRule::kAlways),
        Item("DebugItem", "Debug", 0x40C0, 1, EnableRule::kAlways),
        Item("ViewNumberItem", "3D Object information", 0x20C0, 1, EnableRule::kAlways),
    }},
    {"HelpItem", "Help", {
        Item("SearchforHelpOnItem", "Help Topics ...", 0x0070, 0, EnableRule::kAlways),
        Item("ViewShortCutItem", "Shortcuts Keys List...", 0x2070, 0, EnableRule::kAlways),
        Separator(),
        Item("HelpAboutItem", "About...", 0x0000, 0, EnableRule::kAlways),
    }},
};

const std::vector<ToolButton> kToolbar = {
    {"NewBtn", "New", "FileNewItem"},
    {"OpenBtn", "Open", "FileOpenItem"},
    {"SaveBtn", "Save", "FileSaveItem"},
    {"SaveAsBtn", "Save As", "FileSaveAsItem"},
    {},
    {"CutBtn", "Cut", "CutItem"},
    {"CopyBtn", "Copy", "CopyItem"},
    {"PasteBtn", "Paste", "PasteItem"},
    {},
    {"UndoBtn", "Undo", "UndoItem"},
    {"RedoBtn", "Redo", "RedoItem"},
    {},
    {"SelectBtn", "Rectangular Selection Region", "SelectItem", 0},
    {"LassoBtn", "Lasso Selection Region", "LassoItem", 3},
    {"PointBtn", "Draw Vertex", "PointItem", 1},
    {"DPointBtn", "Draw Mirror vertex", "DPointItem", 2},
    {"PaintBtn", "Paint on face", "PaintItem", 11},
    {"SpoitBtn", "Spoit color face", "SpoitItem", 12},
    {"QuadBtn", "Quadify triangulate quad", "QuadItem", 13},
    {"MoveBtn", "Move", "MoveItem", 31},
    {"RotateBtn", "Rotate", "RotateItem", 32},
    {"ScaleBtn", "Scale", "ScaleItem", 33},
    {"NormalMoveBtn", "Move Normal Direction", "NormalMoveItem", 34},
    {},
    {"ZoomBtn", "Zoom", "ZoomItem", 41},
    {"SelectZoomBtn", "Zoom Region", "SelectZoomItem", 42},
    {"PanBtn", "Pan View", "PanItem", 43},
    {"CameraBtn", "Rotate View", "CameraItem", 44},
    {},
    {"ObjectBtn", "Zoom to Selection", "ObjectItem"},
    {"AllObjectBtn", "Zoom All", "ObjectAllItem"},
};

constexpr std::array<ShortcutReplacement, 4> kReplacements = {{
    {"ZoomInItem", kShortcutCtrl | 0x6B},
    {"ZoomOutItem", kShortcutCtrl | 0x6D},
    {"DebugItem", 0},
    {"ViewNumberItem", 0},
}};

constexpr std::array<KeyName, 84> kKeys = {{
    {"BackSpace", 0x08}, {"Tab", 0x09},     {"Space", 0x20},  {"PageUp", 0x21}, {"PageDown", 0x22},
    {"End", 0x23},       {"Home", 0x24},    {"Insert", 0x2D}, {"Delete", 0x2E}, {"0", 0x30},
    {"1", 0x31},         {"2", 0x32},       {"3", 0x33},      {"4", 0x34},      {"5", 0x35},
    {"6", 0x36},         {"7", 0x37},       {"8", 0x38},      {"9", 0x39},      {"A", 0x41},
    {"B", 0x42},         {"C", 0x43},       {"D", 0x44},      {"E", 0x45},      {"F", 0x46},
    {"G", 0x47},         {"H", 0x48},       {"I", 0x49},      {"J", 0x4A},      {"K", 0x4B},
    {"L", 0x4C},         {"M", 0x4D},       {"N", 0x4E},      {"O", 0x4F},      {"P", 0x50},
    {"Q", 0x51},         {"R", 0x52},       {"S", 0x53},      {"T", 0x54},      {"U", 0x55},
    {"V", 0x56},         {"W", 0x57},       {"X", 0x58},      {"Y", 0x59},      {"Z", 0x5A},
    {"Num0", 0x60},      {"Num1", 0x61},    {"Num2", 0x62},   {"Num3", 0x63},   {"Num4", 0x64},
    {"Num5", 0x65},      {"Num6", 0x66},    {"Num7", 0x67},   {"Num8", 0x68},   {"Num9", 0x69},
    {"Num*", 0x6A},      {"Num+", 0x6B},    {"Num-", 0x6D},   {"Num.", 0x6E},   {"Num/", 0x6F},
    {"F1", 0x70},        {"F2", 0x71},      {"F3", 0x72},     {"F4", 0x73},     {"F5", 0x74},
    {"F6", 0x75},        {"F7", 0x76},      {"F8", 0x77},     {"F9", 0x78},     {"F10", 0x79},
    {"F11", 0x7A},       {"F12", 0x7B},     {":", 0xBA},      {";", 0xBB},      {",", 0xBC},
    {"-", 0xBD},         {".", 0xBE},       {"/", 0xBF},      {"@", 0xC0},      {"[", 0xDB},
    {"\\", 0xDC},        {"]", 0xDD},       {"^", 0xDE},      {"BackSlash", 0xE2},
}};

}  // namespace

const std::vector<CommandMenu>& MainMenu() { return kMenu; }

const CommandItem* FindCommand(std::string_view name) {
  for (const CommandMenu& menu : kMenu) {
    for (const CommandItem& item : menu.items) {
      if (!item.separator() && item.name == name) return &item;
    }
  }
  return nullptr;
}

const std::vector<ToolButton>& ToolbarButtons() { return kToolbar; }

std::string_view MenuItemHint(std::string_view name) {
  const CommandItem* item = FindCommand(name);
  if (item == nullptr) return {};
  if (!item->hint.empty()) return item->hint;
  for (const ToolButton& button : kToolbar) {
    if (!button.name.empty() && button.command == name) return button.hint;
  }
  return {};
}

std::span<const ShortcutReplacement> FirstShowShortcutReplacements() { return kReplacements; }

std::span<const KeyName> ShortcutKeyTable() { return kKeys; }

std::string ShortcutText(ShortcutValue value) {
  std::string text;
  if (value & kShortcutShift) text += "Shift+";
  if (value & kShortcutCtrl) text += "Ctrl+";
  if (value & kShortcutAlt) text += "Alt+";
  const uint8_t code = static_cast<uint8_t>(value & 0xFF);
  for (const KeyName& key : kKeys) {
    if (key.code == code) {
      text += key.name;
      break;
    }
  }
  return text;
}

std::vector<ShortcutEntry> BoundShortcuts(const std::vector<ShortcutEntry>& entries) {
  std::vector<ShortcutEntry> bound = entries;
  std::vector<ShortcutValue> taken;
  for (ShortcutEntry& entry : bound) {
    if (entry.value == 0) continue;
    if (std::find(taken.begin(), taken.end(), entry.value) != taken.end()) {
      entry.value = 0;
    } else {
      taken.push_back(entry.value);
    }
  }
  return bound;
}

namespace {

// The built-in keys the editable key table does not offer: the list names
// them too, where the shortcut text shows only their modifiers.
constexpr std::array<KeyName, 5> kFixedKeys = {{
    {"Enter", 0x0D}, {"Left", 0x25}, {"Up", 0x26}, {"Right", 0x27}, {"Down", 0x28},
}};

std::string ShortcutListText(ShortcutValue value) {
  std::string text = ShortcutText(value);
  const uint8_t code = static_cast<uint8_t>(value & 0xFF);
  for (const KeyName& key : kFixedKeys) {
    if (key.code == code) text += key.name;
  }
  return text;
}

}  // namespace

std::vector<ShortcutListRow> ShortcutListRows(const std::vector<ShortcutEntry>& entries) {
  std::vector<ShortcutListRow> rows;
  for (const ShortcutEntry& entry : BoundShortcuts(entries)) {
    if (entry.value == 0) continue;
    if (const CommandItem* item = FindCommand(entry.name)) {
      rows.push_back({ShortcutListText(entry.value), item->caption});
    }
  }
  return rows;
}

std::vector<ShortcutEntry> DefaultShortcuts() {
  std::vector<ShortcutEntry> entries;
  for (const CommandMenu& menu : kMenu) {
    for (const CommandItem& item : menu.items) {
      if (item.separator()) continue;
      entries.push_back({std::string(item.name), item.shortcut, item.tag});
    }
  }
  for (const ShortcutReplacement& replacement : kReplacements) {
    for (ShortcutEntry& entry : entries) {
      if (entry.name == replacement.name) entry.value = replacement.value;
    }
  }
  return entries;
}

}  // namespace vexal
