// Notes and rests: pitch, value and duration, chords and grace notes, voice
// and staff, stems, beams, dots, ties and tuplets. A note is settled when its
// level closes (FinishNote): its position, its tuplet share and the tick of
// the next note.

#include <algorithm>

#include "score/import/musicxml/MusicXMLVoices.h"
#include "score/import/musicxml/MusicXMLWalk.h"
#include "score/model/ItemKinds.h"
#include "score/model/Liga.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/NotationSupport.h"
#include "score/model/Note.h"
#include "score/model/Pause.h"
#include "score/model/ScoreRoutines.h"

namespace {

constexpr uint8_t GraceBit = 0x80;           // of the play state, while importing
constexpr uint8_t FlagCountShift = 4;        // of the note's join byte
constexpr uint8_t ForwardRestFlags = 0x80;   // a rest made by a forward element
constexpr int32_t MaxTupletCount = 64;
constexpr int32_t MaxOctave = 9;
constexpr int32_t MaxAlter = 63;             // the low six bits of the importer byte
// The pitch line (step + 7 x octave nibble) of the middle line of a staff
// whose clef has no line offset: B4 under the treble clef.
constexpr int32_t TrebleMiddleLine = 41;

// The rhythmic fields that notes and rests share, whichever one is current.
struct TRhythm {
  TKVItem* Item = nullptr;
  uint16_t Value = 0, Duration = 0;
  uint8_t VoiceByte = 0;
};

TRhythm RhythmOf(TKVNote* note, TKVPause* rest) {
  if (note) return {note, note->Value(), note->Duration(), note->StaffVoice()};
  if (rest) return {rest, rest->Value(), rest->Duration(), rest->StaffVoice()};
  return {};
}

void SetDuration(TKVNote* note, TKVPause* rest, uint16_t duration) {
  if (note)
    note->SetDuration(duration);
  else if (rest)
    rest->SetDuration(duration);
}

}  // namespace

bool TKVMusicXMLWalk::HandleNote(TKVXMLElement Code) {
  const bool inNote = ParentIs(xeNote), inNoteOrRest = ParentIs(xeNote, xeRest);
  switch (Code) {
    case xeNote:
      if (ParentIs(xeMeasure)) OnNote();
      return true;
    case xeRest:
      if (inNote) OnRest();
      return true;
    case xeGrace:
      if (inNote && FNote) {
        FNote->PlayState |= GraceBit;
        FNote->SetValue(64);
        FNote->SetPosition(uint16_t(FNext));
      }
      return true;
    case xeChord:
      if (inNote && FNote) {
        FNote->SetFlag(NoteFlag::Chord, true);
        if (FPreviousNote) FPreviousNote->SetFlag(NoteFlag::Chord, true);
      }
      return true;
    case xePitch:
      if (inNote) SetScope(Code);
      return true;
    case xeStep:
    case xeAlter:
    case xeOctave:
      if (ParentIs(xePitch)) OnPitchPart(Code);
      return true;
    case xeDisplayStep:
    case xeDisplayOctave:
      if (Parent() != XMLScopeUnpitched) return false;
      OnPitchPart(Code == xeDisplayStep ? xeStep : xeOctave);
      return true;
    case xeDuration:
      OnDuration();
      return true;
    case xeVoice:
    case xeStaff:
      if (!inNoteOrRest && !ParentIs(xeForward)) return false;
      OnVoiceOrStaff(Code == xeStaff);
      return true;
    case xeType:
      if (inNoteOrRest)
        OnType();
      else if (ParentIs(xeTie))
        OnTieType();
      else
        return false;
      return true;
    case xeDot:
      if (inNoteOrRest) OnDot();
      return true;
    case xeStem:
      if (inNote && FNote) FNote->SetFlag(NoteFlag::StemDown, Text() != "up");
      return true;
    case xeBeam:
      if (inNote && FNote) OnBeam();
      return true;
    case xeTie:
      if (inNote && FNote) SetScope(Code);
      return true;
    case xeTimeModification:
      if (inNoteOrRest) SetScope(Code);
      return true;
    case xeActualNotes:
      // A count beyond what a tuplet can hold is ignored.
      if (ParentIs(xeTimeModification) && Number(3) >= 1 && Number(3) <= MaxTupletCount)
        FTupletCount = Number(3);
      return true;
    case xeNormalNotes:
    case xeNormalType:
      return true;
    default:
      return false;
  }
}

void TKVMusicXMLWalk::OnNote() {
  if (!FMeasure) return;
  SetScope(xeNote);
  FPreviousNote = FNote;
  FNote = new TKVNote(FMeasure);
  FNoteSlurs.clear();
  if (FOpenBeams > 0) FNote->SetJoin(FNote->Join() | 1);
  FRest = nullptr;
  FNoteTicks = -1;
  FTupletCount = 0;
  FBracketShown = true;
  FTupletPlacement = 0;
  FTupletType = 0;
  FShowNumber = true;
  FUnpitched = false;
}

// The note becomes a rest: its level now closes as a rest. Whatever was
// attached to the note goes with it (only a damaged document attaches
// anything before the rest).
void TKVMusicXMLWalk::OnRest() {
  if (!FNote) return;
  SetScopeAt(FDepth - 1, xeRest);
  if (FSlur && FSlur->Owner() == FNote) FSlur = nullptr;
  if (FMark && FMark->Owner() == FNote) FMark = nullptr;
  for (size_t index : FNoteSlurs) {
    TKVXMLSlur& s = Slurs[index];
    if (s.EndNote == FNote) s.EndNote = nullptr;
    if (!s.Slur || s.Slur->Owner() != FNote) continue;
    if (!FNote->Items().Contains(s.Slur)) delete s.Slur;  // a stop waiting for its start
    s.Slur = nullptr;
    s.Open = false;
  }
  FNoteSlurs.clear();
  delete FNote;
  FNote = nullptr;
  FRest = new TKVPause(FMeasure);
}

void TKVMusicXMLWalk::OnPitchPart(TKVXMLElement Code) {
  if (!FNote) return;
  if (Code == xeStep) {
    FNote->SetPitch(uint8_t(FNote->Pitch() | StepLetterIndex(Text())));
  } else if (Code == xeOctave) {
    // Octaves beyond 0..9 have no pitch byte.
    int32_t octave = std::clamp(Number(5), 0, MaxOctave);
    FNote->SetPitch(uint8_t(FNote->Pitch() | (octave + 1) << 4));
  } else {
    // Whole semitones only: a microtone is not a whole number and counts as 0.
    int32_t alter = std::clamp(Number(0), -MaxAlter, MaxAlter);
    FNote->Accidental = uint8_t(alter >= 0 ? alter : -alter | 0x40);
  }
}

void TKVMusicXMLWalk::OnDuration() {
  // A length beyond what 16 bits of ticks hold is held there; a negative
  // one counts as none.
  const int64_t divs = std::clamp<int64_t>(Number(128), 0, int64_t(0xFFFF) * FDivisions / 128);
  if (ParentIs(xeNote)) {
    if (!FNote) return;
    if (FNote->PlayState & GraceBit) {
      FNote->SetValue(uint16_t(divs * 128 / FDivisions));
      FNote->SetDuration(FNote->Value());
      return;
    }
    // A chord note starts with the note it joins, whatever its own duration.
    if (FNote->Flag(NoteFlag::Chord)) {
      FNote->SetPosition(uint16_t(FTime));
      FNoteTicks = TicksAt(FTimeDivs + divs) - TicksAt(FTimeDivs);
    } else {
      FNote->SetPosition(uint16_t(FNext));
      Advance(divs);
      FNoteTicks = FNext - FTime;
    }
    FNote->SetValue(uint16_t(FNoteTicks));
    FNote->SetDuration(uint16_t(FNoteTicks));
  } else if (ParentIs(xeRest)) {
    if (!FRest) return;
    FRest->SetPosition(uint16_t(FNext));
    Advance(divs);
    FNoteTicks = FNext - FTime;
    FRest->SetValue(uint16_t(FNoteTicks));
    FRest->SetDuration(uint16_t(FNoteTicks));
  } else if (ParentIs(xeBackup)) {
    FNextDivs -= divs;
    if (TicksAt(FNextDivs) < 0) FDivisionBase = 0, FNextDivs = 0;
    FNext = TicksAt(FNextDivs);
  } else if (ParentIs(xeForward)) {
    if (!FMeasure) return;
    FRest = new TKVPause(FMeasure);
    FRest->SetPosition(uint16_t(FNext));
    Advance(divs);
    FRest->SetValue(uint16_t(FNext - FTime));
    FRest->SetDuration(FRest->Value());
    FRest->SetFlags(ForwardRestFlags);
  }
}

int32_t TKVMusicXMLWalk::TicksAt(int64_t Divs) const {
  const int64_t scaled = Divs * 128;
  // Rounded down, also before the base.
  const int64_t ticks = scaled >= 0 ? scaled / FDivisions : -((-scaled + FDivisions - 1) / FDivisions);
  return int32_t(std::clamp<int64_t>(FDivisionBase + ticks, INT32_MIN, INT32_MAX));
}

int32_t TKVMusicXMLWalk::NoteStart() const { return FNote && (FNote->PlayState & GraceBit) ? FNext : FTime; }

void TKVMusicXMLWalk::Advance(int64_t Divs) {
  FTimeDivs = FNextDivs;
  FTime = FNext;
  FNextDivs += Divs;
  FNext = TicksAt(FNextDivs);
  ReachColumn(FNext);
}

void TKVMusicXMLWalk::ReachColumn(int32_t Tick) {
  if (!FMeasure || FMeasure->Index() < 0) return;
  const size_t column = size_t(FMeasure->Index());
  if (ColumnEnds.size() <= column) ColumnEnds.resize(column + 1, 0);
  ColumnEnds[column] = std::max(ColumnEnds[column], Tick);
}

// Voice and staff numbers count from 1; the voice byte holds them less 1.
void TKVMusicXMLWalk::OnVoiceOrStaff(bool Staff) {
  const int32_t value = Number(1) - 1;
  if (ParentIs(xeForward)) {
    if (!FRest) return;
    FRest->SetStaffVoice(Staff ? uint8_t(FRest->StaffVoice() | (value & 15) << 4) : uint8_t(value));
    return;
  }
  TRhythm r = RhythmOf(ParentIs(xeNote) ? FNote : nullptr, ParentIs(xeRest) ? FRest : nullptr);
  if (!r.Item) return;
  uint8_t byte = Staff ? uint8_t((r.VoiceByte & 0x0F) | (value & 15) << 4) : uint8_t((r.VoiceByte & 0xF0) | (value & 15));
  if (FNote && r.Item == FNote)
    FNote->SetStaffVoice(byte);
  else
    FRest->SetStaffVoice(byte);
}

// The written value; a note of 32 ticks or less also gets its flag count.
void TKVMusicXMLWalk::OnType() {
  const uint16_t ticks = uint16_t(NoteTypeToTicks(Text()));
  if (ParentIs(xeRest)) {
    if (!FRest) return;
    FRest->SetValue(ticks);
    FRest->SetDuration(ticks);
    return;
  }
  if (!FNote) return;
  FNote->SetValue(ticks);
  int32_t flags = ticks == 32 ? 1 : ticks == 16 ? 2 : ticks == 8 ? 3 : ticks == 4 ? 4 : 0;
  FNote->SetJoin(uint8_t(FNote->Join() | flags << FlagCountShift));
  FNote->SetDuration(ticks);
}

void TKVMusicXMLWalk::OnDot() {
  TKVNote* note = ParentIs(xeNote) ? FNote : nullptr;
  TKVPause* rest = ParentIs(xeRest) ? FRest : nullptr;
  TRhythm r = RhythmOf(note, rest);
  if (!r.Item) return;
  const TKVItemHolder& holder = note ? static_cast<TKVItemHolder&>(*note) : static_cast<TKVItemHolder&>(*rest);
  bool dotted = std::any_of(holder.Items().begin(), holder.Items().end(),
                            [](const TKVItem* item) { return item->Kind() == ItemKind::Dot; });
  if (!dotted) {
    FMark = new TKVMark(r.Item);
    FMark->SetKind(ItemKind::Dot);
    FMark->SetVariant(1);
    SetDuration(note, rest, uint16_t(r.Value + r.Value / 2));
  } else {
    if (FMark) FMark->SetValue(uint16_t(FMark->Value() + 1));
    SetDuration(note, rest, uint16_t(r.Value + r.Value / 2 + r.Value / 4));
  }
}

// Only the first beam level counts, and only when its number attribute
// follows the beam's entry.
void TKVMusicXMLWalk::OnBeam() {
  if (FIndex + 1 >= FList.Top() || FList.Entries[FIndex + 1].Text != "1") return;
  if (Text() == "begin" || Text() == "continue") {
    FNote->SetJoin(FNote->Join() | 1);
    FOpenBeams = 1;
  } else if (Text() == "end") {
    FNote->SetJoin(FNote->Join() & ~0x07);
    FOpenBeams = 0;
  }
}

void TKVMusicXMLWalk::OnTieType() {
  if (!FNote || Text() != "start") return;
  FSlur = new TKVLiga(FNote);
  FSlur->SetFlags(FNote->StemDown() ? 0x10 : 0x11);
  FSlur->SetDefaultOffsets();
}

bool TKVMusicXMLWalk::FinishNote() {
  // An unpitched note that does not say where it stands stands on the
  // middle line of its staff, under the clef in force there.
  if (FNote && FUnpitched && PitchOctave(FNote->Pitch()) == 0) {
    const int32_t line = ClefLineOffset(FStaffClefs[FNote->StaffVoice() >> 4]) + TrebleMiddleLine;
    FNote->SetPitch(MakePitch(line / 7, line % 7));
  }
  TKVNote* note = FNote && !(FNote->PlayState & GraceBit) ? FNote : nullptr;
  TKVPause* rest = note ? nullptr : FRest;
  TRhythm r = RhythmOf(note, rest);
  if (!r.Item) return false;
  if (note)
    note->SetPosition(uint16_t(FTime));
  else
    rest->SetPosition(uint16_t(FTime));

  if (FTupletCount != 0) {
    if (TKVMark* tuplet = FindXMLTuplet(*FMeasure, r.VoiceByte, uint16_t(FTime))) {
      ApplyTupletSlot(*tuplet, r.Value, r.Duration);
    } else {
      tuplet = new TKVMark(FMeasure);
      tuplet->SetKind(ItemKind::Tuplet);
      tuplet->SetVariant(uint8_t(FTupletCount));
      tuplet->SetValue(r.Value);
      tuplet->SetPosition(uint16_t(FTime));
      // The tuplet belongs to the note's voice, so that the voice's next
      // notes find it.
      tuplet->SetStaffVoice(r.VoiceByte);
      if (FTupletType == 1) {
        uint8_t flags = tuplet->Flags();
        if (!FShowNumber) flags |= 0x80;
        if (!FBracketShown) flags |= 0x01;
        bool below = FTupletPlacement == 2 || (FTupletPlacement == 0 && note && note->StemDown());
        flags = uint8_t(below ? flags | 0x10 : flags & ~0x10);
        tuplet->SetFlags(flags);
      }
      // Slot k of Total over Count notes: Total x k div Count - Total x (k - 1) div Count.
      const int32_t total = TupletScale(FTupletCount, r.Value);
      tuplet->Extra().Resize(size_t(FTupletCount) * 2);
      for (int32_t k = 1; k <= FTupletCount; ++k)
        tuplet->Extra().setU16(size_t(k - 1) * 2,
                               uint16_t(total * k / FTupletCount - total * (k - 1) / FTupletCount));
      ApplyTupletSlot(*tuplet, r.Value, r.Duration);
    }
    SetDuration(note, rest, r.Duration);
  }
  // The duration element says how long the note sounds (a whole rest in
  // 3/8, a tuplet, a tremolo); its value and tuplet mark are only written.
  if (FNoteTicks >= 0) {
    SetDuration(note, rest, uint16_t(FNoteTicks));
    ReachColumn(FTime + FNoteTicks);
    return true;
  }
  FNext = FTime + r.Duration;
  FDivisionBase = FNext;
  FTimeDivs = FNextDivs = 0;
  ReachColumn(FNext);
  return true;
}

// The note takes the slot it starts in, halved once for every halving from
// the tuplet's unit down to the note's value.
void TKVMusicXMLWalk::ApplyTupletSlot(const TKVMark& Tuplet, uint16_t Value, uint16_t& Duration) {
  int32_t end = Tuplet.Position();
  for (int32_t k = 0; k < Tuplet.Variant(); ++k) {
    uint16_t slot = Tuplet.ExtraWord(k);
    end += slot;
    if (FTime >= end) continue;
    int32_t halvings = 0;
    for (int32_t unit = Tuplet.Value(); Value < unit && halvings < 16; unit >>= 1) ++halvings;
    Duration = uint16_t(slot >> halvings);
    return;
  }
}
