#pragma once
// The one thread of the process that hands the clip outputs' events to the
// main thread: records are queued by the pump threads, taken one at a time,
// and run on the main thread through the program's main queue, waiting for
// each as a synchronised call does. Made with the first output and ended
// with the last (Acquire and Release count them).

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class TAuOutput;

class TEventHandler {
public:
  enum class TKind { Event, Done };
  static TEventHandler& Acquire();
  static void Release();

  // Queues Handler for Sender unless Sender's events are blocked. A done
  // record waits for Sender's pump to be idle and drops the other pending
  // records of its run.
  void Post(TKind kind, TAuOutput* sender, std::function<void()> handler);
  // Drops Sender's pending records and refuses new ones until Unblock.
  void Block(TAuOutput* sender);
  void Unblock();

private:
  TEventHandler();
  ~TEventHandler();
  void Execute();
  void Synchronize(const std::function<void()>& handler);

  struct TRecord {
    TKind Kind;
    TAuOutput* Sender;
    uint64_t Run;  // the sender's run that posted it
    std::function<void()> Handler;
  };
  std::mutex FLock;
  std::condition_variable FSignal;
  std::deque<TRecord> FPending;
  TAuOutput* FBlocked = nullptr;
  TAuOutput* FDelivering = nullptr;  // the sender of the record on its way
  bool FTerminated = false;
  std::thread FThread;
};
