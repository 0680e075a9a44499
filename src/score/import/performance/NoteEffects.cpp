// A note's performance marks: rolled chords (111), trills (113), turns
// (114), mordents (115), fermatas (116), staccato (141) and tremolos (143)
// become its time offset, its played length and extra effect notes.
//
// Values from the host and from files are bounded before use: a roll factor
// of 4 or more would divide by zero or turn round, and a large trill speed
// or tremolo value would make shifts past the integer width or millions of
// effect notes. Effect notes of length 0 are not made.

#include <algorithm>
#include <vector>

#include "score/import/performance/PerformanceEffects.h"
#include "score/model/ElementBlocks.h"
#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Pause.h"
#include "score/model/Score.h"
#include "score/model/ScoreTypes.h"
#include "score/model/SimpleElements.h"

namespace {

constexpr uint8_t RollFromBelow = 2;     // bits 0-1 of a roll's flags: counted from the notes that follow
constexpr uint8_t SingleTremolo = 0x10;  // tremolo flag: repeats of one note, not alternating with the previous one

// A note or rest of a measure: its voice byte, position and written value.
struct TRhythmItem {
  uint8_t StaffVoice = 0;
  int32_t Position = 0, Value = 0;
};

bool AsRhythmItem(const TKVItem* Item, TRhythmItem& Out) {
  if (const auto* note = ItemCast<const TKVNote>(Item); note && Item->Kind() == ItemKind::Note) {
    Out = {note->StaffVoice(), note->Position(), note->Duration()};
    return true;
  }
  if (const auto* rest = ItemCast<const TKVPause>(Item)) {
    Out = {rest->StaffVoice(), rest->Position(), rest->Duration()};
    return true;
  }
  return false;
}

// The pitch Offset diatonic steps from Pitch, over the octave boundary; the
// note's own pitch where that leaves the pitch byte's range.
uint8_t SteppedPitch(uint8_t Pitch, int32_t Offset) {
  int32_t step = PitchStep(Pitch) + Offset, octave = PitchOctave(Pitch);
  if (step < 0)
    step += 7, --octave;
  else if (step >= 7)
    step -= 7, ++octave;
  return octave < 0 || octave > 15 ? Pitch : MakePitch(octave, step);
}

class TNoteEffects {
public:
  TNoteEffects(TKVScore& Score, TKVMeasure& Measure, TKVNote& Note) : FScore(Score), FMeasure(Measure), FNote(Note) {
    for (TKVItem* item : Note.Items())
      if (auto* effect = ItemCast<TKVEffect>(item)) FPool.push_back(effect);
    FindNeighbours();
  }

  void Run() {
    SetTimeOffset(FNote, 0);
    SetPlayedLength(FNote, 0);
    // Index loop: only the note's own items change.
    for (int32_t i = 0; i < FMeasure.GetItemCount(); ++i)
      if (auto* mark = ItemCast<TKVMark>(FMeasure.GetItem(i))) Apply(*mark);
    for (size_t i = FUsed; i < FPool.size(); ++i) delete FPool[i];
  }

private:
  int32_t Position() const { return FNote.Position(); }
  int32_t Written() const { return FNote.Duration(); }
  bool SamePlaceAndVoice(const TKVMark& M) const {
    return M.Position() == Position() && M.StaffVoice() == FNote.StaffVoice();
  }
  bool SamePlaceAndStaff(const TKVMark& M) const {
    return M.Position() == Position() && ItemStaff(M.StaffVoice()) == ItemStaff(FNote.StaffVoice());
  }
  int32_t Dinamics(int32_t Type, int32_t Kind, int32_t Default) const {
    return FScore.OnGetDinamics ? FScore.OnGetDinamics(&FScore, Type, Kind) : Default;
  }
  int32_t Effects(int32_t Type, int32_t Default) const {
    return FScore.OnGetEffects ? FScore.OnGetEffects(&FScore, Type, 0) : Default;
  }

  void Apply(const TKVMark& M) {
    switch (M.Kind()) {
      case ItemKind::Arpeggio:
        if (SamePlaceAndVoice(M)) Roll(M);
        break;
      case ItemKind::Trill:
        if (ItemStaff(M.StaffVoice()) == ItemStaff(FNote.StaffVoice()) && InSpan(M)) Trill(M);
        break;
      case ItemKind::Turn:
        if (SamePlaceAndStaff(M)) Turn();
        break;
      case ItemKind::Ornament:
        if (SamePlaceAndStaff(M)) Mordent(M);
        break;
      case ItemKind::Fermata:
        if (SamePlaceAndStaff(M)) Fermata(M);
        break;
      case ItemKind::Staccato:
        if (SamePlaceAndVoice(M))
          for (TKVNote* note : ChordAt(M.Position())) SetPlayedLength(*note, note->Duration() >> 1);
        break;
      case ItemKind::Tremolo:
        if (M.StaffVoice() == FNote.StaffVoice() &&
            (M.Position() == Position() ||
             ((M.Flags() & SingleTremolo) == 0 && FHasPrevious && M.Position() == FPrevious.Position)))
          Tremolo(M);
        break;
      default:
        break;
    }
  }

  // A trill mark covers the notes from its position for its length; one of
  // length 0 covers the note at its position.
  bool InSpan(const TKVMark& M) const {
    return Position() == M.Position() || (Position() > M.Position() && Position() < M.Position() + M.Value());
  }

  // The notes of the note's voice at Position, in item order.
  std::vector<TKVNote*> ChordAt(int32_t At) const {
    std::vector<TKVNote*> chord;
    for (TKVItem* item : FMeasure.Items())
      if (auto* note = ItemCast<TKVNote>(item);
          note && item->Kind() == ItemKind::Note && note->StaffVoice() == FNote.StaffVoice() && note->Position() == At)
        chord.push_back(note);
    return chord;
  }

  // The last note or rest of the voice before the note, and the first after.
  void FindNeighbours() {
    TRhythmItem item;
    for (TKVItem* candidate : FMeasure.Items()) {
      if (!AsRhythmItem(candidate, item) || item.StaffVoice != FNote.StaffVoice()) continue;
      if (item.Position < Position() && (!FHasPrevious || item.Position >= FPrevious.Position))
        FPrevious = item, FHasPrevious = true;
      if (item.Position > Position() && (!FHasNext || item.Position < FNext.Position)) FNext = item, FHasNext = true;
    }
  }

  void AddEffect(uint8_t Pitch, int64_t At, int64_t Length, uint8_t Source, int32_t Velocity, uint8_t Accidental = 0) {
    if (Length <= 0 || At < 0 || At > 0xFFFF) return;
    TKVEffect* effect;
    if (FUsed < FPool.size()) {
      effect = FPool[FUsed];
    } else {
      effect = static_cast<TKVEffect*>(CreateItemByKind(ItemKind::Effect, &FNote));
      if (FNote.RegistrationSwitch()) FNote.InsertItem(-1, effect);
      FPool.push_back(effect);
    }
    ++FUsed;
    effect->SetPitch(Pitch);
    effect->SetPosition(uint16_t(At));
    effect->SetLength(uint16_t(std::min<int64_t>(Length, 0xFFFF)));
    effect->Data().setU8(EffectBlock::Velocity, uint8_t(std::clamp(Velocity, 0, 127)));
    effect->Data().setU8(EffectBlock::Accidental, Accidental);
    effect->SetSource(Source);
  }

  void Roll(const TKVMark& M) {
    const int32_t factor = std::min(Dinamics(ItemKind::Arpeggio, M.Variant(), 2), 3);
    const std::vector<TKVNote*> chord = ChordAt(Position());
    const int32_t count = int32_t(chord.size());
    const int32_t index = int32_t(std::find(chord.begin(), chord.end(), &FNote) - chord.begin());
    const int32_t rank = (M.Flags() & 3) == RollFromBelow ? count - 1 - index : index;
    if (rank > 0) SetTimeOffset(FNote, int64_t(FNote.Value()) * rank / count / (4 - factor));
  }

  void Trill(const TKVMark& M) {
    const int32_t speed = std::clamp(Effects(ItemKind::Trill, 1), 0, 4);
    const int32_t u = (Written() >> 3) >> speed;
    if (u == 0) return;
    const uint8_t sign = M.Variant() >= 2 && M.Variant() <= 4 ? uint8_t(0x30 + 2 * (M.Variant() - 1)) : 0;
    const int32_t count = (8 << speed) - 1;
    for (int32_t i = 1; i <= count; ++i)
      AddEffect(i % 2 ? SteppedPitch(FNote.Pitch(), 1) : FNote.Pitch(), Position() + int64_t(i) * u, u, ItemKind::Trill,
                FNote.Velocity(), i == 1 ? sign : 0);
    SetPlayedLength(FNote, u);
  }

  void Turn() {
    const int32_t u = Written() >> 2;
    if (u == 0) return;
    const int32_t steps[3] = {-1, -2, 0};
    for (int32_t i = 0; i < 3; ++i)
      AddEffect(SteppedPitch(FNote.Pitch(), steps[i]), Position() + (i + 1) * u, u, ItemKind::Turn, FNote.Velocity());
    SetPlayedLength(FNote, Written() - 3 * u);
  }

  void Mordent(const TKVMark& M) {
    const int32_t u = Written() >> 3;
    if (u == 0) return;
    const int32_t last = M.Variant() <= 1 ? 1 : 3;
    const int32_t side = M.Variant() == 1 || M.Variant() == 3 ? -1 : 1;
    for (int32_t i = 0; i <= last; ++i)
      AddEffect(i % 2 == 0 ? SteppedPitch(FNote.Pitch(), side) : FNote.Pitch(), Position() + (i + 1) * u,
                i == last ? Written() - (last + 1) * u : u, ItemKind::Ornament, FNote.Velocity());
    SetPlayedLength(FNote, u);
  }

  void Fermata(const TKVMark& M) {
    const int32_t factor = Dinamics(ItemKind::Fermata, M.Variant(), 1);
    const int32_t divisor = M.Variant() == 5 || M.Variant() == 6 ? 5 : M.Variant() == 7 || M.Variant() == 8 ? 3 : 4;
    const int64_t length = int64_t(Written()) * (int64_t(factor) + 5) / divisor;
    if (length != Written()) SetPlayedLength(FNote, std::max<int64_t>(length, 1));
  }

  void Tremolo(const TKVMark& M) {
    const int32_t strokes = std::clamp<int32_t>(M.Value(), 0, 8);
    int32_t n = (1 << strokes) << std::clamp(Effects(ItemKind::Tremolo, 0), 0, 4);
    const int32_t unit = FNote.Value(), written = Written();
    const bool tuplet = FMeasure.FindTupletAt(FNote.VoiceKey(), Position()) != nullptr;
    int32_t l;
    if (!tuplet && unit >= 16 && written == unit + (unit >> 1)) {
      l = unit / n;
      n += strokes;
    } else if (!tuplet && unit >= 32 && written == unit + (unit >> 1) + (unit >> 2)) {
      l = unit / n;
      n += strokes + (strokes >> 1);
    } else {
      l = written / n;
    }
    const int64_t played = written - int64_t(n - 1) * l;
    if (l == 0 || played < 1) return;
    SetPlayedLength(FNote, played);
    int64_t at, step;
    int64_t own = -1;  // where the note itself sounds, which a repeat skips
    if (M.Flags() & SingleTremolo) {
      at = Position() + played;
      step = l;
    } else if (M.Position() == Position()) {
      const int32_t s = FHasNext ? FNext.Value / n : 0;
      at = Position() + l + s;
      step = l + s;
    } else {
      const int32_t s = FPrevious.Value / n;
      at = FPrevious.Position + s;
      step = l + s;
      SetTimeOffset(FNote, l);
      own = Position() + FNote.TimeOffset();
    }
    const int32_t velocity =
        FNote.Velocity() + (FScore.OnGetDinamics ? FScore.OnGetDinamics(&FScore, ItemKind::Tremolo, 0) : 0);
    for (int32_t made = 0; made < n - 1; at += step) {
      if (at == own) continue;
      AddEffect(FNote.Pitch(), at, l, ItemKind::Tremolo, velocity);
      ++made;
    }
  }

  TKVScore& FScore;
  TKVMeasure& FMeasure;
  TKVNote& FNote;
  std::vector<TKVEffect*> FPool;  // the note's effect items, reused in order
  size_t FUsed = 0;
  TRhythmItem FPrevious, FNext;
  bool FHasPrevious = false, FHasNext = false;
};

}  // namespace

void SetTimeOffset(TKVNote& Note, int64_t Offset) {
  Note.Data().setI16(NoteBlock::TimeOffset, int16_t(std::clamp<int64_t>(Offset, -32768, 32767)));
}

void SetPlayedLength(TKVNote& Note, int64_t Length) {
  Note.Data().setU16(NoteBlock::PlayedLength, uint16_t(std::clamp<int64_t>(Length, 0, 0xFFFF)));
}

int32_t SoundingLength(const TKVNote& Note) { return Note.PlayedLength() ? Note.PlayedLength() : Note.Duration(); }

void ApplyNoteEffects(TKVScore& Score, TKVMeasure& Measure, TKVNote& Note) { TNoteEffects(Score, Measure, Note).Run(); }
