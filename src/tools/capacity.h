// The one check every drawing and splitting tool makes before it adds
// records: a table may hold 19999 records at most.
#pragma once

#include <cstdint>

#include "model/document.h"

namespace vexal {

// The status text shown when an edit is refused for lack of room.
inline constexpr const char* kTableFullText = "点・辺・面の数が上限の19999を超えるため実行できません";

// True when the model can take that many more points, lines and surfaces.
inline bool HasRoomFor(const Model& model, int64_t points, int64_t lines, int64_t faces) {
  return model.pointCount + points <= kMaxCount && model.lineCount + lines <= kMaxCount &&
         model.faceCount + faces <= kMaxCount;
}

// HasRoomFor on the document's model; when the records do not fit the
// status bar says why and the caller must change nothing.
inline bool HasRoom(Document& document, int points, int lines, int faces) {
  if (HasRoomFor(document.model, points, lines, faces)) return true;
  document.notify().statusTextChanged(kTableFullText);
  return false;
}

}  // namespace vexal
