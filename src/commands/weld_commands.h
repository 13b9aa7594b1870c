// The attach menu commands on a document: one undo step, none when nothing
// is selected or the weld would not fit (refused with a message).
#pragma once

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

CommandResult RunAttachSingle(Document& document);
// The weld radius is 0.1 / zoom of the document's view.
CommandResult RunAttachApproximate(Document& document);
CommandResult RunAttachSame(Document& document);

}  // namespace vexal
