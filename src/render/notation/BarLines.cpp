// Marks that show the form of a piece: the plain bar line of a measure,
// the repeat, double, final and heavy-light bars, the segno and coda signs,
// the "D.C." and "D.S." texts and marks drawn as a user symbol of the score.
// Bars keep their own colour whatever the edit position.

#include <algorithm>

#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Item.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Score.h"
#include "score/model/UserSymbol.h"

namespace render {

namespace {

namespace K = ItemKind;

constexpr uint8_t kSegno = 0x78, kCoda = 0x79;

// The widths of a bar at the record's size: the thin bar never vanishes.
struct TBarWidths {
  int32_t U1, U2, U3, U4, U6;
  explicit TBarWidths(const TKVPageDrawer& D)
      : U1(D.VisibleUnit(1)), U2(D.ItemUnit(2)), U3(D.ItemUnit(3)), U4(D.ItemUnit(4)), U6(D.ItemUnit(6)) {}
};

// The thick bar of a repeat sign with wings above and below, at the left
// edge (Dir 1) or mirrored at the right edge (Dir -1).
void DrawWingedBar(TKVPageDrawer& D, int32_t Edge, int Dir, int32_t T, int32_t B, int32_t Bx, const TBarWidths& u) {
  auto x = [&](int64_t Offset) { return ClampCoordinate(Edge + Dir * Offset); };
  const int32_t tip = x(int64_t(u.U4) + u.U1), inner = x(int64_t(u.U4) - u.U3), outer = x(-int64_t(u.U1));
  const int32_t above = ClampCoordinate(int64_t(T) - u.U2), below = ClampCoordinate(int64_t(Bx) + u.U2);
  const canvas::TPoint points[] = {{tip, above}, {inner, T},     {outer, T},
                                   {outer, Bx},  {inner, B},     {tip, below},
                                   {inner, ClampCoordinate(int64_t(Bx) - u.U1)}, {inner, ClampCoordinate(int64_t(T) + u.U1)},
                                   {tip, above}};
  D.Canvas.Polygon(points);
}

// Two dots in the second and third space of every shown staff of the
// system, at X.
void DrawRepeatDots(TKVPageDrawer& D, int32_t X, int32_t U1) {
  const TKVSystemRecord* system = D.CurrentSystem;
  if (!system || !D.PageRecord) return;
  for (int32_t i = system->FirstStaffLine; i <= system->LastStaffLine; ++i) {
    const TKVStaffLineRecord* line = D.PageRecord->GetStaffLine(i);
    if (!line || !(line->Flags & 1)) continue;
    const int64_t s = line->DrawnLineSpacing;
    D.LineSpacing = int32_t(s);
    int64_t y = int64_t(ScaleUnits(line->Top, D.XScale)) + D.PageRecord->OffsetY + s + s / 2;
    for (int dot = 0; dot < 2; ++dot, y += s) {
      const int32_t cy = ClampCoordinate(y);
      D.Canvas.Ellipse({X - U1, cy - U1, X + U1, cy + U1});
    }
  }
}

void DrawBar(TKVPageDrawer& D, const TKVMark& Mark) {
  TKVDisplayItem& record = *D.CurrentRecord;
  if (!record.StaffLine) return;
  D.PlaceItemRect(record.Bounds, false);
  const canvas::TRect& r = D.ItemRect;
  const uint8_t kind = Mark.Kind();
  canvas::TCanvas& c = D.Canvas;
  c.Brush.Color = Mark.Color();
  c.Brush.Style = canvas::bsSolid;
  if (kind == K::RepeatStart || kind == K::RepeatEnd) {
    c.Pen.Color = Mark.Color();
    c.Pen.Width = 1;
    c.Pen.Style = canvas::psSolid;
  }
  const TBarWidths u(D);
  const int32_t L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
  const int32_t Bx = ClampCoordinate(int64_t(B) + record.StaffLine->StaffHeight);
  // A bar from x to x + w (w may come out negative at absurd sizes).
  auto fill = [&](int64_t x, int64_t w) { c.FillRect({ClampCoordinate(x), T, ClampCoordinate(x + w), Bx}); };
  const bool winged = Mark.Flags() & 0x10;
  switch (kind) {
    case K::RepeatStart:
      if (winged)
        DrawWingedBar(D, L, 1, T, B, Bx, u);
      else
        fill(L, u.U2);
      fill(int64_t(L) + u.U4, u.U1);
      DrawRepeatDots(D, ClampCoordinate(int64_t(L) + u.U6 + u.U1), u.U1);
      break;
    case K::RepeatEnd:
      if (winged)
        DrawWingedBar(D, R, -1, T, B, Bx, u);
      else
        fill(int64_t(R) - u.U2, u.U2);
      fill(int64_t(R) - u.U4 - u.U1, u.U1);
      DrawRepeatDots(D, ClampCoordinate(int64_t(R) - u.U6 - u.U1), u.U1);
      break;
    case K::DoubleBar:
      fill(L, u.U1);
      fill(int64_t(L) + u.U3, u.U1);
      break;
    case K::FinalBar:
      fill(int64_t(R) - 2 * int64_t(u.U2) - u.U1, u.U1);
      fill(int64_t(R) - u.U2, u.U2);
      break;
    default:  // heavy-light; its thin bar, one unit, keeps a pixel when the units round together
      fill(L, u.U2);
      fill(int64_t(L) + u.U3 + u.U1, std::max(int64_t(u.U2) - u.U1, int64_t(1)));
      break;
  }
  if (D.IsItemSelected(record)) {
    D.DrawSelectionCorners(r);
    D.DrawSelectionHandle({(L + R) / 2, B});
  }
}

void DrawSign(TKVPageDrawer& D, const TKVMark& Mark) {
  TKVDisplayItem& record = *D.CurrentRecord;
  D.PlaceItemRect(record.Bounds);
  D.Canvas.Font.Color = Mark.Color();
  D.Canvas.Brush.Style = canvas::bsClear;
  D.SetSymbolFontSize18();
  D.GlyphChar = Mark.Kind() == K::Segno ? kSegno : kCoda;
  D.SelectSymbolFont(Mark.FontIndex());
  const int64_t drop = int64_t(D.UnitWidth(6)) * record.SizePercent / 100;
  D.TextOutGlyph(ClampCoordinate(int64_t(D.ItemRect.Left) + D.GlyphDX),
                 ClampCoordinate(int64_t(D.ItemRect.Top) + D.GlyphDY + drop));
  if (D.IsItemSelected(record)) D.DrawSelectionCorners(D.ItemRect);
}

void DrawJumpText(TKVPageDrawer& D, const TKVMark& Mark) {
  TKVDisplayItem& record = *D.CurrentRecord;
  D.PlaceItemRect(record.Bounds);
  D.Canvas.Font.Color = Mark.Color();
  D.Canvas.Brush.Style = canvas::bsClear;
  D.SetMarkTextFont(Mark, 14);
  D.SetSymbolFontSize8();
  D.Canvas.TextOut(D.ItemRect.Left, D.ItemRect.Top, Mark.Kind() == K::DaCapo ? u"D.C." : u"D.S.");
  D.Canvas.Font.Style = 0;
  if (D.IsItemSelected(record)) D.DrawSelectionCorners(D.ItemRect);
}

// The page objects of the user symbol the mark names, at the mark's place
// and the score's scale. They are drawn whatever their layer bit: a symbol
// has no pass of its own behind the notation.
void DrawUserSymbol(TKVPageDrawer& D, const TKVMark& Mark) {
  TStringList& symbols = D.Score->UserSymbols();
  if (Mark.Value() >= symbols.Count()) return;
  TKVDisplayItem& record = *D.CurrentRecord;
  const int32_t x = ClampCoordinate(int64_t(ScaleUnits(record.Bounds.Left, D.XScale)) + record.Shift.X);
  const int32_t y = ClampCoordinate(int64_t(ScaleUnits(record.Bounds.Top, D.XScale)) + record.Shift.Y);
  if (auto* symbol = dynamic_cast<TKVUserSymbol*>(symbols.Objects(Mark.Value()))) {
    D.ObjectScale = D.ScoreScale;
    for (int32_t i = 0; i < symbol->GetItemCount(); ++i)
      if (TKVItem* item = symbol->GetItem(i)) D.DrawObject(*item, nullptr, x, y, false, true);
    D.ObjectScale = 100;
  }
  if (D.IsItemSelected(record)) {
    D.PlaceItemRect(record.Bounds);
    D.DrawSelectionCorners(D.ItemRect);
  }
}

}  // namespace

void TKVPageDrawer::DrawBarLineMark(TKVMark&) {
  TKVDisplayItem& record = *CurrentRecord;
  if (!record.StaffLine) return;
  PlaceItemRect(record.Bounds, false);
  const int32_t w = VisibleUnit(1);
  DrawColumnLine(int64_t(ItemRect.Left) + w, ItemRect.Top, int64_t(ItemRect.Bottom) + record.StaffLine->StaffHeight, w);
  if (IsItemSelected(record)) {
    DrawSelectionCorners(ItemRect);
    DrawSelectionHandle({(ItemRect.Left + ItemRect.Right) / 2, ItemRect.Bottom});
  }
}

void TKVPageDrawer::DrawNavigationMark(TKVMark& Mark) {
  switch (Mark.Kind()) {
    case K::Segno: case K::Coda: DrawSign(*this, Mark); break;
    case K::DaCapo: case K::DalSegno: DrawJumpText(*this, Mark); break;
    case K::DynamicSymbol: DrawUserSymbol(*this, Mark); break;
    default: DrawBar(*this, Mark); break;
  }
}

}  // namespace render
