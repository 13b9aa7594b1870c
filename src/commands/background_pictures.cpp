#include "commands/background_pictures.h"
#include "io/message_catalog.h"

namespace vexal {

PictureValues PictureValuesOf(const Document& document) {
  PictureValues values;
  for (int slot = 0; slot < kPictureSlots; ++slot) {
    const BPICTURE& picture = document.model.pictures[static_cast<size_t>(slot)];
    PictureSlotValues& out = values.pictures[static_cast<size_t>(slot)];
    out.path = std::string(TextOf(picture.path));
    out.flipSide = picture.flipSide != 0;
    out.flip = picture.flip != 0;
  }
  values.scale = document.scene.pictureScale;
  values.depth = document.scene.pictureDepth;
  return values;
}

CommandResult ApplyPictureValues(Document& document, const PictureValues& values,
                                 const std::array<bool, kPictureSlots>& pathEdited,
                                 std::array<bool, kPictureSlots>& reload) {
  reload = {};
  for (const PictureSlotValues& slot : values.pictures) {
    if (slot.path.size() >= static_cast<size_t>(kTextCapacity)) {
      return CommandResult::Refused(
          FormatMessage("a picture path may hold at most %d characters", kTextCapacity - 1));
    }
  }
  for (int slot = 0; slot < kPictureSlots; ++slot) {
    const size_t k = static_cast<size_t>(slot);
    BPICTURE& picture = document.model.pictures[k];
    SetText(picture.path, values.pictures[k].path);
    picture.flipSide = values.pictures[k].flipSide ? 1 : 0;
    picture.flip = values.pictures[k].flip ? 1 : 0;
    reload[k] = pathEdited[k];
  }
  document.scene.pictureScale = values.scale;
  document.scene.pictureDepth = values.depth;
  Redraw(document);
  return {};
}

}  // namespace vexal
