#include "platform/audio/PulseConnection.h"

#include <pulse/context.h>
#include <pulse/thread-mainloop.h>

#include <chrono>

namespace audio {

TPulseConnection::TPulseConnection(const std::string& server, int timeoutMs) {
  FLoop = pa_threaded_mainloop_new();
  if (!FLoop) return;
  FContext = pa_context_new(pa_threaded_mainloop_get_api(FLoop), "Sonarid");
  if (!FContext) return;
  pa_context_set_state_callback(FContext, &ContextState, this);
  if (pa_threaded_mainloop_start(FLoop) < 0) return;
  FRunning = true;
  bool connecting;
  {
    TLoopLock lock(*this);
    connecting = pa_context_connect(FContext, server.empty() ? nullptr : server.c_str(), PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
  }
  bool ready = false;
  if (connecting) WaitFor([&] { return (ready = Ready()) || !PA_CONTEXT_IS_GOOD(pa_context_get_state(FContext)); }, timeoutMs);
  if (!ready) Close();
}

TPulseConnection::~TPulseConnection() {
  Close();
  if (FContext) pa_context_unref(FContext);
  if (FLoop) pa_threaded_mainloop_free(FLoop);
}

bool TPulseConnection::Ready() const { return FContext && pa_context_get_state(FContext) == PA_CONTEXT_READY; }

void TPulseConnection::Close() {
  if (!FRunning) return;
  {
    TLoopLock lock(*this);
    // Our own disconnection is no break.
    pa_context_set_state_callback(FContext, nullptr, nullptr);
    pa_context_disconnect(FContext);
  }
  pa_threaded_mainloop_stop(FLoop);
  FRunning = false;
}

void TPulseConnection::ContextState(pa_context* context, void* self) {
  auto* connection = static_cast<TPulseConnection*>(self);
  const pa_context_state_t state = pa_context_get_state(context);
  if (state == PA_CONTEXT_READY) connection->FWasReady = true;
  else if (!PA_CONTEXT_IS_GOOD(state) && connection->FWasReady && connection->OnBroken) connection->OnBroken();
  connection->Signal();
}

void TPulseConnection::Signal() {
  {
    std::lock_guard<std::mutex> lock(FWaitLock);
    ++FGeneration;
  }
  FWake.notify_all();
}

bool TPulseConnection::WaitFor(const std::function<bool()>& done, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    uint64_t seen;
    {
      std::lock_guard<std::mutex> lock(FWaitLock);
      seen = FGeneration;
    }
    {
      TLoopLock lock(*this);
      if (done()) return true;
    }
    std::unique_lock<std::mutex> lock(FWaitLock);
    if (!FWake.wait_until(lock, end, [&] { return FGeneration != seen; })) return false;
  }
}

TLoopLock::TLoopLock(const TPulseConnection& connection)
    : FLocked(!connection.Loop() || pa_threaded_mainloop_in_thread(connection.Loop()) ? nullptr : connection.Loop()) {
  if (FLocked) pa_threaded_mainloop_lock(FLocked);
}

TLoopLock::~TLoopLock() {
  if (FLocked) pa_threaded_mainloop_unlock(FLocked);
}

}  // namespace audio
