#include <gtest/gtest.h>

#include <set>

#include "commands/command_table.h"

namespace vexal {
namespace {

TEST(CommandTable, MenusItemsAndNamesAreUniqueAndComplete) {
  const auto& menu = MainMenu();
  ASSERT_EQ(menu.size(), 10u);
  EXPECT_EQ(menu.front().caption, "File");
  EXPECT_EQ(menu.back().name, "HelpItem");
  std::set<std::string_view> names;
  size_t items = 0;
  for (const CommandMenu& m : menu) {
    for (const CommandItem& item : m.items) {
      if (item.separator()) continue;
      ++items;
      EXPECT_TRUE(names.insert(item.name).second) << item.name;
      EXPECT_TRUE(item.name.ends_with("Item")) << item.name;
      EXPECT_FALSE(item.caption.empty()) << item.name;
    }
  }
  EXPECT_EQ(items, 134u);
  // Every toolbar button acts like a menu item that exists.
  int radio = 0;
  for (const ToolButton& button : ToolbarButtons()) {
    if (button.name.empty()) continue;
    EXPECT_NE(FindCommand(button.command), nullptr) << button.name;
    radio += button.tool >= 0;
  }
  EXPECT_EQ(radio, 15);
}

TEST(CommandTable, DefaultShortcutsAndTheirTexts) {
  EXPECT_EQ(FindCommand("FileNewItem")->shortcut, 16462);  // Ctrl+N
  EXPECT_EQ(FindCommand("FileSaveAsItem")->shortcut, kShortcutShift | kShortcutCtrl | 'S');
  EXPECT_EQ(FindCommand("LoopSplitItem")->shortcut, 0xBC);    // ","
  EXPECT_EQ(FindCommand("GridItem")->shortcut, 0xC0);         // "@"
  EXPECT_EQ(FindCommand("RightRotateItem")->shortcut, 0x27);  // Right arrow
  EXPECT_EQ(FindCommand("RightRotateItem")->tag, 1);
  EXPECT_EQ(ShortcutText(kShortcutShift | kShortcutCtrl | kShortcutAlt | 0x70), "Shift+Ctrl+Alt+F1");
  EXPECT_EQ(ShortcutText(kShortcutCtrl | 0x6F), "Ctrl+Num/");
  EXPECT_EQ(ShortcutText(kShortcutCtrl | 0x25), "Ctrl+");  // not in the key table
  EXPECT_EQ(ShortcutKeyTable().size(), 84u);
  const auto defaults = DefaultShortcuts();
  for (const ShortcutEntry& entry : defaults) {
    if (entry.name == "ZoomInItem") {
      EXPECT_EQ(entry.value, kShortcutCtrl | 0x6B);
    } else if (entry.name == "DebugItem") {
      EXPECT_EQ(entry.value, 0);
    }
  }
}

TEST(CommandTable, MenuItemsHintTheirOwnTextOrTheirToolbarButtons) {
  EXPECT_EQ(MenuItemHint("LoopAttachItem"), "Combined continuous surface");
  EXPECT_EQ(MenuItemHint("PipeItem"), "Create a pipe around a edge");
  EXPECT_EQ(MenuItemHint("MoveItem"), "Move");
  EXPECT_EQ(MenuItemHint("SelectItem"), "Rectangular Selection Region");
  EXPECT_EQ(MenuItemHint("FileSaveAsItem"), "Save As");
  EXPECT_EQ(MenuItemHint("WindowCascadeItem"), "");
  EXPECT_EQ(MenuItemHint("NoSuchItem"), "");
  for (const ToolButton& button : ToolbarButtons()) {
    if (button.name.empty()) continue;
    EXPECT_EQ(MenuItemHint(button.command), button.hint) << button.name;
  }
}

TEST(CommandTable, TheShortcutListShowsTheKeysBoundNow) {
  auto entries = DefaultShortcuts();
  auto set = [&](std::string_view name, ShortcutValue value) {
    for (ShortcutEntry& entry : entries) {
      if (entry.name == name) entry.value = value;
    }
  };
  auto keysOf = [](const std::vector<ShortcutListRow>& rows, std::string_view caption) {
    std::vector<std::string> keys;
    for (const ShortcutListRow& row : rows) {
      if (row.caption == caption) keys.push_back(row.key);
    }
    return keys;
  };
  std::vector<ShortcutListRow> rows = ShortcutListRows(entries);
  EXPECT_EQ(keysOf(rows, "New"), std::vector<std::string>{"Ctrl+N"});
  // The first-show replacements are the keys bound, not the table's.
  EXPECT_EQ(keysOf(rows, "Zoom In"), std::vector<std::string>{"Ctrl+Num+"});
  EXPECT_TRUE(keysOf(rows, "Debug").empty());
  // Ctrl+Del runs the first item that has it; the other is not listed.
  EXPECT_EQ(keysOf(rows, "Delete Vertices On The Edge"), std::vector<std::string>{"Ctrl+Delete"});
  EXPECT_TRUE(keysOf(rows, "UV Clear").empty());
  // The built-in keys outside the editable table are named in the list.
  EXPECT_EQ(keysOf(rows, "Rotate Right"), std::vector<std::string>{"Right"});
  EXPECT_EQ(keysOf(rows, "Rotate Down"), std::vector<std::string>{"Down"});
  EXPECT_EQ(keysOf(rows, "Create a fixed point"), std::vector<std::string>{"Enter"});
  EXPECT_EQ(keysOf(rows, "Move Left Pal"), std::vector<std::string>{"Ctrl+Left"});
  EXPECT_EQ(ShortcutText(0x4027), "Ctrl+");

  // Reassigned in the Shortcut Keys dialog: the list follows.
  set("FileNewItem", kShortcutShift | kShortcutCtrl | 'K');
  set("FileOpenItem", 0);
  rows = ShortcutListRows(entries);
  EXPECT_EQ(keysOf(rows, "New"), std::vector<std::string>{"Shift+Ctrl+K"});
  EXPECT_TRUE(keysOf(rows, "Open...").empty());
  // Rows come in menu order: New before Save.
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(rows[0].caption, "New");
  EXPECT_EQ(rows[1].caption, "Save");
}

TEST(CommandTable, OneKeyBindsOneCommandTheFirstInMenuOrder) {
  const auto defaults = DefaultShortcuts();
  const auto bound = BoundShortcuts(defaults);
  ASSERT_EQ(bound.size(), defaults.size());
  std::set<ShortcutValue> keys;
  for (size_t i = 0; i < bound.size(); ++i) {
    EXPECT_EQ(bound[i].name, defaults[i].name);
    if (bound[i].value == 0) continue;
    EXPECT_EQ(bound[i].value, defaults[i].value) << bound[i].name;
    EXPECT_TRUE(keys.insert(bound[i].value).second) << bound[i].name;
  }
  auto valueOf = [](const std::vector<ShortcutEntry>& entries, std::string_view name) {
    for (const ShortcutEntry& entry : entries) {
      if (entry.name == name) return entry.value;
    }
    return ShortcutValue{0xFFFF};
  };
  const ShortcutValue ctrlDelete = kShortcutCtrl | 0x2E;
  EXPECT_EQ(valueOf(bound, "DeleteLinePointItem"), ctrlDelete);
  EXPECT_EQ(valueOf(bound, "ClearUVItem"), 0);
  EXPECT_EQ(valueOf(defaults, "ClearUVItem"), ctrlDelete);  // still saved as it was
  // A key the user moves to a later item goes to the earlier one only.
  auto edited = defaults;
  for (ShortcutEntry& entry : edited) {
    if (entry.name == "HelpAboutItem") entry.value = kShortcutCtrl | 'N';
  }
  EXPECT_EQ(valueOf(BoundShortcuts(edited), "HelpAboutItem"), 0);
  EXPECT_EQ(valueOf(BoundShortcuts(edited), "FileNewItem"), kShortcutCtrl | 'N');
}

}  // namespace
}  // namespace vexal
