#pragma once
// A source of audio that a consumer pulls: the output bus mixes the
// synthesiser through this interface, and tests pull it directly to render
// offline, faster than real time.

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
};

}  // namespace midi
