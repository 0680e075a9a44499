#include "platform/forms/Application.h"

#include <algorithm>

#include "base/Exceptions.h"
#include "platform/forms/ActnList.h"
#include "platform/forms/Forms.h"
#include "platform/forms/HintWindow.h"
#include "platform/forms/Timer.h"
#include "platform/window/WindowSystem.h"

namespace forms {

TApplication* Application = nullptr;
TScreen* Screen = nullptr;

namespace {
TScreen GScreen;
}

int TScreen::Width() const {
  return window::TWindowSystem::Exists() ? window::TWindowSystem::Current().ScreenRect().Width() : 0;
}

int TScreen::Height() const {
  return window::TWindowSystem::Exists() ? window::TWindowSystem::Current().ScreenRect().Height() : 0;
}

void TScreen::SetCursor(window::TCursor cursor) {
  FCursor = cursor;
  if (window::TWindowSystem::Exists()) window::TWindowSystem::Current().SetCursor(cursor);
}

TCustomForm* TScreen::ActiveForm() const {
  for (TCustomForm* f : FForms)
    if (f->Active()) return f;
  return nullptr;
}

void TScreen::RemoveForm(TCustomForm* form) { std::erase(FForms, form); }

TCustomForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount()) throw EListError(index);
  return FForms[size_t(index)];
}

TApplication::TApplication(std::unique_ptr<window::THost> host) : TComponent(nullptr) {
  if (Application) throw Exception("An application exists already");
  FSystem = std::make_unique<window::TWindowSystem>(std::move(host));
  FSystem->SetIdleHandler([this] { return Idle(); });
  Application = this;
  Screen = &GScreen;
  FHintTimer = new TTimer(this);
  FHintTimer->SetEnabled(false);
  FHintTimer->OnTimer = [this](TObject*) { HintTimerTick(); };
}

TApplication::~TApplication() {
  CancelHint();
  DestroyComponents();
  FSystem->SetIdleHandler(nullptr);
  FSystem.reset();
  Screen = nullptr;
  Application = nullptr;
}

void TApplication::Run() {
  if (FMainForm) FMainForm->Show();
  while (!Terminated()) FSystem->HandleMessage();
}

void TApplication::Terminate() { FSystem->Terminate(); }

bool TApplication::Terminated() const { return FSystem->Terminated(); }

void TApplication::ProcessMessages() { FSystem->ProcessMessages(); }

void TApplication::HandleMessage() { FSystem->HandleMessage(); }

bool TApplication::Idle() {
  // The actions of what the user can see follow the program's state.
  for (TCustomForm* form : std::vector<TCustomForm*>(GScreen.FForms)) {
    if (!form->Visible() || !form->Window().AcceptsInput()) continue;
    for (int i = 0; i < form->ComponentCount(); ++i)
      if (auto* list = dynamic_cast<TActionList*>(form->Components(i))) list->UpdateActions();
  }
  bool done = true;
  if (OnIdle) OnIdle(this, done);
  return done;
}

void TApplication::SetHint(const std::string& hint) {
  if (hint == FHint) return;
  FHint = hint;
  if (OnHint) OnHint(this);
}

void TApplication::HintMouseMessage(TControl* control, TPoint screen) {
  // A hint shown under the pointer lets it through, as if it were not there.
  if (FHintWindow && control && control->ParentForm() == FHintWindow) return;
  FHintPos = screen;
  if (control == FHintControl) return;
  CancelHint();
  if (FHintControl) RemoveFreeNotification(FHintControl);
  FHintControl = control;
  FHintShown = false;
  if (control) FreeNotification(control);
  SetHint(control ? GetLongHint(control->Hint()) : std::string());
  if (ShowHint && control && control->ShowHint() && !GetShortHint(control->Hint()).empty()) {
    // No delay shows the hint at once.
    if (HintPause <= 0) return HintTimerTick();
    FHintTimer->SetInterval(HintPause);
    FHintTimer->SetEnabled(true);
  }
}

void TApplication::HintTimerTick() {
  FHintTimer->SetEnabled(false);
  if (FHintWindow) {
    CancelHint();
    return;
  }
  if (!FHintControl || FHintShown || !FHintControl->Showing()) return;
  FHintShown = true;
  FHintWindow = new THintWindow(FHintControl);
  FreeNotification(FHintWindow);
  FHintWindow->ActivateHint({FHintPos.X, FHintPos.Y + 20}, GetShortHint(FHintControl->Hint()));
  FHintTimer->SetInterval(HintHidePause);
  FHintTimer->SetEnabled(true);
}

void TApplication::CancelHint() {
  if (FHintTimer) FHintTimer->SetEnabled(false);
  if (FHintWindow) {
    THintWindow* w = FHintWindow;
    FHintWindow = nullptr;
    RemoveFreeNotification(w);
    delete w;
  }
}

THintWindow* TApplication::HintWindow() const { return FHintWindow; }

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == FMainForm) FMainForm = nullptr;
  if (component == FHintWindow) FHintWindow = nullptr;
  if (component == FHintControl) {
    FHintControl = nullptr;
    CancelHint();
  }
}

std::string GetShortHint(const std::string& hint) {
  const size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string GetLongHint(const std::string& hint) {
  const size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

}  // namespace forms
