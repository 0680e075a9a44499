// The message loop of TWindowSystem: passes over posted work, raw input,
// paints and timers, and the wait between them.
#include <algorithm>
#include <limits>

#include "platform/threads/MainQueue.h"
#include "platform/window/WindowSystem.h"

namespace window {

void TWindowSystem::FetchRawEvents() {
  TRawEvent ev;
  while (FHost->PollEvent(ev)) FRaw.push_back(std::move(ev));
}

bool TWindowSystem::RunOnePass() {
  bool any = TMainQueue::Instance().ProcessPending() > 0;
  FetchRawEvents();
  // A handler may pump messages itself; each event is taken off the queue
  // before it is handled, so a nested pass goes on with the next one.
  while (!FRaw.empty()) {
    TRawEvent ev = std::move(FRaw.front());
    FRaw.pop_front();
    HandleRawEvent(ev);
    any = true;
  }
  ResolveFocusLoss();
  any |= PaintInvalidWindows();
  any |= FireDueTimers();
  return any;
}

void TWindowSystem::ProcessMessages() {
  while (RunOnePass()) {
  }
}

void TWindowSystem::HandleMessage() {
  if (RunOnePass() || TMainQueue::Instance().HasPending()) return;
  if (FIdle) {
    if (!FIdle()) return;
    // What the idle work changed (paints, posts) is handled before waiting.
    if (RunOnePass() || TMainQueue::Instance().HasPending()) return;
  }
  FHost->WaitEvent(MsUntilNextTimer());
  RunOnePass();
}

void TWindowSystem::Run() {
  while (!FTerminated) HandleMessage();
}

bool TWindowSystem::PaintInvalidWindows() {
  std::vector<uint32_t> invalid;
  for (TWindow* w : FZOrder)
    if (!w->FInvalid.IsEmpty()) invalid.push_back(w->FHandle);
  for (uint32_t h : invalid)
    if (TWindow* w = Find(h)) w->Update();
  return !invalid.empty();
}

void TWindowSystem::PaintWindow(TWindow* w) {
  const uint32_t handle = w->FHandle;
  TMessage msg(TMessageKind::Paint);
  msg.Buffer = w->Buffer();
  // The window may have shrunk since the area became invalid.
  msg.UpdateRect = w->FInvalid.Intersect({0, 0, msg.Buffer.Width, msg.Buffer.Height});
  w->FInvalid = {};
  Send(w, msg);
  if (Find(handle) == w) w->PresentRect(msg.UpdateRect);
}

void TWindowSystem::SetTimer(TWindow* w, int id, int interval) {
  interval = std::max(1, interval);
  FTimers[{w->FHandle, id}] = {interval, FHost->Now() + interval};
}

void TWindowSystem::KillTimer(TWindow* w, int id) { FTimers.erase({w->FHandle, id}); }

bool TWindowSystem::FireDueTimers() {
  const uint64_t now = FHost->Now();
  std::vector<std::pair<uint64_t, TTimerKey>> due;
  for (const auto& [key, timer] : FTimers)
    if (timer.Due <= now) due.push_back({timer.Due, key});
  std::sort(due.begin(), due.end());
  bool fired = false;
  for (const auto& [when, key] : due) {
    // An earlier timer's handler may have killed or restarted this one.
    auto it = FTimers.find(key);
    if (it == FTimers.end() || it->second.Due > now) continue;
    // Missed periods are not made up: one message, then the next period.
    it->second.Due = now + it->second.Interval;
    TMessage msg(TMessageKind::Timer);
    msg.TimerId = key.second;
    Send(Find(key.first), msg);
    fired = true;
  }
  return fired;
}

int TWindowSystem::MsUntilNextTimer() {
  if (FTimers.empty()) return -1;
  const uint64_t now = FHost->Now();
  uint64_t next = std::numeric_limits<uint64_t>::max();
  for (const auto& [key, timer] : FTimers) next = std::min(next, timer.Due);
  return next <= now ? 0 : static_cast<int>(std::min<uint64_t>(next - now, std::numeric_limits<int>::max()));
}

}  // namespace window
