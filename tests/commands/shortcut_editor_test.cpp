// The shortcut dialog's tree, labels, Set, Release and OK, and the round
// trip of what it produces through the shortcut file.
#include <gtest/gtest.h>

#include "commands/shortcut_editor.h"
#include "commands/shortcut_file.h"
#include "support/message_language.h"

namespace vexal {
namespace {

int NodeOf(const ShortcutEditor& editor, std::string_view name) {
  const auto& nodes = editor.nodes();
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i].name == name) return static_cast<int>(i);
  }
  ADD_FAILURE() << "no node " << name;
  return 0;
}

ShortcutValue ValueOf(const std::vector<ShortcutEntry>& entries, std::string_view name) {
  for (const ShortcutEntry& entry : entries) {
    if (entry.name == name) return entry.value;
  }
  ADD_FAILURE() << "no entry " << name;
  return 0;
}

TEST(ShortcutEditor, TheTreeHoldsEveryEditableItemInMenuOrderAndNoTaggedOne) {
  const ShortcutEditor editor(DefaultShortcuts());
  const auto& nodes = editor.nodes();
  ASSERT_FALSE(nodes.empty());
  EXPECT_EQ(nodes[0].name, "FileItem");
  EXPECT_FALSE(nodes[0].leaf);
  EXPECT_EQ(nodes[1].name, "FileNewItem");
  EXPECT_EQ(nodes[1].depth, 1);
  EXPECT_EQ(nodes[1].value, 0x404E);
  size_t leaves = 0;
  for (const ShortcutNode& node : nodes) {
    leaves += node.leaf;
    for (std::string_view tagged : {"RightRotateItem", "UVEditItem", "DebugItem", "AttachLineItem"}) {
      EXPECT_NE(node.name, tagged);
    }
  }
  // 134 items, 12 of them tagged; ten menus.
  EXPECT_EQ(leaves, 122u);
  EXPECT_EQ(nodes.size(), 132u);
  EXPECT_EQ(editor.currentText(NodeOf(editor, "FileNewItem")), "Ctrl+N");
  EXPECT_EQ(editor.currentText(NodeOf(editor, "FileCloseItem")), "none");
  const ScopedMessageLanguage japanese(MessageLanguage::kJapanese);
  EXPECT_EQ(editor.currentText(NodeOf(editor, "FileCloseItem")), "なし");
}

TEST(ShortcutEditor, SetMovesAnAssignmentAfterAskingAndANoKeepsBoth) {
  auto entries = DefaultShortcuts();
  ShortcutEditor editor(entries);
  const int close = NodeOf(editor, "FileCloseItem");
  const ShortcutValue ctrlN = ShortcutEditor::Compose(false, true, false, 'N');
  EXPECT_EQ(ctrlN, 16462);
  EXPECT_EQ(editor.assignedCaption(close, ctrlN), "New");
  EXPECT_EQ(editor.assignedCaption(NodeOf(editor, "FileNewItem"), ctrlN), "-");

  std::vector<std::string> asked;
  auto answer = [&](bool yes) {
    return [&asked, yes](const std::string& caption) {
      asked.push_back(caption);
      return yes;
    };
  };
  EXPECT_EQ(editor.set(close, ctrlN, answer(false), nullptr), SetShortcutOutcome::kDeclined);
  EXPECT_EQ(asked, std::vector<std::string>{"New"});
  EXPECT_EQ(editor.nodes()[static_cast<size_t>(close)].value, 0);
  EXPECT_EQ(editor.set(close, ctrlN, answer(true), nullptr), SetShortcutOutcome::kSet);
  EXPECT_EQ(editor.nodes()[static_cast<size_t>(NodeOf(editor, "FileNewItem"))].value, 0);
  EXPECT_EQ(editor.set(close, ctrlN, nullptr, nullptr), SetShortcutOutcome::kUnchanged);
  // Without the confirmation box the move is silent.
  const int open = NodeOf(editor, "FileOpenItem");
  asked.clear();
  EXPECT_EQ(editor.set(open, ctrlN, nullptr, nullptr), SetShortcutOutcome::kSet);
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(editor.nodes()[static_cast<size_t>(close)].value, 0);
  EXPECT_EQ(editor.set(0, ctrlN, nullptr, nullptr), SetShortcutOutcome::kNotALeaf);
  editor.release(open);

  editor.apply(entries);
  EXPECT_EQ(ValueOf(entries, "FileOpenItem"), 0);
  EXPECT_EQ(ValueOf(entries, "FileNewItem"), 0);
  EXPECT_EQ(ValueOf(entries, "RightRotateItem"), 0x27);
  EXPECT_NE(ShortcutEditor::OverwriteQuestion("New").find("[New]"), std::string::npos);
}

TEST(ShortcutEditor, ABuiltInKeyOfATaggedItemIsRefused) {
  auto entries = DefaultShortcuts();
  ShortcutEditor editor(entries);
  const int undo = NodeOf(editor, "UndoItem");
  // Ctrl+Right moves the palette; Right rotates the view.
  const ShortcutValue ctrlRight = ShortcutEditor::Compose(false, true, false, 0x27);
  EXPECT_EQ(editor.assignedCaption(undo, ctrlRight), "Move Right Pal");
  std::string message;
  EXPECT_EQ(editor.set(undo, ctrlRight, nullptr, &message), SetShortcutOutcome::kReserved);
  EXPECT_NE(message.find("Move Right Pal"), std::string::npos) << message;
  EXPECT_EQ(editor.nodes()[static_cast<size_t>(undo)].value, 0x405A);
}

TEST(ShortcutEditor, WhatOKAppliesSurvivesTheFileAndAHandWrittenArrowLoads) {
  auto entries = DefaultShortcuts();
  ShortcutEditor editor(entries);
  const ShortcutValue shiftAltF5 = ShortcutEditor::Compose(true, false, true, 0x74);
  ASSERT_EQ(editor.set(NodeOf(editor, "SmoothItem"), shiftAltF5, nullptr, nullptr),
            SetShortcutOutcome::kSet);
  editor.apply(entries);
  auto reloaded = DefaultShortcuts();
  ApplyShortcutText(ShortcutFileText(entries) + "ViewTextureItem=37\n", reloaded);
  for (const ShortcutEntry& entry : reloaded) {
    if (entry.name == "ViewTextureItem") {
      EXPECT_EQ(entry.value, 0x25);
    } else {
      EXPECT_EQ(entry.value, ValueOf(entries, entry.name)) << entry.name;
    }
  }
  // The dialog shows the hand-written key as its modifiers alone.
  const ShortcutEditor again(reloaded);
  EXPECT_EQ(again.currentText(NodeOf(again, "ViewTextureItem")), "");
  EXPECT_EQ(again.currentText(NodeOf(again, "SmoothItem")), "Shift+Alt+F5");
}

}  // namespace
}  // namespace vexal
