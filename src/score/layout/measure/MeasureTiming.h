#pragma once
// The timing of one measure: tempo changes and holds met while the column is
// formatted turn into the record's tempo segments, its duration in
// milliseconds, its closing tempo and milliseconds per tick.
//
// Changes are applied in tick order: the parts of a column are laid out one
// after another, so a later part may bring a change at an earlier tick. Such
// a change is slotted in behind every earlier-met change at or before its
// tick, and the measure's timing is worked out again from its start; changes
// met in tick order are applied one by one, with the same result. Positions
// past the measure's end count as its end when the measure is closed, so no
// span is negative.

#include <cstdint>
#include <vector>

struct TKVFormatContext;
struct TKVMeasureRecord;

// Milliseconds per tick of a tempo in quarter notes per minute (1..32767).
double MsPerTickOfTempo(int32_t Tempo);

class TKVMeasureTiming {
public:
  // Takes the record's tempo and rate as the measure's start state.
  void Begin(TKVMeasureRecord& Record);

  // A change to Tempo (absolute) or by Tempo (relative) at Position; the
  // resulting tempo is kept within 1..32767.
  void ChangeTempo(TKVMeasureRecord& Record, uint16_t Position, bool Absolute, int32_t Tempo);
  // A hold lengthening the measure by ExtraTicks at Position; only the first
  // hold at a tick counts. False when an earlier hold there already did.
  bool Hold(TKVMeasureRecord& Record, uint16_t Position, uint16_t ExtraTicks);
  // Adds the span from the last change to the measure's end (its length is
  // final by then).
  void Close(TKVMeasureRecord& Record);

  // Tick of the last tempo change (0 before any).
  double LastChange() const { return FLastChange; }

private:
  struct TEvent {
    uint16_t Position;
    bool IsHold;
    bool Absolute;
    int32_t Value;  // tempo, or hold ticks
  };
  void Add(TKVMeasureRecord& Record, const TEvent& Event);
  void Apply(TKVMeasureRecord& Record, const TEvent& Event);
  void Replay(TKVMeasureRecord& Record);

  std::vector<TEvent> FEvents;
  int16_t FStartTempo = 0;
  double FStartMsPerTick = 0;
  double FLastChange = 0;
};
