// Closing document windows: the save prompt of one window and the order in
// which Close All and Quit go through them.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vexal {

inline constexpr std::string_view kSavePromptCaption = "VEXAL";

// The question a modified document's window asks before it closes.
std::string SavePromptText(std::string_view caption);

enum class SaveAnswer { kYes, kNo, kCancel };

// Whether a document window closes. Without asking when force is set (the
// window holds nothing that was loaded) or the document is not modified;
// else ask(SavePromptText) decides: Yes saves and closes only when the save
// left the document unmodified (a cancelled or failed save keeps it open),
// No closes without saving, Cancel keeps it open.
bool ConfirmDocumentClose(bool force, std::string_view caption,
                          const std::function<bool()>& modified,
                          const std::function<SaveAnswer(const std::string& text)>& ask,
                          const std::function<void()>& save);

// Close All: closes the open windows one by one, from the first. A close
// may take other windows with it or leave one open, so after a close that
// changed the count it starts again from the first, and a window that
// stayed open is passed over. close(index) returns false when the user
// cancelled, which ends the loop. Returns false when one was cancelled.
bool CloseInTurn(const std::function<size_t()>& openCount,
                 const std::function<bool(size_t index)>& close);

}  // namespace vexal
