#include "platform/window/SdlHost.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "base/Exceptions.h"
#include "platform/window/Region.h"

namespace window {

namespace {

TShiftState ModifiersOf(SDL_Keymod mod) {
  TShiftState s = 0;
  if (mod & KMOD_SHIFT) s |= ssShift;
  if (mod & KMOD_ALT) s |= ssAlt;
  if (mod & KMOD_CTRL) s |= ssCtrl;
  return s;
}

bool ButtonOf(uint8_t sdlButton, TMouseButton& button) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: button = mbLeft; return true;
    case SDL_BUTTON_RIGHT: button = mbRight; return true;
    case SDL_BUTTON_MIDDLE: button = mbMiddle; return true;
    default: return false;
  }
}

SDL_SystemCursor SystemCursorOf(TCursor cursor) {
  switch (cursor) {
    case crCross: return SDL_SYSTEM_CURSOR_CROSSHAIR;
    case crIBeam: return SDL_SYSTEM_CURSOR_IBEAM;
    case crSizeNESW: return SDL_SYSTEM_CURSOR_SIZENESW;
    case crSizeNS: return SDL_SYSTEM_CURSOR_SIZENS;
    case crSizeNWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case crSizeWE: return SDL_SYSTEM_CURSOR_SIZEWE;
    case crSizeAll: return SDL_SYSTEM_CURSOR_SIZEALL;
    case crHourGlass: return SDL_SYSTEM_CURSOR_WAIT;
    case crNo: return SDL_SYSTEM_CURSOR_NO;
    case crHandPoint: return SDL_SYSTEM_CURSOR_HAND;
    default: return SDL_SYSTEM_CURSOR_ARROW;
  }
}

}  // namespace

TSdlHost::TSdlHost() {
  // Shapes on X11 are lost when SDL backs the window surface with a renderer.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // The program decides when to quit; signals are not turned into events.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // The first click on an inactive window is a click, as users expect.
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    throw Exception(std::string("Cannot open the display: ") + SDL_GetError());
  // The window system's own events tell when a window manager frames a window.
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
  // Files open through the File menu only: no window may tell a program
  // dragging a file over it that it takes the drop (SDL's windows say so,
  // XdndAware on X11, while these events are enabled) and then ignore it.
  for (Uint32 drop : {SDL_DROPFILE, SDL_DROPTEXT, SDL_DROPBEGIN, SDL_DROPCOMPLETE}) SDL_EventState(drop, SDL_DISABLE);
  FWakeEvent = SDL_RegisterEvents(1);
  FWakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  SDL_StartTextInput();
}

TSdlHost::~TSdlHost() {
  // A lost display takes no more requests; its windows go with the process.
  if (!X11DisplayLost()) {
    for (auto& [id, w] : FWindows) SDL_DestroyWindow(w);
    for (auto& [shape, c] : FCursors) SDL_FreeCursor(c);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  if (FWakeFd >= 0) close(FWakeFd);
}

SDL_Window* TSdlHost::Find(TNativeId id) const {
  if (X11DisplayLost()) return nullptr;
  auto it = FWindows.find(id);
  return it == FWindows.end() ? nullptr : it->second;
}

TNativeId TSdlHost::CreateNativeWindow(const TNativeParams& params) {
  if (X11DisplayLost()) return 0;  // a window without a native side
  Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
  if (params.PopUp) flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR;
  if (params.StayOnTop) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
  SDL_Window* w = SDL_CreateWindow("", params.Bounds.Left, params.Bounds.Top, std::max(1, params.Bounds.Width()),
                                   std::max(1, params.Bounds.Height()), flags);
  if (!w) throw Exception(std::string("Cannot create a window: ") + SDL_GetError());
  if (!params.PopUp) UndecorateX11Window(w);
  const TNativeId id = SDL_GetWindowID(w);
  FWindows[id] = w;
  FPlaces[id] = {params.Bounds.Left, params.Bounds.Top};
  if (FXConnection < 0 && FWakeFd >= 0) FXConnection = X11ConnectionOf(w);
  return id;
}

void TSdlHost::DestroyNativeWindow(TNativeId id) {
  if (SDL_Window* w = Find(id)) SDL_DestroyWindow(w);
  FWindows.erase(id);
  FPlaces.erase(id);
}

void TSdlHost::SetNativeBounds(TNativeId id, const TRect& b) {
  SDL_Window* w = Find(id);
  if (!w) return;
  FPlaces[id] = {b.Left, b.Top};
  SDL_SetWindowPosition(w, b.Left, b.Top);
  SDL_SetWindowSize(w, std::max(1, b.Width()), std::max(1, b.Height()));
}

void TSdlHost::ShowNativeWindow(TNativeId id, bool visible) {
  if (SDL_Window* w = Find(id)) visible ? SDL_ShowWindow(w) : SDL_HideWindow(w);
}

void TSdlHost::SetNativeTitle(TNativeId id, const std::string& title) {
  if (SDL_Window* w = Find(id)) SDL_SetWindowTitle(w, title.c_str());
}

void TSdlHost::SetNativeStayOnTop(TNativeId id, bool onTop) {
  if (SDL_Window* w = Find(id)) SDL_SetWindowAlwaysOnTop(w, onTop ? SDL_TRUE : SDL_FALSE);
}

void TSdlHost::SetNativeRegion(TNativeId id, const TRegion* region) {
  if (SDL_Window* w = Find(id)) ShapeX11Window(w, region);
}

void TSdlHost::RaiseNativeWindow(TNativeId id, bool focus) {
  SDL_Window* w = Find(id);
  if (!w) return;
  if (focus) {
    SDL_RaiseWindow(w);
    SDL_SetWindowInputFocus(w);
  } else if (!RaiseX11Window(w)) {
    SDL_RaiseWindow(w);
  }
}

void TSdlHost::SetNativeMinimized(TNativeId id, bool minimized) {
  if (SDL_Window* w = Find(id)) minimized ? SDL_MinimizeWindow(w) : SDL_RestoreWindow(w);
}

void TSdlHost::Present(TNativeId id, const TPixelBuffer& pixels, const TRect& rect) {
  SDL_Window* w = Find(id);
  if (!w) return;
  SDL_Surface* surface = SDL_GetWindowSurface(w);
  if (!surface) return;
  // The surface may still have the old size right after a resize.
  const TRect r = rect.Intersect({0, 0, std::min(pixels.Width, surface->w), std::min(pixels.Height, surface->h)});
  if (r.IsEmpty()) return;
  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  auto* dst = static_cast<unsigned char*>(surface->pixels) + r.Top * surface->pitch + r.Left * 4;
  const auto* src = reinterpret_cast<const unsigned char*>(pixels.Row(r.Top) + r.Left);
  const Uint32 format = surface->format->format;
  if (format == SDL_PIXELFORMAT_ARGB8888 || format == SDL_PIXELFORMAT_RGB888) {
    for (int y = 0; y < r.Height(); ++y)
      std::memcpy(dst + y * surface->pitch, src + y * pixels.Stride, static_cast<size_t>(r.Width()) * 4);
  } else {
    SDL_ConvertPixels(r.Width(), r.Height(), SDL_PIXELFORMAT_ARGB8888, src, pixels.Stride, format,
                      static_cast<unsigned char*>(surface->pixels) + r.Top * surface->pitch +
                          r.Left * surface->format->BytesPerPixel,
                      surface->pitch);
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  const SDL_Rect update{r.Left, r.Top, r.Width(), r.Height()};
  SDL_UpdateWindowSurfaceRects(w, &update, 1);
}

void TSdlHost::CaptureMouse(bool capture) {
  FCaptured = capture;
  if (!X11DisplayLost()) SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
}

void TSdlHost::SetCursorShape(TCursor cursor) {
  if (X11DisplayLost()) return;
  const SDL_SystemCursor shape = SystemCursorOf(cursor);
  SDL_Cursor*& c = FCursors[shape];
  if (!c) c = SDL_CreateSystemCursor(shape);
  if (c) SDL_SetCursor(c);
}

void TSdlHost::SetClipboardText(const std::string& text) {
  if (!X11DisplayLost()) SDL_SetClipboardText(text.c_str());
}

std::string TSdlHost::GetClipboardText() {
  if (X11DisplayLost()) return "";
  char* text = SDL_GetClipboardText();
  std::string result = text ? text : "";
  SDL_free(text);
  return result;
}

TRect TSdlHost::ScreenRect() {
  SDL_Rect r{0, 0, 1024, 768};
  if (!X11DisplayLost()) SDL_GetDisplayBounds(0, &r);
  return TRect::FromSize(r.x, r.y, r.w, r.h);
}

int TSdlHost::PixelsPerInch() {
  float horizontal = 0;
  if (X11DisplayLost() || SDL_GetDisplayDPI(0, nullptr, &horizontal, nullptr) != 0 || !(horizontal >= 24 && horizontal <= 960))
    return 96;
  return int(horizontal + 0.5f);
}

uint64_t TSdlHost::Now() { return SDL_GetTicks64(); }

TPoint TSdlHost::ScreenPoint(uint32_t windowId, int x, int y) const {
  auto it = FPlaces.find(windowId);
  return it == FPlaces.end() ? TPoint{x, y} : TPoint{it->second.X + x, it->second.Y + y};
}

bool TSdlHost::UpdatePlace(TNativeId id, SDL_Window* w, TPoint reported) {
  X11ScreenPosition(w, reported);
  TPoint& place = FPlaces[id];
  if (place == reported) return false;
  place = reported;
  return true;
}

bool TSdlHost::ManagerFrameEvent(const SDL_SysWMmsg* msg, TRawEvent& out) {
  const unsigned long xwindow = X11FrameEventWindow(msg);
  if (!xwindow) return false;
  for (auto& [id, w] : FWindows)
    if (X11WindowOf(w) == xwindow) {
      out.Kind = TRawKind::ManagerFrame;
      out.Window = id;
      out.Bounds = X11ManagerFrame(w);
      // Taken into a frame or given back, the window may also have moved.
      if (UpdatePlace(id, w, FPlaces[id])) {
        TRawEvent moved(TRawKind::Moved);
        moved.Window = id;
        moved.Bounds = TRect::FromSize(FPlaces[id].X, FPlaces[id].Y, 0, 0);
        FPending.push_back(moved);
      }
      return true;
    }
  return false;
}

bool TSdlHost::PollEvent(TRawEvent& out) {
  if (X11DisplayLost()) {
    if (FLostReported) return false;
    FLostReported = true;
    out = TRawEvent(TRawKind::DisplayLost);
    return true;
  }
  if (!FPending.empty()) {
    out = std::move(FPending.front());
    FPending.pop_front();
    return true;
  }
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    out = TRawEvent();
    out.Modifiers = ModifiersOf(SDL_GetModState());
    if (e.type == FWakeEvent) {
      FWakePending = false;  // the loop runs the posts next
      continue;
    }
    switch (e.type) {
      case SDL_MOUSEMOTION:
        out.Kind = TRawKind::MouseMove;
        out.Window = e.motion.windowID;
        out.Screen = ScreenPoint(e.motion.windowID, e.motion.x, e.motion.y);
        // A window moved by a drag under the capture may not have reached
        // the place SDL knows yet, and a motion relative to it would then
        // land where the pointer never was: the pointer's own position counts.
        if (FCaptured) SDL_GetGlobalMouseState(&out.Screen.X, &out.Screen.Y);
        return true;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (!ButtonOf(e.button.button, out.Button)) continue;
        out.Kind = TRawKind::MouseButton;
        out.Down = e.type == SDL_MOUSEBUTTONDOWN;
        out.Window = e.button.windowID;
        out.Screen = ScreenPoint(e.button.windowID, e.button.x, e.button.y);
        return true;
      case SDL_MOUSEWHEEL:
        out.Kind = TRawKind::MouseWheel;
        out.Window = e.wheel.windowID;
        out.WheelDelta = (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y) * WHEEL_DELTA;
        if (out.WheelDelta == 0) continue;
        out.Screen = ScreenPoint(e.wheel.windowID, e.wheel.mouseX, e.wheel.mouseY);
        return true;
      case SDL_KEYDOWN:
      case SDL_KEYUP:
        out.Kind = TRawKind::Key;
        out.Window = e.key.windowID;
        out.Down = e.type == SDL_KEYDOWN;
        out.Repeat = e.key.repeat != 0;
        out.Key = VirtualKeyOfScancode(e.key.keysym.scancode);
        out.Modifiers = ModifiersOf(static_cast<SDL_Keymod>(e.key.keysym.mod));
        if (out.Key == 0) continue;
        return true;
      case SDL_TEXTINPUT:
        out.Kind = TRawKind::Text;
        out.Window = e.text.windowID;
        out.Text = e.text.text;
        return true;
      case SDL_SYSWMEVENT:
        if (!ManagerFrameEvent(e.syswm.msg, out)) continue;
        return true;
      case SDL_WINDOWEVENT:
        out.Window = e.window.windowID;
        switch (e.window.event) {
          case SDL_WINDOWEVENT_EXPOSED: out.Kind = TRawKind::Exposed; return true;
          case SDL_WINDOWEVENT_MOVED: {
            SDL_Window* w = Find(out.Window);
            if (!w || !UpdatePlace(out.Window, w, {e.window.data1, e.window.data2})) continue;
            out.Kind = TRawKind::Moved;
            out.Bounds = TRect::FromSize(FPlaces[out.Window].X, FPlaces[out.Window].Y, 0, 0);
            return true;
          }
          case SDL_WINDOWEVENT_SIZE_CHANGED:
            out.Kind = TRawKind::Resized;
            out.Bounds = TRect::FromSize(0, 0, e.window.data1, e.window.data2);
            return true;
          case SDL_WINDOWEVENT_LEAVE: out.Kind = TRawKind::PointerLeft; return true;
          case SDL_WINDOWEVENT_FOCUS_GAINED:
            // SDL takes the mouse only for a window with the keyboard: a
            // capture asked for before the window manager gave it the focus
            // is taken now.
            if (FCaptured) SDL_CaptureMouse(SDL_TRUE);
            out.Kind = TRawKind::FocusGained;
            return true;
          case SDL_WINDOWEVENT_FOCUS_LOST: out.Kind = TRawKind::FocusLost; return true;
          case SDL_WINDOWEVENT_CLOSE: out.Kind = TRawKind::CloseRequest; return true;
          case SDL_WINDOWEVENT_MINIMIZED: out.Kind = TRawKind::Minimized; return true;
          case SDL_WINDOWEVENT_RESTORED: out.Kind = TRawKind::Restored; return true;
          default: continue;
        }
      default:
        continue;
    }
  }
  return false;
}

void TSdlHost::WaitEvent(int timeoutMs) {
  if (X11DisplayLost()) return;
  if (FXConnection < 0) {
    if (timeoutMs < 0) SDL_WaitEvent(nullptr);
    else SDL_WaitEventTimeout(nullptr, timeoutMs);
    return;
  }
  // What the X connection holds already is read first; the wait is for
  // what comes next. SDL's X11 backend holds focus changes back for a
  // moment and hands them out only when pumped: the wait is kept short.
  SDL_PumpEvents();
  if (X11DisplayLost() || SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) return;
  constexpr int kLongestWaitMs = 250;
  pollfd fds[2] = {{FXConnection, POLLIN, 0}, {FWakeFd, POLLIN, 0}};
  poll(fds, 2, timeoutMs < 0 ? kLongestWaitMs : std::min(timeoutMs, kLongestWaitMs));
  uint64_t count;
  if (fds[1].revents & POLLIN) (void)!read(FWakeFd, &count, sizeof count);
}

void TSdlHost::Wake() {
  const uint64_t one = 1;
  if (FWakeFd >= 0) (void)!write(FWakeFd, &one, sizeof one);
  if (FXConnection >= 0) return;
  // One wake-up event at a time, however many threads post.
  if (FWakePending.exchange(true)) return;
  SDL_Event e{};
  e.type = FWakeEvent;
  if (SDL_PushEvent(&e) != 1) FWakePending = false;
}

}  // namespace window
