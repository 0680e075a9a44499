#include "platform/threads/Clock.h"

#include <chrono>

void TSleepInterrupt::Interrupt() {
  {
    std::lock_guard<std::mutex> guard(FLock);
    FSet = true;
  }
  FSignal.notify_all();
}

void TSleepInterrupt::Reset() {
  std::lock_guard<std::mutex> guard(FLock);
  FSet = false;
}

bool TSleepInterrupt::IsSet() {
  std::lock_guard<std::mutex> guard(FLock);
  return FSet;
}

double TRealClock::NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

bool TRealClock::SleepUntil(double deadlineMs, TSleepInterrupt& interrupt) {
  using namespace std::chrono;
  auto deadline = steady_clock::time_point(duration_cast<steady_clock::duration>(duration<double, std::milli>(deadlineMs)));
  std::unique_lock<std::mutex> guard(interrupt.FLock);
  return !interrupt.FSignal.wait_until(guard, deadline, [&] { return interrupt.FSet; });
}

TRealClock& TRealClock::Instance() {
  static TRealClock clock;
  return clock;
}

double TFakeClock::NowMs() {
  std::lock_guard<std::mutex> guard(FLock);
  return FNow;
}

bool TFakeClock::SleepUntil(double deadlineMs, TSleepInterrupt& interrupt) {
  if (interrupt.IsSet()) return false;
  std::lock_guard<std::mutex> guard(FLock);
  ++FSleeps;
  if (deadlineMs > FNow) FNow = deadlineMs;
  return true;
}

void TFakeClock::Advance(double ms) {
  std::lock_guard<std::mutex> guard(FLock);
  FNow += ms;
}
