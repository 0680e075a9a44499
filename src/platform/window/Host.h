#pragma once
// What the window system needs of a windowing back end: native windows
// that show pixels, and a stream of raw input in screen coordinates. The
// rules of window messages (which window a click goes to, capture, enter and
// leave, focus, timers, paint) live in TWindowSystem above it, so that every
// host delivers the same messages in the same order.

#include <cstdint>
#include <string>

#include "platform/window/Geometry.h"
#include "platform/window/Input.h"
#include "platform/window/PixelBuffer.h"

namespace window {

class TRegion;

using TNativeId = uint32_t;  // 0 = none

struct TNativeParams {
  TRect Bounds;  // screen coordinates
  bool PopUp = false;      // stays on top of everything, takes no activation, no taskbar entry
  bool StayOnTop = false;  // stays above the ordinary windows
};

enum class TRawKind : uint8_t {
  MouseMove, MouseButton, MouseWheel,
  PointerLeft,   // the pointer left Window for no window of this program (as far as the host knows)
  Key, Text,
  Exposed,       // Window's pixels on the screen were lost: show them again
  Moved, Resized,  // Window's position or size changed by the host (Bounds)
  FocusGained, FocusLost, CloseRequest,
  Minimized, Restored,  // the host iconified Window, or gave it back (a task bar, a window manager)
  ManagerFrame,  // a window manager put a frame of its own around Window, changed it or took it away (Bounds)
  DisplayLost,   // the display went away: no window shows any more
};

struct TRawEvent {
  TRawEvent() = default;
  explicit TRawEvent(TRawKind kind) : Kind(kind) {}

  TRawKind Kind = TRawKind::MouseMove;
  TNativeId Window = 0;  // native window the event arrived at; 0 when unknown
  TPoint Screen;         // pointer position (mouse events)
  TMouseButton Button = mbLeft;
  bool Down = false;     // MouseButton, Key
  int WheelDelta = 0;
  int Key = 0;           // virtual-key code
  bool Repeat = false;
  TShiftState Modifiers = 0;  // keyboard modifiers at the time of the event
  std::string Text;           // UTF-8 (Text)
  TRect Bounds;               // Moved, Resized; ManagerFrame: the frame's left, top, right and bottom widths
};

class THost {
public:
  virtual ~THost() = default;

  virtual TNativeId CreateNativeWindow(const TNativeParams& params) = 0;
  virtual void DestroyNativeWindow(TNativeId id) = 0;
  virtual void SetNativeBounds(TNativeId id, const TRect& bounds) = 0;
  virtual void ShowNativeWindow(TNativeId id, bool visible) = 0;
  virtual void SetNativeTitle(TNativeId id, const std::string& title) = 0;
  virtual void SetNativeStayOnTop(TNativeId id, bool onTop) = 0;
  // Null removes the shape.
  virtual void SetNativeRegion(TNativeId id, const TRegion* region) = 0;
  // Raises the window; with focus it also takes the keyboard.
  virtual void RaiseNativeWindow(TNativeId id, bool focus) = 0;
  // Iconifies the window, or gives it back.
  virtual void SetNativeMinimized(TNativeId id, bool minimized) = 0;
  // Shows Rect of the window's pixels on the screen.
  virtual void Present(TNativeId id, const TPixelBuffer& pixels, const TRect& rect) = 0;

  // Mouse events outside the program's windows go to it while captured.
  virtual void CaptureMouse(bool capture) = 0;
  virtual void SetCursorShape(TCursor cursor) = 0;
  virtual void SetClipboardText(const std::string& text) = 0;
  virtual std::string GetClipboardText() = 0;
  virtual TRect ScreenRect() = 0;
  // The screen's pixels per inch; 96 where the host cannot tell.
  virtual int PixelsPerInch() { return 96; }
  // Milliseconds of a monotonic clock.
  virtual uint64_t Now() = 0;

  // Main thread. Takes the next raw event, false when none is waiting.
  virtual bool PollEvent(TRawEvent& event) = 0;
  // Main thread. Returns when an event may be waiting, Wake was called, or
  // TimeoutMs passed (-1: no limit).
  virtual void WaitEvent(int timeoutMs) = 0;
  // Any thread: ends a WaitEvent in progress or the next one.
  virtual void Wake() = 0;
};

}  // namespace window
