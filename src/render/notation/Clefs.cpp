// Clefs (G, F and C glyphs on their lines, octave numbers, the doubled G
// clef, the tablature clef in letters, two percussion clefs of bars) and
// the brackets and braces that join staves.

#include "player/Window.h"
#include "render/notation/GlyphCodes.h"
#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/LayoutServices.h"
#include "score/model/Mark.h"
#include "score/model/Score.h"

namespace render {

namespace {

// Clef types 1-18 (tablature and percussion clefs have no glyph): the
// glyph and the line below the staff top, in spaces, its base line stands
// on; the octave number and where it goes.
enum TOctave : uint8_t { NoNumber, Above, GBelow, FBelow };
struct TClefForm {
  uint8_t Glyph;
  int8_t Line;
  TOctave Octave;
  const char* Number;
};
constexpr TClefForm kClefs[19] = {
    {0, 0, NoNumber, nullptr},            {glyph::GClef, 4, NoNumber, nullptr}, {glyph::FClef, 1, NoNumber, nullptr},
    {glyph::CClef, 2, NoNumber, nullptr}, {glyph::GClef, 4, Above, "8"},        {glyph::GClef, 4, GBelow, "8"},
    {glyph::FClef, 1, FBelow, "8"},       {glyph::FClef, 2, NoNumber, nullptr}, {glyph::CClef, 1, NoNumber, nullptr},
    {glyph::CClef, 4, NoNumber, nullptr}, {glyph::CClef, 3, NoNumber, nullptr}, {glyph::CClef, 0, NoNumber, nullptr},
    {glyph::GClef, 4, NoNumber, nullptr}, {0, 0, NoNumber, nullptr},            {0, 0, NoNumber, nullptr},
    {0, 0, NoNumber, nullptr},            {glyph::GClef, 4, Above, "15"},       {glyph::GClef, 4, GBelow, "15"},
    {glyph::FClef, 1, FBelow, "15"}};
constexpr uint8_t kTablatureClef = 13, kBoxClef = 14, kBarsClef = 15, kDoubledGClef = 12;

}  // namespace

void TKVPageDrawer::DrawClef(TKVMark& Mark) {
  TKVDisplayItem& record = *CurrentRecord;
  const TKVStaffLineRecord* line = ShownLine(record);
  if (!line) return;
  const int32_t sp = LineSpacing = line->DrawnLineSpacing;
  // Clefs are greyed by staff (their own staff number), part and piece.
  const bool atCursor = (Mark.StaffVoice() >> 4) == View.CursorStaff() && OnCursorPart(record) && OnCursorPiece(record);
  const canvas::TColor colour = RuleColor(atCursor, Mark.Color());
  Canvas.Font.Style = 0;
  const uint8_t type = Mark.Variant();
  const bool lettersOrBars = type == kTablatureClef || type == kBoxClef || type == kBarsClef;
  int32_t gx = 0, gy = 0;
  if (!lettersOrBars) {
    Canvas.Font.Color = colour;
    SetSymbolFontSize18();
    GlyphChar = type <= 18 && kClefs[type].Glyph ? kClefs[type].Glyph : glyph::GClef;
    SelectSymbolFont(Mark.FontIndex());
    gx = GlyphDX, gy = GlyphDY;
  }
  Canvas.Brush.Style = type == kBoxClef || type == kBarsClef ? canvas::bsSolid : canvas::bsClear;
  ScaleItemRect(record.Bounds, ItemRect);
  const int32_t dx = record.Shift.X, dy = record.Shift.Y, mode = record.Placement & 0x0F;
  if (mode == 1) ItemRect.Left += dx, ItemRect.Right += dx;
  const canvas::TRect& r = ItemRect;
  const int64_t p = record.SizePercent;
  const int32_t u3 = ItemUnit(3), u6 = ItemUnit(6), u8 = ItemUnit(8);
  const int32_t y0 = ClampCoordinate(ScaleUnits(int64_t(line->Top) + Mark.OffsetY(), YScale) + gy * p / 100);
  const bool selected = IsItemSelected(record);
  auto textFont = [&] {
    Canvas.Font.Name = TextFontName(*Score, 3, Mark.Text1());
    Canvas.Font.Style = Mark.TextStyle();
  };

  if (type >= 1 && type <= 18 && kClefs[type].Glyph) {
    const TClefForm& form = kClefs[type];
    const int32_t x = r.Left + gx;
    TextOutGlyph(x, ClampCoordinate(y0 + int64_t(form.Line) * sp));
    if (type == kDoubledGClef) TextOutGlyph(x + u6, ClampCoordinate(y0 + int64_t(form.Line) * sp));
    if (form.Octave != NoNumber) {
      textFont();
      SetSymbolFontSize8();
      const int32_t tx = ScaleUnits(Mark.TextX(), XScale);
      const int32_t ty = ScaleUnits(Mark.TextY(), YScale);
      int32_t nx = r.Left + u6 + u8 + tx, ny = r.Top + ty;
      if (form.Octave == GBelow) nx += gx, ny = r.Top + 3 * u6 + 2 * u8 + ty;
      if (form.Octave == FBelow) ny = y0 + 2 * u6 + u8 + ty;
      if (mode > 1) nx += dx, ny += dy;
      Canvas.TextOutA(nx, ny, form.Number);
      Canvas.Font.Style = 0;
      if (selected) DrawSelectionHandle({nx + u3, ny + u3});
    }
  } else if (type == kTablatureClef) {
    textFont();
    int64_t size;
    if (p == 100)
      size = View.Style() == wsPrint ? 9 : RoundDiv(ScaleProduct * 9, 10000);
    else
      size = View.Style() == wsPrint ? RoundDiv(9 * p, 100) : ScaleProduct * 9 * p / 1000000;
    Canvas.Font.SetSize(ClampCoordinate(size));
    Canvas.Font.Color = colour;
    const int32_t yc = (r.Top + r.Bottom) / 2, x = r.Left + u3;
    Canvas.TextOutA(x, yc - 2 * u8 - ItemUnit(1), "T");
    Canvas.TextOutA(x, yc - ItemUnit(7), "A");
    Canvas.TextOutA(x, yc + u3, "B");
    Canvas.Font.Style = 0;
  } else if (type == kBoxClef || type == kBarsClef) {
    Canvas.Brush.Color = colour;
    const int32_t u2 = ItemUnit(2), u4 = ItemUnit(4), w = std::max(UnitWidth(1), 1);
    const int32_t L = r.Left, T = r.Top, B = r.Bottom;
    if (type == kBoxClef) {
      Canvas.FillRect({L, T + u2, L + sp, T + u4});
      Canvas.FillRect({L, T + u2, L + w, B - w});
      Canvas.FillRect({L, B - u3, L + sp, B - w});
      Canvas.FillRect({L + sp - w, T + u2, L + sp, B - w});
    } else {
      Canvas.FillRect({L, T + sp, L + u2, B - sp});
      Canvas.FillRect({L + sp - u2, T + sp, L + sp, B - sp});
    }
  }
  if (selected) DrawSelectionCorners(r);
}

void TKVPageDrawer::DrawStaffBracket(TKVMark& Mark) {
  TKVDisplayItem& record = *CurrentRecord;
  if (record.DrawFlags & DisplayDrawFlag::Suppressed) return;
  ScaleCurrentRect();
  const TKVStaff* staff = record.StaffLine ? record.StaffLine->Staff : nullptr;
  DrawBracketShape(Mark, ItemRect, staff ? staff->SizePercent() : 100);
  if (IsItemSelected(record)) {
    DrawSelectionCorners(ItemRect);
    DrawSelectionHandle({(ItemRect.Left + ItemRect.Right) / 2, ItemRect.Bottom});
  }
}

}  // namespace render
