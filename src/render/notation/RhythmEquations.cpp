// Swing equations in parentheses: a plain pair of eighths (or sixteenths)
// equals a triplet pair under a small bracket with "3" (a quarter and a
// flagged eighth, or an eighth and a sixteenth with a beam and a stub).
// Heads and the flag are music-font glyphs; stems, beams, the stub and the
// bracket are filled rectangles. Never greyed.

#include <string>

#include "render/page/PageDrawer.h"
#include "score/layout/LayoutServices.h"
#include "score/model/Mark.h"

namespace render {

namespace {

constexpr uint8_t kHead = '5', kFlag = '6';
constexpr uint16_t kEighth = 0x40;

}  // namespace

void TKVPageDrawer::DrawRhythmEquation(TKVMark& Mark) {
  TKVDisplayItem& record = *CurrentRecord;
  PlaceItemRect(record.Bounds);
  const canvas::TRect& r = ItemRect;
  const canvas::TColor colour = Mark.Color();
  Canvas.Font.Color = Canvas.Pen.Color = Canvas.Brush.Color = colour;
  Canvas.Pen.Width = UnitWidth(1);
  Canvas.Brush.Style = canvas::bsClear;
  const int32_t L1 = UnitWidth(1), L2 = UnitWidth(2), L3 = UnitWidth(3), L4 = UnitWidth(4), L6 = UnitWidth(6);
  const int32_t hs = int32_t(2 * int64_t(UnitWidth(8)) * record.SizePercent / 100);
  const uint16_t value = Mark.Value();
  const bool tripletLeft = Mark.Variant() == 0;

  const std::string textFont = TextFontName(*Score, 15, Mark.Text1());
  auto text = [&](int Size, int32_t X, int32_t Y, const char* Text) {
    Canvas.Font.Name = textFont;
    Canvas.Font.Style = Mark.TextStyle();
    Canvas.Font.SetSize(Size);
    Canvas.Brush.Style = canvas::bsClear;
    Canvas.TextOutA(X, Y, Text);
    return Canvas.TextWidthA(Text);
  };
  Canvas.Font.Name = textFont;
  Canvas.Font.Style = Mark.TextStyle();
  SetSymbolFontSize10();
  const int textSize = Canvas.Font.Size();
  Canvas.Font.Name = textFont;
  SetSymbolFontSize5();
  const int numberSize = Canvas.Font.Size();
  const int32_t y = r.Top + UnitWidth(7);
  int32_t x = r.Left + text(textSize, r.Left, y + L4, "(");

  SetSymbolFontSize14();
  const canvas::TFont noteFont = [&] {
    GlyphChar = kHead;
    SelectSymbolFont(Mark.FontIndex());
    return Canvas.Font;
  }();
  const uint8_t head = GlyphChar;
  const int32_t w = GlyphWidth();
  auto glyph = [&](uint8_t Code, int32_t X, int32_t Y) {
    Canvas.Font = noteFont;
    Canvas.Font.Color = colour;
    GlyphChar = Code;
    TextOutGlyph(X, Y);
  };
  auto fill = [&](int32_t Left, int32_t Top, int32_t Right, int32_t Bottom) {
    Canvas.Brush.Style = canvas::bsSolid;
    Canvas.FillRect({Left, Top, Right, Bottom});
    Canvas.Brush.Style = canvas::bsClear;
  };
  // One pair at x; returns whether it has the flag.
  auto pair = [&](int32_t X, bool Triplet) {
    glyph(head, X, y + hs);
    const int32_t s1 = X + w;
    fill(s1 - L1, y, s1, y + hs);
    glyph(head, X + w + L4, y + hs);
    const int32_t s2 = X + w + L4 + w;
    const bool flag = Triplet && value == kEighth;
    if (flag) glyph(kFlag, s2 - L1, y);
    fill(s2 - L1, y, s2, y + hs);
    if (Triplet ? value < kEighth : true) fill(s1, y, s2, y + L3);
    if (!Triplet && value < kEighth) fill(s1, y + L4, s2, y + L4 + L3);
    if (Triplet && value < kEighth) fill(s2 - L6, y + L4, s2, y + L4 + L3);
    if (Triplet) {
      const int32_t t = r.Top + L3;
      fill(s1 - L3, t, s1 + L1, t + L1);
      fill(s1 - L3, t, s1 - L3 + L1, t + L2);
      fill(s2 - L3, t, s2 + L1, t + L1);
      fill(s2, t, s2 + L1, t + L2);
      text(numberSize, s1 + L2, r.Top, "3");
    }
    return flag;
  };

  pair(x, tripletLeft);
  x += w + L4 + w + L4;
  x += text(textSize, x, y + UnitWidth(8), "=");
  const bool flag = pair(x, !tripletLeft);
  x += w + L4 + w + L2 + (flag ? L4 : 0);
  text(textSize, x, y + L4, ")");
  if (IsItemSelected(record)) DrawSelectionCorners(r);
}

}  // namespace render
