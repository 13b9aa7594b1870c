// The Face menu's painting commands and the palette commands: surfaces made
// from closed loops of lines, repainting, the palette clipboard, texture
// reloads and stepping the current palette entry.
#pragma once

#include "commands/command_dispatcher.h"
#include "model/clipboard.h"
#include "model/document.h"

namespace vexal {

// Makes a triangle of every closed loop of three eligible lines and a quad
// of every loop of four without a diagonal, unless a surface covers it
// already, in the current palette material. Mode 0 takes every line that
// is not hidden, mode 1 the selected lines and their mirror images.
// Refused when the surfaces would pass 19999.
CommandResult CreateFaces(Document& document, int mode);

// The current palette material onto every selected surface.
CommandResult RepaintFaces(Document& document);

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
