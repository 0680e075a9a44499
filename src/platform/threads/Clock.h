#pragma once
// Time for the player: a monotonic clock in fractional milliseconds and a
// sleep until an absolute deadline that another thread can cut short.
// TFakeClock makes time virtual: a sleep returns at once with the clock moved
// to the deadline, so musical tests run synchronously and exactly.

#include <condition_variable>
#include <cstdint>
#include <mutex>

// A flag that ends a sleep early. Interrupt may be called from any thread.
class TSleepInterrupt {
public:
  void Interrupt();
  void Reset();
  bool IsSet();

private:
  friend class TRealClock;
  std::mutex FLock;
  std::condition_variable FSignal;
  bool FSet = false;
};

class TClock {
public:
  virtual ~TClock() = default;
  virtual double NowMs() = 0;
  // Whole milliseconds, wrapping at 32 bits, for fields that keep such a count.
  uint32_t TickCount32() { return uint32_t(uint64_t(NowMs())); }
  // Sleeps until NowMs() >= DeadlineMs; returns false when interrupted first.
  virtual bool SleepUntil(double deadlineMs, TSleepInterrupt& interrupt) = 0;
};

class TRealClock : public TClock {
public:
  double NowMs() override;
  bool SleepUntil(double deadlineMs, TSleepInterrupt& interrupt) override;
  static TRealClock& Instance();
};

class TFakeClock : public TClock {
public:
  explicit TFakeClock(double startMs = 0) : FNow(startMs) {}
  double NowMs() override;
  bool SleepUntil(double deadlineMs, TSleepInterrupt& interrupt) override;
  void Advance(double ms);
  int SleepCount() const { return FSleeps; }

private:
  std::mutex FLock;
  double FNow;
  int FSleeps = 0;
};
