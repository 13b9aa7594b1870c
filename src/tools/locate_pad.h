// The angle palette: a small pad whose mouse events drive the navigation
// of the active document window. Each event is translated into the
// modifier-key gesture the document window already understands and passed
// to its handlers; positions are passed unchanged, since the gestures use
// only differences from the press. A null document ignores everything.
#pragma once

#include "model/document.h"
#include "tools/pointer_event.h"
#include "tools/pointer_target.h"
#include "tools/workspace.h"

namespace vexal {

// Left press: Alt + left (rotate). Middle press: Alt + middle (pan). Right
// press: a plain right press while a rotation or pan runs (which cancels
// it), otherwise Alt+Ctrl + middle (zoom).
void LocatePress(Document* document, Workspace& workspace, const PointerEvent& event);
void LocateMove(Document* document, Workspace& workspace, const PointerEvent& event);
// Left arrives as left; right and middle arrive as middle.
void LocateRelease(Document* document, Workspace& workspace, const PointerEvent& event);
// The document's own double click, with the button as it came.
void LocateDoubleClick(Document* document, Workspace& workspace, MouseButton button);
void LocateWheel(Document* document, Workspace& workspace, int delta);

// The pad's handlers, for DeliverPointer.
class LocatePointer final : public PointerTarget {
 public:
  LocatePointer(Document* document, Workspace& workspace)
      : document_(document), workspace_(workspace) {}
  void press(const PointerEvent& event) override { LocatePress(document_, workspace_, event); }
  void move(const PointerEvent& event) override { LocateMove(document_, workspace_, event); }
  void release(const PointerEvent& event) override { LocateRelease(document_, workspace_, event); }
  void doubleClick(const PointerEvent& event) override {
    LocateDoubleClick(document_, workspace_, event.button);
  }

 private:
  Document* document_;
  Workspace& workspace_;
};

}  // namespace vexal
