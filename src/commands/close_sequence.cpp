#include "commands/close_sequence.h"

#include "io/message_catalog.h"

namespace vexal {

std::string SavePromptText(std::string_view caption) {
  return FormatMessage("%s         Save before to quit ?    ", std::string(caption).c_str());
}

bool ConfirmDocumentClose(bool force, std::string_view caption,
                          const std::function<bool()>& modified,
                          const std::function<SaveAnswer(const std::string& text)>& ask,
                          const std::function<void()>& save) {
  if (force || !modified()) return true;
  switch (ask(SavePromptText(caption))) {
    case SaveAnswer::kYes:
      save();
      return !modified();
    case SaveAnswer::kNo:
      return true;
    case SaveAnswer::kCancel:
      break;
  }
  return false;
}

bool CloseInTurn(const std::function<size_t()>& openCount,
                 const std::function<bool(size_t index)>& close) {
  size_t index = 0;
  for (;;) {
    const size_t before = openCount();
    if (index >= before) return true;
    if (!close(index)) return false;
    index = openCount() != before ? 0 : index + 1;
  }
}

}  // namespace vexal
