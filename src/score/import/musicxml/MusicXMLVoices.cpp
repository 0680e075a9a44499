#include "score/import/musicxml/MusicXMLVoices.h"

#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/ScoreRoutines.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

// Keeps the part from renumbering its voices while they still carry their
// MusicXML numbers; cleared again on every way out.
class TRenumberingPause {
public:
  explicit TRenumberingPause(TKVPart& part) : FPart(part) { part.SetVoiceRenumberingSwitch(1); }
  ~TRenumberingPause() { FPart.SetVoiceRenumberingSwitch(0); }
  TRenumberingPause(const TRenumberingPause&) = delete;
  TRenumberingPause& operator=(const TRenumberingPause&) = delete;

private:
  TKVPart& FPart;
};

// The voice of the number that Staff holds, else the first one of the part.
TKVVoice* FindVoiceNumber(const TKVPart& part, int32_t number, const TKVStaff* staff) {
  for (TKVVoice* voice : staff->Voices())
    if (voice->Number() == number) return voice;
  for (int32_t s = 0; s < part.GetStaffCount(); ++s)
    for (TKVVoice* voice : part.GetStaff(s)->Voices())
      if (voice->Number() == number) return voice;
  return nullptr;
}

}  // namespace

TKVXMLVoice MapXMLVoice(TKVPart& Part, uint8_t Code) {
  TRenumberingPause pause(Part);
  const int32_t staffIndex = Code >> 4, number = Code & 15;
  while (Part.GetStaffCount() <= staffIndex) Part.NewStaff();
  TKVStaff* staff = Part.GetStaff(staffIndex);
  TKVXMLVoice result;
  result.Staff = staff;
  TKVVoice* voice = FindVoiceNumber(Part, number, staff);
  // A voice that already crosses to another staff cannot cross to a third
  // one (it would have no place in that staff's voices): that staff gets a
  // voice of the number of its own.
  if (voice && voice->Staff() != staff && voice->SecondStaff() && voice->SecondStaff() != staff) voice = nullptr;
  if (voice) {
    if (voice->Staff() != staff && !voice->SecondStaff()) {
      voice->SetSecondStaff(staff);
      staff->AddVoice(voice, -1);
    }
    result.Voice = voice;
    result.VoiceByte = uint8_t(staff->Index() << 4 | (voice->GetIndex(staff) & 15));
  } else {
    TKVVoice* made = staff->NewVoice();
    made->SetNumber(number);
    result.Voice = made;
    result.VoiceByte = uint8_t(staff->Index() << 4 | (made->Index() & 15));
  }
  return result;
}

TKVMark* FindXMLTuplet(const TKVMeasure& Measure, uint8_t VoiceByte, int32_t Tick) {
  for (TKVItem* item : Measure.Items()) {
    auto* tuplet = item->Kind() == ItemKind::Tuplet ? ItemCast<TKVMark>(item) : nullptr;
    if (!tuplet || tuplet->StaffVoice() != VoiceByte) continue;
    int32_t start = tuplet->Position();
    if (Tick >= start && Tick < start + TupletScale(tuplet->Variant(), tuplet->Value())) return tuplet;
  }
  return nullptr;
}
