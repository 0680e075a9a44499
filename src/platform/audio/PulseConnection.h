#pragma once
// One connection to a PulseAudio server (PipeWire serves the same protocol):
// libpulse's threaded main loop and a context on it. Every libpulse call runs
// with the loop locked (TLoopLock); the loop's own thread runs the callbacks
// with the lock already held. Waiting for the server is always bounded, so a
// server that does not answer never holds up the main thread for long.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

struct pa_threaded_mainloop;
struct pa_context;

namespace audio {

class TPulseConnection {
public:
  // Connects to Server ("" = the default one; a server is never started
  // for it) and waits at most TimeoutMs for it to be ready.
  TPulseConnection(const std::string& server, int timeoutMs);
  ~TPulseConnection();
  TPulseConnection(const TPulseConnection&) = delete;
  TPulseConnection& operator=(const TPulseConnection&) = delete;

  // Loop locked.
  bool Ready() const;
  // Disconnects and ends the loop's thread: no callback runs afterwards.
  // Idempotent; not from the loop's thread.
  void Close();

  pa_context* Context() const { return FContext; }
  pa_threaded_mainloop* Loop() const { return FLoop; }

  // On the loop's thread, when a connection that was ready breaks (the
  // server went away). Set before anything can break it.
  std::function<void()> OnBroken;

  // Wakes WaitFor; callbacks call it after changing what it waits for.
  void Signal();
  // Waits at most TimeoutMs until Done (run with the loop locked) holds.
  // Neither on the loop's thread nor with the loop locked.
  bool WaitFor(const std::function<bool()>& done, int timeoutMs);

private:
  static void ContextState(pa_context* context, void* self);

  pa_threaded_mainloop* FLoop = nullptr;
  pa_context* FContext = nullptr;
  bool FRunning = false, FWasReady = false;
  std::mutex FWaitLock;
  std::condition_variable FWake;
  uint64_t FGeneration = 0;
};

// Locks the loop, unless the caller is the loop's thread (a callback), which
// holds the lock already.
class TLoopLock {
public:
  explicit TLoopLock(const TPulseConnection& connection);
  ~TLoopLock();
  TLoopLock(const TLoopLock&) = delete;
  TLoopLock& operator=(const TLoopLock&) = delete;

private:
  pa_threaded_mainloop* FLocked;
};

}  // namespace audio
