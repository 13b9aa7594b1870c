// What the background-picture window edits: the three picture slots' paths
// and flips and the shared scale and depth, as a working copy that OK
// copies into the document. Only the slots whose path text was edited are
// reloaded.
#pragma once

#include <array>
#include <string>

#include "commands/command_dispatcher.h"
#include "model/document.h"

namespace vexal {

struct PictureSlotValues {
  std::string path;
  bool flipSide = false;  // "Flip Side Image"
  bool flip = false;      // "Flip Image"
};

struct PictureValues {
  std::array<PictureSlotValues, kPictureSlots> pictures;
  float scale = 1.0f;
  float depth = 2.0f;
};

// The document's slots, scale and depth.
PictureValues PictureValuesOf(const Document& document);

// OK: copies the values into the document and sets reload[slot] for every
// slot whose path was edited. A path of 260 characters or more is refused
// (kRefused, the document unchanged) rather than cut.
CommandResult ApplyPictureValues(Document& document, const PictureValues& values,
                                 const std::array<bool, kPictureSlots>& pathEdited,
                                 std::array<bool, kPictureSlots>& reload);

}  // namespace vexal
