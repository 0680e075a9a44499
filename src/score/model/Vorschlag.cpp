#include "score/model/Vorschlag.h"

#include <algorithm>
#include <vector>

#include "score/model/ItemFactory.h"
#include "score/model/ItemKinds.h"
#include "score/model/Measure.h"
#include "score/model/NotationSupport.h"
#include "score/model/Note.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

TKVVorschlag::TKVVorschlag(TObject* Owner) : TKVVoicedItem(Owner, ItemKind::GraceGroup, VorschlagBlock::Size) {}

TKVVorschlag::~TKVVorschlag() { FreeItems(); }

void TKVVorschlag::Assign(const TKVItem& Source) {
  const auto& source = SourceAs<TKVVorschlag>(Source, *this);
  if (&source == this) return;
  CopyBlock(source);
  CloneItems(source.Items(), this);
}

namespace {

TKVNote* GraceNote(TKVItem* item, const TKVVoiceKey& key) {
  TKVNote* note = NoteOfVoice(item, key.VoiceNumber);
  return note && note->VoiceKey().PartIndex == key.PartIndex ? note : nullptr;
}

}  // namespace

void TKVVorschlag::ArrangeStems(uint8_t Group, const TKVVoiceKey& Key, uint16_t Position) {
  TKVMeasure* measure = GetMeasure();
  if (!measure) return;
  std::vector<TKVNote*> notes;
  for (TKVItem* item : Items())
    if (TKVNote* note = GraceNote(item, Key); note && (Group ? note->BeamGroup == Group : note->Position() == Position))
      notes.push_back(note);
  const TKVVoice* voice = PartVoice(*measure, Key.VoiceNumber);
  if (voice && voice->SecondStaff()) {
    const int32_t lower = std::max(voice->Staff()->Index(), voice->SecondStaff()->Index());
    for (TKVNote* note : notes) note->SetFlag(NoteFlag::StemDown, ItemStaff(note->StaffVoice()) != lower);
  } else {
    const int32_t offset = measure->GetClefOffsetAt(Key.StaffIndex, Position);
    TStemByClef rule;
    for (const TKVNote* note : notes) rule.Take(note->Line() - offset);
    for (TKVNote* note : notes) {
      const uint8_t staffVoice = note->StaffVoice();
      const bool several = measure->StaffHasVoices(ItemStaff(staffVoice));
      note->SetFlag(NoteFlag::StemDown, several ? ItemVoice(staffVoice) > 0 : rule.StemDown());
    }
  }
  for (TKVNote* note : notes) ArrangeHeads(Key, note->Position());
}

void TKVVorschlag::ArrangeHeads(const TKVVoiceKey& Key, uint16_t Position) {
  THeadSideWalk walk;
  for (TKVItem* item : Items()) {
    TKVNote* note = GraceNote(item, Key);
    if (!note || note->Position() != Position) continue;
    if (note->Flag(NoteFlag::Chord))
      walk.Take(note);
    else if (walk.PairOpen())
      break;
  }
}
