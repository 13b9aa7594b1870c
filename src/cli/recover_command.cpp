// vexal-tool recover --list | --discard COPY: the recovery copies that
// ended runs of the modeller left behind (formats/recovery.h). --list prints
// one line per copy: its path, the document's path (or its caption when it
// was never saved) and when it was written, tab separated; the copy itself
// is an ordinary native document that info and convert read.
#include <cstdio>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "formats/recovery.h"

namespace vexal::cli {

int RunRecoverCommand(int argc, char** argv) {
  const std::string_view option = argc >= 1 ? argv[0] : "";
  const bool list = option == "--list" && argc == 1;
  const bool discard = option == "--discard" && argc == 2;
  if (!list && !discard) {
    std::fprintf(stderr, "usage: vexal-tool recover --list | --discard COPY\n");
    return 2;
  }
  RecoveryFolder folder(DefaultRecoveryFolder());
  if (discard) {
    std::string reason;
    if (!folder.discard(argv[1], &reason)) {
      std::fprintf(stderr, "%s\n", reason.c_str());
      return 1;
    }
    return 0;
  }
  std::vector<RecoveryEntry> entries;
  std::string reason;
  if (!folder.entries(entries, &reason)) {
    std::fprintf(stderr, "%s\n", reason.c_str());
    return 1;
  }
  for (const RecoveryEntry& entry : folder.recoverable()) {
    std::printf("%s\t%s\t%s\n", entry.copy.c_str(), entry.original().c_str(),
                IsoTime(entry.written).c_str());
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace vexal::cli
