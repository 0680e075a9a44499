// The X11 connection under SDL: its file descriptor, for the host's own wait,
// and error handlers that keep the program running. Xlib's own handlers end
// the process: on any protocol error (a request that reached a window
// already destroyed is enough) and when the display goes away. Kept apart
// because the X11 headers define macros (None, Bool, Status) that clash
// with other code.
#include <SDL.h>
#include <SDL_syswm.h>

#include <atomic>
#include <mutex>
#include <string>

#include "platform/window/SdlHost.h"

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#endif

namespace window {

namespace {

constexpr int kMaxLoggedErrors = 50;

std::mutex GLogLock;
std::function<void(const std::string&)> GLog;
std::atomic<int> GLogged{0};
std::atomic<bool> GDisplayLost{false};

void Log(const std::string& line) {
  std::lock_guard<std::mutex> guard(GLogLock);
  if (GLog) GLog(line);
}

#if defined(SDL_VIDEO_DRIVER_X11)
int OnXError(Display* display, XErrorEvent* e) {
  const int n = ++GLogged;
  if (n > kMaxLoggedErrors) return 0;
  if (n == kMaxLoggedErrors) {
    Log("X errors: more than " + std::to_string(kMaxLoggedErrors) + ", the later ones are not logged");
    return 0;
  }
  char text[160] = "", request[80] = "";
  XGetErrorText(display, e->error_code, text, sizeof text);
  const std::string code = std::to_string(e->request_code);
  XGetErrorDatabaseText(display, "XRequest", code.c_str(), code.c_str(), request, sizeof request);
  char resource[24];
  std::snprintf(resource, sizeof resource, "0x%lx", e->resourceid);
  Log("X error " + std::string(text) + ": request " + request + " (" + code + "." +
      std::to_string(e->minor_code) + "), resource " + resource + ", serial " + std::to_string(e->serial));
  return 0;
}

int OnXIOError(Display*) {
  if (!GDisplayLost.exchange(true)) Log("The connection to the X display was lost");
  return 0;
}

// Instead of exit(): Xlib calls on the lost display return at once from
// now on, and the host reports the loss to the window system.
void OnXIOErrorExit(Display*, void*) {}
#endif

}  // namespace

void SetX11ErrorLog(std::function<void(const std::string&)> log) {
  std::lock_guard<std::mutex> guard(GLogLock);
  GLog = std::move(log);
}

bool X11DisplayLost() { return GDisplayLost; }

int X11ConnectionOf(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return -1;
  Display* display = info.info.x11.display;
  XSetErrorHandler(OnXError);
  XSetIOErrorHandler(OnXIOError);
  XSetIOErrorExitHandler(display, OnXIOErrorExit, nullptr);
  return ConnectionNumber(display);
#else
  (void)window;
  return -1;
#endif
}

}  // namespace window
