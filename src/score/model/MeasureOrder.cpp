// Time, voice key and order of a measure's items; the tuplet at a position.

#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/NotationSupport.h"
#include "score/model/Note.h"

namespace {

// Mark kinds that stand at a time position of their own and are ordered.
bool OrderedMarkKind(uint8_t kind) {
  namespace K = ItemKind;
  switch (kind) {
    case K::StaffBracket: case K::Clef: case K::KeySignature: case K::Meter: case K::TempoMark: case K::BarLine:
    case K::TempoEquation: case K::MeasureNumber: case K::RehearsalMark: case K::DoubleSlash: case K::BeatRepeat:
    case K::MeasureRepeat: case K::MultiMeasureRest:
      return true;
    default:
      return (kind >= K::HeadGlyphA && kind <= K::HeadGlyphC) || kind == K::Tuplet ||
             (kind >= K::Dynamic && kind <= K::SingleGlyph) ||
             (kind >= K::ExtensionLine && kind <= K::TwoVariantGlyph) || (kind >= K::Staccato && kind <= K::Tremolo) ||
             (kind >= K::VerticalArrow && kind <= K::Coda) || (kind >= K::DaCapo && kind <= K::DynamicSymbol) ||
             (kind >= K::OctaveLine && kind <= K::SquareBracket);
  }
}

// Kinds whose time is the first word of their block.
bool TimeInFirstWord(uint8_t kind) {
  return kind == ItemKind::Rest || (kind >= ItemKind::Chord && kind <= ItemKind::Frame);
}

// Notes of either kind.
const TKVNote* AnyNote(const TKVItem* item) { return ItemCast<const TKVNote>(item); }

}  // namespace

int32_t TKVMeasure::GetItemTime(const TKVItem* Item) {
  const uint8_t kind = Item->Kind();
  size_t offset;
  if (TimeInFirstWord(kind))
    offset = 0;
  else if (kind == ItemKind::Note || kind == ItemKind::SecondNote || OrderedMarkKind(kind))
    offset = 2;
  else
    return -1;
  return Item->DataSize() >= offset + 2 ? Item->Data().u16(offset) : -1;
}

TKVVoiceKey TKVMeasure::GetItemVoiceKey(const TKVItem* Item) {
  const uint8_t kind = Item->Kind();
  const bool keyed = kind == ItemKind::Note || kind == ItemKind::SecondNote || OrderedMarkKind(kind) ||
                     TimeInFirstWord(kind);
  const TKVVoiceKey* key = keyed ? Item->GetVoiceKey() : nullptr;
  return key ? *key : TKVVoiceKey{};
}

void TKVMeasure::SortItems() {
  for (int32_t i = 0; i < GetItemCount(); ++i) {
    const TKVItem* a = GetItem(i);
    int32_t bestTime = GetItemTime(a);
    if (bestTime < 0) continue;
    const TKVNote* aNote = AnyNote(a);
    const bool aRest = a->Kind() == ItemKind::Rest;
    TKVVoiceKey bestKey = GetItemVoiceKey(a);
    int32_t bestLine = aNote ? aNote->Line() : 0;
    int32_t best = -1;
    for (int32_t j = i + 1; j < GetItemCount(); ++j) {
      const TKVItem* b = GetItem(j);
      const int32_t time = GetItemTime(b);
      if (time < 0) continue;
      const TKVVoiceKey key = GetItemVoiceKey(b);
      const TKVNote* bNote = AnyNote(b);
      const bool bRest = b->Kind() == ItemKind::Rest;
      // The kind tests look at A, the item of slot i, not at the best so far.
      const bool earlier = time < bestTime;
      const bool lowerVoice = time == bestTime && bestKey.VoiceNumber > key.VoiceNumber &&
                              (aNote || (aRest && bNote) || bRest);
      const bool lowerInChord = aNote && bNote && time == bestTime && SameChordVoice(key, bestKey) &&
                                bNote->Line() < bestLine;
      if (!earlier && !lowerVoice && !lowerInChord) continue;
      best = j;
      bestTime = time;
      bestKey = key;
      if (aNote && bNote) bestLine = bNote->Line();
    }
    if (best >= 0) MutableItems().Move(best, i);
  }
}

TKVMark* TKVMeasure::FindTupletAt(const TKVVoiceKey& Key, int32_t Position) const {
  for (TKVItem* item : Items())
    if (TKVMark* tuplet = TupletAt(item, Key.VoiceNumber, Position)) return tuplet;
  return nullptr;
}
