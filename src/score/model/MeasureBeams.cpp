// Beam groups of a measure: numbering, the beam order (Notes) and the group
// ranges.

#include <algorithm>
#include <vector>

#include "score/model/ItemHolder.h"
#include "score/model/ItemKinds.h"
#include "score/model/Measure.h"
#include "score/model/NotationSupport.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Voice.h"
#include "score/model/Vorschlag.h"

namespace {

constexpr uint8_t ContinuedFlag = 1 << NoteFlag::BeamFromPrevious;

bool Contains(const std::vector<TKVNote*>& notes, const TKVNote* note) {
  return std::find(notes.begin(), notes.end(), note) != notes.end();
}

// A note that takes part in beaming (play-state bit 0 keeps it out).
TKVNote* BeamableNote(TKVItem* item, int32_t voiceNumber) {
  TKVNote* note = NoteOfVoice(item, voiceNumber);
  return note && !(note->PlayState & 1) ? note : nullptr;
}

// True when a later item of the list that holds Note is a note of its voice
// at its position with its duration (the rest of its chord).
bool ChordMateFollows(const TKVNote* note) {
  const TKVItemHolder* holder = note->OwnerHolder();
  if (!holder || !note->Flag(NoteFlag::Chord)) return false;
  for (int32_t i = holder->Items().IndexOf(note) + 1; i < holder->GetItemCount(); ++i) {
    const TKVItem* item = holder->GetItem(i);
    if (item->Kind() != ItemKind::Note) continue;
    const auto* mate = static_cast<const TKVNote*>(item);
    if (mate->VoiceKey().VoiceNumber == note->VoiceKey().VoiceNumber && mate->Position() == note->Position() &&
        mate->Duration() == note->Duration())
      return true;
  }
  return false;
}

// Takes the notes of the measure one at a time and groups the beamable ones
// that are joined to the next note.
class TBeamGroupBuilder {
public:
  std::vector<TKVNote*> Placed;

  bool Open() const { return FOpen; }

  void Offer(TKVNote* note, uint8_t passedFlags) {
    note->SetFlag(NoteFlag::BeamFromPrevious, false);
    if (note->Value() >= 128) {  // a quarter or longer has no beam and breaks the group
      Close();
      note->BeamGroup = 0;
      FNewGroup = true;
      return;
    }
    note->BeamGroup = 0;
    const bool mateFollows = ChordMateFollows(note);
    const bool staysOpen = mateFollows || note->Joined();
    if (!FOpen && !staysOpen) return;  // stands alone
    if (!FOpen || FNewGroup) {
      Close();
      // Group numbers are a byte; past 255 a note stays unbeamed.
      if (FGroup == 255) return;
      ++FGroup;
      FOpen = true;
      FNewGroup = false;
      FGroupStart = Placed.size();
    }
    Placed.push_back(note);
    note->SetFlags(uint8_t(note->Flags() | passedFlags));
    note->BeamGroup = FGroup;
    if (!staysOpen) Close();
  }

  // A group whose notes all stand at one position (a note or a chord) gets
  // no beam: it is dissolved and its number and places are free again.
  void Close() {
    if (!FOpen) return;
    FOpen = false;
    const uint16_t position = Placed[FGroupStart]->Position();
    if (std::any_of(Placed.begin() + ptrdiff_t(FGroupStart), Placed.end(),
                    [&](const TKVNote* note) { return note->Position() != position; }))
      return;
    for (size_t i = FGroupStart; i < Placed.size(); ++i) {
      Placed[i]->BeamGroup = 0;
      Placed[i]->SetFlag(NoteFlag::BeamFromPrevious, false);
    }
    Placed.resize(FGroupStart);
    --FGroup;
  }

private:
  bool FOpen = false, FNewGroup = false;
  uint8_t FGroup = 0;
  size_t FGroupStart = 0;
};

}  // namespace

void TKVMeasure::BuildBeamGroups(uint8_t Group, bool WithGeometry, TKVNote* Note) {
  TKVMeasure* previous = FPart->GetMeasure(FIndex - 1);
  TKVMeasure* next = FPart->GetMeasure(FIndex + 1);
  // A note continuing the previous measure's group keeps its number while
  // that measure still holds it; notes now elsewhere leave the order.
  for (size_t i = FNotes.size(); i-- > 0;) {
    TKVNote* note = FNotes[i];
    if (note->GetMeasure() != this)
      FNotes.erase(FNotes.begin() + ptrdiff_t(i));
    else if (!note->Flag(NoteFlag::BeamFromPrevious) || !previous || !Contains(previous->FNotes, note))
      note->BeamGroup = 0;
  }
  const bool previousCounts = previous && previous->Data().bit(MeasureBlock::Flags, MeasureBlock::BeamsContinue);
  const bool continues = Data().bit(MeasureBlock::Flags, MeasureBlock::BeamsContinue);

  TBeamGroupBuilder builder;
  std::vector<TKVVorschlag*> graceGroups;
  for (const TKVVoice* voice : FPart->VoiceList()) {
    builder.Close();
    for (TKVItem* item : Items()) {
      if (TKVNote* note = BeamableNote(item, voice->Number())) {
        if (!(previousCounts && Contains(previous->FNotes, note))) builder.Offer(note, 0);
      } else if (auto* group = ItemCast<TKVVorschlag>(item); group && group->VoiceKey().VoiceNumber == voice->Number()) {
        graceGroups.push_back(group);
      }
    }
    if (builder.Open() && continues && next)
      for (TKVItem* item : next->Items()) {
        if (!builder.Open()) break;
        if (TKVNote* note = BeamableNote(item, voice->Number())) builder.Offer(note, ContinuedFlag);
      }
    builder.Close();
  }
  for (TKVVorschlag* group : graceGroups) {
    for (TKVItem* item : group->Items())
      if (TKVNote* grace = BeamableNote(item, group->VoiceKey().VoiceNumber)) builder.Offer(grace, 0);
    builder.Close();
  }

  FNotes = std::move(builder.Placed);
  FGroupRanges.clear();
  for (size_t i = 0; i < FNotes.size(); ++i) {
    if (i == 0 || FNotes[i]->BeamGroup != FNotes[i - 1]->BeamGroup)
      FGroupRanges.push_back({uint16_t(i), uint16_t(i), nullptr});
    else
      FGroupRanges.back().Last = uint16_t(i);
  }
  if (WithGeometry) CalcBeamGeometry(Note && Note->BeamGroup ? Note->BeamGroup : Group);
}
