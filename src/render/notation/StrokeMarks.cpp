// Marks drawn with strokes, fills and single glyphs: the staccato dot, the
// portamento block, a group of slanted strokes, the vertical arrow, three
// glyph marks and the line mark (a plain extension line, a "P.M." line or an
// "M" between two arcs).

#include <string_view>

#include "render/notation/ItemTests.h"
#include "render/notation/StepRange.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"

namespace render {

namespace {

namespace K = ItemKind;

canvas::TPointF At(int64_t X, int64_t Y) { return {double(ClampCoordinate(X)), double(ClampCoordinate(Y))}; }

bool Stretched(const TKVDisplayItem& Record) { return (Record.Placement & 0x0F) == 2 && Record.Shift.X > 0; }

void DrawArrow(TKVPageDrawer& D, const TKVMark& Mark) {
  TKVDisplayItem& record = *D.CurrentRecord;
  canvas::TRect& r = D.ItemRect;
  r = D.ScaleStaffItemRect(record.Bounds);
  const bool up = Mark.Variant() == 0;
  switch (record.Placement & 0x0F) {
    case 1: r = {r.Left + record.Shift.X, r.Top + record.Shift.Y, r.Right + record.Shift.X, r.Bottom + record.Shift.Y}; break;
    case 3: (up ? r.Bottom : r.Top) += record.Shift.Y; break;
    default: break;
  }
  canvas::TCanvas& c = D.Canvas;
  c.Pen.Color = D.MarkColor(Mark);
  c.Pen.Width = D.UnitWidth(1);
  c.Pen.Style = canvas::psSolid;
  const int32_t xm = (r.Left + r.Right) / 2, a = D.ItemUnit(4);
  c.MoveTo(xm, r.Top);
  c.LineTo(xm, r.Bottom);
  // The head at the top of an arrow up, at the bottom of one down.
  const int32_t tip = up ? r.Top : r.Bottom, base = ClampCoordinate(up ? int64_t(r.Top) + a : int64_t(r.Bottom) - a);
  const canvas::TPoint head[] = {{r.Left, base}, {xm, tip}, {r.Right, base}};
  c.Polyline(head);
  if (D.IsItemSelected(record)) {
    D.DrawSelectionCorners(r);
    D.DrawSelectionHandle({xm, up ? r.Bottom : r.Top});
  }
}

// The staccato dot and the portamento block, in their note's colour rule.
void DrawNoteTechnique(TKVPageDrawer& D, const TKVMark& Mark) {
  TKVDisplayItem& record = *D.CurrentRecord;
  if (VoiceHidden(Mark.Voice)) return;
  D.PlaceItemRect(D.ScaleStaffItemRect(record.Bounds));
  const canvas::TRect& r = D.ItemRect;
  const canvas::TColor color = D.RuleColor(D.VoiceItemAtCursor(Mark, record), Mark.Color());
  canvas::TCanvas& c = D.Canvas;
  c.Brush.Color = color;
  c.Brush.Style = canvas::bsSolid;
  const int64_t u1 = D.ItemUnit(1);
  if (Mark.Kind() == K::Staccato) {
    c.Pen.Color = color;
    c.Pen.Width = 1;
    c.Pen.Style = canvas::psSolid;
    const int64_t x = int64_t(r.Left) + D.UnitWidth(2), y = (int64_t(r.Top) + r.Bottom) / 2, u2 = D.ItemUnit(2);
    c.Ellipse({ClampCoordinate(x - u1), ClampCoordinate(y - u1), ClampCoordinate(x + u2), ClampCoordinate(y + u2)});
  } else {
    c.FillRect({ClampCoordinate(r.Left + u1), ClampCoordinate(r.Top + u1), ClampCoordinate(r.Right - u1),
                ClampCoordinate(r.Bottom - u1)});
  }
  if (D.IsItemSelected(record)) D.DrawSelectionCorners(r);
}

void DrawGlyph(TKVPageDrawer& D, const TKVMark& Mark) {
  TKVDisplayItem& record = *D.CurrentRecord;
  D.PlaceItemRect(record.Bounds);
  D.Canvas.Font.Color = D.MarkColor(Mark);
  D.Canvas.Brush.Style = canvas::bsClear;
  D.SetSymbolFontSize18();
  const uint8_t kind = Mark.Kind(), variant = Mark.Variant();
  D.GlyphChar = kind == K::GlyphMarkA                   ? 0x67
                : kind == K::GlyphMarkB                 ? 0x68
                : variant <= 1                          ? uint8_t(0x82 + variant)
                                                        : 0;  // no glyph of its own
  D.SelectSymbolFont(Mark.FontIndex());
  const int64_t drop = kind == K::TwoVariantGlyph ? D.ItemUnit(6) : D.ItemUnit(4);
  if (D.GlyphChar)
    D.TextOutGlyph(ClampCoordinate(int64_t(D.ItemRect.Left) + D.GlyphDX),
                   ClampCoordinate(int64_t(D.ItemRect.Top) + drop + D.GlyphDY));
  if (D.IsItemSelected(record)) D.DrawSelectionCorners(D.ItemRect);
}

// Strokes rising from the left to the right edge, one above the other.
void DrawStrokeGroup(TKVPageDrawer& D, const TKVMark& Mark) {
  TKVDisplayItem& record = *D.CurrentRecord;
  const TKVPageDrawer::TKVLineSetup line = D.SetUpLineMark(Mark, D.YScale);
  const canvas::TRect& r = D.ItemRect;
  const int64_t y0 = line.Y, y1 = int64_t(line.Y) + line.Slant;
  const canvas::TColor color = D.MarkColor(Mark, true);
  const int64_t h = D.ItemUnit(0.5), g = std::max<int64_t>(D.ItemUnit(3), 1);
  const canvas::TSmoothPen pen{canvas::ArgbOf(color), double(D.ItemUnit(2))};
  const canvas::TRect clip = D.Canvas.ClipRect();
  const int64_t reach = std::abs(y1 - g - y0) + g;
  const TStepRange strokes = StepsWithin(y0, g, Mark.Value(), reach, clip.Top, clip.Bottom);
  for (int64_t k = strokes.First; k <= strokes.Last; ++k)
    D.Canvas.SmoothLine(At(r.Left + h, y0 + k * g), At(r.Right - h, y1 - g + k * g), pen);
  if (D.IsItemSelected(record)) {
    D.DrawSelectionCorners(r);
    if (!(Mark.Flags() & 0x10)) {
      const int32_t end = ClampCoordinate(y1);
      D.DrawSelectionHandle({r.Right, end});
      D.DrawSelectionHandle({ClampCoordinate(int64_t(r.Right) - 8), end});
    }
  }
}

// Form 0 a plain line, form 1 "P.M." and a line, form 2 an "M" between
// two arcs; each line only when the mark has a length or was stretched.
void DrawLineMarkForm(TKVPageDrawer& D, const TKVMark& Mark) {
  TKVDisplayItem& record = *D.CurrentRecord;
  TKVPageDrawer::TKVLineSetup line = D.SetUpLineMark(Mark, D.XScale);
  const uint8_t form = Mark.Variant();
  // The arcs of form 2 stand level unless tilted by hand.
  if (form == 2) line.Slant = (record.Placement & 0x0F) == 3 ? record.Shift.Y : 0;
  const canvas::TRect& r = D.ItemRect;
  const int64_t u1 = D.ItemUnit(1), y0 = line.Y, s = line.Slant;
  const canvas::TColor color = D.MarkColor(Mark);
  canvas::TCanvas& c = D.Canvas;
  int64_t tw = 0;
  const bool drawn = Mark.Value() > 0 || Stretched(record);
  canvas::TSmoothPen pen;
  const bool penShown = D.MarkPen(Mark, color, int32_t(u1), pen);
  if (form == 1 || form == 2) {
    D.SetMarkTextFont(Mark, 17);
    c.Font.Color = color;
    c.Brush.Style = canvas::bsClear;
    D.SetSymbolFontSize8();
    const int32_t y = ClampCoordinate(y0 - c.TextHeight(u"A") / 2);
    const std::u16string_view text = form == 1 ? u"P.M." : u"M";
    tw = c.TextWidth(text);
    if (form == 1) {
      c.TextOut(r.Left, y, text);
    } else {
      const int64_t xm = (int64_t(r.Left) + r.Right - tw) / 2;
      c.TextOut(ClampCoordinate(xm), y, text);
      const double w = double(int64_t(r.Right) - r.Left - tw - 2 * u1), hgt = double(int64_t(r.Bottom) - r.Top);
      if (drawn && penShown && w > 0 && hgt > 0) {
        c.SmoothArc({double(r.Left), double(y0), w, hgt}, 180, 90, pen);
        c.SmoothArc({double(r.Left + tw + 2 * u1), double(y0 + s), w, hgt}, 270, 90, pen);
      }
    }
  }
  if (form != 2 && drawn && int64_t(r.Right) - u1 > int64_t(r.Left) + u1 + tw) {
    const int64_t xs = r.Left + u1 + tw, xe = r.Right - u1;
    if (penShown) c.SmoothLine(At(xs, y0), At(xe, y0 + s), pen);
    // The end hook is always solid.
    pen.Dash = canvas::dsSolid;
    c.SmoothLine(At(xe, y0 + s - 2 * u1), At(xe, y0 + s + 2 * u1), pen);
  }
  if (D.IsItemSelected(record)) {
    D.DrawSelectionCorners(r);
    const int32_t end = ClampCoordinate(y0 + s);
    D.DrawSelectionHandle({r.Right, end});
    if (form != 2) D.DrawSelectionHandle({ClampCoordinate(int64_t(r.Right) - 8), end});
  }
}

}  // namespace

void TKVPageDrawer::DrawStrokeMark(TKVMark& Mark) {
  switch (Mark.Kind()) {
    case K::VerticalArrow: DrawArrow(*this, Mark); break;
    case K::Staccato: case K::Portamento: DrawNoteTechnique(*this, Mark); break;
    case K::GlyphMarkA: case K::GlyphMarkB: case K::TwoVariantGlyph: DrawGlyph(*this, Mark); break;
    case K::Tremolo: DrawStrokeGroup(*this, Mark); break;
    default: DrawLineMarkForm(*this, Mark); break;
  }
}

}  // namespace render
