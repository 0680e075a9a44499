#pragma once
// The host of the running program: SDL2 windows on X11 or Wayland. Every
// window is borderless (frames are drawn by the program) and shows its
// pixels through SDL's software window surface; framebuffer acceleration is
// switched off, which window shapes on X11 need. Pop-ups are SDL pop-up-menu
// windows (override-redirect on X11). The SDL video subsystem is started by
// the constructor, which raises Exception when no display can be opened.
// On X11 the host waits for events itself, on the X connection and on an
// eventfd that Wake writes: SDL's own wait wakes a waiting loop by sending
// an X event to one of the program's windows, which may be gone by the time
// the server gets it. X errors are logged (SetX11ErrorLog), never fatal; a
// lost display is reported once as TRawKind::DisplayLost, after which the
// host does nothing more with the display.

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/window/Host.h"

struct SDL_Window;
struct SDL_Cursor;

namespace window {

class TSdlHost : public THost {
public:
  TSdlHost();
  ~TSdlHost() override;

  TNativeId CreateNativeWindow(const TNativeParams& params) override;
  void DestroyNativeWindow(TNativeId id) override;
  void SetNativeBounds(TNativeId id, const TRect& bounds) override;
  void ShowNativeWindow(TNativeId id, bool visible) override;
  void SetNativeTitle(TNativeId id, const std::string& title) override;
  void SetNativeStayOnTop(TNativeId id, bool onTop) override;
  void SetNativeRegion(TNativeId id, const TRegion* region) override;
  void RaiseNativeWindow(TNativeId id, bool focus) override;
  void SetNativeMinimized(TNativeId id, bool minimized) override;
  void Present(TNativeId id, const TPixelBuffer& pixels, const TRect& rect) override;
  void CaptureMouse(bool capture) override;
  void SetCursorShape(TCursor cursor) override;
  void SetClipboardText(const std::string& text) override;
  std::string GetClipboardText() override;
  TRect ScreenRect() override;
  int PixelsPerInch() override;
  uint64_t Now() override;
  bool PollEvent(TRawEvent& event) override;
  void WaitEvent(int timeoutMs) override;
  void Wake() override;

private:
  SDL_Window* Find(TNativeId id) const;
  TPoint ScreenPoint(uint32_t windowId, int x, int y) const;

  uint32_t FWakeEvent = 0;
  std::atomic<bool> FWakePending{false};
  int FWakeFd = -1;                  // eventfd: Wake's word to the host's own wait
  std::atomic<int> FXConnection{-1};  // the X connection's fd; -1 until the first X11 window
  bool FLostReported = false;
  bool FCaptured = false;
  std::map<TNativeId, SDL_Window*> FWindows;
  std::map<int, SDL_Cursor*> FCursors;
};

// Virtual-key code of an SDL scancode (0 when the key has none).
int VirtualKeyOfScancode(int scancode);
// Shapes an X11 window; false where the window system is not X11 or has no
// SHAPE extension (the window then stays rectangular on the screen).
bool ShapeX11Window(SDL_Window* window, const TRegion* region);
// Raises an X11 window without asking the window manager to activate it;
// false where the window system is not X11.
bool RaiseX11Window(SDL_Window* window);
// The fd of the X connection of Window's display, -1 where the window system
// is not X11; makes X errors on it non-fatal (logged) from then on.
int X11ConnectionOf(SDL_Window* window);
// Where X errors are logged: at most 50 lines, one per error. Any thread.
void SetX11ErrorLog(std::function<void(const std::string&)> log);
// True once the X connection was lost.
bool X11DisplayLost();

}  // namespace window
