// The shortcut table's virtual-key values as Qt key sequences.
#pragma once

#include <QKeySequence>

#include "commands/command_table.h"

namespace vexal::app {

// Virtual-key shortcut value to a Qt key sequence (0 gives none).
QKeySequence KeySequenceFromShortcut(ShortcutValue value);

}  // namespace vexal::app
