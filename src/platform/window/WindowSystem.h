#pragma once
// The window system: the program's windows, their stacking, the mouse
// capture, the window under the pointer, the active window, timers,
// painting and the message loop. It turns a host's raw input into window
// messages under one set of rules:
// - Mouse messages go to the capture window when there is one, else to the
//   topmost enabled window whose shape holds the pointer.
// - MouseEnter/MouseLeave follow the window under the pointer, capture or
//   not: Leave of the old window, then Enter of the new, then the mouse
//   message itself.
// - A press on an enabled top-level window activates it first (Activate and
//   KillFocus to the old window, then Activate and SetFocus to the new one);
//   a press on a pop-up activates nothing.
// - A press outside every shown pop-up and outside their owner sends
//   CancelMode to the owner before anything else.
// - Keys and typed text go to the active window (pop-ups never get them).
// - One loop pass runs the work posted on TMainQueue, then the raw events,
//   then Paint of every invalid window, then the due timers.
// The loop adopts TMainQueue: its wake-up hook ends the host's wait.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/window/Host.h"
#include "platform/window/Window.h"

namespace window {

class TWindowSystem {
public:
  explicit TWindowSystem(std::unique_ptr<THost> host);
  ~TWindowSystem();
  TWindowSystem(const TWindowSystem&) = delete;
  TWindowSystem& operator=(const TWindowSystem&) = delete;

  // The one that exists; there is at most one at a time.
  static TWindowSystem& Current();
  static bool Exists();
  THost& Host() { return *FHost; }

  // Runs everything pending now (posts, input, paints, due timers) without
  // waiting; may be called from inside a message handler.
  void ProcessMessages();
  // Waits until something is pending (or the next timer is due) and runs it.
  void HandleMessage();
  // Loops until Terminate.
  void Run();
  // Runs when a pass of HandleMessage (also inside Run and modal loops)
  // found nothing to do, before the loop waits; returning false means "not
  // done": the loop comes back without waiting.
  void SetIdleHandler(std::function<bool()> idle) { FIdle = std::move(idle); }
  void Terminate() { FTerminated = true; }
  bool Terminated() const { return FTerminated; }
  // The host lost its display: the loop was ended, no window shows any more.
  bool DisplayLost() const { return FDisplayLost; }

  TWindow* GetCapture() const { return FCapture; }
  void SetCapture(TWindow* w);
  void ReleaseCapture() { SetCapture(nullptr); }
  TWindow* GetActiveWindow() const { return FActive; }
  TWindow* GetFocus() const { return FActive; }
  // The window under the pointer, as MouseEnter/MouseLeave last told.
  TWindow* GetHoverWindow() const { return FHover; }
  // Topmost visible window whose shape holds the screen point.
  TWindow* WindowFromPoint(TPoint screen) const;
  TPoint GetCursorPos() const { return FCursorPos; }
  TRect ScreenRect() { return FHost->ScreenRect(); }
  int PixelsPerInch() { return FHost->PixelsPerInch(); }
  uint64_t GetTickCount() { return FHost->Now(); }
  void SetCursor(TCursor cursor);
  TCursor Cursor() const { return FCursor; }
  void SetClipboardText(const std::string& text) { FHost->SetClipboardText(text); }
  std::string GetClipboardText() { return FHost->GetClipboardText(); }
  // Visible windows, bottom to top.
  std::vector<TWindow*> ZOrder() const;
  // The window of that handle while it exists, else null.
  TWindow* FindWindow(uint32_t handle) const { return Find(handle); }
  // The windows whose modal loops run, outermost first.
  const std::vector<uint32_t>& ModalLoops() const { return FModalStack; }

private:
  friend class TWindow;
  struct TTimer {
    int Interval;
    uint64_t Due;
  };
  using TTimerKey = std::pair<uint32_t, int>;  // window handle, timer id

  // TWindow's side.
  void Register(TWindow* w);
  void Unregister(TWindow* w);
  void WindowShown(TWindow* w);
  void WindowHidden(TWindow* w);
  void WindowMinimized(TWindow* w);
  void LeaveInputState(TWindow* w);
  void BringToTop(TWindow* w, bool focus = false);
  void BringToTopOfGroup(TWindow* w);
  void ActivateWindow(TWindow* w, bool fromHost = false);
  void PaintWindow(TWindow* w);
  void SetTimer(TWindow* w, int id, int interval);
  void KillTimer(TWindow* w, int id);
  void RunModal(TWindow* w);
  TWindow* Find(uint32_t handle) const;
  TWindow* FindNative(TNativeId id) const;
  void Send(TWindow* w, TMessage& msg);

  // Loop.
  bool RunOnePass();
  void FetchRawEvents();
  bool PaintInvalidWindows();
  bool FireDueTimers();
  int MsUntilNextTimer();

  // Input.
  void HandleRawEvent(const TRawEvent& ev);
  void HandleMouse(const TRawEvent& ev);
  void HandleKey(const TRawEvent& ev);
  void HandleText(const TRawEvent& ev);
  void HandleBoundsChange(const TRawEvent& ev);
  void UpdateHover(TWindow* under, TPoint screen);
  void CancelPopUpModes(TPoint screen);
  TMessage MouseMessage(TMessageKind kind, TWindow* w, TPoint screen) const;
  bool IsDoubleClick(TWindow* w, TMouseButton button, TPoint screen);
  void ActivateAfterLoss(TWindow* lost);
  void SendCancelMode(TWindow* w);
  std::vector<TWindow*> PopUpOwners() const;
  void ResolveFocusLoss();
  int ZGroup(const TWindow* w) const;

  std::unique_ptr<THost> FHost;
  std::unordered_map<uint32_t, TWindow*> FWindows;
  std::vector<TWindow*> FZOrder;  // visible windows with a native window, bottom to top
  uint32_t FNextHandle = 1;
  TWindow* FCapture = nullptr;
  TWindow* FHover = nullptr;
  TWindow* FActive = nullptr;
  std::map<TTimerKey, TTimer> FTimers;
  std::deque<TRawEvent> FRaw;
  TPoint FCursorPos;
  TShiftState FButtons = 0;
  TShiftState FKeyModifiers = 0;
  TCursor FCursor = crDefault;
  bool FTerminated = false;
  bool FDisplayLost = false;
  // Double click: the last press.
  uint32_t FLastClickWindow = 0;
  TMouseButton FLastClickButton = mbLeft;
  uint64_t FLastClickTime = 0;
  TPoint FLastClickPos;
  bool FLastClickWasDouble = false;
  uint32_t FFocusLossPending = 0;  // a host focus loss not yet known to go to one of ours
  std::vector<uint32_t> FModalStack;
  std::function<bool()> FIdle;
};

}  // namespace window
