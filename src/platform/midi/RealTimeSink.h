#pragma once
// Pulls a sample source at real time and throws the audio away. It stands
// in for a sound card while no output bus takes the synthesiser, so that
// the synthesiser's voices age and end at the pace they would when heard.

#include <thread>
#include <vector>

#include "platform/midi/SampleSource.h"
#include "platform/threads/Clock.h"

namespace midi {

class TRealTimeSink {
public:
  // BlockFrames frames per pull (10 ms at 44.1 kHz by default); the clock
  // paces the pulls (a fake one lets a test check the pace).
  explicit TRealTimeSink(TSampleSource& source, int blockFrames = 441, TClock& clock = TRealClock::Instance());
  ~TRealTimeSink();
  TRealTimeSink(const TRealTimeSink&) = delete;
  TRealTimeSink& operator=(const TRealTimeSink&) = delete;

  // Both idempotent; Stop returns after the last pull has finished.
  void Start();
  void Stop();
  bool Running() const { return FThread.joinable(); }

private:
  void Run();
  TSampleSource& FSource;
  const int FBlockFrames;
  TClock& FClock;
  TSleepInterrupt FStop;
  std::thread FThread;
};

}  // namespace midi
