#include "platform/threads/PriorityThread.h"

#include <atomic>
#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include "base/Log.h"

namespace {

std::atomic<bool> gFallbackReported{false};

TGrantedPriority raiseCurrentThread() {
  // A timer slack of 1 ns keeps wake-ups at their deadline.
  prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
  sched_param param{};
  param.sched_priority = sched_get_priority_max(SCHED_FIFO) - 1;
  if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0) return TGrantedPriority::RealTime;
  if (setpriority(PRIO_PROCESS, 0, -20) == 0) return TGrantedPriority::Raised;
  return TGrantedPriority::Normal;
}

}  // namespace

TPriorityThread::~TPriorityThread() {
  if (FThread.joinable() && !IsCurrentThread()) FThread.join();
  if (FThread.joinable()) FThread.detach();
}

void TPriorityThread::Start(TThreadPriority priority) {
  FThread = std::thread([this, priority] {
    if (priority == TThreadPriority::TimeCritical) {
      FGranted = raiseCurrentThread();
      if (FGranted != TGrantedPriority::RealTime && !gFallbackReported.exchange(true))
        Log(FGranted == TGrantedPriority::Raised
                   ? "Play thread: real-time scheduling not permitted; running at raised priority"
                   : "Play thread: real-time scheduling not permitted; running at normal priority");
    }
    FBody();
  });
}

void TPriorityThread::Join() {
  if (FThread.joinable() && !IsCurrentThread()) FThread.join();
}
