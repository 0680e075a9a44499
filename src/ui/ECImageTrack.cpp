#include "ui/ECImageTrack.h"

#include <algorithm>

#include "platform/window/WindowSystem.h"
#include "ui/ClientInvalidate.h"

using canvas::TBitmap;
using canvas::TRect;

namespace {

TRect Union(const TRect& a, const TRect& b) {
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

// A picture drawn without the colour of its bottom-left pixel, when any of
// it falls on the bitmap.
void DrawKeyed(canvas::TCanvas& canvas, const canvas::TSize& area, int x, int y, const TBitmap& picture) {
  if (picture.Empty() || x >= area.Cx || y >= area.Cy || x + picture.Width() <= 0 || y + picture.Height() <= 0) return;
  TBitmap copy(picture);
  copy.Transparent = true;
  canvas.Draw(x, y, copy);
}

}  // namespace

TECImageTrack::TECImageTrack(forms::TComponent* owner) : forms::TCustomControl(owner) {
  SetBounds(0, 0, 20, 100);
}

void TECImageTrack::SetPicture(TBitmap& target, const TBitmap& value) {
  target = value;
  Invalidate();
}

int TECImageTrack::TrackLength() const {
  return Along(ClientWidth(), ClientHeight()) - FLeftOffset - FRightOffset;
}

int TECImageTrack::ButtonCentre() const {
  if (FStyle == itsScroll) return FPosition;
  if (FMax == FMin) return FLeftOffset;
  return FLeftOffset + int(int64_t(TrackLength()) * (FPosition - FMin) / (int64_t(FMax) - FMin));
}

TRect TECImageTrack::ButtonRect() const {
  const int centre = ButtonCentre();
  const int half = (Horizontal() ? FButtonWidth : FButtonHeight) / 2;
  int from, to;
  if (!FButtonPicture.Empty()) {
    const int size = Horizontal() ? FButtonPicture.Height() : FButtonPicture.Width();
    from = ((Horizontal() ? ClientHeight() : ClientWidth()) - size) / 2;
    to = from + size;
  } else {
    from = FTopOffset;
    to = (Horizontal() ? ClientHeight() : ClientWidth()) - FBottomOffset;
  }
  if (Horizontal()) return {centre - half - 1, from, centre + half + 1, to};
  return {from, centre - half - 1, to, centre + half + 1};
}

TRect TECImageTrack::ButtonFrameRect() const {
  const int w = Horizontal() ? FButtonWidth : FButtonPicture.Width();
  const int h = Horizontal() ? FButtonPicture.Height() : FButtonHeight;
  const int size = Horizontal() ? w : h;
  const int leading = FStyle == itsTrack && FMax == FMin ? 0 : ButtonCentre() - size / 2;
  if (Horizontal()) {
    const int top = (ClientHeight() - h) / 2;
    return {leading, top, leading + w, top + h};
  }
  const int left = (ClientWidth() - w) / 2;
  return {left, leading, left + w, leading + h};
}

TBitmap TECImageTrack::ButtonFrame() const {
  const TRect r = ButtonFrameRect();
  TBitmap frame(std::max(0, r.Width()), std::max(0, r.Height()));
  int k = 0;
  if (!IsEnabled())
    k = FButtonPicture.Width() >= 4 * FButtonWidth ? 3 : 0;
  else if (FButtonState == 1)
    k = FButtonPicture.Width() > FButtonWidth ? 1 : 0;
  if (!frame.Empty()) frame.Canvas().BitBlt(0, 0, frame.Width(), frame.Height(), FButtonPicture, k * FButtonWidth, 0);
  frame.Transparent = true;
  return frame;
}

bool TECImageTrack::IsOverButton(int x, int y) const {
  const TRect r = ButtonRect();
  if (x < r.Left || x >= r.Right || y < r.Top || y >= r.Bottom) return false;
  if (FButtonPicture.Empty()) return true;
  const TBitmap frame = ButtonFrame();
  const TRect at = ButtonFrameRect();
  const int px = x - at.Left, py = y - at.Top;
  if (frame.Empty() || px < 0 || py < 0 || px >= frame.Width() || py >= frame.Height()) return false;
  return frame.Pixel(px, py) != frame.Pixel(0, frame.Height() - 1);
}

void TECImageTrack::SetPosition(int value) {
  if (value == FPosition || (value >= FMax && FPosition == FMax) || (value <= FMin && FPosition == FMin)) return;
  const TRect old = Union(ButtonRect(), ButtonFrameRect());
  FPosition = std::clamp(value, FMin, FMax);
  const TRect now = Union(ButtonRect(), ButtonFrameRect());
  if (!FDrawProgress) {
    InvalidateClientRect(*this, old);
    InvalidateClientRect(*this, now);
  } else if (Horizontal() ? now.Left != old.Left : now.Top != old.Top) {
    InvalidateClientRect(*this, Union(old, now));
  }
  if (OnChange) OnChange(this);
}

void TECImageTrack::ChangePosition(int value) {
  FPosition = value;
  Invalidate();
  if (OnChange) OnChange(this);
}

void TECImageTrack::SetMin(int value) {
  if (value == FMin || value > FMax) return;
  FMin = value;
  if (FPosition < FMin) ChangePosition(FMin);
  Invalidate();
}

void TECImageTrack::SetMax(int value) {
  if (value == FMax || value < FMin) return;
  FMax = value;
  if (FPosition > FMax) ChangePosition(FMax);
  Invalidate();
}

void TECImageTrack::SetButtonState(int state) {
  if (state == FButtonState) return;
  FButtonState = state;
  InvalidateClientRect(*this, Union(ButtonRect(), ButtonFrameRect()));
}

void TECImageTrack::Paint() {
  const int w = ClientWidth(), h = ClientHeight();
  if (w <= 0 || h <= 0) return;
  FBitmap.SetSize(w, h, canvas::ColorToRGB(Color()));
  canvas::TCanvas& c = FBitmap.Canvas();
  const canvas::TSize area{w, h};
  // Along the axis: first, the centre tiled up to the last one's place, last.
  auto across = [&](const TBitmap& p) { return Horizontal() ? (h - p.Height()) / 2 : (w - p.Width()) / 2; };
  auto draw = [&](const TBitmap& p, int along) {
    if (Horizontal())
      DrawKeyed(c, area, along, across(p), p);
    else
      DrawKeyed(c, area, across(p), along, p);
  };
  auto length = [&](const TBitmap& p) { return Horizontal() ? p.Width() : p.Height(); };
  draw(FFirstTrackPicture, 0);
  const int lastAt = Along(w, h) - length(FLastTrackPicture);
  if (length(FCenterTrackPicture) > 0)
    for (int at = length(FFirstTrackPicture); at < lastAt; at += length(FCenterTrackPicture)) draw(FCenterTrackPicture, at);
  draw(FLastTrackPicture, lastAt);
  if (!FButtonPicture.Empty() && FButtonWidth > 0) {
    const TRect at = ButtonFrameRect();
    DrawKeyed(c, area, at.Left, at.Top, ButtonFrame());
  }
  if (OnPaint) OnPaint(this, FBitmap);
  Canvas().BitBlt(0, 0, w, h, FBitmap, 0, 0);
}

void TECImageTrack::MouseDown(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  const bool left = button == window::mbLeft && IsEnabled();
  if (left) {
    const int at = Along(x, y), length = TrackLength();
    if (FStyle == itsTrack) {
      // A track without length maps no place to a value.
      if (length > 0) SetPosition(int((int64_t(at) - FLeftOffset) * (int64_t(FMax) - FMin + 1) / length + FMin));
    } else {
      const int half = (Horizontal() ? FButtonWidth : FButtonHeight) / 2;
      if (at < FPosition - half)
        SetPosition(at + half - FLeftOffset);
      else if (at > FPosition + half)
        SetPosition(at - half - FLeftOffset);
    }
  }
  forms::TCustomControl::MouseDown(button, shift, x, y);
  if (left && IsOverButton(x, y)) {
    FDragging = true;
    FLastPoint = {x, y};
    const TRect r = ButtonRect();
    FGrabOffset = {r.Left - x, r.Top - y};
  }
}

void TECImageTrack::MouseMove(forms::TShiftState shift, int x, int y) {
  forms::TCustomControl::MouseMove(shift, x, y);
  if (!FDragging) {
    const bool inside = x >= 0 && y >= 0 && x < ClientWidth() && y < ClientHeight();
    SetButtonState(FMouseInside && inside && IsOverButton(x, y) ? 1 : 0);
    return;
  }
  SetButtonState(1);
  const TRect thumb = ButtonRect();
  if (Along(ClientWidth(), ClientHeight()) == Along(thumb.Width(), thumb.Height())) return;
  const int at = Along(x, y), last = Along(FLastPoint.X, FLastPoint.Y);
  if (at != last) {
    if (FStyle == itsScroll) {
      SetPosition(FPosition + at - last);
    } else if (const int length = TrackLength(); length > 0) {
      const int grab = Along(FGrabOffset.X, FGrabOffset.Y);
      SetPosition(int((int64_t(FMax) - FMin + 1) * (int64_t(grab) + at) / length + FMin));
    }
  }
  FLastPoint = {x, y};
}

void TECImageTrack::MouseUp(forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  forms::TCustomControl::MouseUp(button, shift, x, y);
  if (!FDragging) return;
  FDragging = false;
  SetButtonState(IsOverButton(x, y) ? 1 : 0);
}

void TECImageTrack::MouseEnter() {
  forms::TCustomControl::MouseEnter();
  if (!IsEnabled()) return;
  FMouseInside = true;
  if (window::TWindowSystem::Exists()) {
    const window::TPoint screen = window::TWindowSystem::Current().GetCursorPos();
    const canvas::TPoint p = ScreenToClient({screen.X, screen.Y});
    if (IsOverButton(p.X, p.Y)) SetButtonState(1);
  }
}

void TECImageTrack::MouseLeave() {
  forms::TCustomControl::MouseLeave();
  FMouseInside = false;
  SetButtonState(0);
}

void TECImageTrack::DefineProperties(forms::TPropertyList& props) {
  forms::TCustomControl::DefineProperties(props);
  props.Integer("Position", this, &TECImageTrack::Position, &TECImageTrack::SetPosition);
  props.Integer("Min", this, &TECImageTrack::Min, &TECImageTrack::SetMin);
  props.Integer("Max", this, &TECImageTrack::Max, &TECImageTrack::SetMax);
  props.Boolean("DrawProgress", this, &TECImageTrack::DrawProgress, &TECImageTrack::SetDrawProgress);
}
