#include "commands/window_list.h"

namespace vexal {

std::string WindowListCaption(size_t index, std::string_view caption) {
  std::string text = (index < 9 ? "&" : "") + std::to_string(index + 1) + " ";
  for (const char c : caption) {
    if (c == '&') text += '&';
    text += c;
  }
  return text;
}

}  // namespace vexal
