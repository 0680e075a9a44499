// Note values, voices, chords and ties of the MIDI import: one snapped note
// record becomes one or more written notes (their accidental signs come
// once the part is complete, MidiAccidentals.h).

#include <algorithm>
#include <cstdlib>

#include "score/import/midi/MidiConversion.h"
#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/RegistrationPause.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

constexpr int32_t StepD = 1, StepA = 5;
// A written value that may stay in its voice beside a note of another value
// differs from it by at most this.
constexpr int32_t ValueTolerance = 4;
// Lines from this one up take a stem down on a staff of one voice.
constexpr int32_t StemDownLine = 41;

bool IsNoteItem(const TKVItem* item) { return item->Kind() == ItemKind::Note && ItemCast<const TKVNote>(item); }

// High nibble of the join byte: the flag count of the shortest values.
uint8_t ShortValueCode(int32_t value) {
  switch (value) {
    case 32: return 1;
    case 16: return 2;
    case 8: return 3;
    case 4: return 4;
    default: return 0;
  }
}

bool HasTie(const TKVNote& note) {
  return std::any_of(note.Items().begin(), note.Items().end(),
                     [](const TKVItem* item) { return ItemCast<const TKVLiga>(item) != nullptr; });
}

void AddTie(TKVNote& note, int32_t length) {
  auto* tie = new TKVLiga(&note);
  tie->SetFlags(note.StemDown() ? 0x11 : 0x10);
  tie->SetDefaultOffsets();
  tie->Data().setU16(LigaBlock::Length, uint16_t(length));
}

}  // namespace

struct TKVMidiConversion::TPlacing {
  explicit TPlacing(TMidiWorkRecord& record) : Record(record) {}
  TMidiWorkRecord& Record;
  int64_t MeasureIndex = 0;
  TKVMeasure* Measure = nullptr;
  int32_t Length = 0;  // of the measure
  int32_t TimeOffset = 0;
  int32_t LengthDifference = 0;
  uint8_t StaffVoice = 0;
  TKVVoiceKey Key;
  uint8_t Pitch = 0;
  bool Started = false;        // a note of the record is struck (no tie leads into it)
  TKVNote* Previous = nullptr;  // the note its next value is tied to
  int32_t PreviousValue = 0;    // the value that note stands for
  int32_t ChordDelta = 0;       // that value minus that note's written length (a chord's)
  TKVNote* Duplicate = nullptr; // the note a value was not written for
};

// A value that duplicates a note is not written; the rest of the record is.
// No tie leads into the duplicated note (another record strikes it), but the
// rest is tied on from it when it has no tie of its own, so that the key
// sounds on, struck once. A record of which no note is struck was merged.
void TKVMidiConversion::PlaceNote(TMidiWorkRecord& Record, int64_t MeasureIndex) {
  TPlacing s(Record);
  s.MeasureIndex = MeasureIndex;
  s.Measure = GetPartMeasure(MeasureIndex);
  if (!s.Measure) return;
  s.Length = FMap.LengthOf(MeasureIndex);
  int32_t p = Record.Position, remaining = Record.Value;
  s.TimeOffset = int32_t(Record.Time) - p;
  s.LengthDifference = int32_t(Record.Length) - remaining;
  const bool split = Record.Split;
  Record.Split = false;
  const int32_t staff = FPart->GetStaffCount() > 1 && Record.Semitones() < FOptions.ImportSplitKey ? 1 : 0;
  s.StaffVoice = MakeStaffVoice(staff, 0);
  s.Key = VoiceKeyOf(staff, 0);
  s.Pitch = Record.Note.Pitch;
  if (Record.Link) s.Previous = Record.Link->Last, s.PreviousValue = Record.Link->LastValue;
  // The note the record's own sound ends with.
  TKVNote* last = nullptr;
  auto emit = [&](int32_t position, int32_t written, int32_t unit, bool dotted) {
    if (EmitNote(s, position, written, unit, dotted)) {
      last = s.Previous;
      return;
    }
    // The duplicated note sounds at least as long as this value, up to the
    // rest tied on from it. The rest keeps to that note's time offset, so
    // that it begins where the duplicated note's sound ends (with the
    // record's own offset it could begin after it, and be struck again),
    // and its sound still ends where the record's does.
    TKVNote* d = s.Duplicate;
    s.Previous = HasTie(*d) ? nullptr : d;
    s.PreviousValue = written;
    if (s.Previous && (d->PlayedLength() ? d->PlayedLength() : d->Duration()) < written)
      d->Data().setU16(NoteBlock::PlayedLength, uint16_t(written));
    if (s.Previous) {
      s.LengthDifference += s.TimeOffset - d->TimeOffset();
      s.TimeOffset = d->TimeOffset();
    }
    last = nullptr;
  };

  if (const TKVMark* tuplet = s.Measure->FindTupletAt(s.Key, p)) {
    int32_t sum = 0;
    for (int32_t i = 0; i < tuplet->Variant(); ++i) {
      const int32_t sub = tuplet->ExtraWord(i);
      sum += sub;
      if (sum > p - tuplet->Position()) {
        emit(tuplet->Position() + sum - sub, sub, tuplet->Value(), false);
        remaining = 0;
        break;
      }
    }
  }
  // Plain or dotted powers of two, tied across the bar lines.
  while (remaining > 0) {
    int32_t v = TicksPerWhole;
    for (int32_t i = 9; i >= 0; --i)
      if ((1 << i) <= remaining && p + (1 << i) <= s.Length) {
        v = 1 << i;
        break;
      }
    const bool dotted = p + v + v / 2 <= s.Length && std::abs(v + v / 2 - remaining) < 4;
    if (dotted) v += v / 2;
    emit(p, v, v, dotted);
    // A note that ends on the bar line makes no measure after it.
    if (p + v < s.Length || remaining <= v) {
      p += v;
    } else {
      s.Measure = GetPartMeasure(++s.MeasureIndex);
      if (!s.Measure) break;
      p = 0;
      s.Length = FMap.LengthOf(s.MeasureIndex);
    }
    remaining -= v;
  }

  const bool started = s.Started || (Record.Link && Record.Link->Started);
  if (Record.Chain)
    *Record.Chain = {s.Previous, s.PreviousValue, started};
  else if (!started && Record.Source)
    FMerged.push_back({FPart->Index(), Record.Note.MidiKey, Record.Source->Time});
  if (!last) return;
  // The written value plus the difference between the raw and the snapped
  // length.
  const int32_t played = last->Duration() + s.ChordDelta + s.LengthDifference;
  if (played > 0) last->Data().setU16(NoteBlock::PlayedLength, uint16_t(std::min(played == last->Duration() ? 0 : played, 0xFFFF)));
  if (split) {
    // The first half sounds only up to its bar line; the second half goes on.
    const int32_t sounding = last->PlayedLength() ? last->PlayedLength() : last->Duration();
    const int32_t room = FMap.LengthOf(last->GetMeasure()->Index()) - last->Position() - last->TimeOffset();
    if (sounding > room) last->Data().setU16(NoteBlock::PlayedLength, uint16_t(std::max(room, 1)));
  }
}

// The first voice of the staff where the value fits beside the notes that
// sound with it; else a new voice while there may be more; else the voice so
// far, unless it holds another key on this line at this position (two heads
// on one line of one chord, which the play order would take for a tie's
// continuation): then the first voice that does not.
int32_t TKVMidiConversion::ChooseVoice(TPlacing& S, int32_t Position, int32_t Written) {
  const int32_t staffIndex = ItemStaff(S.StaffVoice);
  TKVStaff* staff = FPart->GetStaff(staffIndex);
  const int32_t voices = staff->GetVoiceCount();
  auto holds = [&](int32_t voice, const auto& test) {
    return std::any_of(S.Measure->Items().begin(), S.Measure->Items().end(), [&](TKVItem* item) {
      const auto* n = IsNoteItem(item) ? static_cast<const TKVNote*>(item) : nullptr;
      return n && n->StaffVoice() == MakeStaffVoice(staffIndex, voice) && test(*n);
    });
  };
  auto otherKeyOnLine = [&](const TKVNote& n) {
    return n.Position() == Position && n.Line() == PitchLine(S.Pitch) && n.MidiKey != S.Record.Note.MidiKey;
  };
  auto otherValue = [&](const TKVNote& n) {
    return n.Position() < Position + Written && n.Position() + n.Duration() > Position &&
           std::abs(n.Duration() - Written) > ValueTolerance;
  };
  for (int32_t v = 0; v < voices; ++v)
    if (!holds(v, otherKeyOnLine) && !holds(v, otherValue)) return v;
  if (voices < FOptions.ImportMaxVoices) {
    staff->NewVoice();
    RefreshVoiceNumbers();
    return voices;
  }
  if (!holds(ItemVoice(S.StaffVoice), otherKeyOnLine)) return -1;
  for (int32_t v = 0; v < voices; ++v)
    if (!holds(v, otherKeyOnLine)) return v;
  return -1;
}

bool TKVMidiConversion::EmitNote(TPlacing& S, int32_t Position, int32_t Written, int32_t Unit, bool Dotted) {
  TKVMeasure& measure = *S.Measure;
  // Black keys come as sharps; those above D and A are written as the flats
  // of E and B (the signs come once the part is complete).
  if (S.Record.Note.Accidental && (PitchStep(S.Pitch) == StepD || PitchStep(S.Pitch) == StepA))
    S.Pitch = MakePitch(PitchOctave(S.Pitch), PitchStep(S.Pitch) + 1);
  bool stemDown = FPart->GetStaff(ItemStaff(S.StaffVoice))->GetVoiceCount() < 2 ? PitchLine(S.Pitch) >= StemDownLine
                                                                                 : ItemVoice(S.StaffVoice) != 0;
  // A tied note stays in the voice of the note it continues; a duplicated
  // note tied on by its own record meanwhile is continued no more.
  if (S.Previous && HasTie(*S.Previous)) S.Previous = nullptr;
  if (S.Previous) {
    S.StaffVoice = S.Previous->StaffVoice();
  } else if (int32_t voice = ChooseVoice(S, Position, Written); voice >= 0) {
    S.StaffVoice = MakeStaffVoice(ItemStaff(S.StaffVoice), voice);
  }
  const int32_t staff = ItemStaff(S.StaffVoice), voice = ItemVoice(S.StaffVoice);
  S.Key = VoiceKeyOf(staff, voice);

  // Before the first later note, or the first at this position on a later
  // staff or in a voice not before this one.
  int32_t index = measure.GetItemCount();
  TKVNote* chord = nullptr;
  for (int32_t i = 0; i < measure.GetItemCount(); ++i) {
    if (!IsNoteItem(measure.GetItem(i))) continue;
    auto* n = static_cast<TKVNote*>(measure.GetItem(i));
    const int32_t nStaff = ItemStaff(n->StaffVoice());
    if (n->Position() > Position || (n->Position() == Position && nStaff > staff) ||
        (n->Position() == Position && nStaff == staff && ItemVoice(n->StaffVoice()) >= voice)) {
      index = i;
      if (n->Position() == Position && n->StaffVoice() == S.StaffVoice) chord = n;
      break;
    }
  }
  // The same key twice at one position of a staff is written once, in
  // whichever voice it stands: struck twice at once on one channel, the
  // second strike would cut the first off, and a tie going on from the one
  // cut off would strike its key again.
  for (TKVItem* item : measure.Items())
    if (auto* n = IsNoteItem(item) ? static_cast<TKVNote*>(item) : nullptr;
        n && n->Position() == Position && ItemStaff(n->StaffVoice()) == staff && n->MidiKey == S.Record.Note.MidiKey) {
      S.Duplicate = n;
      return false;
    }

  std::unique_ptr<TKVNote> note;
  {
    TRegistrationPause<TKVMeasure> pause(measure);
    note = std::make_unique<TKVNote>(&measure);
  }
  int32_t value = Unit, duration = Written;
  if (chord) {
    chord->SetFlag(NoteFlag::Chord, true);
    stemDown = chord->StemDown();
    value = chord->Value();
    duration = chord->Duration();
  }
  note->SetPitch(S.Pitch);
  note->SetPosition(uint16_t(Position));
  note->SetValue(uint16_t(value));
  note->SetDuration(uint16_t(duration));
  note->Data().setI16(NoteBlock::TimeOffset, int16_t(std::clamp(S.TimeOffset, -32768, 32767)));
  note->SetStaffVoice(S.StaffVoice);
  note->VoiceKey() = S.Key;
  note->SetVelocity(S.Record.Velocity);
  note->Data().setU8(NoteBlock::Symbol, S.Record.Note.Symbol);
  note->SetFlag(NoteFlag::StemDown, stemDown);
  note->SetFlag(NoteFlag::Chord, chord != nullptr);
  note->SetJoin(uint8_t(ShortValueCode(Written) << 4));
  note->MidiKey = S.Record.Note.MidiKey;
  note->Voice = FPart->GetStaff(staff)->GetVoice(voice);
  note->Channel = note->Voice && note->Voice->HasOwnSettings() ? note->Voice->Channel() : FPart->Channel();
  TKVNote* made = note.release();
  measure.InsertItem(index, made);
  if (Dotted) static_cast<TKVMark*>(CreateItemByKind(ItemKind::Dot, made))->SetValue(0);
  if (measure.StaffNoteCounts.size() < size_t(FPart->GetStaffCount()))
    measure.StaffNoteCounts.resize(size_t(FPart->GetStaffCount()), 0);
  ++measure.StaffNoteCounts[size_t(staff)];
  if (chord) measure.ArrangeChord(S.Key, uint16_t(Position), false, true);
  if (S.Previous) AddTie(*S.Previous, S.PreviousValue);
  S.Started = S.Started || !S.Previous;
  // A chord's note stands for its own value: tied on, it sounds that long.
  if (duration != Written) made->Data().setU16(NoteBlock::PlayedLength, uint16_t(Written));
  S.Previous = made;
  S.PreviousValue = Written;
  S.ChordDelta = Written - duration;
  return true;
}
