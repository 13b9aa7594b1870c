// What all document windows of one run share: the settings record, the
// clipboards and the little view state that belongs to no single window.
// The main window owns one; so does a headless `vexal-tool apply` run.
#pragma once

#include "model/clipboard.h"
#include "settings/settings.h"

namespace vexal {

struct Workspace {
  Settings settings;
  // The `perspective` value saved by the last flat-view step of any window.
  int flatViewMemory = 0;
  // Copy and Cut fill it, Paste reads it, in any document.
  PointClipboard clipboard;
  PaletteClipboard paletteClipboard;
};

}  // namespace vexal
