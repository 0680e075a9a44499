#include "media/audio/AuOutput.h"

#include <chrono>
#include <cmath>

#include "media/audio/AuException.h"
#include "media/audio/EventHandler.h"
#include "platform/midi/SendTime.h"
#include "platform/threads/MainQueue.h"

TAuThread::TAuThread(TAuOutput& output) : FOutput(output), FThread([this] { Execute(); }) {}

TAuThread::~TAuThread() {
  {
    std::lock_guard<std::mutex> lock(FLock);
    FTerminated = true;
  }
  FSignal.notify_all();
  FThread.join();
}

bool TAuThread::Resume() {
  {
    std::unique_lock<std::mutex> lock(FLock);
    if (!FSuspended && !StopRequest && !FEnding) return false;
    FSignal.wait(lock, [&] { return FSuspended || FTerminated; });
    if (FTerminated) return false;
    FSuspended = false;
    FStart = true;
    ++Runs;
    // A stop asked for before this run does not end it.
    StopRequest = false;
  }
  FSignal.notify_all();
  return true;
}

bool TAuThread::WaitUntilFree() {
  std::unique_lock<std::mutex> lock(FLock);
  if (!FSuspended && !StopRequest && !FEnding) return false;
  FSignal.wait(lock, [&] { return FSuspended || FTerminated; });
  return FSuspended;
}

bool TAuThread::WaitForStopRequest(int ms) {
  std::unique_lock<std::mutex> lock(FLock);
  return FSignal.wait_for(lock, std::chrono::milliseconds(std::max(ms, 0)), [&] { return StopRequest || FTerminated; });
}

void TAuThread::Wake() {
  { std::lock_guard<std::mutex> lock(FLock); }
  FSignal.notify_all();
}

bool TAuThread::Suspended() {
  std::lock_guard<std::mutex> lock(FLock);
  return FSuspended;
}

bool TAuThread::WaitStopped(int ms) {
  std::unique_lock<std::mutex> lock(FLock);
  return FSignal.wait_for(lock, std::chrono::milliseconds(ms), [&] { return FSuspended || Stopped; });
}

void TAuThread::Execute() {
  std::unique_lock<std::mutex> lock(FLock);
  for (;;) {
    FSignal.wait(lock, [&] { return FStart || FTerminated; });
    if (FTerminated) return;
    FStart = false;
    lock.unlock();
    RunOnce();
    lock.lock();
    Stopped = true;
    FSuspended = true;
    FEnding = false;
    FSignal.notify_all();
  }
}

void TAuThread::RunOnce() {
  TAuOutput& out = FOutput;
  out.FBusy = true;
  try {
    out.Prepare();
    out.FActive = true;
    bool more = true;
    while (!StopRequest && more) {
      if (out.Delay > 5) WaitForStopRequest(out.Delay);
      const int progress = out.Progress();
      if (progress != out.FLastProgress) {
        out.FLastProgress = progress;
        out.PostEvent(&TAuOutput::OnProgress);
      }
      more = out.DoOutput(StopRequest);
    }
  } catch (const std::exception& e) {
    // Nothing leaves the pump: the run ends with its error text.
    out.SetErrorText(e.what());
    out.PostEvent(&TAuOutput::OnThreadException);
  }
  {
    // From here a new run waits for this one to end (Resume).
    std::lock_guard<std::mutex> lock(FLock);
    FEnding = true;
  }
  if (out.FBusy) {
    out.FActive = false;
    try {
      out.Done();
    } catch (const std::exception& e) {
      out.SetErrorText(e.what());
    }
    out.FStoppedByRequest = false;
    out.FBusy = false;
    if (PostDone) out.PostEvent(&TAuOutput::OnDone, true);
  }
}

TAuOutput::TAuOutput() : FEvents(TEventHandler::Acquire()), FThread(*this) {}

TAuOutput::~TAuOutput() {
  Stop(false);
  TEventHandler::Release();
}

void TAuOutput::SetInput(TKVAudioInput* input) {
  if (FBusy) {
    Stop(false);
    FInput = input;
    FAuInput = dynamic_cast<TAuInput*>(input);
    if (input) Run();
    return;
  }
  FInput = input;
  FAuInput = dynamic_cast<TAuInput*>(input);
}

void TAuOutput::Run() {
  SetErrorText("");
  if (!FAuInput) throw EAuException("Input is not assigned");
  FRunTime = midi::SendTimeNs();
  FThread.Resume();
}

void TAuOutput::Stop(bool async) {
  // A stop already on its way is not asked again; a synchronous one still
  // waits for it.
  if (!FThread.StopRequest) {
    FStoppedByRequest = true;
    FThread.PostDone = async;
    FThread.Stopped = false;
    FThread.StopRequest = true;
    FThread.Wake();
  } else if (!async) {
    FThread.PostDone = false;
  }
  if (async) return;
  FEvents.Block(this);
  TMainQueue& queue = TMainQueue::Instance();
  while (!FThread.WaitStopped(5))
    if (queue.IsMainThread()) queue.ProcessPending();
  FEvents.Unblock();
  FThread.PostDone = true;
}

int TAuOutput::Progress() {
  TAuInput* input = FAuInput;
  if (!input) return 0;
  const int64_t size = input->Size();
  if (size < 0) return -1;
  return size == 0 ? 0 : int(std::lround(double(input->Position()) / double(size) * 100));
}

std::string TAuOutput::ErrorText() {
  std::lock_guard<std::mutex> lock(FErrorLock);
  return FErrorText;
}

void TAuOutput::SetErrorText(const std::string& text) {
  std::lock_guard<std::mutex> lock(FErrorLock);
  FErrorText = text;
}

void TAuOutput::PostEvent(TOutputEvent TAuOutput::*which, bool done) {
  FEvents.Post(done ? TEventHandler::TKind::Done : TEventHandler::TKind::Event, this, [this, which] {
    if (this->*which) (this->*which)(this);
  });
}
