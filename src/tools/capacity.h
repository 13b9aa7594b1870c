// The one check every drawing and splitting tool makes before it adds
// records: a table may hold 19999 records at most.
#pragma once

#include <cstdint>

#include "model/document.h"
#include "io/message_catalog.h"

namespace vexal {

// The status text shown when an edit is refused for lack of room (a marked
// message: show it through Translate).
inline constexpr const char* kTableFullText =
    MarkMessage("Not done: the points, lines or surfaces would pass the limit of 19999");

// True when the model can take that many more points, lines and surfaces.
inline bool HasRoomFor(const Model& model, int64_t points, int64_t lines, int64_t faces) {
  return model.pointCount + points <= kMaxCount && model.lineCount + lines <= kMaxCount &&
         model.faceCount + faces <= kMaxCount;
}

// HasRoomFor on the document's model; when the records do not fit the
// status bar says why and the caller must change nothing.
inline bool HasRoom(Document& document, int points, int lines, int faces) {
  if (HasRoomFor(document.model, points, lines, faces)) return true;
  document.notify().statusTextChanged(Translate(kTableFullText));
  return false;
}

}  // namespace vexal
