// Starting and stopping the play thread, and the view's end, which stops it
// first: the thread raises events on the view until it is joined.

#include <mutex>

#include "platform/threads/MainQueue.h"
#include "player/PlayThread.h"
#include "player/Rule.h"
#include "player/ScoreRenderer.h"
#include "player/Window.h"
#include "score/model/Score.h"

TKVWindow::~TKVWindow() {
  FDestroying = true;
  Stop();
  // A run that ended by itself may have posted its cursor.
  TMainQueue::Instance().Cancel(this);
}

bool TKVWindow::BeginPlay() {
  if (!FScore || Playing() || TKVPlayThread::RunsFor(*this)) return false;
  FPlayThread.reset();
  FScore->UpdateVSTHandles();
  if (PlayRange.Mode > 1) GotoPosition(PlayRange.StartPiece, PlayRange.StartMeasure, false, PlayRange.StartTick);
  std::lock_guard lock(FPlayLock);
  SetPlaying(true);
  PlayEnded = 1;
  return true;
}

void TKVWindow::Play() {
  if (!BeginPlay()) return;
  FPlayThread = std::make_unique<TKVPlayThread>(*this);
  FPlayThread->Start();
}

void TKVWindow::Stop() {
  SetPlaying(false);
  if (TKVPlayThread::RunsFor(*this) || !FPlayThread) return;
  FPlayThread->Stop();
  FPlayThread.reset();
}
