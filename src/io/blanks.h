// Blanks of the text formats that separate words with spaces and tabs, and
// how a value read from such a file is shown in a message.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexal {

inline bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

// text without its leading and trailing spaces and tabs.
inline std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsSpaceOrTab(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpaceOrTab(text.back())) text.remove_suffix(1);
  return text;
}

// text without its leading and trailing white space: spaces, tabs, line
// feeds, vertical tabs and form feeds. CR is not among them: the readers
// that use this either drop it or end their lines at it.
inline std::string_view TrimWhiteSpace(std::string_view text) {
  const auto blank = [](char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f';
  };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// A value quoted in a message, cut short so that a hostile line cannot bloat
// it: at most 40 characters, then "...".
inline std::string Quoted(std::string_view text) {
  constexpr size_t kShown = 40;
  std::string shown(text.substr(0, kShown));
  if (text.size() > kShown) shown += "...";
  return "\"" + shown + "\"";
}

}  // namespace vexal
