// The pages of the view: their size at the zoom and their arrangement.

#include <algorithm>
#include <limits>

#include "base/Strings.h"
#include "player/Window.h"
#include "score/model/Page.h"
#include "score/model/Score.h"

namespace {

int32_t Saturate(int64_t Value) {
  return int32_t(std::clamp<int64_t>(Value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// Reads the page in pixels until it goes, also when an exception passes.
class TPixelLengths {
public:
  explicit TPixelLengths(TKVPage& Page) : FPage(Page) { FPage.PushMetrix(rmPixels); }
  ~TPixelLengths() { FPage.PopMetrix(); }

private:
  TKVPage& FPage;
};

// Book layout pairs half-width pages into sheets in the styles that show
// the printed result.
bool UsesSpreads(const TKVPage& Page, TKVWindowStyle Style) {
  return Page.Book() && (Style == wsPreview || Style == wsPrint || Style == wsView || Style == wsSimple);
}

}  // namespace

TKVPageRect TKVWindow::GetPageSize() {
  if (!FScore) return {};
  TKVPage& page = FScore->Page();
  TPixelLengths pixels(page);
  const long double width = page.Width() * FZoom / (page.Book() ? 200 : 100);
  const long double height = page.Height() * FZoom / 100;
  return {0, 0, Saturate(Round(double(width))), Saturate(Round(double(height)))};
}

void TKVWindow::ArrangePages() {
  if (!FScore || FScore->UpdateCount() > 0) return;
  const TKVPageRect size = GetPageSize();
  const int64_t w = size.Right, h = size.Bottom;
  int64_t left = 0, top = 0;
  int32_t column = 0;
  FPageRows = 1;
  auto place = [&](int32_t page) {
    if (page < FPageCount) FPageTable[size_t(page)] = {Saturate(left), Saturate(top), Saturate(left + w), Saturate(top + h)};
  };
  auto advance = [&] {
    if (column < FPagePerHorz - 1) {
      left += w;
      ++column;
      return;
    }
    column = 0;
    left = 0;
    if (FStyle != wsPreview) top += h;  // the preview shows one row at a time
    ++FPageRows;
  };
  if (UsesSpreads(FScore->Page(), FStyle)) {
    // Four pages are the faces of one folded sheet: [i+3 | i] [i+1 | i+2].
    for (int32_t i = 0; i < FPageCount; i += 4) {
      place(i + 3);
      left += w;
      place(i);
      advance();
      place(i + 1);
      left += w;
      place(i + 2);
      advance();
    }
  } else {
    for (int32_t i = 0; i < FPageCount; ++i) {
      place(i);
      advance();
    }
  }
  UpdateRuleMarkers();
}

TKVPageRect TKVWindow::PageRect(int32_t Index) const {
  return Index >= 0 && Index < FPageCount ? FPageTable[size_t(Index)] : TKVPageRect{};
}

void TKVWindow::SetZoom(int32_t Percent) {
  Percent = std::clamp(Percent, MinZoom, MaxZoom);
  if (Percent == FZoom) return;
  ShowCursor(false);
  FZoom = Percent;
  ArrangePages();
  ShowCursor(true);
}

void TKVWindow::SetPagePerHorz(int32_t Value) {
  if (Value == FPagePerHorz) return;
  FPagePerHorz = Value;
  ArrangePages();
  AdjustScrollBars();
  InvalidateScore();
}
