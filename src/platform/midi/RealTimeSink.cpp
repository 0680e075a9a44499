#include "platform/midi/RealTimeSink.h"

#include <chrono>

namespace midi {

TRealTimeSink::TRealTimeSink(TSampleSource& source, int blockFrames)
    : FSource(source), FBlockFrames(blockFrames > 0 ? blockFrames : 441) {}

TRealTimeSink::~TRealTimeSink() { Stop(); }

void TRealTimeSink::Start() {
  if (FThread.joinable()) return;
  {
    std::lock_guard<std::mutex> guard(FLock);
    FStop = false;
  }
  FThread = std::thread([this] { Run(); });
}

void TRealTimeSink::Stop() {
  if (!FThread.joinable()) return;
  {
    std::lock_guard<std::mutex> guard(FLock);
    FStop = true;
  }
  FWake.notify_all();
  FThread.join();
}

void TRealTimeSink::Run() {
  using clock = std::chrono::steady_clock;
  std::vector<float> scratch(size_t(FBlockFrames) * 2);
  auto next = clock::now();
  std::unique_lock<std::mutex> guard(FLock);
  while (!FStop) {
    guard.unlock();
    FSource.Render(scratch.data(), FBlockFrames);
    const int rate = FSource.SampleRate() > 0 ? FSource.SampleRate() : 44100;
    next += std::chrono::nanoseconds(int64_t(FBlockFrames) * 1000000000 / rate);
    // After a long stall (a suspended machine) start afresh instead of
    // pulling the missed time in one burst.
    const auto now = clock::now();
    if (next < now - std::chrono::milliseconds(200)) next = now;
    guard.lock();
    FWake.wait_until(guard, next, [this] { return FStop; });
  }
}

}  // namespace midi
