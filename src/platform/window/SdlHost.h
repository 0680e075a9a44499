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
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/window/Host.h"

struct SDL_Window;
struct SDL_Cursor;
struct SDL_SysWMmsg;

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
  // A window system event that may change the frame a window manager draws
  // around one of the windows: out becomes its ManagerFrame event.
  bool ManagerFrameEvent(const SDL_SysWMmsg* msg, TRawEvent& out);
  // Takes the window's place on the screen from the X server where it can;
  // true when it changed.
  bool UpdatePlace(TNativeId id, SDL_Window* w, TPoint reported);

  uint32_t FWakeEvent = 0;
  std::atomic<bool> FWakePending{false};
  int FWakeFd = -1;                  // eventfd: Wake's word to the host's own wait
  std::atomic<int> FXConnection{-1};  // the X connection's fd; -1 until the first X11 window
  bool FLostReported = false;
  bool FCaptured = false;
  std::map<TNativeId, SDL_Window*> FWindows;
  std::map<TNativeId, TPoint> FPlaces;  // each window's top-left corner on the screen
  std::deque<TRawEvent> FPending;       // events made here, handed out before SDL's
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
// Asks the window manager, also one that starts later, to draw no frame
// around an X11 window; nothing where the window system is not X11.
void UndecorateX11Window(SDL_Window* window);
// The X11 window of an SDL window, 0 where the window system is not X11.
unsigned long X11WindowOf(SDL_Window* window);
// The X11 window whose window-manager frame an event may have changed
// (it was reparented, or its declared frame changed); 0 for other events.
unsigned long X11FrameEventWindow(const SDL_SysWMmsg* msg);
// Where the top-left corner of an X11 window is on the screen now, asked of
// the X server; false where the window system is not X11. SDL's own idea
// goes wrong when a window manager takes the window into its frame or gives
// it back: it reads a move reported in the old parent's coordinates as one
// in the new parent's.
bool X11ScreenPosition(SDL_Window* window, TPoint& position);
// The widths of the frame a window manager draws around an X11 window
// (left, top, right, bottom); all 0 when none frames it.
TRect X11ManagerFrame(SDL_Window* window);
// The fd of the X connection of Window's display, -1 where the window system
// is not X11; makes X errors on it non-fatal (logged) from then on.
int X11ConnectionOf(SDL_Window* window);
// Where X errors are logged: at most 50 lines, one per error. Any thread.
void SetX11ErrorLog(std::function<void(const std::string&)> log);
// True once the X connection was lost.
bool X11DisplayLost();

}  // namespace window
