#pragma once
// The application object: the program's one window system and message
// loop, its forms (the first one created is the main form; closing it ends
// Run), idle handling (action updates, OnIdle) and the hint shown when the
// pointer rests on a control with ShowHint. TScreen gives the screen size,
// the cursor over all windows and the list of forms.

#include <memory>
#include <vector>

#include "platform/forms/Component.h"
#include "platform/forms/Controls.h"
#include "platform/window/Host.h"

namespace window {
class TWindowSystem;
}

namespace forms {

class TCustomForm;
class THintWindow;
class TTimer;

using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;

class TScreen {
public:
  int Width() const;
  int Height() const;
  // A cursor other than crDefault shows over every control.
  window::TCursor Cursor() const { return FCursor; }
  void SetCursor(window::TCursor cursor);
  int FormCount() const { return int(FForms.size()); }
  TCustomForm* Forms(int index) const;  // EListError outside the list
  // The form with the keyboard, null when none.
  TCustomForm* ActiveForm() const;

private:
  friend class TCustomForm;
  friend class TApplication;
  void AddForm(TCustomForm* form) { FForms.push_back(form); }
  void RemoveForm(TCustomForm* form);
  std::vector<TCustomForm*> FForms;
  window::TCursor FCursor = window::crDefault;
};

class TApplication : public TComponent {
public:
  // Starts the window system on a host (SDL for the program, headless for
  // tests); there is one application at a time.
  explicit TApplication(std::unique_ptr<window::THost> host);
  ~TApplication() override;

  window::TWindowSystem& System() { return *FSystem; }

  // Creates a form owned by the application; the first becomes the main form.
  template <class T>
  void CreateForm(T*& reference) {
    reference = new T(this);
    if (!FMainForm) FMainForm = reference;
  }
  TCustomForm* MainForm() const { return FMainForm; }
  // Shows the main form and runs the message loop until Terminate.
  void Run();
  void Terminate();
  bool Terminated() const;
  // Handles everything pending without waiting.
  void ProcessMessages();
  // Handles what is pending, or waits for the next message (idle first).
  void HandleMessage();
  // Idle work: updates the actions of the shown forms and runs OnIdle;
  // true when nothing more is to be done before waiting.
  bool Idle();

  TIdleEvent OnIdle;

  // Hints: the long part of the hint under the pointer, with OnHint on
  // every change.
  const std::string& Hint() const { return FHint; }
  TNotifyEvent OnHint;
  bool ShowHint = true;
  int HintPause = 500;
  int HintHidePause = 2500;
  // The pointer is over Control at a screen point (null: over nothing).
  void HintMouseMessage(TControl* control, TPoint screen);
  void CancelHint();
  // The hint window while a hint shows, else null.
  THintWindow* HintWindow() const;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  void HintTimerTick();
  void SetHint(const std::string& hint);

  std::unique_ptr<window::TWindowSystem> FSystem;
  TCustomForm* FMainForm = nullptr;
  std::string FHint;
  TControl* FHintControl = nullptr;
  TPoint FHintPos;
  TTimer* FHintTimer = nullptr;
  THintWindow* FHintWindow = nullptr;
  bool FHintShown = false;  // the hint of FHintControl was shown (and hidden again)
};

// The one application and screen, null when none exists.
extern TApplication* Application;
extern TScreen* Screen;

// "Short|Long": the part before the bar, and the part after it (the whole
// text when there is no bar).
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);

}  // namespace forms
