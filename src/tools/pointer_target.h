// The one place that knows in which order the window system reports the
// clicks of a button. Qt reports a double click as press, release,
// double-click, release: the double-click event stands in for the second
// press, and no press follows it. The handlers of the document view, the
// angle palette and the palette window want the double click first and the
// second press after it (a left double click's handler marks that press to
// be skipped; for the other buttons the handler does nothing and the press
// is an ordinary one). A widget forwards its raw events to DeliverPointer
// and does nothing else with them.
#pragma once

#include "tools/pointer_event.h"

namespace vexal {

// The raw mouse events of a widget; kDoublePress is the double-click
// event that stands in for a second press.
enum class PointerAction { kPress, kMove, kRelease, kDoublePress };

// The mouse handlers of one target in the core.
class PointerTarget {
 public:
  virtual ~PointerTarget() = default;
  virtual void press(const PointerEvent& event) = 0;
  virtual void move(const PointerEvent& event) = 0;
  virtual void release(const PointerEvent& event) = 0;
  // Acts for the left button only; any other button's is ignored.
  virtual void doubleClick(const PointerEvent& event) = 0;
};

// Hands one raw event to the target: a double click of any button becomes
// the target's double click followed by the press it replaced, that press
// carrying the kDoubleClick bit in its shift state.
void DeliverPointer(PointerTarget& target, PointerAction action, const PointerEvent& event);

}  // namespace vexal
