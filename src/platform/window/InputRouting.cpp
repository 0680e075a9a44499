// How TWindowSystem turns a host's raw events into window messages: which
// window a mouse or key message goes to, enter/leave, capture, activation
// on a press, cancel mode for pop-ups, double clicks and typed characters.
#include <cstdlib>

#include "base/Utf8.h"

#include "platform/window/WindowSystem.h"

namespace window {

namespace {

// Double clicks: the second press within this time and distance.
constexpr uint64_t kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 2;

// The character a key press types besides text input: the control
// characters of Backspace, Tab, Enter, Escape and Ctrl+letter.
char32_t ControlCharOfKey(int key, TShiftState shift) {
  switch (key) {
    case VK_BACK: return 8;
    case VK_TAB: return 9;
    case VK_RETURN: return 13;
    case VK_ESCAPE: return 27;
    default: break;
  }
  if ((shift & ssCtrl) && !(shift & ssAlt) && key >= 'A' && key <= 'Z') return static_cast<char32_t>(key - 'A' + 1);
  return 0;
}

}  // namespace

void TWindowSystem::HandleRawEvent(const TRawEvent& ev) {
  switch (ev.Kind) {
    case TRawKind::MouseMove:
    case TRawKind::MouseButton:
    case TRawKind::MouseWheel:
      HandleMouse(ev);
      break;
    case TRawKind::PointerLeft:
      if (FHover && FHover->FNative == ev.Window) UpdateHover(nullptr, FCursorPos);
      break;
    case TRawKind::Key:
      HandleKey(ev);
      break;
    case TRawKind::Text:
      HandleText(ev);
      break;
    case TRawKind::Exposed:
      if (TWindow* w = FindNative(ev.Window)) w->PresentRect(w->ClientRect());
      break;
    case TRawKind::Moved:
    case TRawKind::Resized:
      HandleBoundsChange(ev);
      break;
    case TRawKind::Minimized:
    case TRawKind::Restored:
      if (TWindow* w = FindNative(ev.Window)) w->HostMinimized(ev.Kind == TRawKind::Minimized);
      break;
    case TRawKind::ManagerFrame:
      if (TWindow* w = FindNative(ev.Window); w && w->FManagerFrame != ev.Bounds) {
        w->FManagerFrame = ev.Bounds;
        TMessage msg(TMessageKind::ManagerFrame);
        Send(w, msg);
      }
      break;
    case TRawKind::FocusGained:
      if (TWindow* w = FindNative(ev.Window)) {
        FFocusLossPending = 0;
        if (w->FKind != TWindowKind::TopLevel) break;  // pop-ups take no activation
        if (w->AcceptsInput()) ActivateWindow(w, true);
        else if (!FModalStack.empty()) ActivateWindow(Find(FModalStack.back()));
      }
      break;
    case TRawKind::FocusLost:
      // Decided after the events at hand: the focus may be going to one of
      // our own windows, which must not cost the active window its state.
      if (TWindow* w = FindNative(ev.Window); w && w == FActive) FFocusLossPending = w->FHandle;
      break;
    case TRawKind::CloseRequest:
      if (TWindow* w = FindNative(ev.Window)) {
        const uint32_t handle = w->FHandle;
        TMessage msg(TMessageKind::Close);
        Send(w, msg);
        if (!msg.Handled && Find(handle) == w) w->Hide();
      }
      break;
    case TRawKind::DisplayLost:
      // Nothing can be shown or asked any more: the program ends through its
      // normal shut-down, which keeps what the user has.
      FDisplayLost = true;
      Terminate();
      break;
  }
}

void TWindowSystem::ResolveFocusLoss() {
  if (!FFocusLossPending) return;
  TWindow* w = Find(FFocusLossPending);
  FFocusLossPending = 0;
  if (w && w == FActive) ActivateWindow(nullptr);
}

void TWindowSystem::HandleBoundsChange(const TRawEvent& ev) {
  TWindow* w = FindNative(ev.Window);
  if (!w) return;
  TRect bounds = w->FBounds;
  if (ev.Kind == TRawKind::Moved) bounds = TRect::FromSize(ev.Bounds.Left, ev.Bounds.Top, bounds.Width(), bounds.Height());
  else bounds = TRect::FromSize(bounds.Left, bounds.Top, ev.Bounds.Width(), ev.Bounds.Height());
  // Our own SetBounds coming back changes nothing.
  if (bounds != w->FBounds) w->ChangeBounds(bounds, false);
}

TMessage TWindowSystem::MouseMessage(TMessageKind kind, TWindow* w, TPoint screen) const {
  TMessage msg(kind);
  msg.Pos = w->ScreenToClient(screen);
  msg.ScreenPos = screen;
  msg.Shift = static_cast<TShiftState>(FKeyModifiers | FButtons);
  return msg;
}

void TWindowSystem::UpdateHover(TWindow* under, TPoint screen) {
  if (under == FHover) return;
  const uint32_t underHandle = under ? under->FHandle : 0;
  TWindow* old = FHover;
  FHover = under;
  if (old) {
    TMessage leave(TMessageKind::MouseLeave);
    Send(old, leave);
  }
  // The leave handler may have moved things on, even freed Under.
  if (under && FHover == under && Find(underHandle) == under) {
    TMessage enter = MouseMessage(TMessageKind::MouseEnter, under, screen);
    Send(under, enter);
  }
}

void TWindowSystem::CancelPopUpModes(TPoint screen) {
  const std::vector<TWindow*> owners = PopUpOwners();
  if (owners.empty()) return;
  for (TWindow* w : FZOrder)
    if (w->FKind == TWindowKind::PopUp && w->PtInWindow(w->ScreenToClient(screen))) return;
  std::vector<uint32_t> handles;
  for (TWindow* owner : owners)
    if (!owner->FVisible || !owner->PtInWindow(owner->ScreenToClient(screen))) handles.push_back(owner->FHandle);
  for (uint32_t h : handles)
    if (TWindow* owner = Find(h)) SendCancelMode(owner);
}

bool TWindowSystem::IsDoubleClick(TWindow* w, TMouseButton button, TPoint screen) {
  const uint64_t now = FHost->Now();
  const bool isDouble = !FLastClickWasDouble && FLastClickWindow == w->FHandle && FLastClickButton == button &&
                        now - FLastClickTime <= kDoubleClickMs &&
                        std::abs(screen.X - FLastClickPos.X) <= kDoubleClickDistance &&
                        std::abs(screen.Y - FLastClickPos.Y) <= kDoubleClickDistance;
  FLastClickWindow = w->FHandle;
  FLastClickButton = button;
  FLastClickTime = now;
  FLastClickPos = screen;
  FLastClickWasDouble = isDouble;
  return isDouble;
}

void TWindowSystem::HandleMouse(const TRawEvent& ev) {
  FCursorPos = ev.Screen;
  FKeyModifiers = ev.Modifiers & ssKeyboardMask;
  const bool press = ev.Kind == TRawKind::MouseButton && ev.Down;
  if (press) CancelPopUpModes(ev.Screen);

  auto windowUnderPointer = [&]() -> TWindow* {
    TWindow* under = WindowFromPoint(ev.Screen);
    // The native window the event came to knows the real stacking when it
    // holds the point.
    if (TWindow* hinted = FindNative(ev.Window);
        hinted && hinted->FVisible && hinted->PtInWindow(hinted->ScreenToClient(ev.Screen)))
      under = hinted;
    return under && under->AcceptsInput() ? under : nullptr;
  };
  TWindow* under = windowUnderPointer();
  const uint32_t underHandle = under ? under->FHandle : 0;
  UpdateHover(under, ev.Screen);

  if (ev.Kind == TRawKind::MouseButton) {
    const TShiftState bit = ButtonShift(ev.Button);
    FButtons = ev.Down ? (FButtons | bit) : (FButtons & ~bit);
  }
  // Handlers so far (cancel mode, leave, enter) may have changed the
  // windows: no pointer is kept across them, the window is looked up again.
  if (under && Find(underHandle) != under) under = windowUnderPointer();
  TWindow* target = FCapture ? FCapture : under;
  if (!target || !target->AcceptsInput()) return;
  const uint32_t handle = target->FHandle;

  switch (ev.Kind) {
    case TRawKind::MouseMove: {
      TMessage msg = MouseMessage(TMessageKind::MouseMove, target, ev.Screen);
      Send(target, msg);
      break;
    }
    case TRawKind::MouseWheel: {
      TMessage msg = MouseMessage(TMessageKind::MouseWheel, target, ev.Screen);
      msg.WheelDelta = ev.WheelDelta;
      Send(target, msg);
      break;
    }
    case TRawKind::MouseButton: {
      if (ev.Down && !FCapture && target->FKind == TWindowKind::TopLevel) {
        ActivateWindow(target);
        if (Find(handle) != target) return;
      }
      TMessage msg = MouseMessage(ev.Down ? TMessageKind::MouseDown : TMessageKind::MouseUp, target, ev.Screen);
      msg.Button = ev.Button;
      if (ev.Down && IsDoubleClick(target, ev.Button, ev.Screen)) msg.Shift |= ssDouble;
      Send(target, msg);
      break;
    }
    default:
      break;
  }
}

void TWindowSystem::HandleKey(const TRawEvent& ev) {
  FKeyModifiers = ev.Modifiers & ssKeyboardMask;
  TWindow* target = FActive;
  if (!target || !target->AcceptsInput()) return;
  const uint32_t handle = target->FHandle;
  TMessage msg(ev.Down ? TMessageKind::KeyDown : TMessageKind::KeyUp);
  msg.Shift = static_cast<TShiftState>(FKeyModifiers | FButtons);
  msg.Key = ev.Key;
  msg.Repeat = ev.Repeat;
  Send(target, msg);
  if (!ev.Down) return;
  const char32_t ch = ControlCharOfKey(ev.Key, FKeyModifiers);
  if (ch && Find(handle) == target && FActive == target) {
    TMessage charMsg(TMessageKind::Char);
    charMsg.Shift = msg.Shift;
    charMsg.CharCode = ch;
    Send(target, charMsg);
  }
}

void TWindowSystem::HandleText(const TRawEvent& ev) {
  for (char32_t cp : DecodeUtf8(ev.Text)) {
    TWindow* target = FActive;
    if (!target || !target->AcceptsInput()) return;
    TMessage msg(TMessageKind::Char);
    msg.Shift = static_cast<TShiftState>(FKeyModifiers | FButtons);
    msg.CharCode = cp;
    Send(target, msg);
  }
}

}  // namespace window
