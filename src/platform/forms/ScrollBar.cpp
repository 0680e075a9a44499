#include "platform/forms/ScrollBar.h"

#include <algorithm>

#include "platform/forms/ControlPaint.h"

namespace forms {

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner) {
  ControlStyle = csCaptureMouse;
  SetBounds(0, 0, 121, 17);
}

void TScrollBar::SetKind(TScrollBarKind kind) {
  if (kind == FKind) return;
  FKind = kind;
  SetBounds(Left(), Top(), Height(), Width());
}

void TScrollBar::SetParams(int position, int min, int max) {
  if (max < min) max = min;
  position = std::clamp(position, min, max);
  const bool changed = position != FPosition;
  if (min == FMin && max == FMax && !changed) return;
  FMin = min;
  FMax = max;
  FPosition = position;
  Invalidate();
  if (changed && OnChange) OnChange(this);
}

void TScrollBar::SetFlat(bool flat) {
  if (flat == FFlat) return;
  FFlat = flat;
  Invalidate();
}

void TScrollBar::SetPageSize(int v) {
  FPageSize = std::max(0, v);
  Invalidate();
}

void TScrollBar::Scroll(TScrollCode code, int pos) {
  int p = FPosition;
  switch (code) {
    case scLineUp: p -= SmallChange; break;
    case scLineDown: p += SmallChange; break;
    case scPageUp: p -= LargeChange; break;
    case scPageDown: p += LargeChange; break;
    case scPosition:
    case scTrack: p = pos; break;
    case scTop: p = FMin; break;
    case scBottom: p = FMax; break;
    case scEndScroll: break;
  }
  p = std::clamp(p, FMin, std::max(FMin, FMax - std::max(0, FPageSize - 1)));
  if (OnScroll) OnScroll(this, code, p);
  SetPosition(p);
}

TScrollBar::TGeometry TScrollBar::Geometry() const {
  const int length = Along(Width(), Height()), breadth = FKind == sbVertical ? Width() : Height();
  TGeometry g;
  g.Button = std::min(breadth, length / 2);
  g.TrackStart = g.Button;
  g.TrackLength = std::max(0, length - 2 * g.Button);
  const int range = FMax - FMin + 1;
  g.ThumbLength = FPageSize > 0 ? std::max(8, int(int64_t(g.TrackLength) * std::min(FPageSize, range) / range)) : breadth;
  g.ThumbLength = std::min(g.ThumbLength, g.TrackLength);
  const int span = std::max(1, FMax - FMin - std::max(0, FPageSize - 1));
  g.ThumbStart = g.TrackStart + int(int64_t(g.TrackLength - g.ThumbLength) * std::clamp(FPosition - FMin, 0, span) / span);
  return g;
}

int TScrollBar::PositionAt(int along) const {
  const TGeometry g = Geometry();
  const int free = std::max(1, g.TrackLength - g.ThumbLength);
  const int span = FMax - FMin - std::max(0, FPageSize - 1);
  return FMin + int(int64_t(std::clamp(along - g.TrackStart, 0, free)) * span / free);
}

void TScrollBar::Paint() {
  canvas::TCanvas& c = Canvas();
  const TGeometry g = Geometry();
  const bool vertical = FKind == sbVertical;
  auto span = [&](int start, int length) {
    return vertical ? TRect{0, start, Width(), start + length} : TRect{start, 0, start + length, Height()};
  };
  // The track: lighter than the buttons, as the classic dithered track looks.
  FillSolid(c, ClientRect(), canvas::RGB(0xEA, 0xE8, 0xE4));
  const int length = Along(Width(), Height());
  const unsigned look = FFlat ? unsigned(fcsFlat) : 0u, state = look | (IsEnabled() ? 0u : unsigned(fcsInactive));
  DrawFrameControl(c, span(0, g.Button), vertical ? fcScrollUp : fcScrollLeft, state);
  DrawFrameControl(c, span(length - g.Button, g.Button), vertical ? fcScrollDown : fcScrollRight, state);
  if (IsEnabled() && g.TrackLength > 0) DrawFrameControl(c, span(g.ThumbStart, g.ThumbLength), fcButtonPush, look);
}

void TScrollBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TWinControl::MouseDown(button, shift, x, y);
  if (button != window::mbLeft) return;
  const TGeometry g = Geometry();
  const int a = Along(x, y), length = Along(Width(), Height());
  if (a < g.Button)
    Scroll(scLineUp);
  else if (a >= length - g.Button)
    Scroll(scLineDown);
  else if (a < g.ThumbStart)
    Scroll(scPageUp);
  else if (a >= g.ThumbStart + g.ThumbLength)
    Scroll(scPageDown);
  else {
    FDragOffset = a - g.ThumbStart;
    FDragPos = FPosition;
  }
}

void TScrollBar::MouseMove(TShiftState shift, int x, int y) {
  TWinControl::MouseMove(shift, x, y);
  if (FDragOffset < 0) return;
  FDragPos = PositionAt(Along(x, y) - FDragOffset);
  Scroll(scTrack, FDragPos);
}

void TScrollBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TWinControl::MouseUp(button, shift, x, y);
  if (button != window::mbLeft) return;
  if (FDragOffset >= 0) {
    FDragOffset = -1;
    Scroll(scPosition, FDragPos);
  }
  Scroll(scEndScroll);
}

bool TScrollBar::MouseWheel(TShiftState, int wheelDelta, TPoint) {
  Scroll(wheelDelta > 0 ? scLineUp : scLineDown);
  return true;
}

void TScrollBar::DefineProperties(TPropertyList& props) {
  TWinControl::DefineProperties(props);
  props.Integer("Min", this, &TScrollBar::Min, &TScrollBar::SetMin);
  props.Integer("Max", this, &TScrollBar::Max, &TScrollBar::SetMax);
  props.Integer("Position", this, &TScrollBar::Position, &TScrollBar::SetPosition);
  props.Integer("PageSize", this, &TScrollBar::PageSize, &TScrollBar::SetPageSize);
}

}  // namespace forms
