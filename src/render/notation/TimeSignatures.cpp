// Time signatures: the common-time or alla-breve glyph, or the numerator
// over the denominator, followed in parentheses by up to three alternative
// meters, which an additive signature writes as 3+2+2 over one denominator.

#include <algorithm>
#include <string>

#include "render/notation/GlyphCodes.h"
#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "score/layout/LayoutServices.h"
#include "score/model/Mark.h"

namespace render {

namespace {

constexpr uint8_t kAdditive = 0x10;

// The glyph that stands for a meter word in a symbol style, or 0.
uint8_t MeterGlyph(uint8_t Style, uint16_t Meter) {
  if (Style == 1 && Meter == 0x0404) return glyph::CommonTime;
  if (Style == 2 && (Meter == 0x0404 || Meter == 0x0204)) return glyph::AllaBreve;
  return 0;
}

}  // namespace

void TKVPageDrawer::DrawTimeSignature(TKVMark& Mark) {
  TKVDisplayItem& record = *CurrentRecord;
  const TKVStaffLineRecord* line = ShownLine(record);
  if (!line) return;
  LineSpacing = line->DrawnLineSpacing;
  PlaceItemRect(record.Bounds);
  const canvas::TRect& r = ItemRect;
  // Greyed by part and piece only: a signature belongs to every staff and
  // voice of its part.
  Canvas.Font.Color = RuleColor(OnCursorPart(record) && OnCursorPiece(record), Mark.Color());
  Canvas.Brush.Style = canvas::bsClear;
  const int32_t yc = (r.Top + r.Bottom) / 2, u2 = ItemUnit(2), lift = ItemUnit(1);
  const std::string fontName = TextFontName(*Score, 2, Mark.Text1());
  auto numbers = [&] {
    Canvas.Font.Name = fontName;
    Canvas.Font.Style = Mark.TextStyle();
    SetSymbolFontSize11();
  };
  auto width = [&](const std::string& s) { return Canvas.TextWidthA(s); };
  // A meter word as numerator and denominator texts, the wider one's width.
  auto split = [&](uint16_t Meter, std::string& num, std::string& den) {
    num = std::to_string(Meter >> 8), den = std::to_string(Meter & 0xFF);
    return std::max(width(num), width(den));
  };
  auto numeratorTop = [&] { return yc - Canvas.TextHeight(u"A") + u2; };

  int32_t w;
  if (const uint8_t code = MeterGlyph(Mark.Flags() & 3, Mark.Value())) {
    SetSymbolFontSize18();
    GlyphChar = code;
    SelectSymbolFont(Mark.FontIndex());
    TextOutGlyph(r.Left, yc);
    w = GlyphWidth();
  } else {
    numbers();
    std::string num, den;
    w = split(Mark.Value(), num, den);
    Canvas.TextOutA(r.Left + (w - width(num)) / 2, numeratorTop(), num);
    Canvas.TextOutA(r.Left + (w - width(den)) / 2, yc - u2, den);
    Canvas.Font.Style = 0;
  }

  if (const uint16_t first = Mark.ExtraWord(0); first >> 8 != 0) {
    const bool additive = (Mark.Flags() & kAdditive) != 0;
    int32_t cursor = w;
    auto parenthesis = [&](const char* text) {
      Canvas.Font.Name = fontName;
      Canvas.Font.Style = 0;
      SetSymbolFontSize18();
      Canvas.TextOutA(r.Left + cursor, (r.Top + r.Bottom - Canvas.TextHeight(u"(")) / 2 - lift, text);
    };
    parenthesis("(");
    cursor += width("(");
    const int32_t start = cursor;
    numbers();
    bool any = false;
    for (int i = 0; i < 3; ++i) {
      const uint16_t meter = Mark.ExtraWord(i);
      if (meter >> 8 == 0) continue;
      std::string num, den;
      const int32_t wi = split(meter, num, den);
      if (any && additive) {
        Canvas.TextOutA(r.Left + cursor, yc - Canvas.TextHeight(u"+") + u2, "+");
        cursor += width("+");
      } else if (any) {
        cursor += 2 * u2;
      }
      Canvas.TextOutA(r.Left + cursor + (wi - width(num)) / 2, numeratorTop(), num);
      if (!additive) Canvas.TextOutA(r.Left + cursor + (wi - width(den)) / 2, yc - u2, den);
      cursor += wi;
      any = true;
    }
    if (additive) {
      const std::string den = std::to_string(first & 0xFF);
      Canvas.TextOutA(r.Left + (start + cursor - width(den)) / 2, yc - u2, den);
    }
    parenthesis(")");
  }
  Canvas.Brush.Style = canvas::bsSolid;
  if (IsItemSelected(record)) DrawSelectionCorners(r);
}

}  // namespace render
