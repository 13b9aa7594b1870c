// The tool of a document window and the routing of its mouse events: the
// temporary modifier-key gestures (with what a right press must restore),
// the per-tool press, the move chain, the release table, the double click
// and the change of tool. A window hands each raw mouse event to
// DeliverPointer with a DocumentPointer, which makes these calls; tests
// feed them event sequences and check the model and the view.
#pragma once

#include "model/document.h"
#include "tools/pointer_event.h"
#include "tools/pointer_target.h"
#include "tools/workspace.h"

namespace vexal {

enum Gesture : int32_t {
  kGestureRotateView = 50,  // Alt + left
  kGesturePan = 51,         // Alt + middle
  kGestureZoomRegion = 52,  // Alt+Ctrl + left
  kGestureZoom = 53,        // Alt+Ctrl + middle
  kGesturePanLeft = 55,     // Shift+Alt+Ctrl + left
  kGestureKnife = 60,       // Shift+Alt + left on empty space
  kGesturePictureScale = 98,  // Shift + right
  kGesturePictureMove = 99,   // Shift + middle
};

bool IsTransformTool(int32_t tool);
// True for the fifteen values a tool button can choose.
bool IsToolValue(int32_t tool);

// Commits or discards a half-drawn chain and ends a pending gesture, then
// takes the new tool and redraws.
void SetTool(Document& document, int32_t tool);

void MousePress(Document& document, Workspace& workspace, const PointerEvent& event);
void MouseMove(Document& document, Workspace& workspace, const PointerEvent& event);
void MouseRelease(Document& document, Workspace& workspace, const PointerEvent& event);
// A left double click runs the tool's double-click action and marks the
// press that comes with it to be skipped. Any other button's double click
// does nothing: its press is an ordinary one.
void DoubleClick(Document& document, Workspace& workspace, MouseButton button);

// The document view's handlers, for DeliverPointer.
class DocumentPointer final : public PointerTarget {
 public:
  DocumentPointer(Document& document, Workspace& workspace)
      : document_(document), workspace_(workspace) {}
  void press(const PointerEvent& event) override { MousePress(document_, workspace_, event); }
  void move(const PointerEvent& event) override { MouseMove(document_, workspace_, event); }
  void release(const PointerEvent& event) override { MouseRelease(document_, workspace_, event); }
  void doubleClick(const PointerEvent& event) override {
    DoubleClick(document_, workspace_, event.button);
  }

 private:
  Document& document_;
  Workspace& workspace_;
};

// Escape: cancels the gesture in progress exactly as a right press would
// (a view gesture restores its view value, a stroke takes back its last
// point, a paint or transform drag goes back with StepUndo(0), a region
// drag ends without selecting). The one difference: where a right press in
// Move would start an attach, Escape cancels the drag. Returns false and
// changes nothing when no gesture is in progress, so that the key can do
// whatever else it is bound to.
bool EscapeGesture(Document& document, Workspace& workspace);

}  // namespace vexal
