#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "commands/shortcut_file.h"

namespace vexal {
namespace {

TEST(ShortcutFile, LoadClearsUntaggedItemsAndKeepsTaggedOnes) {
  auto entries = DefaultShortcuts();
  ApplyShortcutText("FileNewItem=16462\r\nno equals sign\nUnknownItem=5\nFileOpenItem=junk\n"
                    "RightRotateItem=0\nLeftRotateItem=99\nUndoItem=37\n",
                    entries);
  for (const ShortcutEntry& entry : entries) {
    if (entry.name == "FileNewItem") {
      EXPECT_EQ(entry.value, 16462);
    } else if (entry.name == "UndoItem") {
      EXPECT_EQ(entry.value, 0x25);  // Left arrow, written by hand
    } else if (entry.name == "RightRotateItem") {
      EXPECT_EQ(entry.value, 0);  // named in the file, so set
    } else if (entry.name == "LeftRotateItem") {
      EXPECT_EQ(entry.value, 99);
    } else if (entry.name == "UpRotateItem") {
      EXPECT_EQ(entry.value, 0x26);  // tag 1: kept
    } else if (entry.tag == 0) {
      EXPECT_EQ(entry.value, 0) << entry.name;
    }
  }
}

TEST(ShortcutFile, WritesEditableItemsInMenuOrderAndReadsThemBack) {
  const auto entries = DefaultShortcuts();
  const std::string text = ShortcutFileText(entries);
  EXPECT_TRUE(text.starts_with("FileNewItem=16462\nFileOpenItem=16463\nFileCloseItem=0\n"));
  EXPECT_EQ(text.find("RightRotateItem"), std::string::npos);
  EXPECT_EQ(text.find("DebugItem"), std::string::npos);

  // The configuration folder may not exist yet.
  const std::string folder = ::testing::TempDir() + "/vexal_shortcuts_test";
  std::filesystem::remove_all(folder);
  const std::string path = folder + "/vexal/vexal.kbd";
  ASSERT_TRUE(SaveShortcutFile(path, entries));
  auto loaded = DefaultShortcuts();
  for (ShortcutEntry& entry : loaded) entry.value = 1;
  ASSERT_TRUE(LoadShortcutFile(path, loaded));
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].tag == 0) {
      EXPECT_EQ(loaded[i].value, entries[i].value) << entries[i].name;
    }
  }
  std::filesystem::remove_all(folder);
  auto untouched = DefaultShortcuts();
  EXPECT_FALSE(LoadShortcutFile(path, untouched));
  EXPECT_EQ(untouched[0].value, 16462);
}

}  // namespace
}  // namespace vexal
