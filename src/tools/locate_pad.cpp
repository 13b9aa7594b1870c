#include "tools/locate_pad.h"

#include "tools/navigation.h"
#include "tools/tool_dispatch.h"

namespace vexal {
namespace {

// The mouse-button bits stay; the modifier keys are replaced.
int Buttons(int shift) { return shift & 0xF8; }

}  // namespace

void LocatePress(Document* document, Workspace& workspace, const PointerEvent& event) {
  if (!document) return;
  PointerEvent forwarded = event;
  switch (event.button) {
    case MouseButton::kLeft:
      forwarded.shift = Buttons(event.shift) + kAltKey;
      break;
    case MouseButton::kMiddle:
      forwarded.shift = Buttons(event.shift) + kAltKey;
      break;
    case MouseButton::kRight: {
      const MODE& mode = document->mode;
      if ((mode.tool == kGestureRotateView || mode.tool == kGesturePan) && mode.state == 1) {
        forwarded.shift = Buttons(event.shift);
      } else {
        forwarded.button = MouseButton::kMiddle;
        forwarded.shift = Buttons(event.shift) + kAltKey + kCtrlKey;
      }
      break;
    }
    case MouseButton::kOther:
      return;
  }
  MousePress(*document, workspace, forwarded);
}

void LocateMove(Document* document, Workspace& workspace, const PointerEvent& event) {
  if (!document) return;
  PointerEvent forwarded = event;
  forwarded.shift = Buttons(event.shift);
  MouseMove(*document, workspace, forwarded);
}

void LocateRelease(Document* document, Workspace& workspace, const PointerEvent& event) {
  if (!document) return;
  PointerEvent forwarded = event;
  forwarded.shift = Buttons(event.shift);
  switch (event.button) {
    case MouseButton::kLeft:
      break;
    case MouseButton::kRight:
    case MouseButton::kMiddle:
      forwarded.button = MouseButton::kMiddle;
      break;
    case MouseButton::kOther:
      return;
  }
  MouseRelease(*document, workspace, forwarded);
}

void LocateDoubleClick(Document* document, Workspace& workspace, MouseButton button) {
  if (document) DoubleClick(*document, workspace, button);
}

void LocateWheel(Document* document, Workspace& workspace, int delta) {
  if (document) WheelZoom(*document, workspace.settings, delta);
}

}  // namespace vexal
