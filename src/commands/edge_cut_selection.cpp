#include "commands/edge_cut_selection.h"

#include "model/table_room.h"
#include "tools/edge_cut.h"

namespace vexal {

CommandResult EdgeCutSelection(Document& document) {
  switch (EdgeCut(document, 0, 0.5f)) {
    case EdgeCutResult::kNoRoom: return CommandResult::Refused(TableFull());
    case EdgeCutResult::kCut:
    case EdgeCutResult::kNothing: break;
  }
  return CommandResult{};
}

}  // namespace vexal
