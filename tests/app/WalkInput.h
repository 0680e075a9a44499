#pragma once
// How the GUI exerciser's user reaches the program: screen points, the left
// button, keys by virtual-key code and typed text.

#include <memory>
#include <string>

namespace apptest {

class TWalkInput {
public:
  virtual ~TWalkInput() = default;
  virtual void Move(int x, int y) = 0;
  virtual void Button(bool down) = 0;
  virtual void Key(int key, bool down) = 0;
  virtual void Type(const std::string& ascii) = 0;
};

// Real X events through the XTEST extension on Display; null when it
// cannot be opened or has no XTEST.
std::unique_ptr<TWalkInput> XTestInput(const std::string& display);
// Waits until a window manager runs on Display (it announces itself on the
// root window); false after a few seconds without. A window mapped while
// the manager starts may never be mapped, and SDL waits for that for ever.
bool WaitForWindowManager(const std::string& display);

}  // namespace apptest
