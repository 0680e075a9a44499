// The item pass of the per-staff layout: one walk over the part's measure
// that lays out every mark standing beside the notes, by kind, and the
// closing pass that flags note heads shared by two voices.

#include "score/layout/staff/ItemMarks.h"
#include "score/layout/staff/LyricLayout.h"
#include "score/layout/play/PlayActions.h"
#include "score/layout/staff/StaffHooks.h"
#include "score/model/Chord.h"
#include "score/model/Frame.h"
#include "score/model/ItemKinds.h"
#include "score/model/Lyric.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/SimpleElements.h"
#include "score/model/Vorschlag.h"

namespace {

void LayoutItem(TKVFormatContext& Ctx, TKVItem& Item) {
  switch (Item.Kind()) {
    case ItemKind::Turn: case ItemKind::Ornament: case ItemKind::Fermata: case ItemKind::Accent: case ItemKind::Pedal:
    case ItemKind::ContinuedGlyph: case ItemKind::SingleGlyph: case ItemKind::TwoVariantGlyph:
      if (auto* mark = ItemCast<TKVMark>(&Item)) LayoutSymbolMark(Ctx, *mark);
      break;
    case ItemKind::DynamicSymbol:
      if (auto* mark = ItemCast<TKVMark>(&Item)) LayoutUserSymbol(Ctx, *mark);
      break;
    case ItemKind::Syllable: case ItemKind::LyricText: case ItemKind::LyricLine:
      if (auto* lyric = ItemCast<TKVLyric>(&Item)) LayoutLyric(Ctx, *lyric);
      break;
    case ItemKind::Chord:
      if (auto* chord = ItemCast<TKVChord>(&Item)) LayoutChordSymbol(Ctx, *chord);
      break;
    case ItemKind::Frame:
      if (auto* frame = ItemCast<TKVFrame>(&Item)) LayoutChordFrame(Ctx, *frame);
      break;
    case ItemKind::Bend:
      if (auto* bend = ItemCast<TKVBend>(&Item)) LayoutBend(Ctx, *bend);
      break;
    case ItemKind::Dynamic: case ItemKind::Trill: case ItemKind::HookedBracket: case ItemKind::WavyLine:
    case ItemKind::Fingering: case ItemKind::TechniqueLetter: case ItemKind::ExtensionLine: case ItemKind::GlyphMarkA:
    case ItemKind::GlyphMarkB: case ItemKind::Staccato: case ItemKind::Portamento: case ItemKind::Tremolo:
    case ItemKind::VerticalArrow: case ItemKind::BarreLine: case ItemKind::HarmonicLine:
      if (auto* mark = ItemCast<TKVMark>(&Item)) LayoutSpanMark(Ctx, *mark);
      break;
    default:  // laid out by the staff pass or the column marks, or nothing to lay out
      break;
  }
}

// A head of another voice at the same pitch and tick as Note, of a note in
// the measure itself (grace notes keep theirs).
bool SharesHead(const TKVNote& Note, const TKVDisplayItem& Other) {
  auto* other = ItemCast<const TKVNote>(Other.Item);
  if (!other || other == &Note || Other.RecordType != DisplayRecordType::Item || other->Kind() != ItemKind::Note)
    return false;
  if (other->Owner() != Note.Owner() || other->OwnerAs<const TKVVorschlag>()) return false;
  return other->Pitch() == Note.Pitch() && other->Position() == Note.Position() &&
         other->VoiceKey().StaffIndex == Note.VoiceKey().StaffIndex &&
         (other->StaffVoice() & 0x0F) != (Note.StaffVoice() & 0x0F) && !other->Flag(NoteFlag::Shifted) &&
         !Note.Flag(NoteFlag::Shifted);
}

void FlagCollisions(TKVFormatContext& Ctx, const TKVStaffPass& Pass) {
  for (TKVDisplayItem* held : Pass.LongNotes) {
    // Slurs running past the measure share the list: only note heads count.
    auto* note = ItemCast<const TKVNote>(held->Item);
    if (!note || note->Kind() != ItemKind::Note) continue;
    for (int32_t i = 0; TKVDisplayItem* other = Ctx.Record->GetDisplay(i); ++i)
      if (SharesHead(*note, *other)) other->Flags |= 1;
    held->Flags &= 0xF0;
  }
}

}  // namespace

void LayoutItemPass(TKVFormatContext& Ctx, TKVStaffPass& Pass) {
  if (!Ctx.Measure) return;
  // A copy: nothing is deleted during the pass (late items go on the
  // removal list), but the list may change under a handler.
  const std::vector<TKVItem*> items = Ctx.Measure->Items().Items();
  for (TKVItem* item : items) LayoutItem(Ctx, *item);
  FlagCollisions(Ctx, Pass);
}
