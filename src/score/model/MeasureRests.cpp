// Rest filling: the free time of every voice of a measure becomes rests.

#include <algorithm>
#include <vector>

#include "score/model/ItemKinds.h"
#include "score/model/Mark.h"
#include "score/model/Measure.h"
#include "score/model/NotationSupport.h"
#include "score/model/Note.h"
#include "score/model/Part.h"
#include "score/model/Pause.h"
#include "score/model/RegistrationPause.h"
#include "score/model/Score.h"
#include "score/model/Staff.h"
#include "score/model/Voice.h"

namespace {

constexpr int TrailingRest = 7;  // rest flag: follows the last note of its voice

// Free time of one voice: intervals [Start, End) in ticks.
struct TFreeInterval {
  int32_t Start, End;
};
using TFreeList = std::vector<TFreeInterval>;

// Cuts [a, b) out of the one free interval that holds it whole; an item
// that overlaps another lies in no such interval and cuts nothing.
void Cut(TFreeList& free, int32_t a, int32_t b) {
  if (a >= b) return;
  for (size_t k = free.size(); k-- > 0;) {
    const TFreeInterval range = free[k];
    if (range.Start > a || range.End < b) continue;
    if (range.Start == a && range.End == b)
      free.erase(free.begin() + ptrdiff_t(k));
    else if (range.Start == a)
      free[k].Start = b;
    else if (range.End == b)
      free[k].End = a;
    else {
      free[k].End = a;
      free.insert(free.begin() + ptrdiff_t(k) + 1, TFreeInterval{b, range.End});
    }
    return;
  }
}

// Largest power of two up to a whole note that is not above Limit and, with
// Divides > 0, divides it; 0 when there is none.
int32_t PowerOfTwoRest(int32_t limit, int32_t divides) {
  for (int32_t length = 512; length >= 1; length >>= 1)
    if (length <= limit && (divides <= 0 || divides % length == 0)) return length;
  return 0;
}

// A rest inside a tuplet takes the tuplet's slot at p, or the largest binary
// part of it that fits the gap or what remains of the slot; the written
// value shrinks alike. False when the slots do not reach p (the plain rule
// applies then).
bool TupletRest(const TKVMark& tuplet, int32_t p, int32_t end, int32_t& length, int32_t& value) {
  const int32_t offset = p - tuplet.Position();
  int32_t sum = 0, unit = 0;
  for (int32_t slot = 0; slot < tuplet.Variant() && sum <= offset; ++slot) {
    unit = tuplet.ExtraWord(slot);
    sum += unit;
  }
  if (sum <= offset) return false;
  const int32_t unitStart = tuplet.Position() + sum - unit;
  length = unit;
  value = tuplet.Value();
  int32_t limit;
  if (p + unit > end)
    limit = end - p;
  else if (p > unitStart)
    limit = unitStart + unit - p;
  else
    return true;
  length = 0;
  for (int32_t shift = 1; shift <= 9 && length == 0; ++shift)
    if ((unit >> shift) <= limit) {
      length = unit >> shift;
      value = tuplet.Value() >> shift;
    }
  return true;
}

// Staff index of a note, rest or repeat; -1 for other items.
int32_t OccupiedStaff(const TKVItem* item) {
  switch (item->Kind()) {
    case ItemKind::Note: return ItemStaff(static_cast<const TKVNote*>(item)->StaffVoice());
    case ItemKind::Rest: return ItemStaff(static_cast<const TKVPause*>(item)->StaffVoice());
    case ItemKind::BeatRepeat:
    case ItemKind::MeasureRepeat: return ItemStaff(static_cast<const TKVMark*>(item)->StaffVoice());
    default: return -1;
  }
}

}  // namespace

// Free time and use of one voice while the rests are filled.
struct TKVVoiceGaps {
  TFreeList Free;
  bool Used = false;
};

std::vector<int32_t> LastStaffUse(const TKVPart& Part) {
  std::vector<int32_t> last;
  for (int32_t m = 0; m < Part.GetMeasureCount(); ++m)
    for (const TKVItem* item : Part.GetMeasure(m)->Items())
      if (const int32_t staff = OccupiedStaff(item); staff >= 0) {
        if (last.size() <= size_t(staff)) last.resize(size_t(staff) + 1, -1);
        last[size_t(staff)] = m;
      }
  return last;
}

bool TKVMeasure::StaffUsedLater(int32_t StaffIndex, const std::vector<int32_t>* LastStaffUse) const {
  if (LastStaffUse) return size_t(StaffIndex) < LastStaffUse->size() && (*LastStaffUse)[size_t(StaffIndex)] > FIndex;
  for (int32_t m = FIndex + 1; m < FPart->GetMeasureCount(); ++m)
    for (const TKVItem* item : FPart->GetMeasure(m)->Items())
      if (OccupiedStaff(item) == StaffIndex) return true;
  return false;
}

void TKVMeasure::FillRests(bool EmptyVoiceRule, int32_t Length, bool ForceWholeRest,
                           const std::vector<int32_t>* LastStaffUse) {
  int32_t length = Length;
  if (length == 0) {
    const TKVMeasureMeter meter = GetMeasureMeter(*this);
    if (!meter.HasRecord) return;
    length = meter.Length;
  }
  const bool singlePass = Data().bit(MeasureBlock::Flags, MeasureBlock::SinglePassRests);
  const std::vector<TKVVoice*> voices = FPart->VoiceList();
  TKVVoiceGaps gaps;
  for (const TKVVoice* voice : voices) {
    gaps = TKVVoiceGaps{{{0, length}}, false};
    for (const TKVItem* item : Items()) {
      const TKVVoiceKey* key = item->GetVoiceKey();
      if (!key || key->VoiceNumber != voice->Number()) continue;
      int32_t position, end;
      if (item->Kind() == ItemKind::Note) {
        const auto* note = static_cast<const TKVNote*>(item);
        position = note->Position();
        end = position + note->Duration();
        gaps.Used = true;
      } else if (item->Kind() == ItemKind::BeatRepeat) {
        const auto* repeat = static_cast<const TKVMark*>(item);
        position = repeat->Position();
        end = position + repeat->Value();
        gaps.Used = true;
      } else if (item->Kind() == ItemKind::Rest) {
        const auto* rest = static_cast<const TKVPause*>(item);
        position = rest->Position();
        end = position + rest->Duration();
        // A whole-measure rest fills a measure of any length.
        if (gaps.Free.size() == 1 && position == 0 && rest->Duration() == 512) {
          gaps.Free.clear();
          continue;
        }
      } else {
        continue;
      }
      // What sounds past the bar line leaves no gap to fill there.
      if (position < length) Cut(gaps.Free, position, std::min(end, length));
    }
    if (!singlePass)
      FillVoiceGaps(gaps, {uint8_t(FPart->Index()), uint16_t(voice->Number()), uint8_t(voice->Staff()->Index()),
                           uint8_t(voice->Index())},
                    EmptyVoiceRule, ForceWholeRest, length, LastStaffUse);
  }
  if (singlePass && !voices.empty())
    FillVoiceGaps(gaps, {uint8_t(FPart->Index()), 0, 0, 0}, EmptyVoiceRule, ForceWholeRest, length, LastStaffUse);
}

void TKVMeasure::FillVoiceGaps(const TKVVoiceGaps& Gaps, const TKVVoiceKey& Key, bool EmptyVoiceRule,
                               bool ForceWholeRest, int32_t Length, const std::vector<int32_t>* LastStaffUse) {
  // The staff-and-voice byte holds four bits of each.
  if (Key.StaffIndex > 15 || Key.VoiceIndex > 15) return;
  if (EmptyVoiceRule && !Gaps.Used) {
    std::vector<TKVItem*> rests;
    for (TKVItem* item : Items())
      if (item->Kind() == ItemKind::Rest && item->GetVoiceKey()->VoiceNumber == Key.VoiceNumber) rests.push_back(item);
    for (TKVItem* rest : rests) delete rest;
    for (const TKVItem* item : Items())
      if (item->Kind() == ItemKind::Note && OccupiedStaff(item) == Key.StaffIndex) return;
    const bool staffUsed = ForceWholeRest || StaffUsedLater(Key.StaffIndex, LastStaffUse);
    int32_t hint = -1;
    if (staffUsed && Key.VoiceIndex == 0) AddFillerRest(Key, 0, 512, 512, 0, hint);
    return;
  }
  const TKVMeasureMeter meter = GetMeasureMeter(*this);
  if (meter.HasRecord && !HasMeter(meter.Meter)) return;  // a measure without meter gets no rests
  for (const TFreeInterval& range : Gaps.Free) FillGapWithRests(Key, range.Start, Length, -1, range.End);
}

int32_t TKVMeasure::FillGapWithRests(const TKVVoiceKey& Key, int32_t Start, int32_t Unit, int32_t InsertHint,
                                     int32_t End) {
  if (Key.StaffIndex > 15 || Key.VoiceIndex > 15) return InsertHint;
  int32_t unit = Unit, end = std::min<int32_t>(End, UINT16_MAX);  // rest positions are 16-bit
  if (unit == 0) {
    const TKVMeasureMeter meter = GetMeasureMeter(*this);
    if (!meter.HasRecord) return InsertHint;
    end = std::min<int32_t>(end, meter.Length);
    unit = HasMeter(meter.Meter) ? meter.Length / MeterNumerator(meter.Meter) : 128;
  }
  if (unit <= 0) return InsertHint;
  const bool several = StaffHasVoices(Key.StaffIndex);
  // A secondary voice gets no rest for a wholly empty measure.
  if (several && Key.VoiceIndex > 0 && Start == 0 && unit == end) return InsertHint;
  const int16_t offset = !several ? 0 : Key.VoiceIndex == 0 ? -96 : 96;
  const TKVScore* score = Score();
  bool markTrailing = score->AutoFillMeasure() == fmNone;
  if (score->AutoFillMeasure() == fmFirst)
    if (const TKVStaff* staff = FPart->GetStaff(Key.StaffIndex))
      markTrailing = staff->Data().u8(StaffBlock::CurrentVoice) != Key.VoiceIndex;

  int32_t hint = InsertHint;
  for (int32_t p = Start, r = end - Start; r >= 4;) {
    int32_t length = 0, value = 0;
    const TKVMark* tuplet = FindTupletAt(Key, p);
    if (!tuplet || !TupletRest(*tuplet, p, end, length, value)) {
      const int32_t boundary = (p / unit + 1) * unit;
      length = boundary < p + unit ? PowerOfTwoRest(r, boundary - p) : PowerOfTwoRest(r, 0);
      value = length;
    }
    if (length < 2) break;
    bool trailing = false;
    if (markTrailing) {
      trailing = true;
      for (TKVItem* item : Items())
        if (const TKVNote* note = NoteOfVoice(item, Key.VoiceNumber); note && note->Position() >= p) trailing = false;
    }
    TKVPause* rest = AddFillerRest(Key, p, value, length, offset, hint);
    if (trailing) rest->SetFlags(uint8_t(rest->Flags() | (1 << TrailingRest)));
    r -= length;
    p += length;
  }
  return hint;
}

TKVPause* TKVMeasure::AddFillerRest(const TKVVoiceKey& Key, int32_t Position, int32_t Value, int32_t Length,
                                    int16_t Offset, int32_t& InsertHint) {
  TKVPause* rest;
  {
    TRegistrationPause<TKVMeasure> pause(*this);
    rest = new TKVPause(this);
  }
  rest->SetPosition(uint16_t(Position));
  rest->SetValue(uint16_t(Value));
  rest->SetDuration(uint16_t(Length));
  rest->SetStaffVoice(MakeStaffVoice(Key.StaffIndex, Key.VoiceIndex));
  rest->VoiceKey() = Key;
  rest->SetOffsetY(Offset);
  const TKVNewPartDefaults& defaults = Score()->NewPartDefaults;
  rest->Data().setU8(PauseBlock::FontCode, defaults.Value8);
  rest->Data().setU32(PauseBlock::Color, uint32_t(defaults.Value32));
  rest->Data().setU8(PauseBlock::Size100, uint8_t(defaults.Third));
  InsertHint = Score()->FindInsertIndex(this, Key, false, std::min(InsertHint, GetItemCount()), Position);
  InsertItem(InsertHint, rest);
  return rest;
}
