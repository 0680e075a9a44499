#include "render/page/ViewPainter.h"

#include <algorithm>

#include "platform/canvas/Bitmap.h"
#include "player/ViewControl.h"
#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "score/model/Score.h"

namespace render {

namespace {

// Restores a canvas's saved state however the drawing in between ends.
struct TSavedCanvas {
  explicit TSavedCanvas(canvas::TCanvas& C) : Canvas(C) { Canvas.Save(); }
  ~TSavedCanvas() { Canvas.Restore(); }
  canvas::TCanvas& Canvas;
};

}  // namespace

struct TKVViewPainter::TPaintState {
  canvas::TCanvas& PageCanvas;
  int32_t W, H, HPos, VPos, Scale;
  bool Booklet;
  int32_t RightMost = 0, ShortRowRight = W, PageBottom = 0, LastPageW = 0, LastPageH = 0;

  // A page or sheet whose right edge is Right: the rightmost so far, or the
  // end of a short row.
  void NoteRightEdge(int32_t Right) {
    if (HPos >= Right) return;
    int32_t d = Right - HPos;
    (d < RightMost ? ShortRowRight : RightMost) = d;
  }
};

TKVViewPainter::TKVViewPainter(TKVWindow& AView) : View(AView) {}

void TKVViewPainter::Paint() {
  canvas::TCanvas& control = View.Control()->Canvas();
  if (!View.Score()) {
    control.Brush = {View.Color(), canvas::bsSolid};
    control.FillRect(View.Control()->ClientRect());
    return;
  }
  const canvas::TRect viewRect = View.GetViewRect();
  if (View.Score()->Optimization() && viewRect.Width() > 0 && viewRect.Height() > 0) {
    const canvas::TBitmap image = ComposePages(viewRect);
    View.DrawCursor(control, false);
    DrawHoverOverlay(false);
    DrawSelectionOverlay(false);
    {
      TSavedCanvas saved(control);
      control.BitBlt(viewRect.Left, viewRect.Top, image.Width(), image.Height(), image, 0, 0);
    }
    DrawHoverOverlay(false);
    DrawSelectionOverlay(false);
    View.DrawCursor(control, true);
  }
  DrawRule(control, false, View.GetClientAreaRect(), 0);
  DrawPageButtons(control);
}

canvas::TBitmap TKVViewPainter::ComposePages(const canvas::TRect& ViewRect) {
  canvas::TBitmap image(ViewRect.Width(), ViewRect.Height());
  TKVWindowStyle style = View.Style();
  TPaintState s{image.Canvas(), ViewRect.Width(), ViewRect.Height(), View.HorzPosition(),
                View.VertPosition(), View.ScreenResolution() * View.Zoom() / 96,
                View.Score()->Page().Book() && (style == wsPreview || style == wsView || style == wsSimple)};
  s.PageCanvas.Smoothing = true;
  int32_t p = View.ActivePage(), count = View.PageCount();
  if (s.Booklet) {
    int32_t base = p / 4 * 4;
    if (p % 4 == 0) {
      DrawSpreadPage(s, base, true);
      if (base + 3 < count) DrawPage(s, base + 3);
      DrawPage(s, base);
    } else {
      DrawSpreadPage(s, base + 1, false);
      DrawPage(s, base + 1);
      if (base + 2 < count) DrawPage(s, base + 2);
    }
  } else if (style == wsPreview) {
    int32_t perRow = std::max(View.PagePerHorz(), 1), first = p / perRow * perRow;
    for (int32_t i = first; i < std::min(count, first + perRow); ++i) DrawPage(s, i);
  } else {
    for (int32_t i = 0; i < count; ++i) DrawPage(s, i);
  }

  s.PageCanvas.Brush = {View.Color(), canvas::bsSolid};
  if (s.W > s.RightMost)
    s.PageCanvas.FillRect({s.RightMost, 0, s.W, s.H});
  else
    s.RightMost = s.W;
  if (s.H > s.PageBottom) s.PageCanvas.FillRect({0, s.PageBottom, s.RightMost, s.H});
  if (s.ShortRowRight < s.RightMost && s.RightMost - s.LastPageW < s.W && s.PageBottom - s.LastPageH < s.H)
    s.PageCanvas.FillRect({s.ShortRowRight, s.PageBottom - s.LastPageH, s.RightMost, s.PageBottom});
  return image;
}

void TKVViewPainter::DrawPage(TPaintState& S, int32_t PageIndex) {
  TKVPageRect r = View.PageRect(PageIndex);
  if (!(r.Left < S.HPos + S.W && r.Top < S.VPos + S.H && S.HPos < r.Right && S.VPos < r.Bottom)) return;
  canvas::TPoint origin{r.Left - S.HPos, r.Top - S.VPos};
  {
    TSavedCanvas saved(S.PageCanvas);
    S.PageCanvas.IntersectClipRect({origin.X, origin.Y, r.Right - S.HPos, r.Bottom - S.VPos});
    S.PageCanvas.SetOrigin(origin);
    if (!S.Booklet) View.DrawPageBackground(S.PageCanvas);
    DrawPageContent(PageIndex, S.PageCanvas, S.Scale, origin);
  }
  S.LastPageW = r.Right - r.Left;
  S.LastPageH = r.Bottom - r.Top;
  if (!S.Booklet) S.NoteRightEdge(r.Right);
  if (S.VPos < r.Bottom) S.PageBottom = r.Bottom - S.VPos;
}

void TKVViewPainter::DrawSpreadPage(TPaintState& S, int32_t PageIndex, bool OuterSide) {
  TKVPageRect r = View.PageRect(PageIndex);
  int32_t sheetLeft = OuterSide ? 2 * r.Left - r.Right : r.Left, sheetRight = OuterSide ? r.Right : 2 * r.Right;
  {
    TSavedCanvas saved(S.PageCanvas);
    S.PageCanvas.IntersectClipRect({sheetLeft - S.HPos, r.Top - S.VPos, 2 * r.Right - S.HPos, r.Bottom - S.VPos});
    S.PageCanvas.SetOrigin({sheetLeft - S.HPos, r.Top - S.VPos});
    View.DrawPageBackground(S.PageCanvas);
  }
  S.NoteRightEdge(sheetRight);
}

void TKVViewPainter::DrawPageContent(int32_t PageIndex, canvas::TCanvas& Canvas, int32_t Scale,
                                     canvas::TPoint Origin) {
  TKVPageDrawer(View, Canvas).DrawPageContent(PageIndex, Scale, Scale, Origin.X, Origin.Y);
}

void TKVViewPainter::ShowCursor(bool Show) { DrawCursorOnWindow(View, Show); }

void RegisterScoreRenderer() {
  SetScoreRendererFactory(
      [](TKVWindow& View) -> std::unique_ptr<TKVScoreRenderer> { return std::make_unique<TKVViewPainter>(View); });
}

}  // namespace render
