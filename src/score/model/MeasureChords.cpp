// Chord order and head sides of a measure's chords.

#include "score/model/ItemKinds.h"
#include "score/model/Measure.h"
#include "score/model/NotationSupport.h"
#include "score/model/Note.h"

namespace {

TKVNote* ChordNote(TKVItem* item, const TKVVoiceKey& key, uint16_t position) {
  TKVNote* note = AsNote(item);
  return note && note->Position() == position && SameChordVoice(note->VoiceKey(), key) ? note : nullptr;
}

}  // namespace

bool TKVMeasure::ArrangeChord(const TKVVoiceKey& Key, uint16_t Position, bool ClearSingle, bool Ascending) {
  bool changed = false;
  int32_t count = 0;
  TKVNote* single = nullptr;
  for (int32_t i = 0; i < GetItemCount(); ++i) {
    TKVNote* low = ChordNote(GetItem(i), Key, Position);
    if (!low) continue;
    single = low;
    ++count;
    for (int32_t j = i + 1; j < GetItemCount(); ++j) {
      TKVNote* other = ChordNote(GetItem(j), Key, Position);
      if (other && other->Line() < low->Line()) {
        MutableItems().Exchange(i, j);
        low = other;
        changed = true;
      }
    }
  }
  if (count == 1 && ClearSingle) {
    single->SetFlag(NoteFlag::Chord, false);
    single->SetFlag(NoteFlag::OtherSide, false);
  }
  ArrangeChordHeads(Key, Position, Ascending);
  return changed;
}

void TKVMeasure::ArrangeChordHeads(const TKVVoiceKey& Key, uint16_t Position, bool Ascending) {
  THeadSideWalk walk;
  const int32_t count = GetItemCount();
  for (int32_t k = 0; k < count; ++k) {
    TKVNote* note = ChordNote(GetItem(Ascending ? k : count - 1 - k), Key, Position);
    if (note && note->Flag(NoteFlag::Chord)) walk.Take(note);
  }
}
