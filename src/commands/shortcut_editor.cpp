#include "commands/shortcut_editor.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

std::string CutAccelerator(std::string_view caption) {
  const size_t cut = caption.find("(&");
  return std::string(caption.substr(0, cut));
}

ShortcutValue EntryValue(const std::vector<ShortcutEntry>& entries, std::string_view name,
                         ShortcutValue fallback) {
  for (const ShortcutEntry& entry : entries) {
    if (entry.name == name) return entry.value;
  }
  return fallback;
}

}  // namespace

ShortcutEditor::ShortcutEditor(const std::vector<ShortcutEntry>& entries) {
  for (const CommandMenu& menu : MainMenu()) {
    nodes_.push_back({std::string(menu.name), CutAccelerator(menu.caption), 0, false, 0});
    for (const CommandItem& item : menu.items) {
      if (item.separator() || item.caption == "-") continue;
      const ShortcutValue value = EntryValue(entries, item.name, item.shortcut);
      if (item.tag == 1) {
        if (value != 0) reserved_.emplace_back(std::string(item.caption), value);
        continue;
      }
      nodes_.push_back({std::string(item.name), CutAccelerator(item.caption), 1, true, value});
    }
  }
}

ShortcutValue ShortcutEditor::Compose(bool shift, bool ctrl, bool alt, uint8_t key) {
  return static_cast<ShortcutValue>((shift ? kShortcutShift : 0) | (ctrl ? kShortcutCtrl : 0) |
                                    (alt ? kShortcutAlt : 0) | key);
}

std::string ShortcutEditor::currentText(int node) const {
  const ShortcutValue value = nodes_[static_cast<size_t>(node)].value;
  return value == 0 ? Translate("none") : ShortcutText(value);
}

std::string ShortcutEditor::assignedCaption(int node, ShortcutValue composed) const {
  if (composed == nodes_[static_cast<size_t>(node)].value) return "-";
  for (const ShortcutNode& other : nodes_) {
    if (other.leaf && other.value == composed) return other.caption;
  }
  for (const auto& [caption, value] : reserved_) {
    if (value == composed) return caption;
  }
  return "-";
}

SetShortcutOutcome ShortcutEditor::set(int node, ShortcutValue composed,
                                       const std::function<bool(const std::string&)>& confirm,
                                       std::string* message) {
  ShortcutNode& target = nodes_[static_cast<size_t>(node)];
  if (!target.leaf) return SetShortcutOutcome::kNotALeaf;
  if (composed == target.value) return SetShortcutOutcome::kUnchanged;
  for (const auto& [caption, value] : reserved_) {
    if (value == composed) {
      if (message) *message = FormatMessage("%s is the built-in key of [%s]", ShortcutText(composed).c_str(),
                                           caption.c_str());
      return SetShortcutOutcome::kReserved;
    }
  }
  bool declined = false;
  for (size_t i = 0; i < nodes_.size(); ++i) {
    ShortcutNode& other = nodes_[i];
    if (static_cast<int>(i) == node || !other.leaf || other.value != composed) continue;
    if (!confirm || confirm(other.caption)) {
      other.value = 0;
    } else {
      declined = true;
    }
  }
  if (declined) return SetShortcutOutcome::kDeclined;
  target.value = composed;
  return SetShortcutOutcome::kSet;
}

void ShortcutEditor::release(int node) { nodes_[static_cast<size_t>(node)].value = 0; }

void ShortcutEditor::apply(std::vector<ShortcutEntry>& entries) const {
  for (const ShortcutNode& node : nodes_) {
    if (!node.leaf) continue;
    for (ShortcutEntry& entry : entries) {
      if (entry.name == node.name && entry.tag == 0) entry.value = node.value;
    }
  }
}

std::string ShortcutEditor::OverwriteQuestion(const std::string& caption) {
  return FormatMessage("This shortcut is assigned to [%s]. Do you want to change it?", caption.c_str());
}

}  // namespace vexal
