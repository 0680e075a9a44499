#pragma once
// A host without a display, for tests. Input is injected (pointer moves,
// buttons, wheel, keys with modifiers, typed text, close requests, focus
// taken by another program) and read by the loop like a real host's events;
// presented pixels go into one image per window, and Screenshot composes
// them like a screen. Time is a fake clock: it moves only by AdvanceTime,
// or when the loop waits with a timeout (it jumps to the end of the wait,
// so a due timer fires at once without sleeping).

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/window/Host.h"
#include "platform/window/Region.h"

namespace window {

class TWindow;

struct TScreenImage {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;  // 0xFFRRGGBB
  uint32_t Pixel(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

class THeadlessHost : public THost {
public:
  static constexpr uint32_t DesktopColour = 0xFF3A6EA5;

  explicit THeadlessHost(TRect screen = {0, 0, 1024, 768});

  // Injection (main thread). Mouse events happen at the pointer position.
  void MoveMouse(TPoint screen);
  void PressButton(TMouseButton button = mbLeft);
  void ReleaseButton(TMouseButton button = mbLeft);
  void Click(TPoint screen, TMouseButton button = mbLeft);
  void Wheel(int delta);
  // Keyboard modifiers held from now on (ssShift, ssAlt, ssCtrl).
  void SetModifiers(TShiftState modifiers);
  void KeyDown(int key, bool repeat = false);
  void KeyUp(int key);
  void TypeText(const std::string& utf8);
  void RequestClose(const TWindow& w);
  // The user gives a minimised window back, as from a task bar.
  void RestoreFromTaskBar(const TWindow& w);
  // Another program takes the keyboard from W.
  void TakeFocusAway(const TWindow& w);
  // A window manager frames W with borders of these widths (left, top,
  // right, bottom), or no longer frames it (all 0).
  void FrameByManager(const TWindow& w, const TRect& frame);
  // A window manager moves W and gives it a new size (its maximise button,
  // a drag of its frame).
  void PlaceByManager(const TWindow& w, const TRect& bounds);
  void AdvanceTime(uint64_t ms);
  // How long WaitEvent without timeout may wait for a post from another
  // thread before it raises an Exception (a test that waits for nothing).
  void SetIdleLimitMs(int ms) { FIdleLimitMs = ms; }

  TScreenImage Screenshot() const;
  TCursor CursorShape() const { return FCursor; }
  bool MouseCaptured() const { return FCaptured; }
  TNativeId FocusedNative() const { return FFocused; }

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
  void CaptureMouse(bool capture) override { FCaptured = capture; }
  void SetCursorShape(TCursor cursor) override { FCursor = cursor; }
  void SetClipboardText(const std::string& text) override { FClipboard = text; }
  std::string GetClipboardText() override { return FClipboard; }
  TRect ScreenRect() override { return FScreen; }
  int PixelsPerInch() override { return FPixelsPerInch; }
  void SetPixelsPerInch(int ppi) { FPixelsPerInch = ppi; }
  uint64_t Now() override { return FNow; }
  bool PollEvent(TRawEvent& event) override;
  void WaitEvent(int timeoutMs) override;
  void Wake() override;

private:
  struct TNative {
    TNativeParams Params;
    bool Visible = false;
    bool Minimized = false;
    std::string Title;
    std::optional<TRegion> Region;
    int ImageWidth = 0, ImageHeight = 0;
    std::vector<uint32_t> Image;
  };
  void Inject(TRawEvent ev);
  TRawEvent MouseEvent(TRawKind kind) const;
  int Group(const TNative& n) const;

  TRect FScreen;
  std::map<TNativeId, TNative> FNatives;
  std::vector<TNativeId> FStacking;  // bottom to top
  TNativeId FNextId = 1;
  TNativeId FFocused = 0;
  TPoint FPointer;
  TShiftState FModifiers = 0;
  uint64_t FNow = 1000;
  bool FCaptured = false;
  TCursor FCursor = crDefault;
  std::string FClipboard;
  int FIdleLimitMs = 10000;
  int FPixelsPerInch = 96;

  std::mutex FLock;  // the event queue and the wake flag; Wake comes from any thread
  std::condition_variable FSignal;
  std::deque<TRawEvent> FEvents;
  bool FWoken = false;
};

}  // namespace window
