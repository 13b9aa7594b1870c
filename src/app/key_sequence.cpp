#include "app/key_sequence.h"

namespace vexal::app {
namespace {

// Physical keys of the Windows virtual-key codes; the punctuation keys are
// those of the same place on a US keyboard.
int QtKeyOf(uint8_t code, bool& keypad) {
  keypad = false;
  if ((code >= 0x30 && code <= 0x39) || (code >= 0x41 && code <= 0x5A)) return code;
  if (code >= 0x60 && code <= 0x69) {
    keypad = true;
    return Qt::Key_0 + (code - 0x60);
  }
  if (code >= 0x70 && code <= 0x87) return Qt::Key_F1 + (code - 0x70);
  switch (code) {
    case 0x08: return Qt::Key_Backspace;
    case 0x09: return Qt::Key_Tab;
    case 0x0D: return Qt::Key_Return;
    case 0x1B: return Qt::Key_Escape;
    case 0x20: return Qt::Key_Space;
    case 0x21: return Qt::Key_PageUp;
    case 0x22: return Qt::Key_PageDown;
    case 0x23: return Qt::Key_End;
    case 0x24: return Qt::Key_Home;
    case 0x25: return Qt::Key_Left;
    case 0x26: return Qt::Key_Up;
    case 0x27: return Qt::Key_Right;
    case 0x28: return Qt::Key_Down;
    case 0x2D: return Qt::Key_Insert;
    case 0x2E: return Qt::Key_Delete;
    case 0x6A: keypad = true; return Qt::Key_Asterisk;
    case 0x6B: keypad = true; return Qt::Key_Plus;
    case 0x6D: keypad = true; return Qt::Key_Minus;
    case 0x6E: keypad = true; return Qt::Key_Period;
    case 0x6F: keypad = true; return Qt::Key_Slash;
    case 0xBA: return Qt::Key_Semicolon;
    case 0xBB: return Qt::Key_Equal;
    case 0xBC: return Qt::Key_Comma;
    case 0xBD: return Qt::Key_Minus;
    case 0xBE: return Qt::Key_Period;
    case 0xBF: return Qt::Key_Slash;
    case 0xC0: return Qt::Key_QuoteLeft;
    case 0xDB: return Qt::Key_BracketLeft;
    case 0xDC: return Qt::Key_Backslash;
    case 0xDD: return Qt::Key_BracketRight;
    case 0xDE: return Qt::Key_Apostrophe;
    case 0xE2: return Qt::Key_Backslash;
    default: return 0;
  }
}

}  // namespace

QKeySequence KeySequenceFromShortcut(ShortcutValue value) {
  bool keypad = false;
  const int key = QtKeyOf(static_cast<uint8_t>(value & 0xFF), keypad);
  if (key == 0) return {};
  int modifiers = 0;
  if (value & kShortcutShift) modifiers |= Qt::SHIFT;
  if (value & kShortcutCtrl) modifiers |= Qt::CTRL;
  if (value & kShortcutAlt) modifiers |= Qt::ALT;
  if (keypad) modifiers |= Qt::KeypadModifier;
  return QKeySequence(key | modifiers);
}

}  // namespace vexal::app
