#include "platform/window/WindowSystem.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "platform/threads/MainQueue.h"

namespace window {

namespace {
TWindowSystem* GCurrent = nullptr;
}

TWindowSystem::TWindowSystem(std::unique_ptr<THost> host) : FHost(std::move(host)) {
  if (GCurrent) throw Exception("A window system exists already");
  GCurrent = this;
  // Posts from any thread end the loop's wait. Threads that post must stop
  // before the window system goes.
  THost* waker = FHost.get();
  TMainQueue::Instance().SetWakeup([waker] { waker->Wake(); });
}

TWindowSystem::~TWindowSystem() {
  TMainQueue::Instance().SetWakeup(nullptr);
  // Windows still alive lose their native side and become inert.
  for (auto& [handle, w] : FWindows) {
    if (w->FNative) FHost->DestroyNativeWindow(w->FNative);
    w->FNative = 0;
    w->FSystem = nullptr;
  }
  GCurrent = nullptr;
}

TWindowSystem& TWindowSystem::Current() {
  if (!GCurrent) throw Exception("No window system exists");
  return *GCurrent;
}

bool TWindowSystem::Exists() { return GCurrent != nullptr; }

void TWindowSystem::Register(TWindow* w) {
  w->FHandle = FNextHandle++;
  FWindows[w->FHandle] = w;
  if (w->FKind == TWindowKind::MessageOnly) return;
  TNativeParams params;
  params.Bounds = w->FBounds;
  params.PopUp = w->FKind == TWindowKind::PopUp;
  params.StayOnTop = w->FStayOnTop;
  w->FNative = FHost->CreateNativeWindow(params);
}

void TWindowSystem::Unregister(TWindow* w) {
  // No message reaches a window that is being destroyed.
  if (FCapture == w) {
    FCapture = nullptr;
    FHost->CaptureMouse(false);
  }
  if (FHover == w) FHover = nullptr;
  std::erase_if(FTimers, [w](const auto& t) { return t.first.first == w->FHandle; });
  for (auto& [handle, other] : FWindows)
    if (other->FOwner == w) other->FOwner = nullptr;
  std::erase(FZOrder, w);
  FWindows.erase(w->FHandle);
  if (w->FNative) FHost->DestroyNativeWindow(w->FNative);
  w->FNative = 0;
  if (FActive == w) {
    FActive = nullptr;
    ActivateAfterLoss(w);
  }
}

TWindow* TWindowSystem::Find(uint32_t handle) const {
  auto it = FWindows.find(handle);
  return it == FWindows.end() ? nullptr : it->second;
}

TWindow* TWindowSystem::FindNative(TNativeId id) const {
  if (id == 0) return nullptr;
  for (auto& [handle, w] : FWindows)
    if (w->FNative == id) return w;
  return nullptr;
}

void TWindowSystem::Send(TWindow* w, TMessage& msg) {
  if (w) w->Perform(msg);
}

int TWindowSystem::ZGroup(const TWindow* w) const {
  if (w->FKind == TWindowKind::PopUp) return 2;
  return w->FStayOnTop ? 1 : 0;
}

void TWindowSystem::BringToTopOfGroup(TWindow* w) {
  // Above every window of its group, below the groups above it.
  auto pos = std::find_if(FZOrder.begin(), FZOrder.end(), [&](TWindow* o) { return ZGroup(o) > ZGroup(w); });
  FZOrder.insert(pos, w);
}

void TWindowSystem::BringToTop(TWindow* w, bool focus) {
  std::erase(FZOrder, w);
  BringToTopOfGroup(w);
  FHost->RaiseNativeWindow(w->FNative, focus);
  // Without a window manager nothing keeps pop-ups and stay-on-top windows
  // above the others: raise them again, bottom to top.
  auto above = std::find(FZOrder.begin(), FZOrder.end(), w);
  for (++above; above != FZOrder.end(); ++above) FHost->RaiseNativeWindow((*above)->FNative, false);
}

std::vector<TWindow*> TWindowSystem::ZOrder() const { return FZOrder; }

TWindow* TWindowSystem::WindowFromPoint(TPoint screen) const {
  for (auto it = FZOrder.rbegin(); it != FZOrder.rend(); ++it) {
    TWindow* w = *it;
    if (w->FState != TWindowState::wsMinimized && w->PtInWindow(w->ScreenToClient(screen))) return w;
  }
  return nullptr;
}

void TWindowSystem::WindowShown(TWindow* w) {
  if (!w->FNative) return;
  FHost->ShowNativeWindow(w->FNative, true);
  // Mapping may drop a shape set on the hidden window; set it again.
  if (w->FRegion) FHost->SetNativeRegion(w->FNative, w->WindowRgn());
  // A new window or one shown again goes to the top of its group; an
  // ordinary top-level window also becomes the active one.
  if (w->FKind == TWindowKind::TopLevel && w->AcceptsInput()) ActivateWindow(w);
  else BringToTop(w);
}

void TWindowSystem::LeaveInputState(TWindow* w) {
  const uint32_t handle = w->FHandle;
  if (FCapture == w) SetCapture(nullptr);
  if (FHover == w && Find(handle)) {
    FHover = nullptr;
    TMessage msg(TMessageKind::MouseLeave);
    Send(w, msg);
  }
  if (FActive == w && Find(handle)) ActivateAfterLoss(w);
}

void TWindowSystem::WindowHidden(TWindow* w) {
  if (w->FNative) FHost->ShowNativeWindow(w->FNative, false);
  std::erase(FZOrder, w);
  LeaveInputState(w);
}

void TWindowSystem::WindowMinimized(TWindow* w) { LeaveInputState(w); }

// Lost may be in its destructor: it is read, never sent to.
void TWindowSystem::ActivateAfterLoss(TWindow* lost) {
  // The owner takes the activation back when it can; else the topmost
  // top-level window that takes input; else nothing is active.
  TWindow* next = nullptr;
  auto eligible = [&](TWindow* c) {
    return c && c != lost && c->FKind == TWindowKind::TopLevel && c->FVisible && c->AcceptsInput() &&
           c->FState != TWindowState::wsMinimized;
  };
  if (eligible(lost->FOwner)) next = lost->FOwner;
  for (auto it = FZOrder.rbegin(); !next && it != FZOrder.rend(); ++it)
    if (eligible(*it)) next = *it;
  if (next) {
    ActivateWindow(next);
  } else if (FActive == lost) {
    ActivateWindow(nullptr);
  }
}

void TWindowSystem::ActivateWindow(TWindow* w, bool fromHost) {
  if (w && (w->FKind != TWindowKind::TopLevel || !w->FVisible || !w->AcceptsInput())) return;
  if (w == FActive) {
    if (w && !fromHost) BringToTop(w, true);
    return;
  }
  TWindow* old = FActive;
  const uint32_t oldHandle = old ? old->FHandle : 0;
  const uint32_t newHandle = w ? w->FHandle : 0;
  FActive = w;
  if (old && Find(oldHandle)) {
    TMessage deactivate(TMessageKind::Activate);
    deactivate.Active = false;
    deactivate.Other = w;
    Send(old, deactivate);
    if (Find(oldHandle) && (!w || Find(newHandle))) {
      TMessage kill(TMessageKind::KillFocus);
      kill.Other = w;
      Send(old, kill);
    }
  }
  if (!w || !Find(newHandle) || FActive != w) return;
  // A focus change the host reports is not asked of the host again: two
  // such requests in flight would bounce between the windows for ever.
  if (fromHost) {
    std::erase(FZOrder, w);
    BringToTopOfGroup(w);
  } else {
    BringToTop(w, true);
  }
  TMessage activate(TMessageKind::Activate);
  activate.Active = true;
  activate.Other = Find(oldHandle);
  Send(w, activate);
  if (Find(newHandle) && FActive == w) {
    TMessage focus(TMessageKind::SetFocus);
    focus.Other = Find(oldHandle);
    Send(w, focus);
  }
}

void TWindowSystem::SetCapture(TWindow* w) {
  if (w == FCapture) return;
  TWindow* old = FCapture;
  FCapture = w;
  FHost->CaptureMouse(w != nullptr);
  if (old) {
    TMessage msg(TMessageKind::CaptureChanged);
    msg.Other = w;
    Send(old, msg);
  }
}

void TWindowSystem::SetCursor(TCursor cursor) {
  FCursor = cursor;
  FHost->SetCursorShape(cursor);
}

void TWindowSystem::SendCancelMode(TWindow* w) {
  TMessage msg(TMessageKind::CancelMode);
  Send(w, msg);
}

std::vector<TWindow*> TWindowSystem::PopUpOwners() const {
  std::vector<TWindow*> owners;
  for (TWindow* w : FZOrder)
    if (w->FKind == TWindowKind::PopUp && w->FOwner && std::find(owners.begin(), owners.end(), w->FOwner) == owners.end())
      owners.push_back(w->FOwner);
  return owners;
}

void TWindowSystem::RunModal(TWindow* w) {
  if (w->FKind != TWindowKind::TopLevel) return;
  const uint32_t handle = w->FHandle;
  // A modal loop ends every mouse mode first.
  std::vector<uint32_t> cancelled;
  for (TWindow* owner : PopUpOwners()) cancelled.push_back(owner->FHandle);
  if (FCapture) cancelled.push_back(FCapture->FHandle);
  for (uint32_t h : cancelled)
    if (TWindow* c = Find(h)) SendCancelMode(c);
  ReleaseCapture();
  if (!Find(handle)) return;

  auto ownedByModal = [w](TWindow* x) {
    for (TWindow* o = x; o; o = o->FOwner)
      if (o == w) return true;
    return false;
  };
  std::vector<uint32_t> blocked;
  for (auto& [h, x] : FWindows)
    if (!ownedByModal(x) && x->FKind != TWindowKind::MessageOnly) {
      ++x->FModalBlocks;
      blocked.push_back(h);
    }
  TWindow* previous = FActive;
  const uint32_t previousHandle = previous ? previous->FHandle : 0;
  if (FHover && !FHover->AcceptsInput()) LeaveInputState(FHover);

  w->FModalEnded = false;
  FModalStack.push_back(handle);
  w->Show();
  if (Find(handle) == w) ActivateWindow(w);
  while (!FTerminated) {
    TWindow* current = Find(handle);
    if (!current || !current->FVisible || current->FModalEnded) break;
    HandleMessage();
  }
  FModalStack.pop_back();
  for (uint32_t h : blocked)
    if (TWindow* x = Find(h)) --x->FModalBlocks;
  if (TWindow* current = Find(handle)) {
    current->FModalEnded = false;
    current->Hide();
  }
  if (TWindow* back = Find(previousHandle); back && back->FVisible) ActivateWindow(back);
}

}  // namespace window
