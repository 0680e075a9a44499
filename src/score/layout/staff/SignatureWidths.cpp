#include "score/layout/staff/SignatureWidths.h"

#include <algorithm>
#include <string>

#include "score/layout/LayoutServices.h"
#include "score/model/Mark.h"
#include "score/model/Score.h"
#include "score/model/ScoreRoutines.h"

int32_t GetClefWidth(TKVFormatContext& Ctx, uint16_t Code) {
  TKVLayoutCanvas& canvas = Ctx.Canvas;
  switch (Code) {
    case 1: return canvas.CharWidth(Ctx.Glyph);
    case 2: return canvas.CharWidth(Ctx.Glyph) + 1;
    case 3: case 7: case 8: case 9: case 10: case 11: return canvas.CharWidth(Ctx.Glyph) + 3;
    case 4: case 5: return canvas.CharWidth(Ctx.Glyph) + 4;
    case 6: return canvas.CharWidth(Ctx.Glyph) + 5;
    case 12: return canvas.CharWidth(Ctx.Glyph) + 6;
    case 13:
      canvas.Font.Name = TextFontName(Ctx.Score, 3, "");
      canvas.Font.Size = 9;
      return canvas.TextWidth("B") + 3;
    case 14: return 8;
    case 15: return 6;
    case 16: case 17: return canvas.CharWidth(0x22) + 5;
    case 18: return canvas.TextWidth("#") + 6;
    default: return 0;
  }
}

void SetClefExtent(uint16_t Code, TKVDisplayItem& Display) {
  int32_t top = 0, bottom = 0;
  switch (Code) {
    case 1: case 4: case 5: case 12: case 16: case 17: top = -96; bottom = 96; break;
    case 7: case 10: top = bottom = 48; break;
    case 8: top = bottom = -48; break;
    case 9: top = bottom = 96; break;
    case 11: top = bottom = -96; break;
    case 13: top = -24; bottom = 24; break;
    default: break;
  }
  Display.Bounds.Top = top;
  Display.Bounds.Bottom = bottom;
}

namespace {

// Music-font glyph of an accidental code of a key of its own (code - 1 is the
// accidental type); 0 for codes without one.
uint8_t KeyAccidentalGlyph(int32_t Code) {
  const int32_t type = Code - 1;
  if (type >= 0 && type <= 4) return uint8_t(64 + type);
  if (type >= 101 && type <= 104) return uint8_t(230 + type - 101);
  if (type >= 133 && type <= 138) return uint8_t(234 + type - 133);
  return 0;
}

// Number of accidentals a key code puts down (keys above 20 count 6).
int32_t KeyAccidentalCount(uint8_t Key) {
  if (Key == 0 || Key == 10) return 0;  // no sharps, no flats
  if (Key < 10) return std::min<int32_t>(Key, 7);
  if (Key < 20) return std::min<int32_t>(Key - 10, 7);
  return 6;
}

}  // namespace

int32_t GetKeySignatureWidth(TKVFormatContext& Ctx, uint8_t FontIndex, uint8_t Key, const TByteBlock* KeyTable,
                             uint8_t NewKey, const TByteBlock* NewTable) {
  auto word = [](const TByteBlock* table, int i) -> uint16_t {
    return table && size_t(2 * i + 2) <= table->Size() ? table->u16(size_t(2 * i)) : 0;
  };
  if (NewKey == 0) {
    if (Key != 20) return KeyAccidentalCount(Key) * 40;
    int32_t width = 0;
    for (int i = 0; i < 7; ++i) {
      const int32_t code = word(KeyTable, i) & 0xFF;
      if (code == 0) continue;
      if (uint8_t glyph = KeyAccidentalGlyph(code)) Ctx.Glyph = glyph;
      SelectLayoutSymbolFont(Ctx, FontIndex);
      width += Ctx.Canvas.CharWidth(Ctx.Glyph) + 8;
    }
    return width;
  }
  // Naturals for the degrees Key alters and NewKey does not.
  auto cancelled = [&](int32_t step) { return !KeySignatureAlters(step, NewKey, NewTable); };
  if (Key == 20) {
    int32_t sum = 0;
    for (int i = 0; i < 7; ++i) {
      const uint16_t w = word(KeyTable, i);
      if ((w & 0xFF) != 0 && cancelled((w >> 8) & 0x0F)) sum += 6;
    }
    return sum * 8;
  }
  // Degrees tested: as many as the key has accidentals, in the order they
  // are written.
  const int32_t accidentals = Key < 10 ? std::min<int32_t>(Key, 7) : std::min<int32_t>(Key - 10, 7);
  static constexpr int32_t sharpOrder[7] = {3, 0, 4, 1, 5, 2, 6};
  static constexpr int32_t flatOrder[7] = {6, 2, 5, 1, 4, 0, 3};
  const int32_t* order = Key < 10 ? sharpOrder : flatOrder;
  int32_t count = 0;
  for (int32_t k = 0; k < accidentals; ++k) count += cancelled(order[k]) ? 1 : 0;
  if (accidentals == 0) return 0;  // no key, nothing to cancel
  return Key < 10 ? count * 5 * 8 : (count * 5 + 1) * 8;
}

int32_t GetMeterWidth(TKVFormatContext& Ctx, uint16_t Meter, uint8_t Style, const TKVMark* Mark) {
  TKVLayoutCanvas& canvas = Ctx.Canvas;
  const int32_t scale = Ctx.Scale();
  auto size = [&](int32_t s) { return scale == 100 ? s : s * scale / 100; };
  auto digits = [&](uint16_t word) {
    return std::max(canvas.TextWidth(std::to_string(word >> 8)), canvas.TextWidth(std::to_string(word & 0xFF)));
  };
  const std::string textFont = TextFontName(Ctx.Score, 2, Mark ? Mark->Text1() : "");
  int32_t width;
  if (Meter == 0x0404 && (Style & 0x0F) == 1) {
    canvas.Font = {Ctx.Score.MusicFontName(), size(144), 0};
    width = canvas.TextWidth("'");
  } else if ((Meter == 0x0404 || Meter == 0x0204) && (Style & 0x0F) == 2) {
    canvas.Font = {Ctx.Score.MusicFontName(), size(144), 0};
    width = canvas.TextWidth("(");
  } else {
    canvas.Font = {textFont, size(80), Mark ? Mark->TextStyle() : 0u};
    width = digits(Meter);
  }
  if (Mark && Mark->ExtraWord(0) > 255) {
    canvas.Font = {textFont, size(88), Mark->TextStyle()};
    for (int i = 0; i < 3; ++i)
      if (uint16_t word = Mark->ExtraWord(i); (word >> 8) != 0) width += digits(word);
    // The brackets are drawn in the same text font at the glyphs' size.
    canvas.Font = {textFont, size(144), 0};
    width += canvas.TextWidth("()");
  }
  return width;
}
