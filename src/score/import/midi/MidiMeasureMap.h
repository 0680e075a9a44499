#pragma once
// The measures of an imported MIDI file as its meter map lays them out: one
// meter word per measure, the last one in force for every measure after the
// map. Finds the measure of a time in score ticks by a search over the
// measure starts rather than a walk from the first measure.

#include <cstdint>
#include <vector>

class TKVMidiMeasureMap {
public:
  // MeterMap must not be empty; every entry is a meter with a length.
  explicit TKVMidiMeasureMap(const std::vector<uint16_t>& MeterMap);

  uint16_t MeterOf(int64_t Measure) const;
  int32_t LengthOf(int64_t Measure) const;
  int64_t MapSize() const { return int64_t(FMeters.size()); }

  struct TPlace {
    int64_t Measure = 0;
    int32_t Offset = 0;  // ticks from the measure's start
  };
  // The measure that holds Time and the time inside it.
  TPlace Locate(uint64_t Time) const;

private:
  std::vector<uint16_t> FMeters;
  std::vector<uint64_t> FStarts;  // start of each measure of the map, then the map's end
};
