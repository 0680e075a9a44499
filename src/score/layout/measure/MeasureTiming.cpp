#include "score/layout/measure/MeasureTiming.h"

#include <algorithm>

#include "score/model/LayoutRecords.h"

double MsPerTickOfTempo(int32_t Tempo) { return double(60000.0L / Tempo / 128.0L); }

namespace {
constexpr int32_t MaxTempo = 32767;
int32_t ClampTempo(int64_t Tempo) { return int32_t(std::clamp<int64_t>(Tempo, 1, MaxTempo)); }
}  // namespace

void TKVMeasureTiming::Begin(TKVMeasureRecord& Record) {
  FEvents.clear();
  FStartTempo = Record.Tempo;
  FStartMsPerTick = Record.MsPerTick;
  FLastChange = 0;
}

void TKVMeasureTiming::Apply(TKVMeasureRecord& Record, const TEvent& Event) {
  if (Event.IsHold) {
    Record.Duration += Event.Value * Record.MsPerTick;
    Record.TempoSegments.push_back({Event.Position, uint16_t(Event.Value), Record.MsPerTick});
    return;
  }
  Record.Duration += (Event.Position - FLastChange) * Record.MsPerTick;
  Record.TempoSegments.push_back({Event.Position, 0, Record.MsPerTick});
  Record.Tempo = int16_t(Event.Absolute ? ClampTempo(Event.Value) : ClampTempo(int64_t(Record.Tempo) + Event.Value));
  Record.MsPerTick = MsPerTickOfTempo(Record.Tempo);
  FLastChange = Event.Position;
}

void TKVMeasureTiming::Replay(TKVMeasureRecord& Record) {
  Record.Tempo = FStartTempo;
  Record.MsPerTick = FStartMsPerTick;
  Record.Duration = 0;
  Record.TempoSegments.clear();
  FLastChange = 0;
  for (const TEvent& event : FEvents) Apply(Record, event);
}

void TKVMeasureTiming::Add(TKVMeasureRecord& Record, const TEvent& Event) {
  auto at = std::upper_bound(FEvents.begin(), FEvents.end(), Event.Position,
                             [](uint16_t p, const TEvent& e) { return p < e.Position; });
  bool inOrder = at == FEvents.end();
  FEvents.insert(at, Event);
  if (inOrder)
    Apply(Record, Event);
  else
    Replay(Record);
}

void TKVMeasureTiming::ChangeTempo(TKVMeasureRecord& Record, uint16_t Position, bool Absolute, int32_t Tempo) {
  Add(Record, TEvent{Position, false, Absolute, Tempo});
}

bool TKVMeasureTiming::Hold(TKVMeasureRecord& Record, uint16_t Position, uint16_t ExtraTicks) {
  for (const TEvent& e : FEvents)
    if (e.IsHold && e.Position == Position) return false;
  Add(Record, TEvent{Position, true, false, ExtraTicks});
  return true;
}

void TKVMeasureTiming::Close(TKVMeasureRecord& Record) {
  bool late = false;
  for (TEvent& e : FEvents)
    if (e.Position > Record.Length) {
      e.Position = Record.Length;
      late = true;
    }
  if (late) Replay(Record);
  Record.Duration += (Record.Length - FLastChange) * Record.MsPerTick;
}
