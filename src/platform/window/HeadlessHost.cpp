#include "platform/window/HeadlessHost.h"

#include <algorithm>
#include <chrono>

#include "base/Exceptions.h"
#include "platform/window/Window.h"

namespace window {

THeadlessHost::THeadlessHost(TRect screen) : FScreen(screen) {}

void THeadlessHost::Inject(TRawEvent ev) {
  {
    std::lock_guard<std::mutex> guard(FLock);
    FEvents.push_back(std::move(ev));
  }
  FSignal.notify_all();
}

TRawEvent THeadlessHost::MouseEvent(TRawKind kind) const {
  TRawEvent ev(kind);
  ev.Screen = FPointer;
  ev.Modifiers = FModifiers;
  return ev;
}

void THeadlessHost::MoveMouse(TPoint screen) {
  FPointer = screen;
  Inject(MouseEvent(TRawKind::MouseMove));
}

void THeadlessHost::PressButton(TMouseButton button) {
  TRawEvent ev = MouseEvent(TRawKind::MouseButton);
  ev.Button = button;
  ev.Down = true;
  Inject(ev);
}

void THeadlessHost::ReleaseButton(TMouseButton button) {
  TRawEvent ev = MouseEvent(TRawKind::MouseButton);
  ev.Button = button;
  Inject(ev);
}

void THeadlessHost::Click(TPoint screen, TMouseButton button) {
  MoveMouse(screen);
  PressButton(button);
  ReleaseButton(button);
}

void THeadlessHost::Wheel(int delta) {
  TRawEvent ev = MouseEvent(TRawKind::MouseWheel);
  ev.WheelDelta = delta;
  Inject(ev);
}

void THeadlessHost::SetModifiers(TShiftState modifiers) { FModifiers = modifiers & ssKeyboardMask; }

void THeadlessHost::KeyDown(int key, bool repeat) {
  TRawEvent ev(TRawKind::Key);
  ev.Down = true;
  ev.Key = key;
  ev.Repeat = repeat;
  ev.Modifiers = FModifiers;
  Inject(ev);
}

void THeadlessHost::KeyUp(int key) {
  TRawEvent ev(TRawKind::Key);
  ev.Key = key;
  ev.Modifiers = FModifiers;
  Inject(ev);
}

void THeadlessHost::TypeText(const std::string& utf8) {
  TRawEvent ev(TRawKind::Text);
  ev.Modifiers = FModifiers;
  ev.Text = utf8;
  Inject(ev);
}

void THeadlessHost::RequestClose(const TWindow& w) {
  TRawEvent ev(TRawKind::CloseRequest);
  ev.Window = w.NativeHandle();
  Inject(ev);
}

void THeadlessHost::RestoreFromTaskBar(const TWindow& w) {
  FNatives.at(w.NativeHandle()).Minimized = false;
  TRawEvent ev(TRawKind::Restored);
  ev.Window = w.NativeHandle();
  Inject(ev);
}

void THeadlessHost::TakeFocusAway(const TWindow& w) {
  if (FFocused == w.NativeHandle()) FFocused = 0;
  TRawEvent ev(TRawKind::FocusLost);
  ev.Window = w.NativeHandle();
  Inject(ev);
}

void THeadlessHost::FrameByManager(const TWindow& w, const TRect& frame) {
  TRawEvent ev(TRawKind::ManagerFrame);
  ev.Window = w.NativeHandle();
  ev.Bounds = frame;
  Inject(ev);
}

void THeadlessHost::PlaceByManager(const TWindow& w, const TRect& bounds) {
  for (TRawKind kind : {TRawKind::Moved, TRawKind::Resized}) {
    TRawEvent ev(kind);
    ev.Window = w.NativeHandle();
    ev.Bounds = bounds;
    Inject(ev);
  }
}

void THeadlessHost::AdvanceTime(uint64_t ms) { FNow += ms; }

TNativeId THeadlessHost::CreateNativeWindow(const TNativeParams& params) {
  const TNativeId id = FNextId++;
  FNatives[id].Params = params;
  return id;
}

void THeadlessHost::DestroyNativeWindow(TNativeId id) {
  FNatives.erase(id);
  std::erase(FStacking, id);
  if (FFocused == id) FFocused = 0;
}

void THeadlessHost::SetNativeBounds(TNativeId id, const TRect& bounds) { FNatives.at(id).Params.Bounds = bounds; }

void THeadlessHost::ShowNativeWindow(TNativeId id, bool visible) {
  FNatives.at(id).Visible = visible;
  if (visible && std::find(FStacking.begin(), FStacking.end(), id) == FStacking.end()) RaiseNativeWindow(id, false);
}

void THeadlessHost::SetNativeTitle(TNativeId id, const std::string& title) { FNatives.at(id).Title = title; }

void THeadlessHost::SetNativeStayOnTop(TNativeId id, bool onTop) { FNatives.at(id).Params.StayOnTop = onTop; }

void THeadlessHost::SetNativeRegion(TNativeId id, const TRegion* region) {
  FNatives.at(id).Region = region ? std::optional<TRegion>(*region) : std::nullopt;
}

int THeadlessHost::Group(const TNative& n) const { return n.Params.PopUp ? 2 : n.Params.StayOnTop ? 1 : 0; }

void THeadlessHost::RaiseNativeWindow(TNativeId id, bool focus) {
  std::erase(FStacking, id);
  const int group = Group(FNatives.at(id));
  auto pos = std::find_if(FStacking.begin(), FStacking.end(), [&](TNativeId o) { return Group(FNatives.at(o)) > group; });
  FStacking.insert(pos, id);
  if (focus) FFocused = id;
}

void THeadlessHost::SetNativeMinimized(TNativeId id, bool minimized) { FNatives.at(id).Minimized = minimized; }

void THeadlessHost::Present(TNativeId id, const TPixelBuffer& pixels, const TRect& rect) {
  TNative& n = FNatives.at(id);
  if (n.ImageWidth != pixels.Width || n.ImageHeight != pixels.Height) {
    n.ImageWidth = pixels.Width;
    n.ImageHeight = pixels.Height;
    n.Image.assign(static_cast<size_t>(pixels.Width) * pixels.Height, 0);
  }
  for (int y = rect.Top; y < rect.Bottom; ++y)
    std::copy_n(pixels.Row(y) + rect.Left, rect.Width(), n.Image.begin() + static_cast<long>(y) * n.ImageWidth + rect.Left);
}

TScreenImage THeadlessHost::Screenshot() const {
  TScreenImage shot{FScreen.Width(), FScreen.Height(), {}};
  shot.Pixels.assign(static_cast<size_t>(shot.Width) * shot.Height, DesktopColour);
  for (TNativeId id : FStacking) {
    const TNative& n = FNatives.at(id);
    if (!n.Visible || n.Minimized) continue;
    const TRect b = n.Params.Bounds;
    for (int y = 0; y < std::min(b.Height(), n.ImageHeight); ++y)
      for (int x = 0; x < std::min(b.Width(), n.ImageWidth); ++x) {
        const TPoint p{b.Left + x - FScreen.Left, b.Top + y - FScreen.Top};
        if (p.X < 0 || p.Y < 0 || p.X >= shot.Width || p.Y >= shot.Height) continue;
        if (n.Region && !n.Region->Contains({x, y})) continue;
        // Like a 24-bit screen: the colour shows, the alpha does not.
        shot.Pixels[static_cast<size_t>(p.Y) * shot.Width + p.X] = n.Image[static_cast<size_t>(y) * n.ImageWidth + x] | 0xFF000000u;
      }
  }
  return shot;
}

bool THeadlessHost::PollEvent(TRawEvent& event) {
  std::lock_guard<std::mutex> guard(FLock);
  if (FEvents.empty()) return false;
  event = std::move(FEvents.front());
  FEvents.pop_front();
  return true;
}

void THeadlessHost::WaitEvent(int timeoutMs) {
  std::unique_lock<std::mutex> guard(FLock);
  if (!FEvents.empty() || FWoken) {
    FWoken = false;
    return;
  }
  if (timeoutMs >= 0) {
    FNow += static_cast<uint64_t>(timeoutMs);
    return;
  }
  // Only another thread can end this wait now.
  if (!FSignal.wait_for(guard, std::chrono::milliseconds(FIdleLimitMs), [this] { return !FEvents.empty() || FWoken; }))
    throw Exception("The headless message loop waits, but no event, post or timer can come");
  FWoken = false;
}

void THeadlessHost::Wake() {
  {
    std::lock_guard<std::mutex> guard(FLock);
    FWoken = true;
  }
  FSignal.notify_all();
}

}  // namespace window
