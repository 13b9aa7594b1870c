// What the shortcut-keys dialog edits, without the dialog: the editable
// menu items as a tree in menu order (each top-level menu a node, its items
// below it), the three labels, Set with its overwrite question, Release,
// and OK writing the values back. Items with tag 1 never appear; a key one
// of them uses (the arrow-key view rotations and the like) is refused, so an
// assignment can never shadow a built-in key.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "commands/command_table.h"
#include "io/message_catalog.h"

namespace vexal {

struct ShortcutNode {
  std::string name;     // the item name; the menu's name for a top-level node
  std::string caption;  // cut before "(&" (an accelerator suffix)
  int depth = 0;        // 0 for a top-level menu
  bool leaf = false;    // an item that can carry a shortcut
  ShortcutValue value = 0;
};

enum class SetShortcutOutcome {
  kSet,
  kNotALeaf,   // a top-level menu is selected
  kUnchanged,  // the node already has this value
  kReserved,   // a built-in key of a tag-1 item; message says which
  kDeclined,   // the user kept another item's assignment
};

class ShortcutEditor {
 public:
  // The tree with the values of `entries` (the current shortcuts).
  explicit ShortcutEditor(const std::vector<ShortcutEntry>& entries);

  const std::vector<ShortcutNode>& nodes() const { return nodes_; }

  // Shift 0x2000 + Ctrl 0x4000 + Alt 0x8000 + the key code.
  static ShortcutValue Compose(bool shift, bool ctrl, bool alt, uint8_t key);
  // "Current shortcut": the node's shortcut text, or "none" (in the message language) without one.
  std::string currentText(int node) const;
  // "A command is assigned": the caption of the first node carrying
  // `composed`, or "-" (also when it is the node's own value).
  std::string assignedCaption(int node, ShortcutValue composed) const;

  // Gives the leaf `composed`. Every other node carrying it is asked about
  // through confirm (caption -> true to take it away); without confirm it is
  // taken away silently. One "no" keeps the node's old value.
  SetShortcutOutcome set(int node, ShortcutValue composed,
                         const std::function<bool(const std::string&)>& confirm,
                         std::string* message);
  void release(int node);
  // OK: every editable entry takes its node's value.
  void apply(std::vector<ShortcutEntry>& entries) const;

  // The question Set asks about another item's assignment.
  static std::string OverwriteQuestion(const std::string& caption);

 private:
  std::vector<ShortcutNode> nodes_;
  std::vector<std::pair<std::string, ShortcutValue>> reserved_;  // tag-1 items
};

}  // namespace vexal
