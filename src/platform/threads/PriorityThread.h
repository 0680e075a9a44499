#pragma once
// A thread that is made first and started later, at a requested priority.
// Time-critical means SCHED_FIFO when the system permits it; otherwise the
// thread runs at normal priority and the fallback is reported once per
// process through the program's log (base/Log.h).

#include <functional>
#include <string>
#include <thread>

enum class TThreadPriority { Normal, TimeCritical };
enum class TGrantedPriority { Normal, Raised, RealTime };

class TPriorityThread {
public:
  explicit TPriorityThread(std::function<void()> body) : FBody(std::move(body)) {}
  ~TPriorityThread();  // joins a thread that was started and not joined
  TPriorityThread(const TPriorityThread&) = delete;
  TPriorityThread& operator=(const TPriorityThread&) = delete;

  void Start(TThreadPriority priority);
  void Join();
  bool Joinable() const { return FThread.joinable(); }
  bool IsCurrentThread() const { return std::this_thread::get_id() == FThread.get_id(); }
  // What the thread got; valid once it runs its body.
  TGrantedPriority Granted() const { return FGranted; }

private:
  std::function<void()> FBody;
  std::thread FThread;
  TGrantedPriority FGranted = TGrantedPriority::Normal;
};
