#include "score/model/NotationSupport.h"

#include <array>
#include <cstdlib>

#include "score/model/ItemKinds.h"
#include "score/model/LayoutRecords.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/ScoreRoutines.h"

int32_t ClefLineOffset(int32_t ClefCode) {
  static constexpr std::array<int32_t, 19> offsets = {0,  0,  -12, -6, 7, -7, -19, -10, -8, -2,
                                                      -4, -10, 0,  0,  0, 0,  15,  -15, -27};
  // A code from a damaged file must not index past the table.
  return ClefCode >= 0 && ClefCode < int32_t(offsets.size()) ? offsets[size_t(ClefCode)] : 0;
}

TKVMeasureMeter GetMeasureMeter(const TKVMeasure& Measure) {
  TKVMeasureMeter meter;
  const TKVMeasureRecord* record = Measure.GetLayoutRecord();
  if (!record) return meter;
  meter.HasRecord = true;
  meter.Own = record->ColumnIndex == Measure.Index();
  meter.Meter = meter.Own ? record->Meter : record->MarkMeter;
  meter.Length = meter.Own ? record->Length : record->MarkLength;
  return meter;
}

TKVNote* AsNote(TKVItem* Item) {
  return Item && Item->Kind() == ItemKind::Note ? static_cast<TKVNote*>(Item) : nullptr;
}

TKVNote* NoteOfVoice(TKVItem* Item, int32_t VoiceNumber) {
  TKVNote* note = AsNote(Item);
  return note && note->VoiceKey().VoiceNumber == VoiceNumber ? note : nullptr;
}

TKVMark* TupletAt(TKVItem* Item, int32_t VoiceNumber, int32_t Position) {
  if (!Item || Item->Kind() != ItemKind::Tuplet) return nullptr;
  auto* tuplet = static_cast<TKVMark*>(Item);
  // It spans its unit times the normal count of its note count.
  const bool covers = tuplet->Position() <= Position &&
                      tuplet->Position() + TupletScale(tuplet->Variant(), tuplet->Value()) > Position;
  return covers && tuplet->VoiceKey().VoiceNumber == VoiceNumber ? tuplet : nullptr;
}

TKVVoice* PartVoice(const TKVMeasure& Measure, int32_t Number) {
  const auto& voices = Measure.Part()->VoiceList();
  return Number >= 0 && Number < int32_t(voices.size()) ? voices[size_t(Number)] : nullptr;
}

void THeadSideWalk::Take(TKVNote* Note) {
  // The first note, and a note a third or more from the previous one, stands
  // on the normal side and ends any pair.
  if (!FPrevious || std::abs(FPrevious->Line() - Note->Line()) >= 2) {
    Note->SetFlag(NoteFlag::OtherSide, false);
    FPairOpen = false;
  } else {
    const bool up = !Note->StemDown();
    FPrevious->SetFlag(NoteFlag::OtherSide, FPairOpen == up);
    Note->SetFlag(NoteFlag::OtherSide, FPairOpen != up);
    FPairOpen = !FPairOpen;
  }
  FPrevious = Note;
}
