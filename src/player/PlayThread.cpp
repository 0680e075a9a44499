#include "player/PlayThread.h"

namespace {
thread_local const TKVWindow* tPlaying = nullptr;
}

TKVPlayThread::TKVPlayThread(TKVWindow& View)
    : FEngine(View), FThread([this, &View] {
        tPlaying = &View;
        FEngine.Run(FInterrupt);
      }) {}

bool TKVPlayThread::RunsFor(const TKVWindow& View) { return tPlaying == &View; }

TKVPlayThread::~TKVPlayThread() { Stop(); }

void TKVPlayThread::Start() { FThread.Start(TThreadPriority::TimeCritical); }

void TKVPlayThread::Stop() {
  FInterrupt.Interrupt();
  FThread.Join();
}
