#pragma once
// When a MIDI message is meant to sound. Every message carries a time on
// the monotonic clock (nanoseconds of CLOCK_MONOTONIC, the clock of
// TRealClock): the play thread stamps the messages of a tick with the
// tick's deadline, so that a synthesiser can place them at the sample that
// stands for that time whenever the thread woke; messages from any other
// sender carry the moment they were sent.

#include <cstdint>

namespace midi {

// A message is never meant for later than this after it was sent.
constexpr int64_t MaxAheadNs = 1'000'000'000;

int64_t MonotonicNowNs();
// Milliseconds of TRealClock to the nanoseconds of this clock.
int64_t MonotonicNsOfMs(double ms);

// While it lives, the messages this thread sends are meant for TimeNs.
// Scopes nest; the outer time comes back when the inner scope ends.
class TSendTime {
public:
  explicit TSendTime(int64_t timeNs);
  ~TSendTime();
  TSendTime(const TSendTime&) = delete;
  TSendTime& operator=(const TSendTime&) = delete;

private:
  int64_t FOuter;
};

// The time of a message this thread sends now: its scope's time, or now;
// never more than MaxAheadNs ahead of now.
int64_t SendTimeNs();

// A score started sounding at TimeNs (the play thread's first tick). A take
// of the program's own output that begins just after it begins there, so
// that it holds the score from its first message.
void MarkScoreStart(int64_t timeNs);
// 0 until a score started.
int64_t LastScoreStartNs();

}  // namespace midi
