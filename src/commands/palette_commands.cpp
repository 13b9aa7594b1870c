#include "commands/edit_frame.h"
#include "commands/palette_commands.h"
#include "model/maintenance.h"
#include "io/message_catalog.h"

namespace vexal {

void CopyPalette(const Document& document, PaletteClipboard& clipboard) {
  clipboard.materials = document.model.materials;
  clipboard.filled = true;
}

CommandResult PastePalette(Document& document, const PaletteClipboard& clipboard) {
  EditSteps steps;
  steps.normalFlags = kNormalsFace | kNormalsAngleSmoothed | kNormalsSelectedPoints;
  CommandResult result = RunEdit(document, steps, [&clipboard](Document& doc) {
    if (!clipboard.filled) return CommandResult::Refused(Translate("no palette has been copied"));
    for (int k = 0; k < kMaterialCount; ++k) {
      MATERIAL& entry = doc.model.materials[k];
      // What the document's own texture objects hold stays; a texture
      // whose file changes is reloaded when the step is recorded.
      MATERIAL pasted = clipboard.materials[k];
      pasted.textureWidth = entry.textureWidth;
      pasted.textureHeight = entry.textureHeight;
      pasted.textureLoaded = entry.textureLoaded;
      entry = pasted;
    }
    return CommandResult{};
  });
  if (result.ok()) document.notify().paletteChanged();
  return result;
}

void ReloadPaletteTexture(Document& document, int material) {
  document.notify().textureChanged(material);
  Redraw(document);
}

void ReloadAllPaletteTextures(Document& document) {
  for (int k = 0; k < kMaterialCount; ++k) document.notify().textureChanged(k);
  Redraw(document);
}

void StepPaletteIndex(Document& document, int step) {
  int32_t& index = document.scene.paletteIndex;
  index = ((index + step) % kMaterialCount + kMaterialCount) % kMaterialCount;
  document.notify().paletteChanged();
}

}  // namespace vexal
