#include "score/model/Part.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "score/model/ItemFactory.h"
#include "score/model/Measure.h"
#include "score/model/Persistent.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ScoreView.h"
#include "score/model/Staff.h"
#include "score/model/TreeEvents.h"
#include "score/model/Voice.h"

TKVPart::TKVPart(TKVPiece* Piece) : FPiece(Piece) {
  if (!FPiece) throw Exception("Is not owner of the Piece");
  FData.setU8(PartBlock::Volume, 255);
  FData.setU8(PartBlock::Pan, 255);
  FPiece->AddPart(this, -1);
}

TKVPart::~TKVPart() {
  FStaffs.FreeAll();
  FMeasures.FreeAll();
  FreeItems();
  FPiece->RemovePart(this);
}

TKVScore* TKVPart::Score() const { return FPiece->Score(); }

void TKVPart::Changed() {
  TKVScore* score = Score();
  NotifyItemChanged(score, this, nullptr);
  if (score && score->OnChanged) score->OnChanged(this);
}

void TKVPart::SetName(const std::string& Value) {
  if (Value == FName) return;
  FName = Value;
  Changed();
}

// A stored byte above 127 (from a file) would not be a MIDI data byte: it is
// sent as 127.
void TKVPart::SetVolume(uint8_t Value) {
  if (Value == Volume()) return;
  FData.setU8(PartBlock::Volume, Value);
  Changed();
  SendController(7, Value == 255 ? 127 : std::min<uint8_t>(Value, 127));
}

void TKVPart::SetPan(uint8_t Value) {
  if (Value == Pan()) return;
  FData.setU8(PartBlock::Pan, Value);
  Changed();
  SendController(10, Value == 255 ? 63 : std::min<uint8_t>(Value, 127));
}

void TKVPart::SendController(uint8_t Controller, uint8_t Value) {
  TKVScore* score = Score();
  TKVScoreView* view = score ? score->GetActiveWindow() : nullptr;
  if (!view || !view->OnPlayShort || !view->Playing()) return;
  view->OnPlayShort(this, uint8_t(0xB0 | (Channel() & 15)), Controller, Value, 0, true);
}

void TKVPart::AddStaff(TKVStaff* Staff, int32_t Index) {
  if (RegistrationSwitch()) return;
  FStaffs.Insert(Index, Staff);
  RenumberStaffs();
  NotifyAddItem(Score(), Staff, nullptr);
}

void TKVPart::RemoveStaff(TKVStaff* Staff) {
  NotifyDeleteItem(Score(), Staff, nullptr);
  FStaffs.Remove(Staff);
  RenumberStaffs();
}

void TKVPart::RenumberStaffs() {
  for (int32_t i = FStaffs.Count() - 1; i >= 0; --i) {
    TKVStaff* staff = FStaffs.Get(i);
    if (staff->Index() == i) continue;
    staff->SetIndex(i);
    NotifyItemChanged(Score(), staff, nullptr);
  }
}

TKVStaff* TKVPart::NewStaff() {
  auto* staff = new TKVStaff(this);
  FPiece->Reformat();
  if (TKVScore* score = Score()) score->InvalidateViews();
  return staff;
}

void TKVPart::AddMeasure(TKVMeasure* Measure) {
  if (RegistrationSwitch()) return;
  FMeasures.Append(Measure);
  Measure->SetIndex(FMeasures.Count() - 1);
}

void TKVPart::RemoveMeasure(TKVMeasure* Measure) { FMeasures.RemoveNumbered(Measure); }

TKVMeasure* TKVPart::NewMeasure() { return new TKVMeasure(this); }

void TKVPart::RenumberVoices(bool Notify) {
  if (FVoiceRenumberingSwitch) return;
  FVoiceList.clear();
  TKVScore* score = Score();
  int32_t number = 0;
  for (TKVStaff* staff : FStaffs) {
    for (TKVVoice* voice : staff->Voices()) {
      if (voice->Staff() != staff) continue;  // a guest here
      bool changed = voice->Number() != number;
      voice->SetNumber(number);
      if (changed || Notify) {
        NotifyItemChanged(score, voice, nullptr);
        if (TKVStaff* second = voice->SecondStaff()) NotifyItemChanged(score, voice, second);
      }
      FVoiceList.push_back(voice);
      ++number;
    }
  }
}

void TKVPart::ForgetVoice(const TKVVoice* Voice) { std::erase(FVoiceList, Voice); }

// Listing a voice renumbers and rebuilds VoiceList, so the walk goes over a
// copy. A reference past the staves (from a damaged file) or to the voice's
// own staff would leave a voice without a second staff, or listed twice in
// one staff: such a reference is dropped.
void TKVPart::ResolveSecondStaffs() {
  std::vector<TKVVoice*> voices = FVoiceList;
  for (TKVVoice* voice : voices) {
    uint16_t ref = voice->SecondStaffRef();
    if (ref == 0) continue;
    voice->SetSecondStaffRef(0);
    TKVStaff* second = GetStaff(int32_t(ref) - 1);
    if (!second || second == voice->Staff() || voice->SecondStaff()) continue;
    voice->SetSecondStaff(second);
    second->AddVoice(voice, voice->SecondPosition());
  }
}

int32_t TKVPart::GetTranspose() const {
  int32_t sum = 0;
  for (const TKVTransposition& entry : FTranspositions) sum += entry.Semitones;
  return sum;
}

void TKVPart::Assign(const TObject& Source) {
  const auto* source = dynamic_cast<const TKVPart*>(&Source);
  if (!source) RaiseAssignError(Source, *this);
  if (source == this) return;
  FStaffs.FreeAll();
  FMeasures.FreeAll();
  CopyBlockBytes(FData, source->FData);
  FName = source->FName;
  FSecondName = source->FSecondName;
  FWordLists = source->FWordLists;
  FByteListA = source->FByteListA;
  FTranspositions = source->FTranspositions;
  FByteListB = source->FByteListB;
  for (TKVStaff* staff : source->FStaffs.Items()) NewStaff()->Assign(*staff);
  ResolveSecondStaffs();
  for (TKVMeasure* measure : source->FMeasures.Items()) NewMeasure()->Assign(*measure);
  CloneItems(source->Items(), this);
  NotifyItemChanged(Score(), this, nullptr);
}
