// Marks made of a short text and a line along the staff: the octave line
// ("8va" or "15ma" with a hooked end), the barré line (fraction, letter and
// fret as a Roman numeral), the harmonic line and the numbered bracket of a
// volta. Their texts are written in the score's text fonts.

#include <string>

#include "render/page/PageDrawer.h"
#include "score/layout/page/PageRecords.h"
#include "render/page/ScaledMath.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Score.h"
#include "score/model/ScoreRoutines.h"

namespace render {

namespace {

namespace K = ItemKind;

canvas::TPointF At(int64_t X, int64_t Y) { return {double(ClampCoordinate(X)), double(ClampCoordinate(Y))}; }

bool Stretched(const TKVDisplayItem& Record) { return (Record.Placement & 0x0F) == 2 && Record.Shift.X > 0; }

// Text centred on the line at Y.
int32_t CentredTop(canvas::TCanvas& C, int64_t Y) { return ClampCoordinate(Y - C.TextHeight(u"A") / 2); }

void Text(canvas::TCanvas& C, int64_t X, int32_t Y, const std::string& S) {
  if (!S.empty()) C.TextOutA(ClampCoordinate(X), Y, S);
}

void DrawLineHandles(TKVPageDrawer& D, int64_t EndY, int32_t Gap) {
  if (!D.IsItemSelected(*D.CurrentRecord)) return;
  D.DrawSelectionCorners(D.ItemRect);
  const int32_t y = ClampCoordinate(EndY);
  D.DrawSelectionHandle({D.ItemRect.Right, y});
  D.DrawSelectionHandle({ClampCoordinate(int64_t(D.ItemRect.Right) - Gap), y});
}

void DrawOctaveLine(TKVPageDrawer& D, const TKVMark& Mark, canvas::TColor Color) {
  TKVPageDrawer::TKVLineSetup line = D.SetUpLineMark(Mark, D.XScale);
  canvas::TRect& r = D.ItemRect;
  r.Right = ClampCoordinate(int64_t(r.Right) + ScaleUnits(Mark.TextX(), D.XScale));
  const int64_t u1 = D.ItemUnit(1), y = line.Y, t = line.Slant;
  canvas::TCanvas& c = D.Canvas;
  D.SetSymbolFontSize6();
  D.SetMarkTextFont(Mark, 7);
  c.Font.Color = Color;
  c.Brush.Style = canvas::bsClear;
  const std::string text = Mark.Variant() <= 1 ? "8va" : "15ma";
  c.TextOutA(r.Left, CentredTop(c, y), text);
  const int64_t x = int64_t(r.Left) + c.TextWidthA(text) + D.UnitWidth(1);
  c.Font.Style = 0;
  // The hook at the far end points down for sub-kinds 0 and 2, else up.
  const int64_t hook = (Mark.Variant() == 0 || Mark.Variant() == 2 ? 5 : -5) * u1 + ScaleUnits(Mark.TextY(), D.YScale);
  canvas::TSmoothPen pen;
  if (D.MarkPen(Mark, Color, int32_t(u1), pen)) {
    const canvas::TPointF points[] = {At(x, y), At(r.Right - u1, y + t), At(r.Right - u1, y + t + hook)};
    D.Canvas.SmoothPolyline(points, pen);
  }
  DrawLineHandles(D, y + t, 6);
}

void DrawBarreLine(TKVPageDrawer& D, const TKVMark& Mark, canvas::TColor Color) {
  TKVDisplayItem& record = *D.CurrentRecord;
  canvas::TCanvas& c = D.Canvas;
  D.SetMarkTextFont(Mark, 16);
  c.Font.Color = Color;
  const TKVPageDrawer::TKVLineSetup line = D.SetUpLineMark(Mark, D.XScale);
  const canvas::TRect& r = D.ItemRect;
  const int64_t y = line.Y, t = line.Slant;
  const int64_t u1 = D.ItemUnit(1), u2 = D.ItemUnit(2), u4 = D.ItemUnit(4);
  int64_t x = r.Left;
  c.Brush.Style = canvas::bsClear;
  // A small fraction: codes 1 to 5 read 1/6, 1/3, 1/2, 2/3, 2/6; the others
  // a lone 1.
  if (const uint8_t fraction = Mark.Flags() & 0x0F) {
    static constexpr const char* kNumerators[6] = {"", "1", "1", "1", "2", "2"};
    static constexpr const char* kDenominators[6] = {"", "6", "3", "2", "3", "6"};
    D.SetSymbolFontSize6();
    const int64_t hf = c.TextHeight(u"A");
    c.Pen.Color = Color;
    c.Pen.Width = int32_t(u1);
    c.Pen.Style = canvas::psSolid;
    c.MoveTo(ClampCoordinate(x + u1), ClampCoordinate(y));
    c.LineTo(ClampCoordinate(x + u4), ClampCoordinate(y));
    Text(c, x, ClampCoordinate(y - hf), fraction <= 5 ? kNumerators[fraction] : "1");
    Text(c, x, ClampCoordinate(y), fraction <= 5 ? kDenominators[fraction] : "");
    x += u4 + u2;
  }
  if (const uint8_t letter = (Mark.Flags() >> 4) & 7) {
    D.SetSymbolFontSize8();
    Text(c, x, CentredTop(c, y), letter == 1 ? "B" : "C");
    x += c.TextWidthA("B");
  }
  const std::string fret = IntToRoman(Mark.Variant());
  D.SetSymbolFontSize8();
  Text(c, x, CentredTop(c, y), fret);
  if (!fret.empty()) x += c.TextWidthA(fret);
  canvas::TSmoothPen pen;
  if ((Mark.Value() > 0 || Stretched(record)) && D.MarkPen(Mark, Color, int32_t(u1), pen)) {
    D.Canvas.SmoothLine(At(x, y), At(r.Right - u1, y + t), pen);
    pen.Dash = canvas::dsSolid;
    if (Mark.Flags() & 0x80) D.Canvas.SmoothLine(At(r.Right - u1, y + t), At(r.Right - u1, y + 2 * u1 + t), pen);
  }
  DrawLineHandles(D, y + t, 8);
}

void DrawHarmonicLine(TKVPageDrawer& D, const TKVMark& Mark, canvas::TColor Color) {
  TKVDisplayItem& record = *D.CurrentRecord;
  const TKVPageDrawer::TKVLineSetup line = D.SetUpLineMark(Mark, D.XScale);
  const canvas::TRect& r = D.ItemRect;
  canvas::TCanvas& c = D.Canvas;
  D.SetMarkTextFont(Mark, 20);
  const int64_t u1 = D.ItemUnit(1), y = line.Y, t = line.Slant;
  c.Font.Color = Color;
  c.Brush.Style = canvas::bsClear;
  D.SetSymbolFontSize9();
  std::string text = IntToRoman(int32_t(Mark.Variant()) + 1);
  if (!(Mark.Flags() & 1)) text = D.Score->FlazholetName() + text;
  Text(c, r.Left, CentredTop(c, y), text);
  canvas::TSmoothPen pen;
  if ((Mark.Value() > 0 || Stretched(record)) && D.MarkPen(Mark, Color, int32_t(u1), pen))
    D.Canvas.SmoothLine(At(int64_t(r.Left) + c.TextWidthA(text), y), At(r.Right - u1, y + t), pen);
  DrawLineHandles(D, y + t, 8);
}

// The bracket over the measures of a volta, open at the right end's foot,
// with its number or caption; it keeps its own colour.
void DrawNumberedBracket(TKVPageDrawer& D, const TKVMark& Mark) {
  TKVDisplayItem& record = *D.CurrentRecord;
  canvas::TCanvas& c = D.Canvas;
  c.Pen.Color = Mark.Color();
  c.Font.Color = Mark.Color();
  D.SetMarkTextFont(Mark, 4);
  D.SetSymbolFontSize6();
  c.Brush.Style = canvas::bsClear;
  canvas::TRect& r = D.ItemRect;
  D.ScaleItemRect(record.Bounds, r);
  switch (record.Placement & 0x0F) {
    case 1: r.Left += record.Shift.X, r.Top += record.Shift.Y; break;
    case 2: r.Right += record.Shift.X; break;
    default: break;
  }
  r.Bottom = ClampCoordinate(int64_t(r.Bottom) + ScaleUnits(Mark.TextY(), D.XScale));
  const int32_t least = D.UnitWidth(8);
  if (int64_t(r.Right) - least < r.Left) r.Left = ClampCoordinate(int64_t(r.Right) - least);
  const int64_t u1 = D.ItemUnit(1), u3 = D.ItemUnit(3), u8 = D.ItemUnit(8);
  c.Pen.Width = int32_t(u1);
  c.Pen.Style = canvas::psSolid;
  const std::string text = Mark.Text2().empty() ? std::to_string(Mark.Variant()) + "." : Mark.Text2();
  c.TextOutA(ClampCoordinate(r.Left + u3), ClampCoordinate(r.Top + u1), text);
  const int32_t left = ClampCoordinate(r.Left + u1), right = ClampCoordinate(r.Right - u1);
  c.MoveTo(left, ClampCoordinate(r.Top + u8));
  c.LineTo(left, ClampCoordinate(r.Top + u1));
  c.LineTo(right, ClampCoordinate(r.Top + u1));
  c.LineTo(right, r.Bottom);
  if (D.IsItemSelected(record)) {
    D.DrawSelectionCorners(r);
    D.DrawSelectionHandle({ClampCoordinate(int64_t(r.Right) - D.UnitWidth(2)), (r.Top + r.Bottom) / 2});
  }
}

}  // namespace

void TKVPageDrawer::DrawSpanLine(TKVMark& Mark) {
  switch (Mark.Kind()) {
    case K::OctaveLine: DrawOctaveLine(*this, Mark, MarkColor(Mark)); break;
    case K::BarreLine: DrawBarreLine(*this, Mark, MarkColor(Mark)); break;
    case K::HarmonicLine: DrawHarmonicLine(*this, Mark, MarkColor(Mark)); break;
    default: DrawNumberedBracket(*this, Mark); break;
  }
}

}  // namespace render
