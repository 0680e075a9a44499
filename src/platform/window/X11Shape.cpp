// Window shapes through the X11 SHAPE extension. Kept apart because the X11
// headers define macros (None, Bool, Status) that clash with other code.
#include <SDL.h>
#include <SDL_syswm.h>

#include <vector>

#include "platform/window/Region.h"
#include "platform/window/SdlHost.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/extensions/shape.h>
#endif

namespace window {

bool ShapeX11Window(SDL_Window* sdlWindow, const TRegion* region) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(sdlWindow, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  Display* display = info.info.x11.display;
  const Window xwindow = info.info.x11.window;
  int eventBase = 0, errorBase = 0;
  if (!XShapeQueryExtension(display, &eventBase, &errorBase)) return false;
  if (!region) {
    XShapeCombineMask(display, xwindow, ShapeBounding, 0, 0, None, ShapeSet);
  } else {
    std::vector<XRectangle> rects;
    for (const TRect& r : region->Rects())
      rects.push_back({static_cast<short>(r.Left), static_cast<short>(r.Top), static_cast<unsigned short>(r.Width()),
                       static_cast<unsigned short>(r.Height())});
    XShapeCombineRectangles(display, xwindow, ShapeBounding, 0, 0, rects.data(), static_cast<int>(rects.size()),
                            ShapeSet, YXBanded);
  }
  XSync(display, False);  // the shape is in force when this returns
  return true;
#else
  (void)sdlWindow;
  (void)region;
  return false;
#endif
}

}  // namespace window
