// The check every generator makes before it appends anything: the tables
// hold at most 19,999 records each.
#pragma once

#include <string_view>

#include "commands/command_dispatcher.h"
#include "model/model.h"

namespace vexal {

// Done when the model has room for the records; otherwise kRefused with a
// message naming `what` and the table that would overflow.
CommandResult CheckTableRoom(const Model& model, long long points, long long lines,
                             long long surfaces, std::string_view what);

}  // namespace vexal
