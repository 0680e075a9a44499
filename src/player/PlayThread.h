#pragma once
// The play thread of a view: one run of the play engine at time-critical
// priority. The view makes one per Play and joins it in Stop, or before
// the next Play when the run ended by itself.

#include "platform/threads/Clock.h"
#include "platform/threads/PriorityThread.h"
#include "player/PlayEngine.h"

class TKVWindow;

class TKVPlayThread {
public:
  explicit TKVPlayThread(TKVWindow& View);
  ~TKVPlayThread();  // joins
  TKVPlayThread(const TKVPlayThread&) = delete;
  TKVPlayThread& operator=(const TKVPlayThread&) = delete;

  void Start();
  // Cuts the thread's sleep short and joins it; the view's playing flag is
  // cleared first, so the run ends at its next tick.
  void Stop();
  // Whether the caller is a play thread of View (a play event handler).
  // Asks no thread object, which the main thread may be replacing.
  static bool RunsFor(const TKVWindow& View);

private:
  TKVPlayEngine FEngine;
  TSleepInterrupt FInterrupt;
  TPriorityThread FThread;
};
