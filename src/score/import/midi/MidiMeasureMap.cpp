#include "score/import/midi/MidiMeasureMap.h"

#include <algorithm>

#include "score/model/ScoreTypes.h"

TKVMidiMeasureMap::TKVMidiMeasureMap(const std::vector<uint16_t>& MeterMap) : FMeters(MeterMap) {
  if (FMeters.empty()) FMeters.push_back(0x0404);
  FStarts.reserve(FMeters.size() + 1);
  uint64_t start = 0;
  for (uint16_t meter : FMeters) {
    FStarts.push_back(start);
    start += uint64_t(MeterLength(meter));
  }
  FStarts.push_back(start);
}

uint16_t TKVMidiMeasureMap::MeterOf(int64_t Measure) const {
  return Measure >= 0 && Measure < MapSize() ? FMeters[size_t(Measure)] : FMeters.back();
}

int32_t TKVMidiMeasureMap::LengthOf(int64_t Measure) const { return MeterLength(MeterOf(Measure)); }

TKVMidiMeasureMap::TPlace TKVMidiMeasureMap::Locate(uint64_t Time) const {
  if (Time >= FStarts.back()) {
    uint64_t past = Time - FStarts.back();
    uint64_t last = uint64_t(LengthOf(MapSize() - 1));
    return {MapSize() + int64_t(past / last), int32_t(past % last)};
  }
  auto after = std::upper_bound(FStarts.begin(), FStarts.end(), Time);
  size_t measure = size_t(after - FStarts.begin()) - 1;
  return {int64_t(measure), int32_t(Time - FStarts[measure])};
}
