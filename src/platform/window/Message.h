#pragma once
// Window messages. One flat record per message, as a window procedure gets
// it; each kind fills the fields named beside it and leaves the rest zero.

#include <cstdint>

#include "platform/window/Geometry.h"
#include "platform/window/Input.h"
#include "platform/window/PixelBuffer.h"

namespace window {

class TWindow;

enum class TMessageKind : uint8_t {
  Paint,           // UpdateRect, Buffer: draw at least UpdateRect into Buffer
  Size,            // Width, Height: the window's new size
  Move,            // ScreenPos: the window's new top-left corner
  MouseMove,       // Pos, ScreenPos, Shift
  MouseDown,       // Pos, ScreenPos, Button, Shift (ssDouble on the second press of a double click)
  MouseUp,         // Pos, ScreenPos, Button, Shift
  MouseWheel,      // Pos, ScreenPos, WheelDelta (+120 per notch away from the user), Shift
  MouseEnter,      // Pos, ScreenPos: the pointer came over the window
  MouseLeave,      // the pointer left the window
  KeyDown,         // Key, Shift, Repeat
  KeyUp,           // Key, Shift
  Char,            // CharCode: one Unicode code point of typed text (also 8, 9, 13, 27 and Ctrl+letter 1..26)
  Activate,        // Active: the top-level window became the active one, or stopped being it
  SetFocus,        // Other: the window that lost the keyboard focus (may be null)
  KillFocus,       // Other: the window that gets the keyboard focus (may be null)
  Close,           // a request to close (window manager button, Alt+F4); set Handled to keep the window
  Timer,           // TimerId
  CancelMode,      // end any mouse mode: a press outside the window's pop-ups, or a modal loop starts
  CaptureChanged,  // Other: the window that takes the mouse capture (null when released)
  ManagerFrame,    // a window manager framed the window, or stopped framing it (TWindow::ManagerFrame)
};

struct TMessage {
  TMessage() = default;
  explicit TMessage(TMessageKind kind) : Kind(kind) {}

  TMessageKind Kind = TMessageKind::Paint;
  TPoint Pos;        // client coordinates (the window's top-left pixel is 0,0)
  TPoint ScreenPos;  // screen coordinates
  TMouseButton Button = mbLeft;
  TShiftState Shift = 0;
  int WheelDelta = 0;
  int Key = 0;
  bool Repeat = false;
  char32_t CharCode = 0;
  int TimerId = 0;
  int Width = 0;
  int Height = 0;
  bool Active = false;
  TWindow* Other = nullptr;
  TRect UpdateRect;
  TPixelBuffer Buffer;
  bool Handled = false;  // set by the handler where the kind says so
};

}  // namespace window
