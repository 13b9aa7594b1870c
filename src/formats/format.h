// What every model reader and writer shares: the calling convention of the
// open and save dispatchers.
//
// A reader clears the document's model and fills it from a file; a writer
// writes the model to a file. Both return 1 on success and 0 on any failure,
// never show a message, and on failure leave a reason a person can read in
// context.reason (with a line number or byte offset where that helps).
// A reader that fails leaves no half-built model behind: the dispatcher
// restores the model it had before.
#pragma once

#include <string>
#include <vector>

namespace vexal {

struct Document;
struct Settings;

struct FormatContext {
  // Scales and options of the settings file; never null when a reader or
  // writer is called through the dispatchers.
  const Settings* settings = nullptr;
  // Why the last call returned 0.
  std::string reason;
  // Oddities a reader survived (an unknown chunk, a degenerate face dropped).
  std::vector<std::string> warnings;

  int fail(std::string why) {
    reason = std::move(why);
    return 0;
  }
};

using ReaderFunction = int (*)(Document& document, const std::string& path, FormatContext& context);
using WriterFunction = int (*)(Document& document, const std::string& path, FormatContext& context);

}  // namespace vexal
