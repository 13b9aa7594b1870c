// Why a command, a tool, a reader or a writer did not do what it was asked.
//
// Whatever refuses says so before it changes anything, and says why in the
// user's language: the reason is made where the refusal is raised, from a
// marked message of the catalogue (Translate, FormatMessage). Whoever shows
// it (the status bar, a message box, vexal-tool's error line) shows the
// reason as it is and adds nothing but its own frame around it.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace vexal {

struct Refusal {
  std::string reason;

  bool operator==(const Refusal&) const = default;
};

// Nothing when the work was done, else why it was refused.
using MaybeRefusal = std::optional<Refusal>;

}  // namespace vexal
