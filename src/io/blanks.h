// Blanks of the text formats that separate words with spaces and tabs.
#pragma once

#include <string_view>

namespace vexal {

inline bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

// text without its leading and trailing spaces and tabs.
inline std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsSpaceOrTab(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpaceOrTab(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace vexal
