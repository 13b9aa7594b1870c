// A literal, slow MirrorSelection: a scan of every surface for each mirror
// candidate and a scan of every line for each FindLine. It exists only to
// prove that the hashed version gives the same results.
#pragma once

#include "model/model.h"

namespace vexal::reference {

// false, changing nothing, when a table would pass 19999.
bool MirrorSelection(Model& model);

}  // namespace vexal::reference
