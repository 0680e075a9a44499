// Fingerings (the digits 0 to 5 of the fretting hand and the letters p, i,
// m, a, e of the plucking hand) and technique letters (H, P, T, S): one
// plain character in a text font, written from the top of its cell.

#include "render/page/PageDrawer.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"

namespace render {

namespace {

// The character of a sub-kind; 0 where it has none.
char FingeringChar(uint8_t Variant) {
  if (Variant <= 5) return char('0' + Variant);
  static constexpr char kPlucking[5] = {'p', 'i', 'm', 'a', 'e'};
  return Variant >= 11 && Variant <= 15 ? kPlucking[Variant - 11] : 0;
}

char TechniqueChar(uint8_t Variant) {
  static constexpr char kLetters[4] = {'H', 'P', 'T', 'S'};
  return Variant <= 3 ? kLetters[Variant] : 0;
}

}  // namespace

void TKVPageDrawer::DrawFingering(TKVMark& Mark) {
  TKVDisplayItem& record = *CurrentRecord;
  const bool fingering = Mark.Kind() == ItemKind::Fingering;
  const uint8_t variant = Mark.Variant();
  const char character = fingering ? FingeringChar(variant) : TechniqueChar(variant);
  GlyphChar = uint8_t(character);
  SetMarkTextFont(Mark, fingering ? 8 : 19);
  // Sub-kinds from 10 on are written a size larger.
  if (fingering && variant < 10)
    SetSymbolFontSize7();
  else if (fingering)
    SetSymbolFontSize9();
  else if (variant < 10)
    SetSymbolFontSize8();
  else
    SetSymbolFontSize10();
  Canvas.Font.Color = MarkColor(Mark);
  Canvas.Brush.Style = canvas::bsClear;
  PlaceItemRect(record.Bounds);
  // The plucking hand's letters stand higher than the digits.
  const int32_t top = fingering && variant > 10 ? ItemRect.Top - ItemUnit(4) : ItemRect.Top;
  if (character) Canvas.TextOutA(ItemRect.Left, top, std::string_view(&character, 1));
  if (fingering) DrawMarkBrackets(Mark, UnitWidth(2));
  if (IsItemSelected(record)) DrawSelectionCorners(ItemRect);
}

}  // namespace render
