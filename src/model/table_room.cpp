#include "model/table_room.h"

#include "io/message_catalog.h"

namespace vexal {

const char* const kTableFullText =
    MarkMessage("Not done: the points, lines or surfaces would pass the limit of 19999");

Refusal TableFull() {
  return {Translate(kTableFullText)};
}

bool HasRoomFor(const Model& model, int64_t points, int64_t lines, int64_t faces) {
  return model.pointCount + points <= kMaxCount && model.lineCount + lines <= kMaxCount &&
         model.faceCount + faces <= kMaxCount;
}

MaybeRefusal CheckRoom(const Model& model, int64_t points, int64_t lines, int64_t faces) {
  if (HasRoomFor(model, points, lines, faces)) return std::nullopt;
  return TableFull();
}

void ShowRefusal(Document& document, const Refusal& refusal) {
  document.notify().statusTextChanged(refusal.reason);
}

bool HasRoom(Document& document, int64_t points, int64_t lines, int64_t faces) {
  const MaybeRefusal refusal = CheckRoom(document.model, points, lines, faces);
  if (refusal) ShowRefusal(document, *refusal);
  return !refusal;
}

}  // namespace vexal
