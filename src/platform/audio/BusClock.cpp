#include "platform/audio/BusClock.h"

#include <algorithm>

namespace audio {

namespace {
// A pull of more frames than this (a sink filling a long buffer at start)
// does not make the latency longer.
constexpr int kLatencyBlock = 4096;
}  // namespace

int64_t TBusClock::TimeOf(uint64_t frame) const {
  const int64_t frames = int64_t(frame - FAnchorFrame);
  return FAnchorNs + int64_t(__int128(frames) * 1'000'000'000 / FRate);
}

void TBusClock::Anchor(uint64_t frame, int64_t now) {
  FAnchored = true;
  FAnchorFrame = frame;
  FAnchorNs = now - FLatencyNs;
  FLateSince = -1;
  ++FAnchors;
}

int64_t TBusClock::Pulled(uint64_t first, int frames, int64_t now) {
  if (!FAnchored) {
    FLatencyNs = 2 * int64_t(std::clamp(frames, 1, kLatencyBlock)) * 1'000'000'000 / FRate;
    Anchor(first, now);
    return FAnchorNs;
  }
  const int64_t late = now - FLatencyNs - TimeOf(first);
  if (late < -EarlyToleranceNs()) {
    Anchor(first, now);
  } else if (late <= FLatencyNs) {
    FLateSince = -1;
  } else if (FLateSince < 0 || (now - FLateSince >= StallNs && late < FLateAtStart - FLatencyNs / 2)) {
    FLateSince = now;  // a new run of late pulls, or one that is catching up
    FLateAtStart = late;
  } else if (now - FLateSince >= StallNs) {
    Anchor(first, now);
  }
  return TimeOf(first);
}

}  // namespace audio
