#include "platform/midi/SendTime.h"

#include <atomic>
#include <chrono>
#include <cmath>

namespace midi {

namespace {
// 0: no scope, the message is meant for now.
thread_local int64_t tSendTime = 0;
std::atomic<int64_t> gScoreStart{0};
}  // namespace

int64_t MonotonicNowNs() {
  using namespace std::chrono;
  return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t MonotonicNsOfMs(double ms) { return std::llround(ms * 1e6); }

TSendTime::TSendTime(int64_t timeNs) : FOuter(tSendTime) { tSendTime = timeNs; }

TSendTime::~TSendTime() { tSendTime = FOuter; }

int64_t SendTimeNs() {
  const int64_t now = MonotonicNowNs();
  if (tSendTime == 0) return now;
  return tSendTime - now > MaxAheadNs ? now + MaxAheadNs : tSendTime;
}

void MarkScoreStart(int64_t timeNs) { gScoreStart.store(timeNs); }

int64_t LastScoreStartNs() { return gScoreStart.load(); }

}  // namespace midi
