// Several voices on a staff, voice seconds and stem directions of a measure.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "score/model/ItemKinds.h"
#include "score/model/LayoutRecords.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/NotationSupport.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"
#include "score/model/Vorschlag.h"

namespace {

// Staff-and-voice byte of the items that count as a voice's presence on a
// staff (notes, rests, beat repeats); -1 for the others.
int32_t PresenceStaffVoice(const TKVItem* item) {
  switch (item->Kind()) {
    case ItemKind::Note: return static_cast<const TKVNote*>(item)->StaffVoice();
    case ItemKind::Rest: return static_cast<const TKVPause*>(item)->StaffVoice();
    case ItemKind::BeatRepeat: return static_cast<const TKVMark*>(item)->StaffVoice();
    default: return -1;
  }
}

}  // namespace

bool TKVMeasure::StaffHasVoices(int32_t StaffIndex) const {
  return StaffIndex >= 0 && StaffIndex < int32_t(FStaffBytes.size()) && (FStaffBytes[size_t(StaffIndex)] & 1);
}

void TKVMeasure::UpdateVoiceLayout(int32_t StaffIndex, bool Apply) {
  const int32_t staves = FPart->GetStaffCount();
  FStaffBytes.resize(size_t(staves));
  if (StaffIndex >= staves) return;
  for (int32_t s = StaffIndex < 0 ? 0 : StaffIndex; s < (StaffIndex < 0 ? staves : StaffIndex + 1); ++s)
    UpdateStaffVoices(s, Apply);
}

void TKVMeasure::UpdateStaffVoices(int32_t StaffIndex, bool Apply) {
  std::vector<int32_t> seen;  // voice indexes in order of appearance
  auto see = [&](const TKVItem* item) {
    const int32_t staffVoice = PresenceStaffVoice(item);
    if (staffVoice < 0 || ItemStaff(uint8_t(staffVoice)) != StaffIndex) return;
    if (std::find(seen.begin(), seen.end(), ItemVoice(uint8_t(staffVoice))) == seen.end())
      seen.push_back(ItemVoice(uint8_t(staffVoice)));
  };
  for (const TKVItem* item : Items()) {
    if (const auto* group = ItemCast<const TKVVorschlag>(item))
      for (const TKVItem* grace : group->Items()) see(grace);
    else
      see(item);
  }
  uint8_t& flags = FStaffBytes[size_t(StaffIndex)];
  const bool several = seen.size() >= 2;
  if (several != bool(flags & 1)) {
    flags = several ? uint8_t(flags | 1) : uint8_t(flags & 0xF0);
    if (Apply) ApplyStaffVoiceLayout(StaffIndex);
  }
  TKVStaff* staff = FPart->GetStaff(StaffIndex);
  const int32_t current = staff->Data().u8(StaffBlock::CurrentVoice);
  if (std::find(seen.begin(), seen.end(), current) == seen.end())
    staff->Data().setU8(StaffBlock::CurrentVoice, seen.empty() ? 255 : uint8_t(seen.front()));
}

void TKVMeasure::ApplyStaffVoiceLayout(int32_t StaffIndex) {
  const bool several = StaffHasVoices(StaffIndex);
  for (int32_t i = 0; i < GetItemCount(); ++i) {
    TKVItem* item = GetItem(i);
    if (TKVNote* note = AsNote(item); note && ItemStaff(note->StaffVoice()) == StaffIndex) {
      MarkVoiceSeconds(note->VoiceKey(), note->Position());
      CalcStemDirection(note->BeamGroup, note->VoiceKey(), note->Position());
    } else if (auto* rest = ItemCast<TKVPause>(item); rest && ItemStaff(rest->StaffVoice()) == StaffIndex) {
      rest->SetOffsetY(!several ? 0 : ItemVoice(rest->StaffVoice()) == 0 ? -96 : 96);
    } else if (auto* group = ItemCast<TKVVorschlag>(item)) {
      for (int32_t g = 0; g < group->GetItemCount(); ++g)
        if (TKVNote* grace = AsNote(group->GetItem(g)); grace && ItemStaff(grace->StaffVoice()) == StaffIndex)
          group->ArrangeStems(grace->BeamGroup, grace->VoiceKey(), grace->Position());
    }
  }
}

// The same as MarkVoiceSeconds for every note's place, in one walk: the
// notes are taken apart by place (position and staff) first.
void TKVMeasure::UpdateStems() {
  struct TPlace {
    uint16_t Position;
    int32_t Staff;
    std::vector<TKVNote*> First, Higher;
  };
  std::vector<TPlace> places;
  for (TKVItem* item : Items()) {
    TKVNote* note = AsNote(item);
    if (!note) continue;
    const int32_t staff = ItemStaff(note->StaffVoice());
    auto place = std::find_if(places.rbegin(), places.rend(), [&](const TPlace& p) {
      return p.Position == note->Position() && p.Staff == staff;
    });
    TPlace& into = place != places.rend() ? *place : places.emplace_back(TPlace{note->Position(), staff, {}, {}});
    (ItemVoice(note->StaffVoice()) == 0 ? into.First : into.Higher).push_back(note);
  }
  for (const TPlace& place : places) MarkVoiceSeconds(place.Staff, place.First, place.Higher);
}

void TKVMeasure::MarkVoiceSeconds(const TKVVoiceKey& Key, uint16_t Position) {
  std::vector<TKVNote*> first, higher;
  for (TKVItem* item : Items())
    if (TKVNote* note = AsNote(item);
        note && note->Position() == Position && ItemStaff(note->StaffVoice()) == Key.StaffIndex)
      (ItemVoice(note->StaffVoice()) == 0 ? first : higher).push_back(note);
  MarkVoiceSeconds(Key.StaffIndex, first, higher);
}

void TKVMeasure::MarkVoiceSeconds(int32_t StaffIndex, const std::vector<TKVNote*>& First,
                                  const std::vector<TKVNote*>& Higher) {
  bool second = false;
  if (StaffHasVoices(StaffIndex))
    for (const TKVNote* a : First)
      for (const TKVNote* b : Higher) second = second || std::abs(a->Line() - b->Line()) == 1;
  for (TKVNote* note : Higher) note->SetFlag(NoteFlag::Shifted, second);
}

void TKVMeasure::CalcStemDirection(uint8_t Group, const TKVVoiceKey& Key, uint16_t Position) {
  std::vector<TKVNote*> notes;
  for (TKVItem* item : Items())
    if (TKVNote* note = NoteOfVoice(item, Key.VoiceNumber);
        note && note->VoiceKey().PartIndex == Key.PartIndex &&
        (Group > 0 ? note->BeamGroup == Group : note->Position() == Position))
      notes.push_back(note);

  bool down = false;  // for the rules that give the whole voice one direction
  const TKVVoice* voice = PartVoice(*this, Key.VoiceNumber);
  const bool crossStaff = voice && voice->SecondStaff();
  if (crossStaff) {
    // A voice over two staves: stems point from each staff towards the other.
    const int32_t lower = std::max(voice->Staff()->Index(), voice->SecondStaff()->Index());
    for (TKVNote* note : notes) note->SetFlag(NoteFlag::StemDown, ItemStaff(note->StaffVoice()) != lower);
    down = true;  // its tuplets take the lower side
  } else if (StaffHasVoices(Key.StaffIndex)) {
    down = Key.VoiceIndex > 0;
  } else {
    const int32_t offset = GetClefOffsetAt(Key.StaffIndex, Position);
    TStemByClef rule;
    for (const TKVNote* note : notes) rule.Take(note->Line() - offset);
    down = rule.StemDown();
  }
  for (TKVItem* item : Items())
    if (TKVMark* tuplet = TupletAt(item, Key.VoiceNumber, Position))
      tuplet->SetFlags(uint8_t(down ? tuplet->Flags() | 0x10 : tuplet->Flags() & ~0x10));
  if (!crossStaff)
    for (TKVNote* note : notes) note->SetFlag(NoteFlag::StemDown, down);
  // A chord's head sides depend only on its notes' lines and stems, and each
  // arrangement sets them all again: only the last one asked for each chord
  // voice counts.
  for (size_t i = 0; i < notes.size(); ++i) {
    const auto later = std::find_if(notes.begin() + std::ptrdiff_t(i) + 1, notes.end(), [&](const TKVNote* note) {
      return SameChordVoice(note->VoiceKey(), notes[i]->VoiceKey());
    });
    if (later == notes.end())
      ArrangeChordHeads(notes[i]->VoiceKey(), Position, !notes[i]->Flag(NoteFlag::BeamFromPrevious));
  }
}

int32_t TKVMeasure::GetClefOffsetAt(int32_t StaffIndex, int32_t Position) const {
  const TKVMeasureRecord* record = GetLayoutRecord();
  if (!record || FPart->Index() < 0 || size_t(FPart->Index()) >= record->PartRecords.size()) return 0;
  const TKVPartLayoutRecord* part = record->PartRecords[size_t(FPart->Index())].get();
  if (!part || StaffIndex < 0 || size_t(StaffIndex) >= part->StaffRecords.size() || !part->StaffRecords[size_t(StaffIndex)])
    return 0;
  const std::vector<TKVDisplayItem*>& clefs = part->StaffRecords[size_t(StaffIndex)]->ClefList;
  for (size_t i = clefs.size(); i-- > 0;) {
    const auto* clef = clefs[i] ? ItemCast<const TKVMark>(clefs[i]->Item) : nullptr;
    if (!clef) continue;
    const TKVMeasure* home = clef->GetMeasure();
    const bool earlier = home && home->Index() < record->ColumnIndex;
    if (i == 0 || earlier || clef->Position() <= Position) return ClefLineOffset(clef->Variant());
  }
  return 0;
}
