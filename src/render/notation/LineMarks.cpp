// Marks drawn mostly with lines: the arpeggio (a wave of thick and thin
// strokes with an optional arrow), the trill with its accidental and wavy
// extension, the wavy line, a glyph with a continuation line, the hooked
// horizontal bracket, the half bracket and the square bracket.

#include <cstdlib>

#include "render/notation/ItemTests.h"
#include "render/notation/StepRange.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"

namespace render {

namespace {

namespace K = ItemKind;

constexpr uint8_t kTrill = 0x9D;

void Line(canvas::TCanvas& C, int64_t X1, int64_t Y1, int64_t X2, int64_t Y2) {
  C.MoveTo(ClampCoordinate(X1), ClampCoordinate(Y1));
  C.LineTo(ClampCoordinate(X2), ClampCoordinate(Y2));
}

canvas::TPointF At(int64_t X, int64_t Y) { return {double(ClampCoordinate(X)), double(ClampCoordinate(Y))}; }

bool Stretched(const TKVDisplayItem& Record) { return (Record.Placement & 0x0F) == 2 && Record.Shift.X > 0; }

void DrawLineSelection(TKVPageDrawer& D, int64_t EndY, int32_t SecondHandle) {
  if (!D.IsItemSelected(*D.CurrentRecord)) return;
  D.DrawSelectionCorners(D.ItemRect);
  const int32_t y = ClampCoordinate(EndY);
  D.DrawSelectionHandle({D.ItemRect.Right, y});
  if (SecondHandle) D.DrawSelectionHandle({ClampCoordinate(int64_t(D.ItemRect.Right) - SecondHandle), y});
}

// A wave along Y: strokes rising from X0 every six units while they start
// left of Right less six units, then the strokes falling back from the
// last one down to Low. H and A are the heights of the wave's foot and
// crest; Even waves are a plain zigzag of one pen.
struct TWave {
  int64_t X0, Low, Right, Y, H, A;
  bool Even;
};

void DrawWave(TKVPageDrawer& D, const TWave& W) {
  const int64_t u1 = D.ItemUnit(1), u2 = D.ItemUnit(2), u3 = D.ItemUnit(3), u6 = D.ItemUnit(6), w = D.ItemUnit(0.5);
  const int64_t step = std::max<int64_t>(u6, 1), limit = W.Right - u6;
  const canvas::TRect clip = D.Canvas.ClipRect();
  const int64_t reach = std::abs(u3) + std::abs(w) + std::abs(u1) + step;
  canvas::TCanvas& c = D.Canvas;
  const int64_t rising = limit > W.X0 ? CeilDiv(limit - W.X0, step) : 0;
  c.Pen.Width = int32_t(W.Even ? u1 : u2);
  const TStepRange up = StepsWithin(W.X0, step, rising, reach, clip.Left, clip.Right);
  for (int64_t i = up.First; i <= up.Last; ++i) {
    const int64_t x = W.X0 + i * step;
    Line(c, x, W.Y + w, x + u3, W.Y + W.A - w);
  }
  const int64_t end = W.X0 + rising * step;
  const int64_t falling = end >= W.Low ? (end - W.Low) / step + 1 : 0;
  c.Pen.Width = int32_t(u1);
  const TStepRange down = StepsWithin(end, -step, falling, reach, clip.Left, clip.Right);
  for (int64_t j = down.First; j <= down.Last; ++j) {
    const int64_t x = end - j * step;
    if (W.Even) {
      if (limit > x) Line(c, x - u3 + w, W.Y + W.A, x - w, W.Y);
      continue;
    }
    const bool first = W.Low + u6 >= x, last = limit <= x;
    Line(c, first ? x - u3 - w : x - u3 + w, first ? W.Y + W.H : W.Y + W.A, last ? x - u1 + w : x - w,
         last ? W.Y + W.H : W.Y);
  }
}

void DrawArpeggio(TKVPageDrawer& D, const TKVMark& Mark, canvas::TColor Color) {
  TKVDisplayItem& record = *D.CurrentRecord;
  const uint8_t mode = record.Placement & 0x0F;
  int64_t x = ScaleUnits(record.Bounds.Left, D.XScale), n = Mark.Value();
  if (mode == 1) x += record.Shift.X;
  if (mode == 3) n += ScaleUnits(record.Shift.Y, D.XScale);
  const int64_t u2 = D.ItemUnit(2), u3 = D.ItemUnit(3), u4 = D.ItemUnit(4), u6 = D.ItemUnit(6), w = D.ItemUnit(0.5);
  const uint8_t arrow = Mark.Flags() & 3;
  // Built upward from the bottom, or downward from the top.
  const bool fromBottom = arrow == 2;
  const int64_t dir = fromBottom ? -1 : 1;
  const int64_t y0 = fromBottom ? int64_t(ScaleUnits(record.Bounds.Bottom, D.YScale)) - u6 +
                                      (mode == 1 || mode == 3 ? record.Shift.Y : 0)
                                : int64_t(ScaleUnits(record.Bounds.Top, D.YScale)) + u6 + (mode == 1 ? record.Shift.Y : 0);
  const int64_t step = dir * std::max<int64_t>(D.ItemUnit(8), 1);
  canvas::TCanvas& c = D.Canvas;
  c.Pen.Color = Color;
  c.Pen.Style = canvas::psSolid;
  const canvas::TRect clip = c.ClipRect();
  const int64_t reach = std::abs(u4) + std::abs(w) + std::abs(step);
  c.Pen.Width = int32_t(u2);
  const TStepRange thick = StepsWithin(y0, step, n, reach, clip.Top, clip.Bottom);
  for (int64_t i = thick.First; i <= thick.Last; ++i) {
    const int64_t y = y0 + i * step;
    Line(c, x + w, y + dir * u4, x + u3 - w, y);
  }
  // The thin strokes run back from the last thick one: thin stroke i lies
  // n - i steps from the start.
  c.Pen.Width = int32_t(D.ItemUnit(1));
  const TStepRange thin = StepsWithin(y0, step, n + 1, reach, clip.Top, clip.Bottom);
  for (int64_t i = n - thin.Last; i <= n - thin.First; ++i) {
    const int64_t y = y0 + (n - i) * step;
    const int64_t startX = i == 0 ? x + u3 / 2 : x + u3, startY = i == 0 ? y - dir * (u4 + w) : y - dir * w;
    const int64_t endX = i == n ? x + u3 / 2 : x, endY = y - dir * (u4 - w);
    Line(c, startX, startY, endX, endY);
  }
  if (arrow != 0) {
    c.Pen.Width = 1;
    c.Brush.Color = Color;
    c.Brush.Style = canvas::bsSolid;
    const bool top = arrow == 1;
    const int64_t y = top ? int64_t(ScaleUnits(record.Bounds.Top, D.YScale)) + (mode == 1 ? record.Shift.Y : 0)
                          : int64_t(ScaleUnits(record.Bounds.Bottom, D.YScale)) + record.Shift.Y;
    const int64_t base = top ? y + u4 : y - u4;
    const canvas::TPoint head[] = {{ClampCoordinate(x + u2), ClampCoordinate(y)},
                                   {ClampCoordinate(x + u4), ClampCoordinate(base)},
                                   {ClampCoordinate(x), ClampCoordinate(base)}};
    c.Polygon(head);
  }
  if (D.IsItemSelected(record)) {
    D.ScaleCurrentRect();
    D.DrawSelectionCorners(D.ItemRect);
    D.DrawSelectionHandle({(D.ItemRect.Left + D.ItemRect.Right) / 2, D.ItemRect.Bottom});
  }
}

void DrawTrill(TKVPageDrawer& D, const TKVMark& Mark, canvas::TColor Color) {
  TKVDisplayItem& record = *D.CurrentRecord;
  const TKVPageDrawer::TKVLineSetup line = D.SetUpLineMark(Mark, D.XScale);
  const canvas::TRect& r = D.ItemRect;
  const int64_t u2 = D.ItemUnit(2), u3 = D.ItemUnit(3), u6 = D.ItemUnit(6);
  canvas::TCanvas& c = D.Canvas;
  D.GlyphChar = kTrill;
  D.SetSymbolFontSize18();
  D.SelectSymbolFont(Mark.FontIndex());
  c.Font.Color = Color;
  c.Brush.Style = canvas::bsClear;
  D.TextOutGlyph(ClampCoordinate(int64_t(r.Left) + D.GlyphDX), ClampCoordinate(int64_t(r.Top) + 2 * u6 + D.GlyphDY));
  const int64_t x = int64_t(r.Left) + D.GlyphWidth() + u3;
  // The trill's accidental: flat, sharp or natural; sub-kind 1 and those
  // without one write none.
  static constexpr uint8_t kAccidentals[5] = {0, 0, 0x40, 0x42, 0x44};
  if (const uint8_t accidental = Mark.Variant() < 5 ? kAccidentals[Mark.Variant()] : 0) {
    D.GlyphChar = accidental;
    D.SelectSymbolFont(Mark.FontIndex());
    D.SetSymbolFontSize11();
    D.TextOutGlyph(ClampCoordinate(int64_t(r.Left) + 2 * u6 + D.GlyphDX), ClampCoordinate(int64_t(r.Top) + u2 + D.GlyphDY));
  }
  if (Mark.Value() > 0 || Stretched(record)) {
    c.Pen.Color = Color;
    c.Pen.Style = canvas::psSolid;
    DrawWave(D, {x, x, r.Right, line.Y, D.ItemUnit(1), u2, false});
  }
  D.DrawMarkBrackets(Mark, -D.UnitWidth(2));
  DrawLineSelection(D, int64_t(line.Y) + line.Slant, 0);
}

void DrawWavyLine(TKVPageDrawer& D, const TKVMark& Mark, canvas::TColor Color) {
  const TKVPageDrawer::TKVLineSetup line = D.SetUpLineMark(Mark, D.XScale);
  const int64_t u1 = D.ItemUnit(1), u2 = D.ItemUnit(2);
  const uint8_t variant = Mark.Variant();
  // Sub-kinds other than 0 are twice as high with the same strokes.
  const int64_t scale = variant == 0 ? 1 : 2;
  D.Canvas.Pen.Color = Color;
  D.Canvas.Pen.Style = canvas::psSolid;
  DrawWave(D, {int64_t(D.ItemRect.Left) + u2, D.ItemRect.Left, D.ItemRect.Right, line.Y, scale * u1, scale * u2,
               variant == 2});
  DrawLineSelection(D, int64_t(line.Y) + line.Slant, 0);
}

void DrawContinuedGlyph(TKVPageDrawer& D, const TKVMark& Mark, canvas::TColor Color) {
  TKVDisplayItem& record = *D.CurrentRecord;
  const TKVPageDrawer::TKVLineSetup line = D.SetUpLineMark(Mark, D.XScale);
  const canvas::TRect& r = D.ItemRect;
  const uint8_t variant = Mark.Variant();
  D.GlyphChar = variant >= 1 && variant <= 8 ? uint8_t(0x93 + variant) : 0;
  D.SetSymbolFontSize18();
  D.SelectSymbolFont(Mark.FontIndex());
  D.Canvas.Font.Color = Color;
  D.Canvas.Brush.Style = canvas::bsClear;
  D.Canvas.Font.Style = Mark.TextStyle();
  // The glyph's baseline lies on the line.
  if (D.GlyphChar) D.TextOutGlyph(ClampCoordinate(int64_t(r.Left) + D.GlyphDX), ClampCoordinate(int64_t(line.Y) + D.GlyphDY));
  const int64_t u1 = D.ItemUnit(1);
  canvas::TSmoothPen pen;
  if ((Mark.Value() > 0 || Stretched(record)) && D.MarkPen(Mark, Color, int32_t(u1), pen))
    D.Canvas.SmoothLine(At(int64_t(r.Left) + (D.GlyphChar ? D.GlyphWidth() : 0) + u1, line.Y), At(r.Right - u1, int64_t(line.Y) + line.Slant),
                        pen);
  DrawLineSelection(D, int64_t(line.Y) + line.Slant, 8);
}

void DrawHookedBracket(TKVPageDrawer& D, const TKVMark& Mark, canvas::TColor Color) {
  const TKVPageDrawer::TKVLineSetup line = D.SetUpLineMark(Mark, D.XScale);
  const canvas::TRect& r = D.ItemRect;
  const int64_t u1 = D.ItemUnit(1), u2 = D.ItemUnit(2), y = line.Y, t = line.Slant;
  // Sub-kind 0 hooks down at both ends, the others up.
  const int64_t hook = Mark.Variant() == 0 ? u2 : -u2;
  canvas::TSmoothPen pen;
  if (D.MarkPen(Mark, Color, int32_t(u1), pen)) {
    const canvas::TPointF points[] = {At(r.Left + u1, y + hook), At(r.Left + u1, y - hook), At(r.Right - u1, y - hook + t),
                                      At(r.Right - u1, y + hook + t)};
    D.Canvas.SmoothPolyline(points, pen);
  }
  DrawLineSelection(D, y + t, 6);
}

// The half bracket (hook at the top for sub-kind 0, else at the bottom) and
// the square bracket, upright beside the notes.
void DrawUprightBracket(TKVPageDrawer& D, const TKVMark& Mark, canvas::TColor Color) {
  TKVDisplayItem& record = *D.CurrentRecord;
  D.ScaleCurrentRect();
  const canvas::TRect& r = D.ItemRect;
  const int64_t u1 = D.ItemUnit(1), u3 = D.ItemUnit(3);
  canvas::TCanvas& c = D.Canvas;
  c.Pen.Color = Color;
  c.Pen.Width = int32_t(u1);
  c.Pen.Style = canvas::psSolid;
  auto to = [&](int64_t X, int64_t Y) { c.LineTo(ClampCoordinate(X), ClampCoordinate(Y)); };
  auto from = [&](int64_t X, int64_t Y) { c.MoveTo(ClampCoordinate(X), ClampCoordinate(Y)); };
  if (Mark.Kind() == K::SquareBracket) {
    from(r.Left + u3, r.Top + u1), to(r.Left + u1, r.Top + u1), to(r.Left + u1, r.Bottom - u1), to(r.Left + u3, r.Bottom - u1);
  } else if (Mark.Variant() == 0) {
    from(r.Left + u3, r.Top + u1), to(r.Left + u1, r.Top + u1), to(r.Left + u1, r.Bottom);
  } else {
    from(r.Left + u3, r.Bottom - u1), to(r.Left + u1, r.Bottom - u1), to(r.Left + u1, r.Top);
  }
  if (Mark.Kind() == K::HalfBracket) D.DrawMarkBrackets(Mark, D.UnitWidth(4));
  if (D.IsItemSelected(record)) {
    D.DrawSelectionCorners(r);
    D.DrawSelectionHandle({(r.Left + r.Right) / 2, r.Bottom});
  }
}

}  // namespace

void TKVPageDrawer::DrawLineMark(TKVMark& Mark) {
  const uint8_t kind = Mark.Kind();
  if ((kind == K::Arpeggio || kind == K::HalfBracket) && VoiceHidden(Mark.Voice)) return;
  const canvas::TColor color = MarkColor(Mark);
  switch (kind) {
    case K::Arpeggio: DrawArpeggio(*this, Mark, color); break;
    case K::Trill: DrawTrill(*this, Mark, color); break;
    case K::WavyLine: DrawWavyLine(*this, Mark, color); break;
    case K::ContinuedGlyph: DrawContinuedGlyph(*this, Mark, color); break;
    case K::HookedBracket: DrawHookedBracket(*this, Mark, color); break;
    default: DrawUprightBracket(*this, Mark, color); break;
  }
}

}  // namespace render
