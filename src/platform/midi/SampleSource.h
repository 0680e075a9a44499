#pragma once
// A source of audio that a consumer pulls: the output bus mixes the
// synthesiser through this interface, and tests pull it directly to render
// offline, faster than real time.

#include <cstdint>

namespace midi {

class TSampleSource {
public:
  virtual ~TSampleSource() = default;
  // Frames per second that Render produces.
  virtual int SampleRate() const = 0;
  // Writes Frames interleaved stereo frames (left, right, left, ...) to Out
  // and advances the source's time by as much. One puller at a time; it
  // never waits for I/O, so a real-time audio thread may call it.
  virtual void Render(float* out, int frames) = 0;
  // Render for a puller that keeps time: the block's first frame stands for
  // FirstFrameNs on the monotonic clock (SendTime.h), the frames after it
  // follow at SampleRate. A source that plays timed messages places each at
  // the frame of its time; the others need not care.
  virtual void RenderAt(float* out, int frames, int64_t /*firstFrameNs*/) { Render(out, frames); }
};

}  // namespace midi
