#include "player/PlayThread.h"

TKVPlayThread::TKVPlayThread(TKVWindow& View)
    : FEngine(View), FThread([this] {
        FId = std::this_thread::get_id();
        FEngine.Run(FInterrupt);
      }) {}

TKVPlayThread::~TKVPlayThread() { Stop(); }

void TKVPlayThread::Start() { FThread.Start(TThreadPriority::TimeCritical); }

void TKVPlayThread::Stop() {
  FInterrupt.Interrupt();
  FThread.Join();
}
