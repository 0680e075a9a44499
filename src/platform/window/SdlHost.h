#pragma once
// The host of the running program: SDL2 windows on X11 or Wayland. Every
// window is borderless (frames are drawn by the program) and shows its
// pixels through SDL's software window surface; framebuffer acceleration is
// switched off, which window shapes on X11 need. Pop-ups are SDL pop-up-menu
// windows (override-redirect on X11). The SDL video subsystem is started by
// the constructor, which raises Exception when no display can be opened.

#include <atomic>
#include <map>
#include <memory>

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
  uint64_t Now() override;
  bool PollEvent(TRawEvent& event) override;
  void WaitEvent(int timeoutMs) override;
  void Wake() override;

private:
  SDL_Window* Find(TNativeId id) const;
  TPoint ScreenPoint(uint32_t windowId, int x, int y) const;

  uint32_t FWakeEvent = 0;
  std::atomic<bool> FWakePending{false};
  std::map<TNativeId, SDL_Window*> FWindows;
  std::map<int, SDL_Cursor*> FCursors;
};

// Virtual-key code of an SDL scancode (0 when the key has none).
int VirtualKeyOfScancode(int scancode);
// Shapes an X11 window; false where the window system is not X11 or has no
// SHAPE extension (the window then stays rectangular on the screen).
bool ShapeX11Window(SDL_Window* window, const TRegion* region);

}  // namespace window
