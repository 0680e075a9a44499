// How a form hands its window's messages to its controls: painting, mouse
// with capture and enter/leave per control, keys with the dialog keys (Tab,
// Return, Escape), activation and focus.
#include "platform/forms/Application.h"
#include "platform/forms/ControlPaint.h"
#include "platform/forms/DialogFrame.h"
#include "platform/forms/Forms.h"
#include "platform/window/WindowSystem.h"

namespace forms {

using window::TMessageKind;

void TCustomForm::WindowMessage(window::TMessage& msg) {
  switch (msg.Kind) {
    case TMessageKind::Paint: PaintWindow(msg); break;
    case TMessageKind::Move:
    case TMessageKind::Size: WindowMoved(msg); break;
    case TMessageKind::MouseEnter:
    case TMessageKind::MouseMove:
    case TMessageKind::MouseDown:
    case TMessageKind::MouseUp:
    case TMessageKind::MouseWheel: HandleMouse(msg); break;
    case TMessageKind::MouseLeave: SetHoverControl(nullptr, 0, {}); break;
    case TMessageKind::KeyDown:
    case TMessageKind::KeyUp:
    case TMessageKind::Char: HandleKey(msg); break;
    case TMessageKind::Activate: HandleActivate(msg.Active); break;
    case TMessageKind::SetFocus:
    case TMessageKind::KillFocus:
      if (FActiveControl) FActiveControl->FocusChanged(msg.Kind == TMessageKind::SetFocus);
      break;
    case TMessageKind::Close:
      msg.Handled = true;
      Close();
      break;
    case TMessageKind::CancelMode:
      if (FActiveControl) FActiveControl->CancelMode();
      if (FCaptureControl && FCaptureControl != FActiveControl) FCaptureControl->CancelMode();
      ReleaseMouseCapture();
      break;
    case TMessageKind::CaptureChanged:
      if (msg.Other != FWindow.get()) FCaptureControl = nullptr;
      break;
    case TMessageKind::ManagerFrame:
      // A dialog's own caption gives way to the one a window manager draws.
      if (FDialogFrame) SetFrameInsets(ManagerFramed() ? TRect{} : TDialogFrame::Insets());
      break;
    default: break;
  }
}

void TCustomForm::WindowMoved(window::TMessage&) {
  CloseDropDowns();
  const window::TRect b = FWindow->BoundsRect();
  TWinControl::SetBounds(b.Left, b.Top, b.Width(), b.Height());
}

void TCustomForm::CloseDropDowns() {
  // An open drop-down list lies where its field was: once the window moves,
  // is resized or changes state (by the program or a window manager) it
  // would stand apart from the field, at its old width. It closes, as a
  // press outside it closes it; only the focused control can have one open.
  if (FWindow->Kind() == window::TWindowKind::TopLevel && FActiveControl) FActiveControl->CancelMode();
}

void TCustomForm::SetWindowState(TWindowState state) {
  if (state != WindowState()) CloseDropDowns();
  FWindow->SetWindowState(state);
}

TControl* TCustomForm::ControlAtWindowPos(TPoint p) const {
  const TWinControl* container = this;
  TPoint q{p.X - FFrame.Left, p.Y - FFrame.Top};
  while (true) {
    TControl* child = container->ControlAtPos(q);
    if (!child) return const_cast<TWinControl*>(container);
    q = {q.X - child->Left(), q.Y - child->Top()};
    auto* w = dynamic_cast<TWinControl*>(child);
    if (!w) return child;
    container = w;
  }
}

TPoint TCustomForm::ToControl(const TControl* control, TPoint windowPos) const {
  const TPoint o = control->WindowOrigin();
  return {windowPos.X - o.X, windowPos.Y - o.Y};
}

void TCustomForm::SetHoverControl(TControl* control, TShiftState shift, TPoint windowPos) {
  (void)shift;
  if (control != FHoverControl) {
    TControl* old = FHoverControl;
    FHoverControl = control;
    if (old) old->MouseLeave();
    if (control && FHoverControl == control) control->MouseEnter();
    UpdateCursor();
  }
  const window::TPoint screen = FWindow->ClientToScreen({windowPos.X, windowPos.Y});
  if (Application) Application->HintMouseMessage(FHoverControl, {screen.X, screen.Y});
}

void TCustomForm::UpdateCursor() {
  if (!window::TWindowSystem::Exists()) return;
  window::TCursor cursor = Screen ? Screen->Cursor() : window::crDefault;
  if (cursor == window::crDefault && FHoverControl) cursor = FHoverControl->Cursor();
  window::TWindowSystem::Current().SetCursor(cursor);
}

void TCustomForm::ControlCursorChanged(TControl* control) {
  if (control == FHoverControl) UpdateCursor();
}

void TCustomForm::HandleMouse(window::TMessage& msg) {
  const TPoint p{msg.Pos.X, msg.Pos.Y};
  TControl* under = ControlAtWindowPos(p);
  if (msg.Kind != TMessageKind::MouseWheel) SetHoverControl(under, msg.Shift, p);
  if (msg.Kind == TMessageKind::MouseEnter) return;
  if (msg.Kind == TMessageKind::MouseWheel) {
    for (TControl* c = under; c; c = c->Parent())
      if (c->IsEnabled() && c->MouseWheel(msg.Shift, msg.WheelDelta, ToControl(c, p))) break;
    return;
  }
  TControl* target = FCaptureControl ? FCaptureControl : under;
  if (msg.Kind == TMessageKind::MouseDown) {
    if (Application) Application->CancelHint();
    // A press elsewhere ends the mouse mode of the focused control.
    if (FActiveControl && target && !FActiveControl->ContainsControl(target)) FActiveControl->CancelMode();
  }
  if (!target || !target->IsEnabled()) return;
  const TPoint c = ToControl(target, p);
  switch (msg.Kind) {
    case TMessageKind::MouseMove: target->MouseMove(msg.Shift, c.X, c.Y); break;
    case TMessageKind::MouseDown:
      if (auto* w = dynamic_cast<TWinControl*>(target); w && w != this && w->TabStop() && w->CanFocus()) {
        w->SetFocus();
        if (ControlAtWindowPos(p) != target && FCaptureControl != target) return;  // the focus change moved things
      }
      if (msg.Button == window::mbLeft && (target->ControlStyle & csCaptureMouse)) {
        FCaptureControl = target;
        window::TWindowSystem::Current().SetCapture(FWindow.get());
      }
      target->MouseDown(msg.Button, msg.Shift, c.X, c.Y);
      if ((msg.Shift & window::ssDouble) && msg.Button == window::mbLeft) target->DblClick();
      break;
    case TMessageKind::MouseUp: {
      const bool click = msg.Button == window::mbLeft && FCaptureControl == target &&
                         (target->ControlStyle & csClickEvents) && c.X >= 0 && c.Y >= 0 && c.X < target->Width() &&
                         c.Y < target->Height();
      if (msg.Button == window::mbLeft) ReleaseMouseCapture();
      target->MouseUp(msg.Button, msg.Shift, c.X, c.Y);
      if (click && FHoverControl == target) target->MouseClick();
      break;
    }
    default: break;
  }
}

bool TCustomForm::BroadcastDialogKey(TWinControl* container, int key) {
  for (TWinControl* c : container->TabList()) {
    if (!c->Showing() || !c->IsEnabled()) continue;
    if (c->DialogKey(key) || BroadcastDialogKey(c, key)) return true;
  }
  return false;
}

bool TCustomForm::BroadcastDialogChar(TWinControl* container, char32_t letter) {
  for (TWinControl* c : container->TabList()) {
    if (!c->Showing() || !c->IsEnabled()) continue;
    if (c->DialogChar(letter) || BroadcastDialogChar(c, letter)) return true;
  }
  return false;
}

void TCustomForm::HandleKey(window::TMessage& msg) {
  TWinControl* target = FActiveControl && FActiveControl->CanFocus() ? FActiveControl : nullptr;
  if (msg.Kind == TMessageKind::Char) {
    char32_t ch = msg.CharCode;
    if (FSuppressChar && (ch == 9 || ch == 13 || ch == 27)) {
      FSuppressChar = false;
      return;
    }
    if (KeyPreview) TWinControl::KeyPress(ch);
    if (ch == 0) return;
    if ((!target || !target->TakesCharacters()) && BroadcastDialogChar(this, FoldedLetter(ch))) return;
    if (target)
      target->KeyPress(ch);
    else if (!KeyPreview)
      TWinControl::KeyPress(ch);
    return;
  }
  int key = msg.Key;
  const TShiftState shift = msg.Shift & window::ssKeyboardMask;
  if (msg.Kind == TMessageKind::KeyUp) {
    if (KeyPreview) TWinControl::KeyUp(key, shift);
    if (key == 0) return;
    if (target)
      target->KeyUp(key, shift);
    else if (!KeyPreview)
      TWinControl::KeyUp(key, shift);
    return;
  }
  FSuppressChar = false;
  if (KeyPreview) {
    TWinControl::KeyDown(key, shift);
    if (key == 0) {
      FSuppressChar = true;
      return;
    }
  }
  // Alt with a letter (the key of its place on the keyboard) answers the
  // control whose caption marks it, whatever has the focus.
  if ((shift & window::ssAlt) && key >= 'A' && key <= 'Z' && BroadcastDialogChar(this, char32_t(key))) {
    FSuppressChar = true;
    return;
  }
  if (!target || !target->WantsKey(key)) {
    if (key == window::VK_TAB && !(shift & (window::ssCtrl | window::ssAlt))) {
      SelectNext(!(shift & window::ssShift));
      FSuppressChar = true;
      return;
    }
    if ((key == window::VK_RETURN || key == window::VK_ESCAPE) && BroadcastDialogKey(this, key)) {
      FSuppressChar = true;
      return;
    }
  }
  if (target)
    target->KeyDown(key, shift);
  else if (!KeyPreview)
    TWinControl::KeyDown(key, shift);
}

void TCustomForm::HandleActivate(bool active) {
  // A frame shows whether its window is the active one.
  if (FFrame != TRect{}) InvalidateFrame();
  if (active) {
    if (!FActiveControl) SelectNext(true);
    if (OnActivate) OnActivate(this);
  } else {
    ReleaseMouseCapture();
    if (Application) Application->CancelHint();
    if (OnDeactivate) OnDeactivate(this);
  }
}

}  // namespace forms
