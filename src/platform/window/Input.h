#pragma once
// Input vocabulary of window messages: virtual-key codes, shift state,
// mouse buttons and cursor shapes, with the values the UI code compares
// against (Escape is 27, the arrow keys 37 to 40, Shift is bit 0).

#include <cstdint>

namespace window {

// Shift state bits: keyboard modifiers, held mouse buttons, double click.
using TShiftState = uint8_t;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64;
constexpr TShiftState ssKeyboardMask = ssShift | ssAlt | ssCtrl;

enum TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

inline TShiftState ButtonShift(TMouseButton b) {
  return b == mbLeft ? ssLeft : b == mbRight ? ssRight : ssMiddle;
}

// Virtual-key codes. Letters and digits are their upper-case ASCII codes
// ('A'..'Z', '0'..'9'), taken from the key's position on the keyboard, so
// they do not change with the keyboard layout.
enum : int {
  VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18, VK_PAUSE = 19,
  VK_CAPITAL = 20, VK_ESCAPE = 27, VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36,
  VK_LEFT = 37, VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40, VK_SNAPSHOT = 44, VK_INSERT = 45, VK_DELETE = 46,
  VK_LWIN = 91, VK_RWIN = 92, VK_APPS = 93,
  VK_NUMPAD0 = 96, VK_MULTIPLY = 106, VK_ADD = 107, VK_SUBTRACT = 109, VK_DECIMAL = 110, VK_DIVIDE = 111,
  VK_F1 = 112, VK_F12 = 123, VK_NUMLOCK = 144, VK_SCROLL = 145,
  VK_OEM_1 = 186, VK_OEM_PLUS = 187, VK_OEM_COMMA = 188, VK_OEM_MINUS = 189, VK_OEM_PERIOD = 190,
  VK_OEM_2 = 191, VK_OEM_3 = 192, VK_OEM_4 = 219, VK_OEM_5 = 220, VK_OEM_6 = 221, VK_OEM_7 = 222,
};

// Mouse cursor shapes, numbered as the UI code's cursor constants.
enum TCursor : int16_t {
  crDefault = 0, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8,
  crSizeWE = -9, crUpArrow = -10, crHourGlass = -11, crNo = -18, crHandPoint = -21, crSizeAll = -22,
};

// Wheel distance of one notch.
constexpr int WHEEL_DELTA = 120;

}  // namespace window
