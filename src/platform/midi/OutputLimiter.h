#pragma once
// The synthesiser's output stage: a peak limiter that keeps every sample
// at or below its ceiling, so that a loud score never clips, and leaves
// anything below the ceiling exactly as it is. It adds no delay: within
// each rendered block it looks ahead to the block's own peaks and lowers
// its gain over the few milliseconds before one (at once for a peak at the
// block's start); the gain then comes back slowly.

#include <vector>

namespace midi {

class TOutputLimiter {
public:
  static constexpr float Ceiling = 0.891f;  // -1 dBFS
  static constexpr double AttackMs = 2, ReleaseMs = 300;

  // Limits Frames interleaved stereo frames in place at Rate frames a second.
  void Process(float* stereo, int frames, int rate);
  // The gain in force after the last block (1: not limiting).
  float Gain() const { return FGain; }

private:
  float FGain = 1;
  std::vector<float> FNeeded;
};

}  // namespace midi
