#include "platform/window/Window.h"

#include <algorithm>
#include <utility>

#include "platform/threads/MainQueue.h"
#include "platform/window/WindowSystem.h"

namespace window {

TWindow::TWindow(TWindowKind kind, TWindow* owner)
    : FSystem(&TWindowSystem::Current()), FKind(kind), FOwner(owner) {
  FSystem->Register(this);
}

TWindow::~TWindow() {
  TMainQueue::Instance().Cancel(this);
  if (FSystem) FSystem->Unregister(this);
}

void TWindow::SetBounds(int left, int top, int width, int height) {
  ChangeBounds(TRect::FromSize(left, top, std::max(0, width), std::max(0, height)), true);
}

void TWindow::ChangeBounds(const TRect& bounds, bool toHost) {
  if (bounds == FBounds) return;
  const bool moved = bounds.Left != FBounds.Left || bounds.Top != FBounds.Top;
  const bool sized = bounds.Width() != FBounds.Width() || bounds.Height() != FBounds.Height();
  FBounds = bounds;
  if (toHost && FNative && FSystem) FSystem->Host().SetNativeBounds(FNative, FBounds);
  // The handler may destroy the window: look it up again before touching it.
  TWindowSystem* system = FSystem;
  const uint32_t self = FHandle;
  if (moved) {
    TMessage msg(TMessageKind::Move);
    msg.ScreenPos = {FBounds.Left, FBounds.Top};
    Perform(msg);
  }
  if (sized && system && system->Find(self) == this) {
    FInvalid = ClientRect();
    TMessage msg(TMessageKind::Size);
    msg.Width = FBounds.Width();
    msg.Height = FBounds.Height();
    Perform(msg);
  }
}

void TWindow::Show() {
  if (FVisible || !FSystem) return;
  FVisible = true;
  Invalidate();
  FSystem->WindowShown(this);
}

void TWindow::Hide() {
  if (!FVisible || !FSystem) return;
  FVisible = false;
  FSystem->WindowHidden(this);
}

void TWindow::SetCaption(const std::string& caption) {
  FCaption = caption;
  if (FNative && FSystem) FSystem->Host().SetNativeTitle(FNative, caption);
}

void TWindow::SetStayOnTop(bool onTop) {
  if (FStayOnTop == onTop) return;
  FStayOnTop = onTop;
  if (FNative && FSystem) {
    FSystem->Host().SetNativeStayOnTop(FNative, onTop);
    if (FVisible) FSystem->BringToTop(this);
  }
}

void TWindow::SetEnabled(bool enabled) {
  FEnabled = enabled;
  if (!enabled && FSystem && FSystem->GetCapture() == this) FSystem->ReleaseCapture();
}

void TWindow::SetWindowState(TWindowState state) {
  if (state == FState || !FSystem) return;
  const TWindowState old = FState;
  FState = state;
  if (old == TWindowState::wsNormal) FRestoreBounds = FBounds;
  if (state == TWindowState::wsMinimized) FStateBeforeMinimized = old;
  if (FNative) FSystem->Host().SetNativeMinimized(FNative, state == TWindowState::wsMinimized);
  if (state == TWindowState::wsMinimized) {
    FSystem->WindowMinimized(this);
  } else if (state == TWindowState::wsMaximized) {
    const TRect screen = FSystem->ScreenRect();
    SetBounds(screen.Left, screen.Top, screen.Width(), screen.Height());
  } else {
    SetBounds(FRestoreBounds.Left, FRestoreBounds.Top, FRestoreBounds.Width(), FRestoreBounds.Height());
  }
}

void TWindow::HostMinimized(bool minimized) {
  if (minimized == (FState == TWindowState::wsMinimized) || !FSystem) return;
  if (minimized) {
    if (FState == TWindowState::wsNormal) FRestoreBounds = FBounds;
    FStateBeforeMinimized = FState;
    FState = TWindowState::wsMinimized;
    FSystem->WindowMinimized(this);
  } else {
    FState = FStateBeforeMinimized;
  }
  // Whatever shows the window's state (a frame's buttons) is drawn again.
  Invalidate();
}

void TWindow::SetWindowRgn(std::optional<TRegion> region) {
  FRegion = std::move(region);
  if (FNative && FSystem) FSystem->Host().SetNativeRegion(FNative, WindowRgn());
}

bool TWindow::PtInWindow(TPoint client) const {
  if (!ClientRect().Contains(client)) return false;
  return !FRegion || FRegion->Contains(client);
}

void TWindow::InvalidateRect(const TRect& rect) {
  if (FKind == TWindowKind::MessageOnly) return;
  FInvalid = FInvalid.Union(rect.Intersect(ClientRect()));
}

void TWindow::Update() {
  if (FSystem && FVisible && !FInvalid.IsEmpty()) FSystem->PaintWindow(this);
}

void TWindow::EnsureBuffer() {
  const int w = std::max(1, Width()), h = std::max(1, Height());
  if (w == FPixelWidth && h == FPixelHeight) return;
  // Keep what was drawn where it still fits, as a resized window does.
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h, 0);
  for (int y = 0; y < std::min(h, FPixelHeight); ++y)
    std::copy_n(FPixels.begin() + static_cast<long>(y) * FPixelWidth, std::min(w, FPixelWidth),
                pixels.begin() + static_cast<long>(y) * w);
  FPixels.swap(pixels);
  FPixelWidth = w;
  FPixelHeight = h;
}

TPixelBuffer TWindow::Buffer() {
  EnsureBuffer();
  return {FPixels.data(), FPixelWidth, FPixelHeight, FPixelWidth * 4};
}

TPixelBuffer TWindow::GetDC() { return Buffer(); }

void TWindow::ReleaseDC(const TRect& drawn) { PresentRect(drawn); }

void TWindow::PresentRect(const TRect& rect) {
  const TPixelBuffer pixels = Buffer();
  const TRect r = rect.Intersect({0, 0, pixels.Width, pixels.Height});
  if (FNative && FSystem && FVisible && !r.IsEmpty()) FSystem->Host().Present(FNative, pixels, r);
}

void TWindow::SetTimer(int id, int intervalMs) {
  if (FSystem) FSystem->SetTimer(this, id, intervalMs);
}

void TWindow::KillTimer(int id) {
  if (FSystem) FSystem->KillTimer(this, id);
}

void TWindow::Perform(TMessage& msg) {
  if (!OnMessage) return;
  TWindowSystem* system = FSystem;
  const uint32_t self = FHandle;
  ++FHandling;
  OnMessage(this, msg);
  // A window freed by its own handler is not touched again.
  if (system && system->Find(self) != this) return;
  if (--FHandling > 0 || !FAfterMessages) return;
  TMainQueue::Instance().Post(std::exchange(FAfterMessages, nullptr), this);
}

void TWindow::AfterMessages(std::function<void()> fn) {
  if (FHandling > 0) FAfterMessages = std::move(fn);
  else TMainQueue::Instance().Post(std::move(fn), this);
}

void TWindow::Post(std::function<void()> fn) { TMainQueue::Instance().Post(std::move(fn), this); }

void TWindow::Activate() {
  if (FSystem) FSystem->ActivateWindow(this);
}

bool TWindow::Focused() const { return FSystem && FSystem->GetFocus() == this; }

void TWindow::ShowModal() {
  if (FSystem) FSystem->RunModal(this);
}

}  // namespace window
