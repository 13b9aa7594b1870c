// The one check every drawing and splitting tool makes before it adds
// records: a table may hold 19999 records at most.
#pragma once

#include "model/document.h"

namespace vexal {

// The status text shown when an edit is refused for lack of room.
inline constexpr const char* kTableFullText = "点・辺・面の数が上限の19999を超えるため実行できません";

// True when `points`, `lines` and `faces` more records fit; otherwise the
// status bar says why and the caller must change nothing.
inline bool HasRoom(Document& document, int points, int lines, int faces) {
  const Model& model = document.model;
  if (model.pointCount + points <= kMaxCount && model.lineCount + lines <= kMaxCount &&
      model.faceCount + faces <= kMaxCount) {
    return true;
  }
  document.notify().statusTextChanged(kTableFullText);
  return false;
}

}  // namespace vexal
