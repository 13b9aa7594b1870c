// The check every command that adds records makes before it changes
// anything: no table may pass 19,999 records.
#pragma once

#include <string_view>

#include "commands/command_dispatcher.h"
#include "model/model.h"
#include "tools/capacity.h"
#include "io/message_catalog.h"

namespace vexal {

// The refusal for lack of room, with the status text the tools show.
inline CommandResult NoRoom() { return CommandResult::Refused(Translate(kTableFullText)); }

// Done when the model has room for the records; otherwise kRefused with a
// message naming `what` and the table that would overflow.
CommandResult CheckTableRoom(const Model& model, long long points, long long lines,
                             long long surfaces, std::string_view what);

}  // namespace vexal
