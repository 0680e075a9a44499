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

}  // namespace
