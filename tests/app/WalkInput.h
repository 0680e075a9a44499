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

}  // namespace apptest
