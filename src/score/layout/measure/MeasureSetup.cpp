#include "score/layout/measure/MeasureSetup.h"

#include <algorithm>

#include "score/layout/ItemFields.h"
#include "score/layout/LayoutServices.h"
#include "score/model/Column.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Part.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "score/model/ScoreRoutines.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

uint16_t MeasureLengthOfMeter(uint16_t Meter) {
  const uint32_t numerator = Meter >> 8, denominator = Meter & 0xFF;
  if (numerator == 0 || denominator == 0) return 0;
  return uint16_t(std::min<uint32_t>((numerator << 9) / denominator, 65535));
}

namespace {

bool SeveralStavesShown(TKVFormatContext& Ctx) {
  if (Ctx.Score.ViewStyle() == vsPart) {
    TKVPart* active = Ctx.Score.GetActivePart();
    return active && active->GetStaffCount() > 1;
  }
  TKVPart* first = Ctx.Piece.GetPart(0);
  return Ctx.Piece.GetPartCount() > 1 || (first && first->GetStaffCount() > 1);
}

// Grows the part records to one per part of the piece.
void GrowPartRecords(TKVMeasureRecord& Record, int32_t Count) {
  while (Record.PartRecords.size() < size_t(Count)) {
    auto part = std::make_unique<TKVPartLayoutRecord>();
    part->Owner = &Record;
    Record.PartRecords.push_back(std::move(part));
  }
}

// Sets up part record R for Part; Previous is the same part's record of the
// measure before, or nil to start afresh.
void SetUpPartRecord(TKVPartLayoutRecord& R, TKVPart& Part, const TKVPartLayoutRecord* Previous) {
  R.Part = &Part;
  R.FirstFlag = 0;
  R.SecondFlag = 0;
  R.CarriedItems = Previous ? Previous->CarriedItems : std::vector<TKVItem*>{};
  R.CarriedItem = Previous ? Previous->CarriedItem : nullptr;
  R.CurrentItems.clear();
  if (R.CarriedItem) R.CurrentItems.push_back(R.CarriedItem);
  while (R.StaffRecords.size() < size_t(Part.GetStaffCount()))
    R.StaffRecords.push_back(std::make_unique<TKVStaffLayoutRecord>());
  for (size_t j = 0; j < R.StaffRecords.size(); ++j) {
    TKVStaffLayoutRecord& staff = *R.StaffRecords[j];
    const bool carried = Previous && j < Previous->StaffRecords.size();
    staff.CarriedClef = carried ? Previous->StaffRecords[j]->CarriedClef : nullptr;
    staff.FirstFlag = staff.SecondFlag = staff.LyricFlag = 0;
    staff.ClefList.clear();
    if (staff.CarriedClef) staff.ClefList.push_back(staff.CarriedClef);
  }
  while (R.VoiceSlots.size() < Part.VoiceList().size()) R.VoiceSlots.push_back(std::make_unique<TKVVoiceLayoutSlot>());
  for (auto& slot : R.VoiceSlots) slot->Value = 0;
}

void SetUpFirstMeasure(TKVFormatContext& Ctx, TKVMeasureRecord& R) {
  R.StartTick = 0;
  TKVColumn* column = Ctx.Piece.GetColumn(0);
  if (MeasureLengthOfMeter(Ctx.Piece.Meter()) != 0)
    R.Meter = Ctx.Piece.Meter();
  else if (column && MeasureLengthOfMeter(column->Meter()) != 0)
    R.Meter = column->Meter();
  else
    R.Meter = 0;
  R.Length = MeasureLengthOfMeter(R.Meter);
  R.MarkMeter = R.Meter ? 0x0404 : 0;
  R.MarkLength = R.Meter ? 512 : 0;
  GetColumnEnd(Ctx.Piece, R);
  R.CoveredMeasures = 0;
  R.NumberDisplay = nullptr;
  R.MeasureNumber = 1;
  R.RehearsalNumber = 0;
  R.CarriedMark = nullptr;
  R.ContinuingDisplays.clear();
  R.EquationMarks.clear();
  // A piece tempo of 0 would divide by zero: it counts as the default 60.
  const uint16_t tempo = Ctx.Piece.Tempo();
  R.Tempo = int16_t(tempo == 0 ? 60 : std::min<uint16_t>(tempo, 32767));
  R.MsPerTick = double(6000000.0L / R.Tempo / 128.0L / 100.0L);
  for (int32_t i = 0; i < Ctx.Piece.GetPartCount(); ++i)
    SetUpPartRecord(*R.PartRecords[size_t(i)], *Ctx.Piece.GetPart(i), nullptr);
}

// Display items of P that continue into R.
void CarryContinuingDisplays(const TKVMeasureRecord& P, TKVMeasureRecord& R, int32_t N) {
  R.ContinuingDisplays.clear();
  for (TKVDisplayItem* display : P.ContinuingDisplays) {
    const uint8_t kind = display->Item ? display->Item->Kind() : 0;
    const bool stays = kind == ItemKind::Volta || kind == ItemKind::MeasureRepeat
                           ? display->Owner->ColumnIndex + display->Param >= N
                           : display->Owner->StartTick + display->Param >= R.StartTick && R.Length > 1;
    if (stays) R.ContinuingDisplays.push_back(display);
  }
}

void SetUpLaterMeasure(TKVFormatContext& Ctx, TKVMeasureRecord& R, const TKVMeasureRecord& P) {
  const int32_t n = Ctx.ColumnIndex;
  R.StartTick = P.StartTick + P.Length;
  TKVColumn* column = Ctx.Piece.GetColumn(n);
  if (column && MeasureLengthOfMeter(column->Meter()) != 0) {
    R.Meter = column->Meter();
    R.Length = MeasureLengthOfMeter(R.Meter);
  } else {
    R.Meter = P.MarkMeter;
    R.Length = P.MarkLength;
  }
  R.MarkMeter = P.MarkMeter;
  R.MarkLength = P.MarkLength;
  GetColumnEnd(Ctx.Piece, R);
  R.CoveredMeasures = P.CoveredMeasures > 0 ? P.CoveredMeasures - 1 : 0;
  R.NumberDisplay = P.NumberDisplay;
  R.MeasureNumber = uint16_t(P.MeasureNumber + 1 + P.ExtraMeasures);
  R.EquationMarks.clear();
  // A tempo equation carries on while its last one has a beat.
  if (!P.EquationMarks.empty()) {
    auto* last = ItemCast<TKVMark>(P.EquationMarks.back());
    if (last && last->Variant() != 0) R.EquationMarks.push_back(last);
  }
  R.RehearsalNumber = P.RehearsalNumber;
  R.CarriedMark = P.CarriedMark;
  R.MsPerTick = P.MsPerTick;
  R.Tempo = P.Tempo;
  for (int32_t i = 0; i < Ctx.Piece.GetPartCount(); ++i) {
    TKVPart& part = *Ctx.Piece.GetPart(i);
    const TKVPartLayoutRecord* q = size_t(i) < P.PartRecords.size() ? P.PartRecords[size_t(i)].get() : nullptr;
    // A record made for another part (parts added or removed) is not carried.
    SetUpPartRecord(*R.PartRecords[size_t(i)], part, q && q->Part == &part ? q : nullptr);
  }
  CarryContinuingDisplays(P, R, n);
  for (TKVDisplayItem* display : P.ExtendingItems) {
    if (!display->Item) continue;
    const uint32_t end = display->Owner->StartTick + ItemEnd(display->Item);
    // A tie that ends at the bar line still reaches the note it ties to.
    const bool tie = display->Item->Kind() == ItemKind::Slur;
    if (end > R.StartTick || (tie && end == R.StartTick)) R.ExtendingItems.push_back(display);
  }
}

}  // namespace

std::vector<TKVPart*> PartsLaidOut(TKVFormatContext& Ctx) {
  std::vector<TKVPart*> parts;
  if (Ctx.Score.ViewStyle() == vsPart) {
    TKVPart* active = Ctx.Score.GetActivePart();
    if (active && active->Piece() == &Ctx.Piece) parts.push_back(active);
  } else {
    for (int32_t i = 0; i < Ctx.Piece.GetPartCount(); ++i) parts.push_back(Ctx.Piece.GetPart(i));
  }
  return parts;
}

void CollectStaves(TKVFormatContext& Ctx) {
  Ctx.Staves.clear();
  Ctx.Piece.LayoutVoices.clear();
  for (TKVPart* part : PartsLaidOut(Ctx)) {
    for (int32_t s = 0; s < part->GetStaffCount(); ++s) {
      TKVStaff* staff = part->GetStaff(s);
      staff->LayoutIndex = int32_t(Ctx.Staves.size());
      Ctx.Staves.push_back(staff);
      for (int32_t v = 0; v < staff->GetVoiceCount(); ++v)
        if (TKVVoice* voice = staff->GetVoice(v); voice->Staff() == staff) Ctx.Piece.LayoutVoices.push_back(voice);
    }
  }
}

TKVMeasureRecord& GetMeasureRecord(TKVFormatContext& Ctx) {
  auto& records = Ctx.Piece.Layout().MeasureRecords;
  while (records.size() <= size_t(Ctx.ColumnIndex)) records.push_back(std::make_unique<TKVMeasureRecord>());
  return *records[size_t(Ctx.ColumnIndex)];
}

void CalcMeasureLengths(TKVFormatContext& Ctx) {
  TKVMeasureRecord& R = GetMeasureRecord(Ctx);
  Ctx.Record = &R;
  const int32_t n = Ctx.ColumnIndex;
  R.ColumnIndex = uint16_t(n);
  GrowPartRecords(R, Ctx.Piece.GetPartCount());
  RemoveEarlierEntries(Ctx);
  R.DisplayCount = 0;
  R.NumberShown = 0;
  R.Flags = SeveralStavesShown(Ctx) ? 4 : 0;
  R.ExtendingItems.clear();
  R.TextDisplays.clear();
  R.OwnTextDisplays.clear();
  if (n < 1)
    SetUpFirstMeasure(Ctx, R);
  else
    SetUpLaterMeasure(Ctx, R, *Ctx.Piece.Layout().MeasureRecords[size_t(n - 1)]);
  // Common tail.
  if (R.Length > R.TickCapacity || R.TickTable.empty()) {
    R.TickCapacity = std::max(R.TickCapacity, R.Length);
    R.TickTable.resize(size_t(R.TickCapacity) + 1);
  }
  std::fill(R.TickTable.begin(), R.TickTable.end(), 0);
  R.RehearsalMark = nullptr;
  R.Volta = nullptr;
  R.Positioned = 0;
  R.Coda = nullptr;
  R.MeterMark = nullptr;
  R.Spaced = 0;
  R.PlayMarks.clear();
  R.SoundingNotes.clear();
  R.LyricDisplays.clear();
  R.Covered = R.CoveredMeasures > 0 ? 1 : 0;
  R.Extents.fill(0);
  R.Positions.clear();
  R.DynamicCount = 0;
  R.TempoSegments.clear();
  R.ExtraMeasures = 0;
  R.Duration = 0;
  Ctx.Timing.Begin(R);
}

void GetColumnEnd(TKVPiece& Piece, TKVMeasureRecord& Record) {
  if (Record.Meter != 0) return;
  int32_t end = 0;
  for (int32_t p = 0; p < Piece.GetPartCount(); ++p) {
    TKVMeasure* measure = Piece.GetPart(p)->GetMeasure(Record.ColumnIndex);
    if (!measure) continue;
    for (TKVItem* item : measure->Items().Items()) {
      switch (item->Kind()) {
        case ItemKind::Note:
        case ItemKind::Rest:
        case ItemKind::BeatRepeat:
          end = std::max<int32_t>(end, ItemEnd(item));
          break;
        case ItemKind::Tuplet: {
          auto* tuplet = static_cast<TKVMark*>(item);
          end = std::max<int32_t>(end, tuplet->Position() + tuplet->Value() * TupletNormalCount(tuplet->Variant()));
          break;
        }
        default:
          break;
      }
    }
  }
  Record.Length = uint16_t(std::clamp(end, 1, 65535));
}
