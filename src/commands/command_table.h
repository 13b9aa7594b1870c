// The main window's commands as data: every top-level menu and item in
// order with its name (also its key in the shortcut file), caption, default
// shortcut, tag and the rule that enables it; and the toolbar buttons.
// The application builds its menus from this table, so the order, names and
// texts live in one place and are testable without a display.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexal {

// Shortcut value: bits 0-7 a Windows virtual-key code; 0x2000 Shift,
// 0x4000 Ctrl, 0x8000 Alt; 0 none.
using ShortcutValue = uint16_t;
inline constexpr ShortcutValue kShortcutShift = 0x2000;
inline constexpr ShortcutValue kShortcutCtrl = 0x4000;
inline constexpr ShortcutValue kShortcutAlt = 0x8000;

enum class EnableRule {
  kAlways,
  kDocument,           // at least one document window
  kUndo,               // a document with undo depth > 0
  kRedo,               // a document with redo depth > 0
  kPoints,             // the active model has a point
  kSelection,          // a point is selected
  kUnselected,         // selected count differs from the point count
  kClipboard,          // the point clipboard is not empty
  kPaletteClipboard,   // the palette clipboard holds a palette
};

struct CommandItem {
  std::string_view name;  // empty for a separator
  std::string_view caption;
  ShortcutValue shortcut = 0;
  // Tag 1: keeps its built-in shortcut; never in the shortcut file.
  int tag = 0;
  EnableRule rule = EnableRule::kAlways;
  // The item's own hint, where it has one.
  std::string_view hint;

  bool separator() const { return name.empty(); }
};

struct CommandMenu {
  std::string_view name;
  std::string_view caption;
  std::vector<CommandItem> items;
};

// The main menu, in order.
const std::vector<CommandMenu>& MainMenu();
// The item of that name, or null.
const CommandItem* FindCommand(std::string_view name);

struct ToolButton {
  std::string_view name;  // empty for a separator
  std::string_view hint;
  std::string_view command;  // the menu item of the same role
  int tool = -1;             // tool value for the fifteen radio buttons
};
const std::vector<ToolButton>& ToolbarButtons();

// The hint the status bar shows while the pointer rests on a menu item: its
// own hint, else the hint of the toolbar button that runs it, else "".
std::string_view MenuItemHint(std::string_view name);

// The four replacements made when the main window is first shown.
struct ShortcutReplacement {
  std::string_view name;
  ShortcutValue value;
};
std::span<const ShortcutReplacement> FirstShowShortcutReplacements();

// The 84 keys the shortcut dialog offers, in order.
struct KeyName {
  std::string_view name;
  uint8_t code;
};
std::span<const KeyName> ShortcutKeyTable();
// "Shift+Ctrl+Alt+<key>"; a key outside the table shows only the prefixes.
std::string ShortcutText(ShortcutValue value);

// The shortcut of every item below the top level, by name, as the shortcut
// file reads and writes it.
struct ShortcutEntry {
  std::string name;
  ShortcutValue value = 0;
  int tag = 0;
};
std::vector<ShortcutEntry> DefaultShortcuts();

// The keys the application binds: one key, one command. A key given to
// several items belongs to the first of them in menu order, where a search
// of the menus from the top finds it; the later items keep their value in
// the entries (and the shortcut file) but bind no key and show none. (The
// default table gives Ctrl+Del to both "Delete Vertices On The Edge" and
// "UV Clear"; a toolkit that finds two actions on one key runs neither.)
// Entries are expected in menu order, as DefaultShortcuts gives them.
std::vector<ShortcutEntry> BoundShortcuts(const std::vector<ShortcutEntry>& entries);

// One row of the keys the Shortcut Keys List shows: the key's text and
// the caption of the item it runs.
struct ShortcutListRow {
  std::string key;
  std::string_view caption;

  friend bool operator==(const ShortcutListRow&, const ShortcutListRow&) = default;
};
// The rows for the bindings in entries (as the main window holds them now,
// in menu order): every item that binds a key, in menu order; a key given
// to several items is listed for the one it runs (see BoundShortcuts).
// Entries that name no menu item are left out.
std::vector<ShortcutListRow> ShortcutListRows(const std::vector<ShortcutEntry>& entries);

// Reads a ".kbd" file into entries: when the file can be read, every tag-0
// entry is cleared first, then each "name=value" line sets the entry of that
// name (malformed numbers read as 0, unknown names ignored). Returns false
// (changing nothing) when the file cannot be read.
bool LoadShortcutFile(const std::string& path, std::vector<ShortcutEntry>& entries);
// Parses the text of a ".kbd" file as LoadShortcutFile does.
void ApplyShortcutText(std::string_view text, std::vector<ShortcutEntry>& entries);
// "name=value\n" for every tag-0 entry, in menu order.
std::string ShortcutFileText(const std::vector<ShortcutEntry>& entries);
// Writes the file, creating its folder when missing (the first time the
// shortcuts are changed the configuration folder may not exist yet).
bool SaveShortcutFile(const std::string& path, const std::vector<ShortcutEntry>& entries);

}  // namespace vexal
