// The order in which raw window events reach a target's handlers.
#include "tools/pointer_target.h"

#include <gtest/gtest.h>

#include <string>

namespace vexal {
namespace {

struct Recording final : PointerTarget {
  std::string calls;
  void note(char kind, const PointerEvent& event) {
    calls += kind;
    calls += std::to_string(static_cast<int>(event.button));
    calls += '/';
    calls += std::to_string(event.shift);
    calls += ' ';
  }
  void press(const PointerEvent& event) override { note('P', event); }
  void move(const PointerEvent& event) override { note('M', event); }
  void release(const PointerEvent& event) override { note('R', event); }
  void doubleClick(const PointerEvent& event) override { note('D', event); }
};

TEST(DeliverPointer, ADoubleClickIsTheHandlerThenThePressItReplaced) {
  struct Case {
    PointerAction action;
    MouseButton button;
    int shift;
    const char* calls;
  };
  const Case cases[] = {
      {PointerAction::kPress, MouseButton::kRight, kShiftKey, "P1/1 "},
      {PointerAction::kMove, MouseButton::kLeft, kLeftHeld, "M0/8 "},
      {PointerAction::kRelease, MouseButton::kMiddle, 0, "R2/0 "},
      {PointerAction::kDoublePress, MouseButton::kLeft, kLeftHeld, "D0/8 P0/72 "},
      {PointerAction::kDoublePress, MouseButton::kRight, kCtrlKey | kRightHeld, "D1/20 P1/84 "},
      {PointerAction::kDoublePress, MouseButton::kMiddle, 0, "D2/0 P2/64 "},
  };
  for (const Case& c : cases) {
    Recording target;
    DeliverPointer(target, c.action, {c.button, c.shift, 3, 4});
    EXPECT_EQ(target.calls, c.calls);
  }
}

}  // namespace
}  // namespace vexal
