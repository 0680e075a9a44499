// Symbol marks of the item pass (kinds 114 to 117, 121, 123, 125 and 133):
// one glyph of the music font each, placed against the note they belong to.
// Holds lengthen the measure, accents are dynamics of their own, kind 121
// plays on its voice's channel and kind 123 may run on into the next
// measures.

#include <algorithm>

#include "score/layout/staff/ItemMarks.h"
#include "score/layout/LayoutServices.h"
#include "score/layout/play/PlayActions.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Part.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {


// The glyph of a symbol mark; 0 for a variant without one.
uint8_t SymbolGlyph(uint8_t Kind, uint8_t Variant) {
  switch (Kind) {
    case ItemKind::Turn: return Variant <= 1 ? 0x7C : Variant == 2 ? 0x7E : Variant == 3 ? 0x7F : 0;
    case ItemKind::Ornament: return Variant <= 3 ? uint8_t(0x86 + Variant) : 0;
    case ItemKind::Fermata:
      if (Variant <= 1) return uint8_t(0x8C + Variant);
      return Variant >= 5 && Variant <= 8 ? uint8_t(0x8E + Variant - 5) : 0;
    case ItemKind::Accent:
      switch (Variant) {
        case 0: return 0xA4;
        case 1: return 0xA6;
        case 3: return 0xA5;
        case 9: return 0xDF;
        default: return Variant >= 10 && Variant <= 23 ? uint8_t(Variant + 158) : 0;
      }
    case ItemKind::Pedal: return Variant == 0 ? 0x7B : Variant == 1 ? 0x7A : 0;
    case ItemKind::ContinuedGlyph: return Variant >= 1 && Variant <= 8 ? uint8_t(Variant + 147) : 0;
    case ItemKind::SingleGlyph: return 0x80;
    case ItemKind::TwoVariantGlyph: return Variant == 0 ? 0x82 : Variant == 1 ? 0x83 : 0;
    default: return 0;
  }
}

// Kind 121 sounds on the channel of its voice (the part's when the voice
// has no settings of its own) and enters the position list.
void BindToVoice(TKVFormatContext& Ctx, TKVMark& Mark) {
  TKVVoice* voice = Ctx.Staff ? Ctx.Staff->GetVoice(Mark.StaffVoice() & 0x0F) : nullptr;
  Mark.Voice = voice;
  Mark.Channel = voice && voice->HasOwnSettings() ? voice->Channel() : Ctx.Part->Channel();
  InsertPositionEntry(Ctx, &Mark, Mark.Position(), 1);
}

}  // namespace

void LayoutSymbolMark(TKVFormatContext& Ctx, TKVMark& Mark) {
  const uint16_t position = Mark.Position();
  TKVMeasureRecord& record = *Ctx.Record;
  if (position >= record.Length) {
    Ctx.RemovalList.push_back(&Mark);
    return;
  }
  TKVDisplayItem& R = StartMark(Ctx, Mark, true);
  const uint8_t kind = Mark.Kind();
  TKVDisplayItem* N = (Mark.Flags() & 0x10) ? FindMarkNote(Ctx, Mark, (Mark.Flags() & 1) ? 4 : 0) : nullptr;
  if (kind == ItemKind::Accent) AddDynamic(Ctx, &Mark, position, 0, true);
  const uint8_t glyph = SymbolGlyph(kind, Mark.Variant());
  const int32_t W = glyph ? SymbolGlyphWidth(Ctx, glyph, Mark.FontIndex(), true) : 0;
  if (kind == ItemKind::Fermata) AddHold(Ctx, Mark, position);
  if (kind == ItemKind::ContinuedGlyph) {
    const int32_t end = position + Mark.Value();
    if (end >= record.Length) record.ContinuingDisplays.push_back(&R);
    R.Param = uint16_t(end);
    const int32_t v = Mark.Extent();
    R.Bounds = ScaleLayoutRect(Ctx, -(W / 2), std::min(v - 64, 0), Mark.Value() > 0 ? 32 : W, std::max(v + 64, 0),
                               R.SizePercent);
    R.Bounds2.Top = ScaleByScore(Ctx, Mark.OffsetY());
    R.Bounds.Top += R.Bounds2.Top;
    R.Bounds.Bottom += R.Bounds2.Top;
  } else {
    R.Bounds = ScaleLayoutRect(Ctx, -(W / 2), -48, W, 48, R.SizePercent);
    PlaceAgainstNote(Ctx, Mark, N, R.Bounds, TKVPlacementRules::Symbol);
  }
  R.Bounds.Left += ScaleByScore(Ctx, Mark.OffsetX());
  R.Bounds.Width += ScaleByScore(Ctx, Mark.ExtraWidth());
  if (kind == ItemKind::Pedal) BindToVoice(Ctx, Mark);
}
