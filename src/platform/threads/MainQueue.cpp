#include "platform/threads/MainQueue.h"

#include <chrono>

TMainQueue& TMainQueue::Instance() {
  static TMainQueue queue;
  return queue;
}

TMainQueue::TMainQueue() : FMainThread(std::this_thread::get_id()) {}

void TMainQueue::Post(std::function<void()> fn, const void* owner) {
  std::function<void()> wake;
  {
    std::lock_guard<std::mutex> guard(FLock);
    FEntries.push_back({std::move(fn), owner});
    wake = FWake;
  }
  FSignal.notify_all();
  if (wake) wake();
}

void TMainQueue::Cancel(const void* owner) {
  std::lock_guard<std::mutex> guard(FLock);
  std::erase_if(FEntries, [owner](const Entry& e) { return e.Owner == owner; });
}

int TMainQueue::ProcessPending() {
  size_t count;
  {
    std::lock_guard<std::mutex> guard(FLock);
    count = FEntries.size();
  }
  int run = 0;
  for (size_t i = 0; i < count; ++i) {
    std::function<void()> fn;
    {
      std::lock_guard<std::mutex> guard(FLock);
      // A Cancel between calls may have shortened the queue.
      if (FEntries.empty()) break;
      fn = std::move(FEntries.front().Fn);
      FEntries.pop_front();
    }
    fn();
    ++run;
  }
  return run;
}

bool TMainQueue::WaitForPosts(int timeoutMs) {
  std::unique_lock<std::mutex> guard(FLock);
  return FSignal.wait_for(guard, std::chrono::milliseconds(timeoutMs), [this] { return !FEntries.empty(); });
}

bool TMainQueue::HasPending() {
  std::lock_guard<std::mutex> guard(FLock);
  return !FEntries.empty();
}

void TMainQueue::SetWakeup(std::function<void()> wake) {
  std::lock_guard<std::mutex> guard(FLock);
  FWake = std::move(wake);
}

void TMainQueue::SetMainThread(std::thread::id id) { FMainThread = id; }

bool TMainQueue::IsMainThread() const { return std::this_thread::get_id() == FMainThread; }
