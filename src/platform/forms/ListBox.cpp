#include "platform/forms/ListBox.h"

#include <algorithm>

#include "platform/forms/ControlPaint.h"
#include "platform/forms/ScrollBar.h"

namespace forms {

namespace {
constexpr int kEdge = 2;
}

TListBox::TListBox(TComponent* owner) : TWinControl(owner), FScrollBar(new TScrollBar(this)) {
  ControlStyle = csCaptureMouse;
  SetTabStop(true);
  SetColor(canvas::clWindow);
  FScrollBar->SetKind(sbVertical);
  FScrollBar->SetVisible(false);
  FScrollBar->SetParent(this);
  FScrollBar->OnChange = [this](TObject*) { SetTopIndex(FScrollBar->Position()); };
  FItems.OnChange = [this](TObject*) { ItemsChanged(); };
  SetBounds(0, 0, 121, 97);
}

int TListBox::ItemHeight() const {
  return const_cast<TListBox*>(this)->Canvas().TextHeight(u"Ag") + 2;
}

int TListBox::VisibleRows() const { return std::max(1, (Height() - 2 * kEdge) / ItemHeight()); }

int TListBox::ItemAtPos(TPoint p) const {
  if (p.X < kEdge || p.X >= Width() - kEdge || p.Y < kEdge || p.Y >= Height() - kEdge) return -1;
  const int index = FTopIndex + (p.Y - kEdge) / ItemHeight();
  return index < FItems.Count() ? index : -1;
}

void TListBox::SetItemIndex(int index) {
  if (index < 0 || index >= FItems.Count()) index = -1;
  if (index == FItemIndex) return;
  FItemIndex = index;
  MakeVisible(index);
  Invalidate();
}

void TListBox::SetTopIndex(int index) {
  index = std::clamp(index, 0, std::max(0, FItems.Count() - VisibleRows()));
  if (index == FTopIndex) return;
  FTopIndex = index;
  FScrollBar->SetPosition(index);
  Invalidate();
}

void TListBox::MakeVisible(int index) {
  if (index < 0) return;
  if (index < FTopIndex) SetTopIndex(index);
  else if (index >= FTopIndex + VisibleRows()) SetTopIndex(index - VisibleRows() + 1);
}

void TListBox::UserSelect(int index) {
  if (index < 0) return;
  SetItemIndex(index);
  Click();
}

void TListBox::ItemsChanged() {
  if (FItemIndex >= FItems.Count()) FItemIndex = -1;
  UpdateScrollBar();
  SetTopIndex(FTopIndex);
  Invalidate();
}

void TListBox::UpdateScrollBar() {
  const bool needed = FItems.Count() > VisibleRows();
  FScrollBar->SetBounds(Width() - kEdge - 17, kEdge, 17, std::max(0, Height() - 2 * kEdge));
  FScrollBar->SetParams(FTopIndex, 0, std::max(0, FItems.Count() - 1));
  FScrollBar->SetPageSize(VisibleRows());
  FScrollBar->LargeChange = VisibleRows();
  FScrollBar->SetVisible(needed);
}

void TListBox::SetBounds(int left, int top, int width, int height) {
  TWinControl::SetBounds(left, top, width, height);
  UpdateScrollBar();
}

void TListBox::FontChanged() {
  UpdateScrollBar();
  Invalidate();
}

void TListBox::Paint() {
  canvas::TCanvas& c = Canvas();
  const TRect r = ClientRect();
  FillSolid(c, r, Color());
  DrawEdge(c, r, false);
  const int right = Width() - kEdge - (FScrollBar->Visible() ? FScrollBar->Width() : 0);
  const int h = ItemHeight();
  c.Save();
  c.IntersectClipRect({kEdge, kEdge, right, Height() - kEdge});
  for (int i = FTopIndex, y = kEdge; i < FItems.Count() && y < Height() - kEdge; ++i, y += h) {
    const TRect row{kEdge, y, right, y + h};
    const bool selected = i == FItemIndex;
    if (selected) FillSolid(c, row, Focused() || HotTrack ? canvas::clHighlight : canvas::clBtnFace);
    c.Font.Color = !IsEnabled() ? canvas::clGrayText
                   : selected && (Focused() || HotTrack) ? canvas::clHighlightText
                                                         : Font().Color;
    const std::string& text = FItems.Strings(i);
    size_t start = 0;
    for (size_t column = 0;; ++column) {
      const size_t tab = text.find('\t', start);
      const int left = column == 0 ? row.Left + 2 : TabStops[column - 1];
      const bool last = tab == std::string::npos || column >= TabStops.size();
      const int right = last ? row.Right : TabStops[column] - 4;
      DrawText(c, text.substr(start, last ? std::string::npos : tab - start), {left, row.Top, right, row.Bottom},
               taLeftJustify);
      if (last) break;
      start = tab + 1;
    }
  }
  c.Restore();
}

void TListBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TWinControl::MouseDown(button, shift, x, y);
  if (button == window::mbLeft) UserSelect(ItemAtPos({x, y}));
}

void TListBox::MouseMove(TShiftState shift, int x, int y) {
  TWinControl::MouseMove(shift, x, y);
  const int index = ItemAtPos({x, y});
  if (index < 0 || index == FItemIndex) return;
  if (MouseCaptured())
    UserSelect(index);
  else if (HotTrack)
    SetItemIndex(index);
}

bool TListBox::MouseWheel(TShiftState, int wheelDelta, TPoint) {
  SetTopIndex(FTopIndex - 3 * wheelDelta / window::WHEEL_DELTA);
  return true;
}

void TListBox::KeyDown(int& key, TShiftState shift) {
  TWinControl::KeyDown(key, shift);
  const int last = FItems.Count() - 1, page = VisibleRows();
  int index = FItemIndex;
  switch (key) {
    case window::VK_UP: index = std::max(0, index - 1); break;
    case window::VK_DOWN: index = std::min(last, index + 1); break;
    case window::VK_HOME: index = 0; break;
    case window::VK_END: index = last; break;
    case window::VK_PRIOR: index = std::max(0, index - page + 1); break;
    case window::VK_NEXT: index = std::min(last, std::max(0, index) + page - 1); break;
    default: return;
  }
  if (last >= 0 && index != FItemIndex) UserSelect(index);
}

void TListBox::DefineProperties(TPropertyList& props) {
  TWinControl::DefineProperties(props);
  props.Object("Items", TPropKind::pkStrings, [this]() -> TObject* { return &FItems; });
  props.Integer("ItemIndex", this, &TListBox::ItemIndex, &TListBox::SetItemIndex);
}

}  // namespace forms
