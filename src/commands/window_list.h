// The Window menu's list of open documents.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vexal {

// The Window menu's item for the open document at index (0-based, in the
// order the windows were opened): "&<k> <caption>" for the first nine (k =
// index + 1, its digit the accelerator), "<k> <caption>" after them. An "&"
// of the caption is doubled so that it shows as itself.
std::string WindowListCaption(size_t index, std::string_view caption);

}  // namespace vexal
