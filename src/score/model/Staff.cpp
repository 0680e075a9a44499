#include "score/model/Staff.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "score/model/Part.h"
#include "score/model/Persistent.h"
#include "score/model/TreeEvents.h"
#include "score/model/Voice.h"

TKVStaff::TKVStaff(TKVPart* Part) : FPart(Part) {
  if (!FPart) throw Exception("Is not owner of the Line");
  // The defaults are in place before the staff is announced, so that a
  // handler sees a complete staff.
  FData.setU8(StaffBlock::LineCount, 5);
  FData.setU8(StaffBlock::Range, 24);
  FData.setU16(StaffBlock::PartIndex, uint16_t(FPart->Index()));
  FData.setU8(StaffBlock::Size100, 100);
  FData.setU8(StaffBlock::OldFileFlag, 1);
  FData.setU8(StaffBlock::CurrentVoice, 255);
  FPart->AddStaff(this, -1);
}

TKVStaff::~TKVStaff() {
  ClearVoices();
  FPart->RemoveStaff(this);
}

TKVScore* TKVStaff::Score() const { return FPart->Score(); }

// Only the staff's own voices take their place here as Index: a guest keeps
// the index of its own staff, which its notes on that staff refer to.
void TKVStaff::RenumberVoices() {
  for (int32_t i = 0; i < FVoices.Count(); ++i)
    if (TKVVoice* voice = FVoices.Get(i); voice->Staff() == this) voice->SetIndex(i);
}

void TKVStaff::AddVoice(TKVVoice* Voice, int32_t Index) {
  if (FRegistrationSwitch) return;
  FVoices.Insert(Index, Voice);
  RenumberVoices();
  FPart->RenumberVoices(false);
  NotifyAddItem(Score(), Voice, Voice->Staff() == this ? nullptr : this);
}

TKVVoice* TKVStaff::NewVoice() { return new TKVVoice(this); }

void TKVStaff::RemoveVoice(TKVVoice* Voice) {
  bool own = Voice->Staff() == this;
  NotifyDeleteItem(Score(), Voice, own ? nullptr : this);
  FVoices.Remove(Voice);
  RenumberVoices();
  // Whatever the part's renumbering switch, a freed voice must leave its
  // voice list.
  if (own) FPart->ForgetVoice(Voice);
  FPart->RenumberVoices(false);
}

// A guest only leaves this list. An own voice is freed: its destructor takes
// it out of this staff and out of its second staff.
void TKVStaff::ClearVoices() {
  while (TKVVoice* voice = FVoices.Last()) {
    if (voice->Staff() != this) {
      RemoveVoice(voice);
      voice->SetSecondStaff(nullptr);
    } else {
      delete voice;
    }
    FVoices.Remove(voice);
  }
}

void TKVStaff::Assign(const TObject& Source) {
  const auto* source = dynamic_cast<const TKVStaff*>(&Source);
  if (!source) RaiseAssignError(Source, *this);
  if (source == this) return;
  ClearVoices();
  CopyBlockBytes(FData, source->FData);
  FLineArray = source->FLineArray;
  for (TKVVoice* voice : source->FVoices.Items()) {
    if (voice->Staff() != source) continue;
    TKVVoice* copy = NewVoice();
    copy->Assign(*voice);
    if (TKVStaff* second = voice->SecondStaff()) {
      copy->SetSecondStaffRef(uint16_t(second->Index() + 1));
      copy->SetSecondPosition(uint16_t(voice->GetIndex(second)));
    }
  }
  NotifyItemChanged(Score(), this, nullptr);
}
