#include "tools/pointer_target.h"

namespace vexal {

void DeliverPointer(PointerTarget& target, PointerAction action, const PointerEvent& event) {
  switch (action) {
    case PointerAction::kPress:
      target.press(event);
      return;
    case PointerAction::kMove:
      target.move(event);
      return;
    case PointerAction::kRelease:
      target.release(event);
      return;
    case PointerAction::kDoublePress: {
      target.doubleClick(event);
      PointerEvent second = event;
      second.shift |= kDoubleClick;
      target.press(second);
      return;
    }
  }
}

}  // namespace vexal
