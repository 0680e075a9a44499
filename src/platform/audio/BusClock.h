#pragma once
// The one mapping between the output bus's frame counter and the monotonic
// clock (SendTime.h): frame F stands for AnchorNs + (F - AnchorFrame) / rate,
// counted from one anchor, so it never drifts by rounding. The anchor puts
// each pulled block a fixed latency (twice the first pull) behind the
// moment it is pulled: a message sent on time has arrived before the block
// that holds its frame is rendered, however late within a pull its thread
// woke.
//
// A sink keeps the pace of its device, so pulls follow the mapping. When
// they do not, it is anchored anew: at once when a pull comes a quarter of
// the latency earlier than the mapping expects (a sink that fills ahead; an
// anchoring pull that came late), and when the pulls have lagged more than
// the latency for StallNs without catching up by half of it (a sink that
// lost time for good, or restarted; one that catches up after a busy moment
// keeps its mapping, so that a take's notes stay where they belong).

#include <cstdint>

namespace audio {

class TBusClock {
public:
  static constexpr int64_t StallNs = 250'000'000;

  explicit TBusClock(int rate) : FRate(rate) {}
  // Frames frames from frame First are pulled at Now; returns the time the
  // first of them stands for.
  int64_t Pulled(uint64_t first, int frames, int64_t now);
  // The next pull anchors (a sink starts).
  void Reset() { FAnchored = false; }
  bool Anchored() const { return FAnchored; }
  int64_t TimeOf(uint64_t frame) const;
  int64_t LatencyNs() const { return FLatencyNs; }
  int64_t EarlyToleranceNs() const { return FLatencyNs / 4; }
  // How often the mapping was anchored since it was made.
  int Anchors() const { return FAnchors; }

private:
  void Anchor(uint64_t frame, int64_t now);

  const int FRate;
  bool FAnchored = false;
  uint64_t FAnchorFrame = 0;
  int64_t FAnchorNs = 0;
  int64_t FLatencyNs = 0;
  int64_t FLateSince = -1;  // the first pull of an unbroken run of late ones
  int64_t FLateAtStart = 0;  // and how late it was
  int FAnchors = 0;
};

}  // namespace audio
