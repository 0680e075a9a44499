// The visible view's client geometry: the client and view rectangles, the
// scroll bars and their ranges, zoom with proportional scroll positions,
// the bars' places on a resize, and the repaint requests of the score area,
// the rulers and the mode indicator.

#include <algorithm>

#include "base/Saturate.h"
#include "base/Strings.h"
#include "platform/forms/ScrollBar.h"
#include "player/Rule.h"
#include "player/ScoreRenderer.h"
#include "player/ViewControl.h"
#include "player/Window.h"
#include "score/model/Page.h"
#include "score/model/Score.h"

namespace {

// Max, page size and position of a bar whose content is Max long in a
// view View long: the page is never longer than the content, and the
// position never past Max less the page.
void SetRange(forms::TScrollBar& Bar, int32_t Max, int32_t View) {
  Max = std::max(Max, 0);
  const int32_t page = std::clamp(View, 0, Max);
  const int32_t position = std::clamp(Bar.Position(), 0, Max - page);
  Bar.SetParams(position, 0, Max);
  Bar.SetPageSize(page);
}

}  // namespace

canvas::TRect TKVWindow::GetClientAreaRect() const {
  if (!FControl) return {};
  const forms::TScrollBar& h = FControl->HorzScrollBar();
  const forms::TScrollBar& v = FControl->VertScrollBar();
  return {0, 0, FControl->ClientWidth() - (v.Visible() ? v.Width() : 0),
          FControl->ClientHeight() - (h.Visible() ? h.Height() + 1 : 0)};
}

canvas::TRect TKVWindow::GetViewRect() const {
  canvas::TRect r = GetClientAreaRect();
  if (FRule->Visible()) r.Left = r.Top = FRule->Width();
  return r;
}

// Without pages both ranges are empty.
void TKVWindow::UpdateScrollBars(bool RaiseEvent) {
  if (!FScore || FScore->UpdateCount() > 0 || !FControl) return;
  const canvas::TRect v = GetViewRect();
  forms::TScrollBar& horz = FControl->HorzScrollBar();
  forms::TScrollBar& vert = FControl->VertScrollBar();
  const int32_t width = FControl->ClientWidth() - vert.Width() - v.Left;
  const int32_t height = FControl->ClientHeight() - horz.Height() - v.Top;
  if (FPageCount == 0) {
    SetRange(horz, 0, width);
    SetRange(vert, 0, height);
  } else {
    const TKVPageRect& first = FPageTable[0];
    SetRange(horz, Saturate32(int64_t(first.Right - first.Left) * std::max(FPagePerHorz, 1) * (BookSpreads() ? 2 : 1)),
             width);
    SetRange(vert, FPageTable[size_t(FPageCount - 1)].Bottom, height);
  }
  if (RaiseEvent && OnZoomChanged) OnZoomChanged(this);
}

void TKVWindow::AdjustScrollBars() {
  if (!FScore || !HasWindow() || FPageCount == 0) return;
  const canvas::TRect v = GetViewRect();
  forms::TScrollBar& horz = FControl->HorzScrollBar();
  forms::TScrollBar& vert = FControl->VertScrollBar();
  const TKVPageRect& first = FPageTable[0];
  SetRange(horz, Saturate32(int64_t(first.Right - first.Left) * std::max(FPagePerHorz, 1) * (BookSpreads() ? 2 : 1)),
           v.Right - v.Left);
  SetRange(vert, FPageTable[size_t(FPageCount - 1)].Bottom, v.Bottom - v.Top);
  const int32_t pageWidth = first.Right - first.Left, pageHeight = first.Bottom - first.Top;
  horz.LargeChange = uint16_t(pageWidth);
  vert.LargeChange = uint16_t(pageHeight - pageHeight / 3);
}

// The positions keep their share of the range (in 64 bits: a wide
// arrangement at a high zoom overflows 32).
void TKVWindow::SetZoom(int32_t Percent) {
  Percent = std::clamp(Percent, MinZoom, MaxZoom);
  if (Percent == FZoom) return;
  ShowCursor(false);
  try {
    forms::TScrollBar* bars[2] = {HorzScrollBar(), VertScrollBar()};
    int64_t ranges[2] = {}, positions[2] = {};
    for (int i = 0; i < 2 && bars[0]; ++i) {
      ranges[i] = int64_t(bars[i]->Max()) - bars[i]->PageSize();
      positions[i] = bars[i]->Position();
    }
    FZoom = Percent;
    ArrangePages();
    if (HasWindow()) {
      InvalidateClient(GetClientAreaRect(), true);
      UpdateScrollBars(true);
    }
    for (int i = 0; i < 2 && bars[0]; ++i) {
      const int64_t range = int64_t(bars[i]->Max()) - bars[i]->PageSize();
      bars[i]->SetPosition(ranges[i] == 0 ? 0 : Saturate32(range * positions[i] / ranges[i]));
    }
  } catch (...) {
    ShowCursor(true);
    throw;
  }
  ShowCursor(true);
}

void TKVWindow::SetPagePerHorz(int32_t Value) {
  if (Value == FPagePerHorz) return;
  FPagePerHorz = Value;
  ArrangePages();
  AdjustScrollBars();
  InvalidateScore();
}

void TKVWindow::ScrollBarScroll(TObject* Sender, uint8_t ScrollCode, int& ScrollPos) {
  auto* bar = dynamic_cast<forms::TScrollBar*>(Sender);
  if (!bar || !FControl || (bar != HorzScrollBar() && bar != VertScrollBar())) return;
  const bool vertical = bar == VertScrollBar();
  if (int64_t(ScrollPos) + bar->PageSize() > bar->Max()) ScrollPos = bar->Max() - bar->PageSize();
  ScrollPos = std::max(ScrollPos, 0);
  if (ScrollPos != bar->Position()) {
    // What comes into view: moving on, everything the content fills; moving
    // back, the view rectangle.
    const canvas::TRect v = GetViewRect();
    const int32_t right = FControl->ClientWidth() - VertScrollBar()->Width();
    const int32_t bottom = FControl->ClientHeight() - HorzScrollBar()->Height();
    const bool on = ScrollPos > bar->Position();
    canvas::TRect area = vertical ? canvas::TRect{0, v.Top, on ? right : v.Right, v.Bottom}
                                  : (on ? canvas::TRect{0, 0, right, bottom} : canvas::TRect{v.Left, 0, v.Right, v.Bottom});
    bar->SetPosition(ScrollPos);
    HitTest(FAnchor);
    InvalidateClient(area, false);
    if (!FBothBars) FControl->Update();
  }
  if (!vertical) return;
  // The vertical bar tells the page at its position; dragging the thumb
  // shows it at once.
  for (int32_t i = 0; i < FPageCount; ++i)
    if (FPageTable[size_t(i)].Bottom > bar->Position()) {
      bar->SetHint(IntToStr(i + 1));
      break;
    }
  if (ScrollCode == forms::scTrack) ShowHintNow(*bar, 0, {1, 1});
}

void TKVWindow::ScrollTo(int32_t H, int32_t V) {
  forms::TScrollBar* horz = HorzScrollBar();
  forms::TScrollBar* vert = VertScrollBar();
  if (!horz) return;
  const bool moveH = H != horz->Position(), moveV = V != vert->Position();
  FBothBars = moveH && moveV;
  if (moveH) ScrollBarScroll(horz, forms::scPosition, H);
  FBothBars = false;
  if (moveV) ScrollBarScroll(vert, forms::scPosition, V);
}

void TKVWindow::ScrollBarMouseDown(TObject*) {
  if (FControl) FControl->SetFocus();
}

// The horizontal bar takes the right quarter of the bottom strip, the page
// buttons the rest; the vertical bar runs from VertOffset down to the strip.
void TKVWindow::WMResize() {
  if (!FControl) return;
  forms::TScrollBar& horz = FControl->HorzScrollBar();
  forms::TScrollBar& vert = FControl->VertScrollBar();
  const int32_t width = FControl->ClientWidth(), height = FControl->ClientHeight();
  const int32_t left = width - width / 4;
  horz.SetBounds(left, height - horz.Height(), width - left - vert.Width(), horz.Height());
  vert.SetBounds(width - vert.Width(), FVertOffset, vert.Width(), height - horz.Height() - FVertOffset);
  AdjustScrollBars();
  LayoutPageButtons();
}

void TKVWindow::InvalidateRulers() {
  if (FRule->Visible()) TKVScoreView::InvalidateRulers();
}

void TKVWindow::InvalidateRulerArea() {
  const forms::TScrollBar& h = FControl->HorzScrollBar();
  const int32_t width = GetClientAreaRect().Right;
  const int32_t height = FControl->ClientHeight() - (h.Visible() ? h.Height() : 0);
  InvalidateClient({0, 0, width, FRule->Width()}, true);
  InvalidateClient({0, 0, FRule->Width(), height}, true);
}

void TKVWindow::InvalidateScoreArea() { InvalidateClient(GetViewRect(), true); }

// The left half of the bottom strip.
void TKVWindow::InvalidateModeIndicator() {
  if (!HasWindow()) return;
  const int32_t height = FControl->ClientHeight();
  InvalidateClient({0, height - FControl->HorzScrollBar().Height(), FControl->ClientWidth() / 2, height}, true);
}

// Mirrored margins change the top ruler between odd and even pages.
void TKVWindow::InvalidateRule(int32_t OldPage) {
  if (!HasWindow() || !FRule->Visible() || !FScore || !FScore->Page().Turn()) return;
  if ((int64_t(OldPage) - FActivePage) % 2 != 0) InvalidateClient({0, 0, GetClientAreaRect().Right, FRule->Width()}, true);
}

void TKVWindow::UpdateRuleMarkers() {
  if (!FScore || !HasWindow() || !PageRecord(FActivePage) || !FRenderer) return;
  const TKVRuleMarkers old = RuleMarkers;
  FRenderer->CalcRuleMarkers();
  const int32_t h = HorzPosition(), v = VertPosition(), width = FRule->Width();
  auto horizontal = [&](int32_t before, int32_t after, int32_t reach) {
    if (before == after) return;
    for (int32_t x : {before, after}) InvalidateClient({x - reach - h, 2, x + 5 - h, width}, false);
  };
  horizontal(old.SystemLeft, RuleMarkers.SystemLeft, 4);
  horizontal(old.SystemRight, RuleMarkers.SystemRight, 5);
  horizontal(old.MeasureMark, RuleMarkers.MeasureMark, 5);
  horizontal(old.TickX, RuleMarkers.TickX, 5);
  if (old.StaffTopY == RuleMarkers.StaffTopY) return;
  const int32_t second = ScoreToPixels(RuleMarkOffset);
  for (int32_t y : {old.StaffTopY, RuleMarkers.StaffTopY, old.StaffTopY + second, RuleMarkers.StaffTopY + second})
    InvalidateClient({2, y - 5 - v, width, y + 5 - v}, false);
}
