#include "platform/forms/FormFrame.h"

#include <algorithm>

#include "platform/forms/Forms.h"
#include "platform/window/WindowSystem.h"

namespace forms {

using window::TMessageKind;

TFrameHit FrameHitAt(TPoint p, int width, int height, const TRect& insets, bool sizeable) {
  // Outside the window only the mouse capture brings points, and they are
  // the client area's, as the press that took the capture was.
  if (p.X < 0 || p.Y < 0 || p.X >= width || p.Y >= height) return TFrameHit::Client;
  const TRect client{insets.Left, insets.Top, width - insets.Right, height - insets.Bottom};
  if (p.X >= client.Left && p.X < client.Right && p.Y >= client.Top && p.Y < client.Bottom) return TFrameHit::Client;
  const bool left = p.X < kFrameCorner, right = p.X >= width - kFrameCorner;
  if (p.Y < insets.Top) {
    if (!sizeable || p.Y >= kFrameTopEdge) return TFrameHit::Caption;
    return left ? TFrameHit::TopLeft : right ? TFrameHit::TopRight : TFrameHit::Top;
  }
  if (!sizeable) return TFrameHit::Border;
  const bool low = p.Y >= height - kFrameCorner;
  if (p.Y >= client.Bottom) return left ? TFrameHit::BottomLeft : right ? TFrameHit::BottomRight : TFrameHit::Bottom;
  if (p.X < client.Left) return low ? TFrameHit::BottomLeft : TFrameHit::Left;
  return low ? TFrameHit::BottomRight : TFrameHit::Right;
}

window::TCursor CursorOfHit(TFrameHit hit) {
  switch (hit) {
    case TFrameHit::Left:
    case TFrameHit::Right: return window::crSizeWE;
    case TFrameHit::Top:
    case TFrameHit::Bottom: return window::crSizeNS;
    case TFrameHit::TopLeft:
    case TFrameHit::BottomRight: return window::crSizeNWSE;
    case TFrameHit::TopRight:
    case TFrameHit::BottomLeft: return window::crSizeNESW;
    default: return window::crDefault;
  }
}

void TFormDrag::Start(TFrameHit hit, window::TPoint screen) {
  if (hit == TFrameHit::Client || hit == TFrameHit::Border || !window::TWindowSystem::Exists()) return;
  FHit = hit;
  FStart = screen;
  FBounds = window::TRect::FromSize(FForm.Left(), FForm.Top(), FForm.Width(), FForm.Height());
  window::TWindowSystem::Current().SetCapture(&FForm.Window());
}

void TFormDrag::Stop() {
  if (!Active()) return;
  FHit = TFrameHit::Client;
  if (window::TWindowSystem::Exists() && window::TWindowSystem::Current().GetCapture() == &FForm.Window())
    window::TWindowSystem::Current().ReleaseCapture();
}

bool TFormDrag::Message(window::TMessage& msg) {
  if (!Active()) return false;
  switch (msg.Kind) {
    case TMessageKind::MouseMove: Follow(msg.ScreenPos); return true;
    case TMessageKind::MouseUp:
      if (msg.Button == window::mbLeft) Stop();
      return true;
    case TMessageKind::MouseDown:
    case TMessageKind::MouseWheel: return true;
    case TMessageKind::CancelMode: Stop(); return false;
    case TMessageKind::CaptureChanged:
      if (msg.Other != &FForm.Window()) FHit = TFrameHit::Client;
      return false;
    default: return false;
  }
}

namespace {

// One edge of a resize: the moving side follows the pointer, the size keeps
// within Min..Max (0: no limit) and the other side stays.
void Resize(int& low, int& high, int delta, bool moveLow, int minSize, int maxSize) {
  int size = high - low + (moveLow ? -delta : delta);
  size = std::max(size, std::max(minSize, 1));
  if (maxSize > 0) size = std::min(size, maxSize);
  if (moveLow) low = high - size;
  else high = low + size;
}

}  // namespace

void TFormDrag::Follow(window::TPoint screen) {
  const int dx = screen.X - FStart.X, dy = screen.Y - FStart.Y;
  window::TRect b = FBounds;
  if (FHit == TFrameHit::Caption) {
    FForm.SetBounds(b.Left + dx, b.Top + dy, b.Width(), b.Height());
    return;
  }
  const TSizeConstraints& c = FForm.Constraints;
  switch (FHit) {
    case TFrameHit::Left:
    case TFrameHit::TopLeft:
    case TFrameHit::BottomLeft: Resize(b.Left, b.Right, dx, true, c.MinWidth, c.MaxWidth); break;
    case TFrameHit::Right:
    case TFrameHit::TopRight:
    case TFrameHit::BottomRight: Resize(b.Left, b.Right, dx, false, c.MinWidth, c.MaxWidth); break;
    default: break;
  }
  switch (FHit) {
    case TFrameHit::Top:
    case TFrameHit::TopLeft:
    case TFrameHit::TopRight: Resize(b.Top, b.Bottom, dy, true, c.MinHeight, c.MaxHeight); break;
    case TFrameHit::Bottom:
    case TFrameHit::BottomLeft:
    case TFrameHit::BottomRight: Resize(b.Top, b.Bottom, dy, false, c.MinHeight, c.MaxHeight); break;
    default: break;
  }
  FForm.SetBounds(b.Left, b.Top, b.Width(), b.Height());
}

}  // namespace forms
