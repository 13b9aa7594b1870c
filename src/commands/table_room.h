// The check every command that adds records makes before it changes
// anything: no table may pass 19999 records.
#pragma once

#include <cstdint>

#include "commands/command_dispatcher.h"
#include "model/model.h"

namespace vexal {

// Shown in the status bar (and by `apply`) when a command is refused for
// lack of room.
inline constexpr const char* kNoRoomText =
    "点・辺・面の数が上限の19999を超えるため実行できません";

// True when the model can take that many more points, lines and surfaces.
inline bool HasRoomFor(const Model& model, int64_t points, int64_t lines, int64_t faces) {
  return model.pointCount + points <= kMaxCount && model.lineCount + lines <= kMaxCount &&
         model.faceCount + faces <= kMaxCount;
}

inline CommandResult NoRoom() { return CommandResult::Refused(kNoRoomText); }

}  // namespace vexal
