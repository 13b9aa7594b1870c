// The palette commands: the palette clipboard, texture reloads and
// stepping the current palette entry.
#pragma once

#include "commands/command_dispatcher.h"
#include "model/clipboard.h"
#include "model/document.h"

namespace vexal {

// The document's palette into the palette clipboard.
void CopyPalette(const Document& document, PaletteClipboard& clipboard);
// The palette clipboard into the document (one undo step); refused when
// the clipboard holds no palette. Texture sizes and load states stay those
// of the document's own textures until the textures are reloaded.
CommandResult PastePalette(Document& document, const PaletteClipboard& clipboard);

// Reload the texture of one palette entry, or of all sixteen.
void ReloadPaletteTexture(Document& document, int material);
void ReloadAllPaletteTextures(Document& document);

// Moves the current palette entry by step, wrapping 0..15.
void StepPaletteIndex(Document& document, int step);

}  // namespace vexal
