// The page-button bar left of the horizontal scroll bar: its slots, their
// enable states and what a released button does.

#include <algorithm>

#include "base/Strings.h"
#include "platform/forms/ScrollBar.h"
#include "platform/text/TextMeasurer.h"
#include "player/ViewControl.h"
#include "player/Window.h"
#include "score/model/Score.h"

// Slots 1 and 2, the page text (as wide as the widest, "12-12" for 12
// pages), slots 3 to 7 and the add-state indicator with its name, all in
// the bottom strip, as high as the horizontal bar.
void TKVWindow::LayoutPageButtons() {
  if (!FScore || !HasWindow()) return;
  const text::TFontSpec font{"Arial", 10, 0};
  text::TTextMeasurer& measurer = text::CurrentMeasurer();
  const int32_t size = HorzScrollBar()->Height(), bottom = FControl->ClientHeight(), top = bottom - size;
  auto slot = [&](int32_t left, int32_t width) { return canvas::TRect{left, top, left + width, bottom}; };
  auto& r = PageButtonRect;
  r[PageButton::First] = slot(FButtonsOffset, size);
  r[PageButton::Previous] = slot(r[PageButton::First].Right, size);
  const std::string count = IntToStr(FPageCount);
  r[PageButton::Text] = slot(r[PageButton::Previous].Right + 2, measurer.TextWidth(font, count + "-" + count));
  r[PageButton::Choose] = slot(r[PageButton::Text].Right + 2, size);
  for (int b = PageButton::Next; b <= PageButton::FewerPages; ++b) r[size_t(b)] = slot(r[size_t(b - 1)].Right, size);
  const std::string& name = FScore->AddState() == asInsert ? FScore->InsertName() : FScore->OverwriteName();
  r[PageButton::AddState] = slot(r[PageButton::FewerPages].Right, size + measurer.TextWidth(font, name));
}

void TKVWindow::UpdatePageButtons() {
  if (!FScore || !HasWindow()) return;
  const bool back = FActivePage > 0, on = FActivePage < FPageCount - 1;
  const bool enabled[PageButton::Count] = {false, back, back, FPageCount > 1, on, on, true, true, true};
  std::copy(std::begin(enabled), std::end(enabled), PageButtonEnabled.begin());
  const canvas::TRect& first = PageButtonRect[PageButton::First];
  const canvas::TRect& last = PageButtonRect[PageButton::FewerPages];
  InvalidateClient({first.Left, first.Top, last.Right + 10, last.Bottom}, true);
}

// More or fewer pages set the page count the composer keeps at least.
void TKVWindow::ButtonAction(int32_t Button) {
  switch (Button) {
    case PageButton::First: return GotoStart();
    case PageButton::Previous: return SetActivePage(FActivePage - 1);
    case PageButton::Choose:
      if (OnChoosePage) OnChoosePage(this);
      return;
    case PageButton::Next: return SetActivePage(FActivePage + 1);
    case PageButton::Last: return GotoEnd();
    case PageButton::MorePages:
    case PageButton::FewerPages:
      if (FScore)
        FScore->SetUserPages(std::max(FScore->GetUserPages(), PageRecordCount()) +
                             (Button == PageButton::MorePages ? 1 : -1));
      return;
    case PageButton::AddState:
      if (OnAddState) OnAddState(this);
      return;
    default: return;
  }
}
