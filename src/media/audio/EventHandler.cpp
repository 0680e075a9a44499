#include "media/audio/EventHandler.h"

#include <chrono>

#include "media/audio/AuOutput.h"
#include "platform/threads/MainQueue.h"

namespace {
std::mutex gInstanceLock;
TEventHandler* gInstance = nullptr;
int gUsers = 0;
}  // namespace

TEventHandler& TEventHandler::Acquire() {
  std::lock_guard<std::mutex> lock(gInstanceLock);
  if (gUsers++ == 0) gInstance = new TEventHandler;
  return *gInstance;
}

void TEventHandler::Release() {
  TEventHandler* last = nullptr;
  {
    std::lock_guard<std::mutex> lock(gInstanceLock);
    if (--gUsers == 0) std::swap(last, gInstance);
  }
  delete last;
}

TEventHandler::TEventHandler() : FThread([this] { Execute(); }) {}

TEventHandler::~TEventHandler() {
  {
    std::lock_guard<std::mutex> lock(FLock);
    FTerminated = true;
  }
  FSignal.notify_all();
  FThread.join();
}

void TEventHandler::Post(TKind kind, TAuOutput* sender, std::function<void()> handler) {
  {
    std::lock_guard<std::mutex> lock(FLock);
    if (sender == FBlocked) return;
    FPending.push_back({kind, sender, sender->PumpRun(), std::move(handler)});
  }
  FSignal.notify_all();
}

void TEventHandler::Block(TAuOutput* sender) {
  std::unique_lock<std::mutex> lock(FLock);
  FBlocked = sender;
  std::erase_if(FPending, [&](const TRecord& r) { return r.Sender == sender; });
  // A record of Sender on its way to the main thread is let through first,
  // so that nothing runs on Sender after this returns.
  while (FDelivering == sender) {
    lock.unlock();
    if (TMainQueue::Instance().IsMainThread()) TMainQueue::Instance().ProcessPending();
    lock.lock();
    FSignal.wait_for(lock, std::chrono::milliseconds(1));
  }
}

void TEventHandler::Unblock() {
  std::lock_guard<std::mutex> lock(FLock);
  FBlocked = nullptr;
}

void TEventHandler::Synchronize(const std::function<void()>& handler) {
  struct TCall {
    std::mutex Lock;
    std::condition_variable Done;
    bool Ran = false;
  };
  auto call = std::make_shared<TCall>();
  TMainQueue::Instance().Post([call, handler] {
    handler();
    std::lock_guard<std::mutex> lock(call->Lock);
    call->Ran = true;
    call->Done.notify_all();
  });
  std::unique_lock<std::mutex> lock(call->Lock);
  // Ending the process does not wait for a main thread that stopped running
  // its queue.
  while (!call->Ran) {
    call->Done.wait_for(lock, std::chrono::milliseconds(10));
    std::lock_guard<std::mutex> state(FLock);
    if (FTerminated) return;
  }
}

void TEventHandler::Execute() {
  std::unique_lock<std::mutex> lock(FLock);
  while (!FTerminated) {
    if (FPending.empty()) {
      FSignal.wait_for(lock, std::chrono::milliseconds(100));
      continue;
    }
    TRecord record = std::move(FPending.front());
    FPending.pop_front();
    FDelivering = record.Sender;
    // A done record waits for its run's pump to be idle and drops what that
    // run left behind; the records of a later run stay.
    if (record.Kind == TKind::Done) {
      while (!record.Sender->PumpIdle() && record.Sender->PumpRun() == record.Run && !FTerminated)
        FSignal.wait_for(lock, std::chrono::milliseconds(10));
      std::erase_if(FPending, [&](const TRecord& r) { return r.Sender == record.Sender && r.Run == record.Run; });
    }
    if (FBlocked != record.Sender) {
      lock.unlock();
      Synchronize(record.Handler);
      lock.lock();
    }
    FDelivering = nullptr;
    FSignal.notify_all();
  }
}
