// Raising an X11 window without activating it. SDL_RaiseWindow also asks
// the window manager to activate the window (_NET_ACTIVE_WINDOW), so that
// raising a stay-on-top window back over the one the user clicked would
// take the keyboard from it. Kept apart because the X11 headers define
// macros (None, Bool, Status) that clash with other code.
#include <SDL.h>
#include <SDL_syswm.h>

#include "platform/window/SdlHost.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#endif

namespace window {

bool RaiseX11Window(SDL_Window* sdlWindow) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(sdlWindow, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  XRaiseWindow(info.info.x11.display, info.info.x11.window);
  XFlush(info.info.x11.display);
  return true;
#else
  (void)sdlWindow;
  return false;
#endif
}

}  // namespace window
