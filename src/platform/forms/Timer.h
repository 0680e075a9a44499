#pragma once
// A timer on the main loop: OnTimer runs every Interval milliseconds while
// Enabled, between other messages (also inside modal loops). A timer made
// before the application starts ticks once it is enabled again while one
// exists.

#include <memory>

#include "platform/forms/Component.h"

namespace window {
class TWindow;
}

namespace forms {

class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  int Interval() const { return FInterval; }
  // Restarts the period; 0 stops the timer.
  void SetInterval(int ms);
  TNotifyEvent OnTimer;

  void DefineProperties(TPropertyList& props) override;

private:
  void UpdateTimer();
  bool FEnabled = true;
  int FInterval = 1000;
  std::unique_ptr<window::TWindow> FWindow;  // message-only, carries the window timer
};

}  // namespace forms
