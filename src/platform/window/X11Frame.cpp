// What a window manager makes of the program's windows on X11. Every window
// draws its own frame, so each asks the manager for none. SDL asks through
// _MOTIF_WM_HINTS only when that atom exists already, and on a display where
// no manager has run yet it does not: SDL then marks the window transient
// for the root window instead, and a manager started later (a user logging
// in to a desktop with the program already running) gives the window a
// frame of its own, a second title bar, and keeps it above every other
// window of the program, so that a dialog box shown later stays hidden
// under it. Kept apart because the X11 headers define macros (None, Bool,
// Status) that clash with other code.
#include <SDL.h>
#include <SDL_syswm.h>

#include "platform/window/SdlHost.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

namespace window {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

bool X11Of(SDL_Window* sdlWindow, Display*& display, Window& window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(sdlWindow, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  display = info.info.x11.display;
  window = info.info.x11.window;
  return true;
}

// The four borders a manager declares for its frame (_NET_FRAME_EXTENTS:
// left, right, top, bottom); false when it declares none.
bool DeclaredExtents(Display* display, Window window, TRect& extents) {
  const Atom name = XInternAtom(display, "_NET_FRAME_EXTENTS", True);
  if (name == 0) return false;
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const bool read = XGetWindowProperty(display, window, name, 0, 4, False, XA_CARDINAL, &type, &format, &count,
                                       &after, &data) == Success;
  const bool found = read && data && type == XA_CARDINAL && format == 32 && count == 4;
  if (found) {
    const auto* v = reinterpret_cast<const long*>(data);
    extents = {static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[3])};
  }
  if (data) XFree(data);
  return found;
}

}  // namespace
#endif

void UndecorateX11Window(SDL_Window* sdlWindow) {
#if defined(SDL_VIDEO_DRIVER_X11)
  Display* display;
  Window window;
  if (!X11Of(sdlWindow, display, window)) return;
  // Flags (bit 1: the decorations field counts), functions, decorations
  // (none), input mode, status.
  const Atom hints = XInternAtom(display, "_MOTIF_WM_HINTS", False);
  long value[5] = {2, 0, 0, 0, 0};
  XChangeProperty(display, window, hints, hints, 32, PropModeReplace, reinterpret_cast<unsigned char*>(value), 5);
  Window owner = 0;
  if (XGetTransientForHint(display, window, &owner) && owner == DefaultRootWindow(display))
    XDeleteProperty(display, window, XA_WM_TRANSIENT_FOR);
  XFlush(display);
#else
  (void)sdlWindow;
#endif
}

unsigned long X11WindowOf(SDL_Window* sdlWindow) {
#if defined(SDL_VIDEO_DRIVER_X11)
  Display* display;
  Window window;
  return X11Of(sdlWindow, display, window) ? window : 0;
#else
  (void)sdlWindow;
  return 0;
#endif
}

unsigned long X11FrameEventWindow(const SDL_SysWMmsg* msg) {
#if defined(SDL_VIDEO_DRIVER_X11)
  if (!msg || msg->subsystem != SDL_SYSWM_X11) return 0;
  const XEvent& e = msg->msg.x11.event;
  if (e.type == ReparentNotify) return e.xreparent.window;
  if (e.type == PropertyNotify && e.xproperty.atom == XInternAtom(e.xproperty.display, "_NET_FRAME_EXTENTS", True))
    return e.xproperty.window;
  return 0;
#else
  (void)msg;
  return 0;
#endif
}

bool X11ScreenPosition(SDL_Window* sdlWindow, TPoint& position) {
#if defined(SDL_VIDEO_DRIVER_X11)
  Display* display;
  Window window, child = 0;
  if (!X11Of(sdlWindow, display, window)) return false;
  return XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &position.X, &position.Y, &child);
#else
  (void)sdlWindow;
  (void)position;
  return false;
#endif
}

TRect X11ManagerFrame(SDL_Window* sdlWindow) {
#if defined(SDL_VIDEO_DRIVER_X11)
  Display* display;
  Window window;
  if (!X11Of(sdlWindow, display, window)) return {};
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return {};
  if (children) XFree(children);
  // A window the manager does not hold (none runs, or it went away) is a
  // child of the root again; the frame it may have declared is stale.
  if (parent == root) return {};
  TRect extents;
  if (DeclaredExtents(display, window, extents)) return extents;
  // A manager that declares nothing: the window's place inside its frame.
  XWindowAttributes inner, outer;
  if (!XGetWindowAttributes(display, window, &inner) || !XGetWindowAttributes(display, parent, &outer)) return {};
  return {inner.x, inner.y, outer.width - inner.width - inner.x, outer.height - inner.height - inner.y};
#else
  (void)sdlWindow;
  return {};
#endif
}

}  // namespace window
