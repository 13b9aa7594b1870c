// The commands end their edits in the model's frame; CommandResult converts
// to and from its outcome.
#pragma once

#include "commands/command_dispatcher.h"
#include "model/edit_frame.h"
