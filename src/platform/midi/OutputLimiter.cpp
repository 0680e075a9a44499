#include "platform/midi/OutputLimiter.h"

#include <algorithm>
#include <cmath>

namespace midi {

void TOutputLimiter::Process(float* stereo, int frames, int rate) {
  if (frames <= 0) return;
  // The gain each frame allows, then lowered ahead of each peak along a
  // ramp of AttackMs (a backward pass over the block).
  FNeeded.resize(size_t(frames));
  const float ramp = float(1000.0 / (AttackMs * std::max(rate, 1)));
  float ahead = 1;
  bool any = FGain < 1;
  for (int i = frames - 1; i >= 0; --i) {
    const float peak = std::max(std::fabs(stereo[2 * i]), std::fabs(stereo[2 * i + 1]));
    float allowed = peak > Ceiling ? Ceiling / peak : 1.0f;
    while (peak * allowed > Ceiling) allowed = std::nextafter(allowed, 0.0f);  // the quotient may round up
    any = any || allowed < 1;
    ahead = std::min(allowed, ahead + ramp);
    FNeeded[size_t(i)] = ahead;
  }
  if (!any) return;  // nothing to limit: the samples stay exactly as they are
  const float release = float(1 - std::exp(-1000.0 / (ReleaseMs * std::max(rate, 1))));
  for (int i = 0; i < frames; ++i) {
    FGain = std::min(FNeeded[size_t(i)], FGain + (1 - FGain) * release);
    // Back to exactly 1 once within a hair of it, so that quiet music after
    // a loud passage is untouched again.
    if (FGain > 0.9999f && FNeeded[size_t(i)] >= 1) FGain = 1;
    stereo[2 * i] *= FGain;
    stereo[2 * i + 1] *= FGain;
  }
}

}  // namespace midi
