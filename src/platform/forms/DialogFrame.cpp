#include "platform/forms/DialogFrame.h"

#include "platform/forms/ControlPaint.h"
#include "platform/forms/Forms.h"
#include "platform/window/WindowSystem.h"

namespace forms {

using window::TMessageKind;

namespace {

bool Inside(const canvas::TRect& r, window::TPoint p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

}  // namespace

canvas::TRect TDialogFrame::CloseButton() const {
  if (!(FForm.BorderIcons() & biSystemMenu)) return {};
  const int right = FForm.Width() - 3, top = 3;
  return {right - 16, top, right, top + 14};
}

void TDialogFrame::Paint(canvas::TCanvas& c) {
  const int w = FForm.Width(), h = FForm.Height();
  const bool active = FForm.Active();
  c.Brush.Style = canvas::bsSolid;
  c.Brush.Color = canvas::clBtnShadow;
  c.FrameRect({0, 0, w, h});
  FillSolid(c, {1, 1, w - 1, 1 + kCaptionHeight}, active ? canvas::clActiveCaption : canvas::clInactiveCaption);
  const canvas::TRect close = CloseButton();
  c.Font = FForm.Font();
  c.Font.Style |= text::fsBold;
  c.Font.Color = active ? canvas::clCaptionText : canvas::clInactiveCaptionText;
  DrawText(c, FForm.Caption(), {5, 1, close.Right > 0 ? close.Left - 2 : w - 3, 1 + kCaptionHeight}, taLeftJustify);
  if (close.Right <= 0) return;
  FillSolid(c, close, canvas::clBtnFace);
  DrawEdge(c, close, !FCloseDown);
  // The cross, one pixel further down and right while pressed.
  const int d = FCloseDown ? 1 : 0, x = close.Left + 4 + d, y = close.Top + 3 + d;
  c.Pen.Color = canvas::clBtnText;
  c.Pen.Width = 1;
  for (int i = 0; i < 2; ++i) {
    c.MoveTo(x + i, y);
    c.LineTo(x + i + 7, y + 7);
    c.MoveTo(x + i + 6, y);
    c.LineTo(x + i - 1, y + 7);
  }
}

void TDialogFrame::SetCloseDown(bool down) {
  if (down == FCloseDown) return;
  FCloseDown = down;
  FForm.InvalidateWindowRect(CloseButton());
}

bool TDialogFrame::Message(window::TMessage& msg) {
  auto& system = window::TWindowSystem::Current();
  if (msg.Kind == TMessageKind::CaptureChanged && FCloseHeld && msg.Other != &FForm.Window()) {
    FCloseHeld = false;
    SetCloseDown(false);
    return false;
  }
  if (msg.Kind == TMessageKind::Activate) FForm.InvalidateFrame();
  const bool mouse = msg.Kind == TMessageKind::MouseMove || msg.Kind == TMessageKind::MouseDown ||
                     msg.Kind == TMessageKind::MouseUp || msg.Kind == TMessageKind::MouseWheel ||
                     msg.Kind == TMessageKind::MouseEnter;
  if (!mouse) return false;
  if (FCloseHeld) {
    const bool over = Inside(CloseButton(), msg.Pos);
    if (msg.Kind == TMessageKind::MouseMove) SetCloseDown(over);
    if (msg.Kind == TMessageKind::MouseUp && msg.Button == window::mbLeft) {
      FCloseHeld = false;
      SetCloseDown(false);
      if (system.GetCapture() == &FForm.Window()) system.ReleaseCapture();
      if (over) FForm.Close();
    }
    return true;
  }
  if (FForm.FrameHit({msg.Pos.X, msg.Pos.Y}) == TFrameHit::Client) return false;
  if (msg.Kind == TMessageKind::MouseDown && msg.Button == window::mbLeft && Inside(CloseButton(), msg.Pos)) {
    FCloseHeld = true;
    SetCloseDown(true);
    system.SetCapture(&FForm.Window());
    return true;
  }
  FForm.FrameMouse(msg);
  return true;
}

}  // namespace forms
