// A new document as every place that makes one starts it: the document
// window, and vexal-tool's commands that open a file.
#pragma once

namespace vexal {

struct Document;
struct Settings;

// Clears the document with an undo ring of settings.UndoDepth slots, gives
// its SCENE the display switches of the settings and takes the smoothing
// option (UseAngleSmooth).
void PrepareDocument(Document& document, const Settings& settings);

}  // namespace vexal
