// The pages of the view: their size at the zoom and their arrangement.

#include <algorithm>

#include "base/Saturate.h"
#include "base/Strings.h"
#include "player/Window.h"
#include "platform/canvas/Canvas.h"
#include "score/model/Page.h"
#include "score/model/PageBackground.h"
#include "score/model/Score.h"

namespace {

// Reads the page in pixels until it goes, also when an exception passes.
class TPixelLengths {
public:
  explicit TPixelLengths(TKVPage& Page) : FPage(Page) { FPage.PushMetrix(rmPixels); }
  ~TPixelLengths() { FPage.PopMetrix(); }

private:
  TKVPage& FPage;
};

}  // namespace

// Book layout pairs half-width pages into sheets in the styles that show
// the printed result.
bool TKVWindow::BookSpreads() const {
  return FScore && FScore->Page().Book() &&
         (FStyle == wsPreview || FStyle == wsPrint || FStyle == wsView || FStyle == wsSimple);
}

TKVPageRect TKVWindow::GetPageSize() {
  if (!FScore) return {};
  TKVPage& page = FScore->Page();
  TPixelLengths pixels(page);
  const long double width = page.Width() * FZoom / (page.Book() ? 200 : 100);
  const long double height = page.Height() * FZoom / 100;
  return {0, 0, Saturate32(Round(double(width))), Saturate32(Round(double(height)))};
}

void TKVWindow::ArrangePages() {
  if (!FScore || FScore->UpdateCount() > 0) return;
  const TKVPageRect size = GetPageSize();
  const int64_t w = size.Right, h = size.Bottom;
  int64_t left = 0, top = 0;
  int32_t column = 0;
  FPageRows = 1;
  auto place = [&](int32_t page) {
    if (page < FPageCount) FPageTable[size_t(page)] = {Saturate32(left), Saturate32(top), Saturate32(left + w), Saturate32(top + h)};
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
  if (BookSpreads()) {
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

// The paper: the page brush, outlined in black when the score shows page
// frames; a booklet's sheet is two pages wide.
void TKVWindow::DrawPageBackground(canvas::TCanvas& Canvas) {
  if (!FScore || FScore->UpdateCount() >= 1) return;
  TKVPageRect r = GetPageSize();
  const TKVBrush& brush = FScore->Page().Brush();
  if (FScore->Page().Book() && (FStyle == wsPreview || FStyle == wsView || FStyle == wsSimple))
    r.Right = Saturate32(int64_t(r.Right) * 2);
  Canvas.Pen = {FScore->Pages() ? canvas::clBlack : brush.Color(), 1, canvas::psSolid, canvas::pmCopy};
  Canvas.Brush = {brush.Color(), canvas::TBrushStyle(brush.Style())};
  Canvas.Rectangle({r.Left, r.Top, r.Right, r.Bottom});
}
