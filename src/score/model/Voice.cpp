#include "score/model/Voice.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "score/model/Persistent.h"
#include "score/model/Staff.h"
#include "score/model/TreeEvents.h"

TKVVoice::TKVVoice(TKVStaff* Staff) : FStaff(Staff) {
  if (!FStaff) throw Exception("Is not owner of the Voice");
  FData.setU8(VoiceBlock::Program, 255);
  FData.setU8(VoiceBlock::Volume, 255);
  FData.setU8(VoiceBlock::Pan, 255);
  FData.setU8(VoiceBlock::Visible, 1);
  FStaff->AddVoice(this, -1);
}

TKVVoice::~TKVVoice() {
  FStaff->RemoveVoice(this);
  if (FSecondStaff) FSecondStaff->RemoveVoice(this);
}

TKVScore* TKVVoice::Score() const { return FStaff->Score(); }

int32_t TKVVoice::GetIndex(const TKVStaff* Staff) const { return Staff ? Staff->Voices().IndexOf(this) : FIndex; }

void TKVVoice::Assign(const TObject& Source) {
  const auto* source = dynamic_cast<const TKVVoice*>(&Source);
  if (!source) RaiseAssignError(Source, *this);
  if (source != this) CopyBlockBytes(FData, source->FData);
  NotifyItemChanged(Score(), this, nullptr);
}
