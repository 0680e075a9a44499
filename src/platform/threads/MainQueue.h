#pragma once
// The program's one queue of work for the main thread. Any thread may Post;
// only the main thread runs what was posted (ProcessPending), in posting
// order. The window layer installs a wake-up hook that nudges its event loop,
// so that a post from the MIDI driver or the audio thread is handled as soon
// as the loop can; without a window loop, WaitForPosts blocks instead.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class TMainQueue {
public:
  static TMainQueue& Instance();

  // Any thread. Queues Fn; Owner (may be null) lets Cancel drop it later.
  void Post(std::function<void()> fn, const void* owner = nullptr);
  // Drops every queued call of Owner; an object calls this before it dies so
  // that nothing runs on a freed object.
  void Cancel(const void* owner);
  // Main thread. Runs what is queued now (not what those calls post); returns
  // the number run.
  int ProcessPending();
  // Main thread. Waits until something is queued or TimeoutMs passes; true
  // when something is queued.
  bool WaitForPosts(int timeoutMs);
  bool HasPending();

  void SetWakeup(std::function<void()> wake);
  // The thread that created the queue's instance counts as the main thread;
  // tests and the program entry may rebind it.
  void SetMainThread(std::thread::id id);
  bool IsMainThread() const;

private:
  TMainQueue();
  struct Entry {
    std::function<void()> Fn;
    const void* Owner;
  };
  std::mutex FLock;
  std::condition_variable FSignal;
  std::deque<Entry> FEntries;
  std::function<void()> FWake;
  std::thread::id FMainThread;
};
