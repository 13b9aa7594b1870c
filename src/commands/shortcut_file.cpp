#include "commands/shortcut_file.h"

#include <charconv>
#include <filesystem>
#include <system_error>

#include "io/file_bytes.h"
#include "io/line_reader.h"

namespace vexal {

void ApplyShortcutText(std::string_view text, std::vector<ShortcutEntry>& entries) {
  for (ShortcutEntry& entry : entries) {
    if (entry.tag == 0) entry.value = 0;
  }
  LineReader reader(text);
  std::string_view line;
  while (reader.next(line)) {
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view name = line.substr(0, equals);
    const std::string_view number = line.substr(equals + 1);
    // Like atoi: leading blanks, an optional sign, digits; anything else 0.
    size_t start = 0;
    while (start < number.size() && (number[start] == ' ' || number[start] == '\t')) ++start;
    long parsed = 0;
    const char* first = number.data() + start;
    const char* last = number.data() + number.size();
    if (first != last && *first == '+') ++first;
    const auto result = std::from_chars(first, last, parsed);
    if (result.ec != std::errc()) parsed = 0;
    const ShortcutValue value = static_cast<ShortcutValue>(parsed & 0xFFFF);
    for (ShortcutEntry& entry : entries) {
      if (entry.name == name) entry.value = value;
    }
  }
}

bool LoadShortcutFile(const std::string& path, std::vector<ShortcutEntry>& entries) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(path, bytes, nullptr)) return false;
  ApplyShortcutText(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                    entries);
  return true;
}

std::string ShortcutFileText(const std::vector<ShortcutEntry>& entries) {
  std::string text;
  for (const ShortcutEntry& entry : entries) {
    if (entry.tag != 0) continue;
    text += entry.name;
    text += '=';
    text += std::to_string(entry.value);
    text += '\n';
  }
  return text;
}

bool SaveShortcutFile(const std::string& path, const std::vector<ShortcutEntry>& entries) {
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return false;
  }
  return WriteFileAtomically(path, ShortcutFileText(entries), nullptr);
}

}  // namespace vexal
