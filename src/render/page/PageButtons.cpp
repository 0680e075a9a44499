// The page-button bar left of the horizontal scroll bar: first page,
// previous page, the page text ("3-12"), choose page, next page and last
// page, as classic frame controls; the two push buttons carry double
// triangles, grey and engraved while they cannot be used.

#include <string>
#include <vector>

#include "base/Utf8.h"
#include "platform/forms/ControlPaint.h"
#include "platform/forms/ScrollBar.h"
#include "player/ViewControl.h"
#include "player/Window.h"
#include "render/page/ViewPainter.h"
#include "score/model/Score.h"

namespace render {

namespace {

constexpr canvas::TColor kDisabledGlyph = 0x808080;

// Offsets of the glyph points from the glyph origin.
struct TOffset {
  int X, Y;
};

void FillGlyph(canvas::TCanvas& C, canvas::TPoint Origin, std::initializer_list<TOffset> Points, canvas::TColor Color) {
  std::vector<canvas::TPoint> points;
  for (TOffset p : Points) points.push_back({Origin.X + p.X, Origin.Y + p.Y});
  C.Pen = {Color, 1, canvas::psSolid, canvas::pmCopy};
  C.Brush = {Color, canvas::bsSolid};
  C.Polygon(points);
}

}  // namespace

void TKVViewPainter::DrawPageButtons(canvas::TCanvas& Canvas) {
  TKVViewControl* control = View.Control();
  TKVScore* score = View.Score();
  const forms::TScrollBar& horz = control->HorzScrollBar();
  const forms::TScrollBar& vert = control->VertScrollBar();
  const bool pages = score && score->Pages();
  if (!horz.Visible() && !vert.Visible() && !pages) return;
  const int32_t width = control->ClientWidth(), height = control->ClientHeight();
  const int32_t top = height - horz.Height() - 1;
  Canvas.Brush = {canvas::clBtnFace, canvas::bsSolid};
  Canvas.FillRect({0, top, horz.Left(), height});
  Canvas.FillRect({width - vert.Width(), top, width, height});
  if (!pages || View.Style() == wsPreview || View.Style() == wsSimple) return;

  auto state = [&](int Button) {
    unsigned s = View.PressedPageButton == Button ? unsigned(forms::fcsPushed | forms::fcsFlat) : 0u;
    return View.PageButtonEnabled[size_t(Button)] ? s : s | unsigned(forms::fcsInactive);
  };
  const auto& r = View.PageButtonRect;
  forms::DrawFrameControl(Canvas, r[PageButton::First], forms::fcButtonPush, state(PageButton::First));
  forms::DrawFrameControl(Canvas, r[PageButton::Previous], forms::fcScrollLeft, state(PageButton::Previous));
  canvas::TFont font;
  font.PixelsPerInch = Canvas.Font.PixelsPerInch;
  font.SetSize(10);
  Canvas.Font = font;
  Canvas.Brush.Style = canvas::bsClear;
  const canvas::TPoint at = View.PageTextPos();
  Canvas.TextOut(at.X, at.Y, Utf8ToUtf16(std::to_string(View.ActivePage() + 1) + "-" + std::to_string(View.PageCount())));
  forms::DrawFrameControl(Canvas, r[PageButton::Choose], forms::fcScrollDown, state(PageButton::Choose));
  forms::DrawFrameControl(Canvas, r[PageButton::Next], forms::fcScrollRight, state(PageButton::Next));
  forms::DrawFrameControl(Canvas, r[PageButton::Last], forms::fcButtonPush, state(PageButton::Last));

  // The push buttons' glyphs, one pixel further right and down while held.
  for (int button : {PageButton::First, PageButton::Last}) {
    const int shift = View.PressedPageButton == button ? 4 : 3;
    const canvas::TPoint o{r[size_t(button)].Left + shift, r[size_t(button)].Top + shift};
    const bool enabled = View.PageButtonEnabled[size_t(button)];
    const canvas::TColor ink = enabled ? canvas::clBlack : kDisabledGlyph;
    if (button == PageButton::First) {
      FillGlyph(Canvas, o, {{7, 2}, {4, 5}, {4, 2}, {1, 5}, {4, 8}, {4, 5}, {7, 8}, {7, 2}}, ink);
      if (enabled) continue;
      Canvas.Pen.Color = canvas::clWhite;
      Canvas.MoveTo(o.X + 5, o.Y + 7), Canvas.LineTo(o.X + 5, o.Y + 10);
      Canvas.MoveTo(o.X + 8, o.Y + 3), Canvas.LineTo(o.X + 8, o.Y + 10);
    } else {
      FillGlyph(Canvas, o, {{1, 2}, {4, 5}, {4, 2}, {7, 5}, {4, 8}, {4, 5}, {1, 8}, {1, 2}}, ink);
      if (enabled) continue;
      FillGlyph(Canvas, o, {{5, 8}, {7, 6}, {8, 6}, {5, 9}}, canvas::clWhite);
      FillGlyph(Canvas, o, {{2, 8}, {3, 7}, {3, 8}, {2, 9}}, canvas::clWhite);
    }
  }
  Canvas.Brush.Style = canvas::bsSolid;
}

}  // namespace render
