// Dynamics: a letter group (p, mf, sfz ...) as one music-font code, or a
// crescendo or diminuendo hairpin drawn as two smooth lines whose open end
// may slant away from the closed one.

#include "render/page/PageDrawer.h"
#include "score/layout/page/PageRecords.h"
#include "render/page/ScaledMath.h"
#include "score/model/Mark.h"

namespace render {

namespace {

constexpr uint8_t kCrescendo = 50, kDiminuendo = 51;
constexpr uint8_t kFirstLetters = 0x69;  // sub-kinds 0 to 12 in order
constexpr uint8_t kLastLetterKind = 12;

void DrawHairpin(TKVPageDrawer& D, const TKVMark& Mark, canvas::TColor Color) {
  TKVDisplayItem& record = *D.CurrentRecord;
  // The layout moved the whole wedge by the mark's y offset; what slants
  // the far end is the mark's extent.
  const TKVPageDrawer::TKVLineSetup line = D.SetUpLineMark(Mark, D.XScale);
  const canvas::TRect& r = D.ItemRect;
  const int64_t u1 = D.ItemUnit(1);
  const int64_t h = int64_t(Mark.Flags() > 0 ? Mark.Flags() : 4) * D.XScale / 100;
  const int64_t y = line.Y, t = line.Slant;
  const int64_t width = int64_t(r.Right) - r.Left;
  // The open end's leg on the side the slant leans away from is shortened
  // so that the wedge keeps its opening; a wedge of no width has no room
  // to shorten.
  const int64_t correction = width == 0 ? 0 : (t < 0 ? -t : t) * h * 2 / width;
  const int64_t shortenUpper = t < 0 ? correction : 0, shortenLower = t < 0 ? 0 : correction;
  auto at = [](int64_t X, int64_t Y) { return canvas::TPointF{double(ClampCoordinate(X)), double(ClampCoordinate(Y))}; };
  canvas::TSmoothPen pen{canvas::ArgbOf(Color), double(u1)};
  if (Mark.Variant() == kCrescendo) {
    const canvas::TPointF apex = at(r.Left + u1, y);
    D.Canvas.SmoothLine(at(r.Right - u1 - shortenUpper, y - h + t), apex, pen);
    D.Canvas.SmoothLine(apex, at(r.Right - u1 - shortenLower, y + h + t), pen);
  } else {
    const canvas::TPointF apex = at(r.Right - u1, y + t);
    D.Canvas.SmoothLine(at(r.Left + u1 + shortenLower, y - h), apex, pen);
    D.Canvas.SmoothLine(apex, at(r.Left + u1 + shortenUpper, y + h), pen);
  }
  if (D.IsItemSelected(record)) {
    D.DrawSelectionCorners(r);
    const int32_t end = ClampCoordinate(y + t);
    D.DrawSelectionHandle({r.Right, end});
    D.DrawSelectionHandle({ClampCoordinate(int64_t(r.Right) - 8), end});
  }
}

void DrawLetters(TKVPageDrawer& D, const TKVMark& Mark, canvas::TColor Color) {
  TKVDisplayItem& record = *D.CurrentRecord;
  const uint8_t variant = Mark.Variant();
  D.GlyphChar = variant <= kLastLetterKind ? uint8_t(kFirstLetters + variant) : 0;
  D.SetSymbolFontSize18();
  D.SelectSymbolFont(Mark.FontIndex());
  D.Canvas.Font.Color = Color;
  D.Canvas.Brush.Style = canvas::bsClear;
  D.PlaceItemRect(record.Bounds);
  if (D.GlyphChar != 0)
    D.TextOutGlyph(ClampCoordinate(int64_t(D.ItemRect.Left) + D.GlyphDX),
                   ClampCoordinate(int64_t(D.ItemRect.Top) + D.ItemUnit(6) + D.GlyphDY));
  D.DrawMarkBrackets(Mark, D.UnitWidth(2));
  if (D.IsItemSelected(record)) D.DrawSelectionCorners(D.ItemRect);
}

}  // namespace

void TKVPageDrawer::DrawDynamic(TKVMark& Mark) {
  const canvas::TColor color = MarkColor(Mark);
  if (Mark.Variant() == kCrescendo || Mark.Variant() == kDiminuendo)
    DrawHairpin(*this, Mark, color);
  else
    DrawLetters(*this, Mark, color);
}

}  // namespace render
