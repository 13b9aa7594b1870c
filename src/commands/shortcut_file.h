// The shortcut file (".kbd"): one "name=value" line per editable menu
// item, the value a ShortcutValue in decimal.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/command_table.h"

namespace vexal {

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
