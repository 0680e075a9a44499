#include "score/model/ScoreTypes.h"

#include <algorithm>

#include "score/model/DisplayUnits.h"

int32_t StepSemitone(int32_t step) {
  static constexpr int32_t semitones[7] = {0, 2, 4, 5, 7, 9, 11};
  return step >= 0 && step < 7 ? semitones[step] : 0;
}

int32_t PitchToMidiKey(uint8_t pitch, int32_t alteration, int32_t transposition) {
  int32_t key = StepSemitone(PitchStep(pitch)) + 12 * (PitchOctave(pitch) - 5) + 60 + alteration + transposition;
  return std::clamp(key, 0, 127);
}

int32_t MeterLength(uint16_t meter) {
  int32_t numerator = MeterNumerator(meter), denominator = MeterDenominator(meter);
  if (numerator == 0 || denominator == 0) return TicksPerWhole;
  return (numerator << 9) / denominator;
}

int32_t LineStep(long double lineSpace, int32_t scale, int32_t sizePercent) {
  long double v = lineSpace * 96 * scale * sizePercent / 2540000.0L;
  // Damaged page values, Scale or staff sizes: held at 2^20 units (far past
  // any page), so that the staff layout's products of the step with a staff
  // position or a line count still fit 32 bits.
  constexpr long double limit = (1 << 20) / 8;
  return RoundExtended(std::clamp(v, -limit, limit)) * 8;
}
