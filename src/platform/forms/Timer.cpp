#include "platform/forms/Timer.h"

#include "platform/window/WindowSystem.h"

namespace forms {

TTimer::TTimer(TComponent* owner) : TComponent(owner) { UpdateTimer(); }

TTimer::~TTimer() = default;

void TTimer::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  UpdateTimer();
}

void TTimer::SetInterval(int ms) {
  if (ms == FInterval) return;
  FInterval = ms;
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  // A window left from an earlier window system gets no messages any more.
  if (FWindow && !FWindow->Alive()) FWindow.reset();
  if (FWindow) FWindow->KillTimer(1);
  if (!FEnabled || FInterval <= 0 || !window::TWindowSystem::Exists()) return;
  if (!FWindow) {
    FWindow = std::make_unique<window::TWindow>(window::TWindowKind::MessageOnly);
    FWindow->OnMessage = [this](window::TWindow*, window::TMessage& msg) {
      if (msg.Kind == window::TMessageKind::Timer && OnTimer) OnTimer(this);
    };
  }
  FWindow->SetTimer(1, FInterval);
}

void TTimer::DefineProperties(TPropertyList& props) {
  TComponent::DefineProperties(props);
  props.Boolean("Enabled", this, &TTimer::Enabled, &TTimer::SetEnabled);
  props.Integer("Interval", this, &TTimer::Interval, &TTimer::SetInterval);
}

}  // namespace forms
