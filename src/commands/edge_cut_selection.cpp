#include "commands/edge_cut_selection.h"

#include "commands/table_room.h"
#include "tools/edge_cut.h"

namespace vexal {

CommandResult EdgeCutSelection(Document& document) {
  switch (EdgeCut(document, 0, 0.5f)) {
    case EdgeCutResult::kNoRoom: return NoRoom();
    case EdgeCutResult::kCut:
    case EdgeCutResult::kNothing: break;
  }
  return CommandResult{};
}

}  // namespace vexal
