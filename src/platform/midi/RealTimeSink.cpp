#include "platform/midi/RealTimeSink.h"

namespace midi {

TRealTimeSink::TRealTimeSink(TSampleSource& source, int blockFrames, TClock& clock)
    : FSource(source), FBlockFrames(blockFrames > 0 ? blockFrames : 441), FClock(clock) {}

TRealTimeSink::~TRealTimeSink() { Stop(); }

void TRealTimeSink::Start() {
  if (FThread.joinable()) return;
  FStop.Reset();
  FThread = std::thread([this] { Run(); });
}

void TRealTimeSink::Stop() {
  if (!FThread.joinable()) return;
  FStop.Interrupt();
  FThread.join();
}

void TRealTimeSink::Run() {
  std::vector<float> scratch(size_t(FBlockFrames) * 2);
  double next = FClock.NowMs();
  while (!FStop.IsSet()) {
    FSource.Render(scratch.data(), FBlockFrames);
    const int rate = FSource.SampleRate() > 0 ? FSource.SampleRate() : 44100;
    next += 1000.0 * FBlockFrames / rate;
    // After a long stall (a suspended machine) go on from now instead of
    // pulling the missed time in one burst. A thread held back by a busy
    // machine catches up: the sound it stands for loses no time, and the
    // output bus's clock mapping stays as it was.
    const double now = FClock.NowMs();
    if (next < now - 2000) next = now;
    FClock.SleepUntil(next, FStop);
  }
}

}  // namespace midi
