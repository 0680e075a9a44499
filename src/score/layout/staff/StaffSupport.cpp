#include "score/layout/staff/StaffSupport.h"

#include <algorithm>
#include <cmath>

#include "base/Strings.h"
#include "score/layout/ItemFields.h"
#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/Staff.h"

const std::array<int32_t, 16> ClefLineOffsets = {0, 0, -12, -6, 7, -7, -19, -10, -8, -2, -4, -10, 0, 0, 0, 0};

namespace {

TKVPartLayoutRecord* CurrentPartRecord(const TKVFormatContext& Ctx) {
  if (!Ctx.Record || !Ctx.Part) return nullptr;
  const auto& parts = Ctx.Record->PartRecords;
  const size_t i = size_t(Ctx.Part->Index());
  return i < parts.size() ? parts[i].get() : nullptr;
}

int32_t MeasureIndexOf(const TKVItem* Item) {
  TKVMeasure* measure = Item ? Item->GetMeasure() : nullptr;
  return measure ? measure->Index() : -1;
}

}  // namespace

int32_t GetClefOffset(TKVFormatContext& Ctx, uint16_t Tick) {
  TKVPartLayoutRecord* part = CurrentPartRecord(Ctx);
  if (!part || !Ctx.Staff || size_t(Ctx.Staff->Index()) >= part->StaffRecords.size()) return 0;
  const auto& clefs = part->StaffRecords[size_t(Ctx.Staff->Index())]->ClefList;
  for (size_t i = clefs.size(); i > 0; --i) {
    auto* mark = ItemCast<const TKVMark>(clefs[i - 1] ? clefs[i - 1]->Item : nullptr);
    if (!mark) continue;
    const uint16_t tick = i == 1 ? 0 : mark->Position();
    if (tick > Tick && MeasureIndexOf(mark) >= Ctx.ColumnIndex) continue;
    const uint8_t type = mark->Variant();
    Ctx.PercussionClef = type == 14 || type == 15;
    return type < ClefLineOffsets.size() ? ClefLineOffsets[type] : 0;
  }
  return 0;
}

TKVDisplayItem* FindNoteDisplayItem(TKVFormatContext& Ctx, const TKVPart* Part, uint8_t VoiceByte, uint16_t Tick,
                                    bool AlsoRests, uint8_t SideBit) {
  TKVMeasureRecord& record = *Ctx.Record;
  TKVDisplayItem* result = nullptr;
  for (int32_t i = 0; TKVDisplayItem* display = record.GetDisplay(i); ++i) {
    if (display->RecordType != DisplayRecordType::Item || !display->Item) continue;
    TKVItem* item = display->Item;
    if (item->Kind() == ItemKind::Note) {
      auto* note = static_cast<TKVNote*>(item);
      if (note->StaffVoice() != VoiceByte || (result && ItemPart(note) != Part)) continue;
      if (result) {
        if ((note->Flags() & 4) == SideBit || note->Position() != Tick) break;
        result = display;
      } else if (ItemPart(note) == Part && note->Position() == Tick) {
        result = display;
      }
    } else if (!result && AlsoRests && item->Kind() == ItemKind::Rest) {
      auto* rest = static_cast<TKVPause*>(item);
      if (ItemPart(rest) == Part && (rest->StaffVoice() >> 4) == (VoiceByte >> 4) && rest->Position() == Tick)
        return display;
    }
  }
  return result;
}

TKVPoint RotatePoint(const TKVFormatContext& Ctx, TKVPoint P) {
  const long double c = Ctx.RotationCos, s = Ctx.RotationSin;
  return {int32_t(Round(double(P.X * c + P.Y * s))), int32_t(Round(double(-P.X * s + P.Y * c)))};
}

void ApplyKeySignature(TKVFormatContext& Ctx, const TKVMark& KeyMark) {
  auto& table = Ctx.KeyAccidentals;
  const uint8_t key = KeyMark.Variant();
  static constexpr int32_t sharpOrder[7] = {3, 0, 4, 1, 5, 2, 6};  // F C G D A E B
  static constexpr int32_t flatOrder[7] = {6, 2, 5, 1, 4, 0, 3};   // B E A D G C F
  if (key == 20) {
    for (int i = 0; i < 7; ++i) {
      const uint16_t entry = KeyMark.ExtraWord(i);
      const int32_t step = (entry >> 8) & 0x0F, code = entry & 0xFF;
      if (step > 6) continue;  // no such degree
      if (code == 1 || code == 102 || code == 104 || code == 134 || code == 136 || code == 138) table[size_t(step)] = -1;
      else if (code == 2) table[size_t(step)] = -2;
      else if (code == 3 || code == 103 || code == 105 || code == 135 || code == 137 || code == 139) table[size_t(step)] = 1;
      else if (code == 4) table[size_t(step)] = 2;
      else if (code == 8) table[size_t(step)] = 0;
    }
  } else if (key < 10) {
    for (int i = 0; i < std::min<int>(key, 7); ++i) table[size_t(sharpOrder[i])] = 1;
  } else {
    for (int i = 0; i < std::min<int>(key - 10, 7); ++i) table[size_t(flatOrder[i])] = -1;
  }
  for (size_t line = 7; line < table.size(); ++line) table[line] = table[line % 7];
}

void InitKeyAccidentals(TKVFormatContext& Ctx) {
  Ctx.KeyAccidentals.fill(0);
  TKVPartLayoutRecord* part = CurrentPartRecord(Ctx);
  if (!part) return;
  for (size_t i = part->CurrentItems.size(); i > 0; --i) {
    auto* mark = ItemCast<const TKVMark>(part->CurrentItems[i - 1] ? part->CurrentItems[i - 1]->Item : nullptr);
    if (!mark) continue;
    if (MeasureIndexOf(mark) < Ctx.ColumnIndex || mark->Position() == 0) {
      ApplyKeySignature(Ctx, *mark);
      return;
    }
  }
}

int16_t KeyAccidental(const TKVFormatContext& Ctx, int32_t Line) {
  const auto& table = Ctx.KeyAccidentals;
  if (Line >= 0 && size_t(Line) < table.size()) return table[size_t(Line)];
  return table[size_t(((Line % 7) + 7) % 7)];
}

int32_t GetMaxNoteOverhang(const TKVFormatContext& Ctx, uint16_t Tick) {
  int32_t overhang = 0;
  if (!Ctx.Measure) return 0;
  for (TKVItem* item : Ctx.Measure->Items().Items()) {
    if (item->Kind() != ItemKind::Note) continue;
    auto* note = static_cast<TKVNote*>(item);
    if (note->Position() == Tick && note->PlayedLength() > note->Duration())
      overhang = std::max<int32_t>(overhang, note->PlayedLength() - note->Duration());
  }
  return overhang;
}
