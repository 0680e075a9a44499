#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/midi/RealTimeSink.h"

namespace {

class TCountingSource : public midi::TSampleSource {
public:
  int SampleRate() const override { return 48000; }
  void Render(float* out, int frames) override {
    for (int i = 0; i < 2 * frames; ++i) out[i] = 0.5f;  // the sink must take any content
    Frames += frames;
    ++Pulls;
  }
  std::atomic<long> Frames{0}, Pulls{0};
  void WaitForPulls(long n) const {
    while (Pulls.load() < n) std::this_thread::yield();
  }
};

TEST(MidiRealTimeSink, PullsWhileRunningAndNotAfterStop) {
  TCountingSource source;
  midi::TRealTimeSink sink(source, 480);
  EXPECT_FALSE(sink.Running());
  sink.Start();
  sink.Start();  // no second thread
  EXPECT_TRUE(sink.Running());
  source.WaitForPulls(2);
  sink.Stop();
  EXPECT_FALSE(sink.Running());
  const long pulls = source.Pulls.load();
  EXPECT_EQ(source.Frames.load(), pulls * 480) << "whole blocks of the size asked";
  for (int i = 0; i < 1000; ++i) std::this_thread::yield();
  EXPECT_EQ(source.Pulls.load(), pulls);
  sink.Stop();
  sink.Start();  // again after a stop
  source.WaitForPulls(pulls + 1);
}  // the destructor stops it

TEST(MidiRealTimeSink, PullsAsManyFramesAsTimePasses) {
  TCountingSource source;
  TFakeClock clock(1000);
  midi::TRealTimeSink sink(source, 480, clock);
  sink.Start();
  source.WaitForPulls(500);
  sink.Stop();
  // Each pull of 480 frames at 48 kHz waits for its 10 ms to pass (the
  // last one may have been stopped before its wait).
  const double waited = clock.NowMs() - 1000;
  const long pulls = source.Pulls.load();
  EXPECT_TRUE(waited == 10.0 * pulls || waited == 10.0 * (pulls - 1)) << waited << " ms for " << pulls;
}

TEST(MidiRealTimeSink, AfterAStallItGoesOnFromNow) {
  TCountingSource source;
  TFakeClock clock(0);
  midi::TRealTimeSink sink(source, 480, clock);
  sink.Start();
  source.WaitForPulls(3);
  clock.Advance(5000);  // the machine slept
  const long before = source.Pulls.load();
  source.WaitForPulls(before + 10);
  sink.Stop();
  // Without the reset the sink would owe 500 blocks and pull them at once,
  // leaving the clock where the stall put it.
  EXPECT_GT(clock.NowMs(), 5000 + 10.0 * (source.Pulls.load() - before - 2));
}

}  // namespace
