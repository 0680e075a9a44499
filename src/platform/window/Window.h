#pragma once
// A window of the program: a top-level window, a pop-up (drop-down menus:
// placed at screen coordinates, above every other window, never activated)
// or a message-only window (timers and posted work, nothing on the screen).
// There is no non-client area: the whole window is client area, and frames
// and child controls are drawn by the code above. Messages go to OnMessage.
// Create and use windows on the main thread only, while a TWindowSystem
// exists.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Object.h"
#include "platform/window/Host.h"
#include "platform/window/Message.h"
#include "platform/window/Region.h"

namespace window {

class TWindowSystem;

enum class TWindowKind : uint8_t { TopLevel, PopUp, MessageOnly };
enum class TWindowState : uint8_t { wsNormal, wsMinimized, wsMaximized };

class TWindow : public TObject {
public:
  // A pop-up needs the window it belongs to (the one whose menu it shows);
  // a top-level window's owner gets the activation back when it closes.
  explicit TWindow(TWindowKind kind = TWindowKind::TopLevel, TWindow* owner = nullptr);
  ~TWindow() override;

  std::function<void(TWindow* Sender, TMessage& Msg)> OnMessage;

  TWindowKind Kind() const { return FKind; }
  TWindow* Owner() const { return FOwner; }
  uint32_t Handle() const { return FHandle; }
  // False once the window system it was made in has gone (the window is inert).
  bool Alive() const { return FSystem != nullptr; }
  TNativeId NativeHandle() const { return FNative; }

  // Geometry, in screen coordinates. Sends Move and Size when they change.
  void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return FBounds; }
  int Width() const { return FBounds.Width(); }
  int Height() const { return FBounds.Height(); }
  TRect ClientRect() const { return {0, 0, Width(), Height()}; }
  TPoint ClientToScreen(TPoint p) const { return {p.X + FBounds.Left, p.Y + FBounds.Top}; }
  TPoint ScreenToClient(TPoint p) const { return {p.X - FBounds.Left, p.Y - FBounds.Top}; }

  void Show();
  void Hide();
  bool Visible() const { return FVisible; }
  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return FCaption; }
  void SetStayOnTop(bool onTop);
  bool StayOnTop() const { return FStayOnTop; }
  // A disabled window gets no mouse or key input (EnableWindow).
  void SetEnabled(bool enabled);
  bool Enabled() const { return FEnabled; }
  // Enabled and not blocked by another window's modal loop.
  bool AcceptsInput() const { return FEnabled && FModalBlocks == 0; }
  // Maximised fills the screen and Restore returns to the bounds before.
  void SetWindowState(TWindowState state);
  TWindowState WindowState() const { return FState; }

  // The widths of the frame a window manager draws around the window (left,
  // top, right, bottom), all 0 when none does: one may run, start or stop
  // while the program runs, and may frame a window that asked for none.
  const TRect& ManagerFrame() const { return FManagerFrame; }

  // The window's shape (SetWindowRgn); nullopt gives back the full rectangle.
  void SetWindowRgn(std::optional<TRegion> region);
  const TRegion* WindowRgn() const { return FRegion ? &*FRegion : nullptr; }
  // True when the client point belongs to the window's shape.
  bool PtInWindow(TPoint client) const;

  // Painting: an invalid area is painted with a Paint message when the loop
  // has nothing else to do, or at once by Update.
  void InvalidateRect(const TRect& rect);
  void Invalidate() { InvalidateRect(ClientRect()); }
  void Update();
  TRect UpdateRect() const { return FInvalid; }
  // Drawing outside a Paint message: take the pixels, draw, then show the
  // drawn rectangle with ReleaseDC.
  TPixelBuffer GetDC();
  void ReleaseDC(const TRect& drawn);

  // Timers: a Timer message every IntervalMs on the loop; SetTimer with a
  // known id restarts it with the new interval.
  void SetTimer(int id, int intervalMs);
  void KillTimer(int id);

  // Runs the handler now (SendMessage).
  void Perform(TMessage& msg);
  // Runs Fn on the main queue once no message to this window is being
  // handled: a window freed from inside its own handler (a drop-down whose
  // item opened a dialog) would return into freed memory. Dropped when the
  // window dies first; a later call replaces an earlier one still waiting.
  void AfterMessages(std::function<void()> fn);
  // Queues Fn on the program's main queue; dropped when the window dies first.
  void Post(std::function<void()> fn);

  // Makes this top-level window the active one with the keyboard focus.
  void Activate();
  bool Focused() const;
  // Shows the window and runs a loop that blocks input to every other
  // window until it is hidden, destroyed or EndModal is called.
  void ShowModal();
  void EndModal() { FModalEnded = true; }

private:
  friend class TWindowSystem;
  void ChangeBounds(const TRect& bounds, bool toHost);
  // The host minimised the window or gave it back.
  void HostMinimized(bool minimized);
  void EnsureBuffer();
  TPixelBuffer Buffer();
  void PresentRect(const TRect& rect);

  TWindowSystem* FSystem;
  TWindowKind FKind;
  TWindow* FOwner;
  uint32_t FHandle = 0;
  TNativeId FNative = 0;
  TRect FBounds;
  TRect FRestoreBounds;
  bool FVisible = false;
  bool FStayOnTop = false;
  bool FEnabled = true;
  int FModalBlocks = 0;
  bool FModalEnded = false;
  int FHandling = 0;  // messages to this window being handled (nested)
  std::function<void()> FAfterMessages;
  TWindowState FState = TWindowState::wsNormal;
  TWindowState FStateBeforeMinimized = TWindowState::wsNormal;
  std::string FCaption;
  std::optional<TRegion> FRegion;
  TRect FManagerFrame;
  std::vector<uint32_t> FPixels;
  int FPixelWidth = 0, FPixelHeight = 0;
  TRect FInvalid;
};

}  // namespace window
