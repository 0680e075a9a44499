// Small drawing routines shared by the notation and page-object drawers:
// layout rectangles in page pixels, the red selection marks, the selection
// tests, glyph text in a font made on the fly, the music font of a glyph,
// and the system bracket.

#include <algorithm>

#include "platform/musicfont/MusicFont.h"
#include "player/Window.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/layout/ScoreLayoutRecords.h"
#include "score/model/Mark.h"
#include "score/model/Score.h"

namespace render {

namespace {

// The last entry of List that stands for the same selected thing: the same
// item drawn as the same display type.
bool HoldsSameThing(const std::vector<TKVDisplayItem*>& List, const TKVDisplayItem& Record) {
  return std::any_of(List.rbegin(), List.rend(), [&](const TKVDisplayItem* entry) {
    return entry && entry->Item == Record.Item && entry->RecordType == Record.RecordType;
  });
}

// Restores the canvas font and text anchoring when a write is done.
struct TFontScope {
  canvas::TCanvas& Canvas;
  canvas::TFont Font = Canvas.Font;
  canvas::TTextAlign Align = Canvas.TextAlign;
  ~TFontScope() {
    Canvas.Font = Font;
    Canvas.TextAlign = Align;
  }
};

// Text in the canvas font made plain and upright, at Quality, with y on the
// baseline; nothing at a size of 0 or below.
template <class TWrite>
void WriteUpright(canvas::TCanvas& Canvas, uint8_t Quality, TWrite Write) {
  if (Canvas.Font.Size() <= 0) return;
  TFontScope scope{Canvas};
  Canvas.Font.Style &= text::fsBold;
  Canvas.Font.Quality = canvas::TFontQuality(Quality);
  Canvas.TextAlign = canvas::taBaseline;
  Write();
}

}  // namespace

void TKVPageDrawer::ScaleItemRect(const TKVLayoutRect& Source, canvas::TRect& Dest) const {
  Dest = {ScaleUnits(Source.Left, XScale), ScaleUnits(Source.Top, YScale), ScaleUnits(Source.Width, XScale),
          ScaleUnits(Source.Bottom, YScale)};
}

void TKVPageDrawer::ScaleObjectRect(const TKVLayoutRect& Source, canvas::TRect& Dest) const {
  auto scale = [&](int32_t value, int32_t percent) {
    return ClampCoordinate(int64_t(value) * percent * ObjectScale / 10000 / 8);
  };
  Dest = {scale(Source.Left, XScale), scale(Source.Top, YScale), scale(Source.Width, XScale),
          scale(Source.Bottom, YScale)};
}

bool TKVPageDrawer::RedMarks() {
  if (View.Style() == wsExport) return false;
  Canvas.Pen.Color = canvas::clRed;
  Canvas.Pen.Width = 1;
  return true;
}

void TKVPageDrawer::DrawSquare(int32_t X, int32_t Y, int32_t H) { Canvas.Rectangle({X - H, Y - H, X + H, Y + H}); }

void TKVPageDrawer::DrawSelectionCorners(const canvas::TRect& R) {
  if (!RedMarks()) return;
  int32_t n = UnitWidth(2);
  const canvas::TPoint corners[4][3] = {{{R.Left, R.Top + n}, {R.Left, R.Top}, {R.Left + n, R.Top}},
                                        {{R.Right - n, R.Top}, {R.Right, R.Top}, {R.Right, R.Top + n}},
                                        {{R.Right, R.Bottom - n}, {R.Right, R.Bottom}, {R.Right - n, R.Bottom}},
                                        {{R.Left + n, R.Bottom}, {R.Left, R.Bottom}, {R.Left, R.Bottom - n}}};
  for (const auto& corner : corners) Canvas.Polyline(corner);
}

void TKVPageDrawer::DrawObjectHandles(const canvas::TRect& R) {
  if (!RedMarks()) return;
  Canvas.Brush.Style = canvas::bsClear;
  int32_t d = DampedUnit(6), h = DampedUnit(3);
  int32_t midX = (R.Left + R.Right) / 2, midY = (R.Top + R.Bottom) / 2;
  const canvas::TRect grips[] = {{R.Left, R.Top, R.Left + d, R.Top + d},
                                 {midX - h, R.Top, midX + h, R.Top + d},
                                 {R.Right - d, R.Top, R.Right, R.Top + d},
                                 {R.Right - d, midY - h, R.Right, midY + h},
                                 {R.Right - d, R.Bottom - d, R.Right, R.Bottom},
                                 {midX - h, R.Bottom - d, midX + h, R.Bottom},
                                 {R.Left, R.Bottom - d, R.Left + d, R.Bottom},
                                 {R.Left, midY - h, R.Left + d, midY + h}};
  for (const canvas::TRect& grip : grips) Canvas.Rectangle(grip);
}

void TKVPageDrawer::DrawLineHandles(const canvas::TRect& R) {
  if (!RedMarks()) return;
  Canvas.Brush.Style = canvas::bsClear;
  Canvas.Pen.Style = canvas::psSolid;
  DrawSquare(R.Left, R.Top, DampedUnit(3));
  DrawSquare(R.Right, R.Bottom, DampedUnit(3));
}

void TKVPageDrawer::DrawRadiusHandle(const canvas::TRect& R) {
  if (!RedMarks()) return;
  Canvas.Brush.Style = canvas::bsClear;
  Canvas.MoveTo(R.Left, R.Top);
  Canvas.LineTo(R.Right, R.Bottom);
  DrawSquare(R.Right, R.Bottom, DampedUnit(3));
}

void TKVPageDrawer::DrawSelectionHandle(canvas::TPoint Point) {
  if (!RedMarks()) return;
  Canvas.Brush.Style = canvas::bsClear;
  Canvas.Pen.Style = canvas::psSolid;
  DrawSquare(Point.X, Point.Y, DampedUnit(3));
}

bool TKVPageDrawer::IsItemSelected(const TKVDisplayItem& Record) const {
  return MeasureSelection && HoldsSameThing(*MeasureSelection, Record);
}

bool TKVPageDrawer::IsInSelectedRecords(const TKVDisplayItem& Record) const {
  return HoldsSameThing(View.SelectedRecords, Record);
}

void TKVPageDrawer::TextOutFont(int32_t X, int32_t Y, std::string_view Text, uint8_t Quality) {
  WriteUpright(Canvas, Quality, [&] { Canvas.TextOutA(X, Y, Text); });
}

void TKVPageDrawer::TextOutFont(int32_t X, int32_t Y, std::u16string_view Text, uint8_t Quality) {
  WriteUpright(Canvas, Quality, [&] { Canvas.TextOut(X, Y, Text); });
}

namespace {

// A code the music font has no entry for: nothing is written and it takes
// no room.
bool Unmapped(const canvas::TCanvas& Canvas, uint8_t Code) {
  return musicfont::IsMusicFontName(Canvas.Font.Name) && !musicfont::IsMapped(Code);
}

}  // namespace

void TKVPageDrawer::TextOutGlyph(int32_t X, int32_t Y) {
  if (Unmapped(Canvas, GlyphChar)) return;
  const char code = char(GlyphChar);
  TextOutFont(X, Y, std::string_view(&code, 1), FontQuality);
}

int32_t TKVPageDrawer::GlyphWidth() {
  if (Unmapped(Canvas, GlyphChar)) return 0;
  const char code = char(GlyphChar);
  return Canvas.TextWidthA(std::string_view(&code, 1));
}

void TKVPageDrawer::SelectSymbolFont(uint8_t FontIndex) {
  auto* store = Score ? dynamic_cast<TKVScoreLayoutRecords*>(Score->LayoutRecords()) : nullptr;
  if (store && FontIndex >= 12 && size_t(FontIndex - 12) < store->SymbolFonts.size()) {
    const TKVSymbolFontEntry& record = store->SymbolFonts[size_t(FontIndex - 12)];
    if (GlyphChar < record.Glyphs.size() && record.Glyphs[GlyphChar][0] != 0) {
      const auto& entry = record.Glyphs[GlyphChar];
      SymbolFontRecord = &record;
      Canvas.Font.Name = record.FontName;
      Canvas.Font.SetSize(int32_t(int64_t(Canvas.Font.Size()) * record.SizePercent / 100));
      GlyphDX = int32_t(int64_t(int16_t(entry[1])) * XScale / 100);
      GlyphDY = int32_t(int64_t(int16_t(entry[2])) * YScale / 100);
      GlyphChar = uint8_t(entry[0]);
      GlyphStep = int32_t(int64_t(record.Step) * YScale / 100);
      return;
    }
  }
  if (!Score) return;
  const TStringList& fonts = Score->MusicFonts();
  if (FontIndex < fonts.Count())
    Canvas.Font.Name = fonts.Strings(FontIndex);
  else if (fonts.Count() > 0)
    Canvas.Font.Name = fonts.Strings(0);
}

void TKVPageDrawer::DrawBracketShape(const TKVItem& Item, const canvas::TRect& Rect, int32_t StaffSize) {
  auto* mark = ItemCast<const TKVMark>(&Item);
  if (!mark) return;
  int32_t L = Rect.Left, T = Rect.Top, B = Rect.Bottom;
  // The widths at the staff's size stay local: the page's units serve the
  // selection grips drawn after the bracket.
  auto w = [&](int k) {
    return StaffSize == 100 ? UnitWidth(k) : int32_t(int64_t(UnitWidth(k)) * StaffSize / 100);
  };
  auto fill = [&](std::span<const canvas::TPoint> points) {
    Canvas.Pen.Color = mark->Color();
    Canvas.Brush.Color = mark->Color();
    Canvas.Brush.Style = canvas::bsSolid;
    Canvas.Pen.Width = 1;
    Canvas.Polygon(points);
  };
  if (mark->Variant() == 1) {
    int32_t x0 = L + w(6);
    const canvas::TPoint points[] = {{x0 + w(1), T - w(2)},        {x0 - w(3), T},
                                     {x0 - w(4) - w(1), T},        {x0 - w(4) - w(1), B},
                                     {x0 - w(3), B},               {x0 + w(1), B + w(2)},
                                     {x0 - w(3), B - w(1)},        {x0 - w(3), T + w(1)},
                                     {x0 + w(1), T - w(2)}};
    fill(points);
  } else if (mark->Variant() == 2) {
    int32_t x0 = L + UnitWidth(4), u1 = UnitWidth(1), u3 = UnitWidth(3);
    const canvas::TPoint points[] = {{x0 + u1, T}, {x0 - u3, T}, {x0 - u3, B}, {x0 + u1, B},
                                     {x0 - u3, B}, {x0 - u3, T}, {x0 + u1, T}};
    fill(points);
  } else {
    Canvas.Brush.Style = canvas::bsClear;
    Canvas.Font.Color = mark->Color();
    GlyphChar = 0x21;
    SelectSymbolFont(mark->FontIndex());
    // The brace fills the room the layout left for it in front of the
    // staves, past a margin of two units; a brace chosen by its height has
    // no font whose average width could condense it.
    const int32_t x = L + UnitWidth(2) + GlyphDX;
    const int64_t width = std::max<int64_t>(int64_t(Rect.Right) - x, 1);
    if (B - T <= 0) return;
    Canvas.MusicBrace(x, (T + B) / 2 + GlyphDY, B - T, ClampCoordinate(width));
  }
}

void TKVPageDrawer::DrawBracketText(int32_t Style, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2,
                                    int32_t SizePercent) {
  static constexpr char16_t kPairs[3][2] = {{u'(', u')'}, {u'[', u']'}, {u'{', u'}'}};
  Canvas.Font.SetSize(int32_t(int64_t(SymbolFontSize(8)) * SizePercent / 100));
  Canvas.Brush.Style = canvas::bsClear;
  if (Style < 1 || Style > 3 || Canvas.Font.Size() <= 0) return;
  Canvas.TextOut(X1, Y1, std::u16string_view(&kPairs[Style - 1][0], 1));
  Canvas.TextOut(X2, Y2, std::u16string_view(&kPairs[Style - 1][1], 1));
}

}  // namespace render
