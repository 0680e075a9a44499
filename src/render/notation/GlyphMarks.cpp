// Marks written as one music-font glyph: fermatas, the accent family,
// turns, ornaments, a single-glyph mark, pedal marks and the three glyph
// marks that belong to a note head. The layout chose the side; the drawer
// only picks the glyph by sub-kind, its colour and its baseline.

#include "render/notation/ItemTests.h"
#include "render/page/PageDrawer.h"
#include "render/page/ScaledMath.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Note.h"

namespace render {

namespace {

namespace K = ItemKind;

// The glyph of a kind's sub-kind; 0 where the kind has none, which draws no
// glyph (the brackets and selection marks stay).
uint8_t GlyphOf(uint8_t Kind, uint8_t Variant, uint8_t Flags) {
  switch (Kind) {
    case K::Fermata: {
      static constexpr uint8_t kFermatas[9] = {0x8C, 0x8D, 0, 0, 0, 0x8E, 0x8F, 0x90, 0x91};
      return Variant < 9 ? kFermatas[Variant] : 0;
    }
    case K::Accent:
      if (Variant >= 10 && Variant <= 23) return uint8_t(0xA8 + Variant - 10);
      return Variant == 0 ? 0xA4 : Variant == 1 ? 0xA6 : Variant == 3 ? 0xA5 : Variant == 9 ? 0xDF : 0;
    case K::Turn: return Variant <= 3 ? uint8_t(0x7C + Variant) : 0;
    case K::Ornament: return Variant <= 3 ? uint8_t(0x86 + Variant) : 0;
    case K::SingleGlyph: return 0x80;
    case K::Pedal: return Variant == 0 ? 0x7B : Variant == 1 ? 0x7A : 0;
    case K::HeadGlyphA: return (Variant == 0) != bool(Flags & 1) ? 0x5A : 0x5B;
    case K::HeadGlyphB: return Variant == 0 ? 0x5C : 0x5D;
    case K::HeadGlyphC: return 0x5E;
    default: return 0;
  }
}

bool OfNoteHead(uint8_t Kind) { return Kind >= K::HeadGlyphA && Kind <= K::HeadGlyphC; }

}  // namespace

void TKVPageDrawer::DrawGlyphMark(TKVMark& Mark) {
  TKVDisplayItem& record = *CurrentRecord;
  const uint8_t kind = Mark.Kind();
  auto* note = OfNoteHead(kind) ? dynamic_cast<TKVNote*>(Mark.Owner()) : nullptr;
  if (kind == K::Accent && VoiceHidden(Mark.Voice)) return;
  if (note && VoiceHidden(note->Voice)) return;

  GlyphChar = GlyphOf(kind, Mark.Variant(), Mark.Flags());
  SetSymbolFontSize18();
  SelectSymbolFont(Mark.FontIndex());
  if (OfNoteHead(kind))
    ItemColor = note ? RuleColor(VoiceItemAtCursor(*note, record), Mark.Color()) : Mark.Color();
  else
    ItemColor = MarkColor(Mark, kind == K::Turn);
  Canvas.Font.Color = ItemColor;
  Canvas.Brush.Style = canvas::bsClear;

  PlaceItemRect(record.Bounds);
  // A note's marks follow its head onto the staff lines as drawn.
  if (note && record.StaffLine) {
    const int32_t snap = VerticalSnap(note->StaffStep, *record.StaffLine);
    ItemRect.Top = ClampCoordinate(int64_t(ItemRect.Top) + snap);
    ItemRect.Bottom = ClampCoordinate(int64_t(ItemRect.Bottom) + snap);
  }

  const bool pedalDown = kind == K::Pedal && Mark.Variant() == 1;
  const int64_t baseline = int64_t(ItemRect.Top) + ItemUnit(pedalDown ? 8 : 6) + GlyphDY;
  const int32_t x = ClampCoordinate(int64_t(ItemRect.Left) + GlyphDX);
  if (GlyphChar != 0) {
    // The accent family is written without anti-aliasing.
    if (kind == K::Accent) {
      const char code = char(GlyphChar);
      TextOutFont(x, ClampCoordinate(baseline), std::string_view(&code, 1), canvas::fqDefault);
    } else {
      TextOutGlyph(x, ClampCoordinate(baseline));
    }
  }

  if (!OfNoteHead(kind)) {
    const int32_t lift = kind == K::Fermata        ? 0
                         : kind == K::SingleGlyph  ? UnitWidth(4)
                         : kind == K::Pedal        ? UnitWidth(2)
                                                   : UnitWidth(1);
    DrawMarkBrackets(Mark, lift);
  }
  if (IsItemSelected(record)) DrawSelectionCorners(ItemRect);
}

}  // namespace render
