// When the grace notes of a group sound and how the main notes of their voice
// make room: before the beat (the notes before the group are cut short), on
// the beat (the main note starts later), after the main note (the notes that
// follow start later) or at the end of the main note (it is cut short).

#include <algorithm>
#include <vector>

#include "score/import/performance/PerformanceEffects.h"
#include "score/model/ItemKinds.h"
#include "score/model/LayoutRecords.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Vorschlag.h"

namespace {

constexpr uint8_t AfterMainNote = 0x01, BeforeBeat = 0x10;  // group flags

int32_t MeasureLength(const TKVMeasure& Measure) {
  const TKVMeasureRecord* record = Measure.GetLayoutRecord();
  return record ? record->Length : Measure.Length;
}

// The main notes of the group's voice in a measure.
std::vector<TKVNote*> MainNotes(const TKVMeasure* Measure, uint16_t VoiceNumber) {
  std::vector<TKVNote*> notes;
  if (!Measure) return notes;
  for (TKVItem* item : Measure->Items())
    if (auto* note = ItemCast<TKVNote>(item);
        note && item->Kind() == ItemKind::Note && note->VoiceKey().VoiceNumber == VoiceNumber)
      notes.push_back(note);
  return notes;
}

void CutAt(TKVNote& Note, int32_t End) {
  if (Note.Position() + SoundingLength(Note) > End) SetPlayedLength(Note, std::max(End - Note.Position(), 1));
}

void DelayTo(TKVNote& Note, int32_t Start) {
  SetTimeOffset(Note, Start - Note.Position());
  SetPlayedLength(Note, std::max(Note.Duration() - Note.TimeOffset(), 1));
}

class TGraceTimings {
public:
  TGraceTimings(TKVMeasure& Measure, TKVVorschlag& Group)
      : FMeasure(Measure), FGroup(Group), FVoice(Group.VoiceKey().VoiceNumber) {
    for (TKVItem* item : Group.Items())
      if (auto* grace = ItemCast<TKVNote>(item)) FGraces.push_back(grace);
  }

  void Run() {
    if (FGraces.empty()) return;
    const uint8_t flags = FGroup.Flags() & (AfterMainNote | BeforeBeat);
    if (flags == BeforeBeat)
      BeforeTheBeat();
    else if (flags == 0)
      OnTheBeat();
    else if (flags == AfterMainNote)
      AtTheEnd();
    else
      AfterTheMainNote();
  }

private:
  int32_t Step(const TKVNote& Grace) const { return FGroup.Value() ? FGroup.Value() : Grace.Duration(); }
  int32_t Position() const { return FGroup.Position(); }
  TKVMeasure* Neighbour(int32_t Delta) const { return FMeasure.Part()->GetMeasure(FMeasure.Index() + Delta); }

  // Backwards from the group's position: the last grace note ends there.
  // Returns the (negative) offset of the first one.
  int32_t TimeBackwards() {
    int32_t o = 0;
    for (size_t i = FGraces.size(); i-- > 0;) {
      if (i + 1 == FGraces.size() || FGraces[i]->Position() != FGraces[i + 1]->Position()) o -= Step(*FGraces[i]);
      SetGrace(*FGraces[i], o);
    }
    return o;
  }
  // Forwards from the group's position. Returns the time they take.
  int32_t TimeForwards() {
    int32_t o = 0;
    for (size_t i = 0; i < FGraces.size(); ++i) {
      if (i > 0 && FGraces[i]->Position() != FGraces[i - 1]->Position()) o += Step(*FGraces[i - 1]);
      SetGrace(*FGraces[i], o);
    }
    return o + Step(*FGraces.back());
  }
  static void SetGrace(TKVNote& Grace, int64_t Offset) {
    SetTimeOffset(Grace, Offset);
    SetPlayedLength(Grace, 0);
  }
  void ShiftGraces(int32_t By) {
    for (TKVNote* grace : FGraces) SetTimeOffset(*grace, grace->TimeOffset() + By);
  }

  void BeforeTheBeat() {
    const int32_t x = Position() + TimeBackwards();
    for (TKVNote* note : MainNotes(&FMeasure, FVoice))
      if (note->Position() < Position()) CutAt(*note, x);
    if (x >= 0) return;
    if (TKVMeasure* previous = Neighbour(-1)) {
      const int32_t end = MeasureLength(*previous) + x;
      for (TKVNote* note : MainNotes(previous, FVoice)) CutAt(*note, end);
    }
  }

  void OnTheBeat() {
    const int32_t o = TimeForwards();
    for (TKVNote* note : MainNotes(&FMeasure, FVoice))
      if (note->Position() == Position()) DelayTo(*note, note->Position() + note->TimeOffset() + o);
  }

  void AfterTheMainNote() {
    const int32_t o = TimeForwards();
    const std::vector<TKVNote*> notes = MainNotes(&FMeasure, FVoice);
    auto main = std::find_if(notes.begin(), notes.end(), [&](TKVNote* n) { return n->Position() == Position(); });
    if (main == notes.end()) return;
    const int32_t e = (*main)->Position() + (*main)->Duration();
    ShiftGraces((*main)->Duration());
    for (TKVNote* note : notes)
      if (note->Position() >= e && note->Position() < e + o) DelayTo(*note, e + o);
    const int32_t spill = e + o - MeasureLength(FMeasure);
    if (spill <= 0) return;
    for (TKVNote* note : MainNotes(Neighbour(1), FVoice))
      if (note->Position() < spill) DelayTo(*note, spill);
  }

  void AtTheEnd() {
    const int32_t o = TimeBackwards();
    int32_t first = -1;
    for (TKVNote* note : MainNotes(&FMeasure, FVoice)) {
      if (note->Position() != Position()) continue;
      SetPlayedLength(*note, std::max(note->Duration() + o, 1));
      if (first < 0) first = note->Duration();
    }
    if (first >= 0) ShiftGraces(first);
  }

  TKVMeasure& FMeasure;
  TKVVorschlag& FGroup;
  uint16_t FVoice;
  std::vector<TKVNote*> FGraces;
};

}  // namespace

void ApplyGraceTimings(TKVMeasure& Measure, TKVVorschlag& Group) { TGraceTimings(Measure, Group).Run(); }
