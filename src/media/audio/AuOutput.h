#pragma once
// Clip outputs: each pumps its input's PCM to a device from a pump thread
// of its own (TAuThread), which waits idle between runs. Events reach the
// main thread through the process's event handler. A device output
// implements Prepare, DoOutput and Done.

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "media/audio/AuInput.h"
#include "score/model/MediaServices.h"

class TAuOutput;
class TEventHandler;
using TOutputEvent = std::function<void(TAuOutput* Sender)>;

class TAuThread {
public:
  explicit TAuThread(TAuOutput& output);
  ~TAuThread();  // terminates, wakes and joins the thread

  // Starts a run when the thread is idle, after a run that is stopping or
  // ending has ended; false while a run goes on (it plays on).
  bool Resume();
  // Waits until no run is stopping or ending; false while a run goes on.
  bool WaitUntilFree();
  bool Suspended();
  // Waits up to Ms for the thread to be idle or to report its run stopped.
  bool WaitStopped(int ms);
  // The pump's pause: up to Ms, or until a stop is asked for (true then).
  bool WaitForStopRequest(int ms);
  // Wakes a pause once StopRequest is set.
  void Wake();

  std::atomic<bool> PostDone{true};
  std::atomic<bool> Stopped{false};
  std::atomic<bool> StopRequest{false};
  std::atomic<uint64_t> Runs{0};  // runs started

private:
  void Execute();
  void RunOnce();

  TAuOutput& FOutput;
  std::mutex FLock;
  std::condition_variable FSignal;
  bool FSuspended = true, FStart = false, FTerminated = false;
  bool FEnding = false;  // the run's output loop has ended; Done is under way
  std::thread FThread;
};

class TAuOutput : public TKVAudioOutput {
public:
  TAuOutput();
  ~TAuOutput() override;

  TKVAudioInput* Input() const override { return FInput; }
  TAuInput* AuInput() const { return FAuInput; }
  // While busy: stops, stores, runs again (nil: stops and stores only).
  void SetInput(TKVAudioInput* input) override;
  // Starts the pump; raises "Input is not assigned" without input. A run
  // still stopping or ending (an asynchronous Stop just before) is waited
  // for, so that the new one is never lost; a run going on plays on.
  void Run();
  // Returns once a run that is stopping or ending has ended: true when the
  // output is then free for a new run, false while one goes on. Whoever
  // prepares the input anew waits for this first: the pump reads it until
  // its run has ended.
  bool WaitUntilFree() { return FThread.WaitUntilFree(); }
  // Async: returns at once, OnDone follows on the main thread. Otherwise
  // returns once the pump has stopped (running the main queue meanwhile on
  // the main thread), with no OnDone.
  void Stop(bool async = true);
  // Percent of the input delivered; -1 when its size is not known.
  int Progress();
  bool Busy() const { return FBusy; }
  bool Active() const { return FActive; }
  std::string ErrorText();
  bool PumpIdle() { return FThread.Suspended(); }
  // When the last Run was meant to sound (the caller's send time).
  int64_t RunTimeNs() const { return FRunTime; }
  uint64_t PumpRun() const { return FThread.Runs; }

  TOutputEvent OnDone;
  TOutputEvent OnProgress;
  TOutputEvent OnThreadException;
  int32_t Delay = 0;  // ms the pump sleeps between rounds, when above 5

protected:
  friend class TAuThread;
  virtual void Prepare() = 0;
  // One round of output; false ends the run.
  virtual bool DoOutput(bool abort) = 0;
  virtual void Done() = 0;
  // Queues the call of the event Which (when assigned then) for the main
  // thread.
  void PostEvent(TOutputEvent TAuOutput::*which, bool done = false);
  void SetErrorText(const std::string& text);
  bool StopRequested() const { return FThread.StopRequest; }
  // A pause of the pump that a Stop cuts short: true when one was asked for.
  bool WaitForStop(int ms) { return FThread.WaitForStopRequest(ms); }

  std::atomic<bool> FActive{false};
  std::atomic<bool> FBusy{false};
  std::atomic<bool> FStoppedByRequest{false};

private:
  std::atomic<TKVAudioInput*> FInput{nullptr};
  std::atomic<TAuInput*> FAuInput{nullptr};
  std::mutex FErrorLock;
  std::string FErrorText;
  int FLastProgress = 0;
  std::atomic<int64_t> FRunTime{0};
  TEventHandler& FEvents;
  TAuThread FThread;  // last: it runs on the members above
};
