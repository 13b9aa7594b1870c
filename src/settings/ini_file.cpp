#include "settings/ini_file.h"

#include "io/line_reader.h"
#include "io/message_catalog.h"

namespace vexal {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool IsQuote(char c) {
  return c == '"' || c == '\'';
}

bool QuotedWhole(std::string_view value) {
  return value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front();
}

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool IsCleanName(std::string_view name) {
  return !name.empty() && Trim(name).size() == name.size() && !HasLineBreakOrNul(name);
}

}  // namespace

bool IniFile::parse(std::string_view text, std::string* reason) {
  sections_.clear();
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  LineReader lines(text, LineReader::Ends::kLineFeed, kMaxLineBytes);
  Section* current = nullptr;
  std::string_view line;
  while (lines.next(line)) {
    line = Trim(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const size_t close = line.find(']');
      // A header without its bracket still opens the section, as the
      // Windows reader does.
      const std::string_view name = Trim(
          line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
      sections_.push_back(Section{std::string(name), {}});
      current = &sections_.back();
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos || current == nullptr) continue;
    std::string_view value = Trim(line.substr(equals + 1));
    if (QuotedWhole(value)) value = value.substr(1, value.size() - 2);
    current->entries.push_back(
        Entry{std::string(Trim(line.substr(0, equals))), std::string(value)});
  }
  if (lines.tooLong()) {
    if (reason) *reason = FormatMessage("line %zu is too long", lines.lineNumber() + 1);
    return false;
  }
  return true;
}

const std::string* IniFile::find(std::string_view section, std::string_view key) const {
  for (const Section& candidate : sections_) {
    if (!SameName(candidate.name, section)) continue;
    for (const Entry& entry : candidate.entries) {
      if (SameName(entry.key, key)) return &entry.value;
    }
  }
  return nullptr;
}

bool IniFile::set(std::string_view section, std::string_view key, std::string_view value) {
  if (!IsCleanName(section) || section.find(']') != std::string_view::npos) return false;
  if (!IsCleanName(key) || key.find('=') != std::string_view::npos || key.front() == ';' ||
      key.front() == '[') {
    return false;
  }
  if (HasLineBreakOrNul(value)) return false;
  Section* target = nullptr;
  for (Section& candidate : sections_) {
    if (!SameName(candidate.name, section)) continue;
    for (Entry& entry : candidate.entries) {
      if (SameName(entry.key, key)) {
        entry.value = value;
        return true;
      }
    }
    if (target == nullptr) target = &candidate;
  }
  if (target == nullptr) {
    sections_.push_back(Section{std::string(section), {}});
    target = &sections_.back();
  }
  target->entries.push_back(Entry{std::string(key), std::string(value)});
  return true;
}

std::string IniFile::text() const {
  std::string out;
  for (const Section& section : sections_) {
    if (!out.empty()) out += "\r\n";
    out += '[';
    out += section.name;
    out += "]\r\n";
    for (const Entry& entry : section.entries) {
      out += entry.key;
      out += '=';
      const std::string_view value = entry.value;
      if (Trim(value).size() != value.size() || QuotedWhole(value)) {
        out += '"';
        out += value;
        out += '"';
      } else {
        out += value;
      }
      out += "\r\n";
    }
  }
  return out;
}

}  // namespace vexal
