#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "base/Log.h"
#include "platform/threads/Clock.h"
#include "platform/threads/PriorityThread.h"

namespace {

TEST(FakeClock, SleepMovesTimeToTheDeadlineAndNeverBack) {
  TFakeClock clock(100);
  TSleepInterrupt stop;
  EXPECT_TRUE(clock.SleepUntil(103.90625, stop));
  EXPECT_DOUBLE_EQ(clock.NowMs(), 103.90625);
  EXPECT_TRUE(clock.SleepUntil(50, stop));
  EXPECT_DOUBLE_EQ(clock.NowMs(), 103.90625);
  stop.Interrupt();
  EXPECT_FALSE(clock.SleepUntil(200, stop));
  EXPECT_DOUBLE_EQ(clock.NowMs(), 103.90625);
}

TEST(RealClock, InterruptEndsALongSleepAtOnce) {
  TRealClock& clock = TRealClock::Instance();
  TSleepInterrupt stop;
  double start = clock.NowMs();
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop.Interrupt();
  });
  bool reached = clock.SleepUntil(start + 60000, stop);
  stopper.join();
  EXPECT_FALSE(reached);
  EXPECT_LT(clock.NowMs() - start, 30000);
}

TEST(RealClock, InterruptBeforeSleepIsNotLost) {
  TSleepInterrupt stop;
  stop.Interrupt();
  EXPECT_FALSE(TRealClock::Instance().SleepUntil(TRealClock::Instance().NowMs() + 60000, stop));
  stop.Reset();
  EXPECT_TRUE(TRealClock::Instance().SleepUntil(TRealClock::Instance().NowMs() + 1, stop));
}

TEST(PriorityThread, RunsBodyAtRequestedPriorityAndReportsFallbackOnce) {
  std::atomic<int> notes{0};
  SetLogHook([&](const std::string&) { ++notes; });
  std::atomic<int> ran{0};
  for (int i = 0; i < 3; ++i) {
    TPriorityThread t([&] { ++ran; });
    t.Start(TThreadPriority::TimeCritical);
    t.Join();
    EXPECT_FALSE(t.Joinable());
  }
  SetLogHook(nullptr);
  EXPECT_EQ(ran.load(), 3);
  EXPECT_LE(notes.load(), 1);
}

}  // namespace
