// Real X input for the GUI exerciser. Kept apart: the X11 headers define
// macros (None, Bool, Status) that clash with other code.
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <unistd.h>

#include "WalkInput.h"
#include "platform/window/Input.h"

namespace apptest {
namespace {

class TXTestInput : public TWalkInput {
public:
  explicit TXTestInput(Display* display) : FDisplay(display) {}
  ~TXTestInput() override { XCloseDisplay(FDisplay); }
  void Move(int x, int y) override { Send(XTestFakeMotionEvent(FDisplay, -1, x, y, CurrentTime)); }
  void Button(bool down) override { Send(XTestFakeButtonEvent(FDisplay, 1, down, CurrentTime)); }
  void Key(int key, bool down) override {
    KeySym sym = key >= 'A' && key <= 'Z' ? KeySym(key - 'A' + XK_a) : key >= '0' && key <= '9' ? KeySym(key) : 0;
    switch (key) {
      case window::VK_ESCAPE: sym = XK_Escape; break;
      case window::VK_RETURN: sym = XK_Return; break;
      case window::VK_TAB: sym = XK_Tab; break;
      case window::VK_SPACE: sym = XK_space; break;
      case window::VK_UP: sym = XK_Up; break;
      case window::VK_DOWN: sym = XK_Down; break;
      case window::VK_LEFT: sym = XK_Left; break;
      case window::VK_RIGHT: sym = XK_Right; break;
      case window::VK_HOME: sym = XK_Home; break;
      case window::VK_END: sym = XK_End; break;
      case window::VK_CONTROL: sym = XK_Control_L; break;
      default: break;
    }
    if (sym) Press(sym, down);
  }
  void Type(const std::string& ascii) override {
    for (char c : ascii) {
      // Latin-1 characters are their own keysyms; the shifted ones need Shift.
      const KeyCode code = XKeysymToKeycode(FDisplay, KeySym(c));
      const bool shift = code && XkbKeycodeToKeysym(FDisplay, code, 0, 0) != KeySym(c);
      if (shift) Press(XK_Shift_L, true);
      Press(KeySym(c), true);
      Press(KeySym(c), false);
      if (shift) Press(XK_Shift_L, false);
    }
  }

private:
  void Press(KeySym sym, bool down) {
    if (const KeyCode code = XKeysymToKeycode(FDisplay, sym)) Send(XTestFakeKeyEvent(FDisplay, code, down, CurrentTime));
  }
  void Send(int) { XSync(FDisplay, False); }
  Display* FDisplay;
};

}  // namespace

std::unique_ptr<TWalkInput> XTestInput(const std::string& display) {
  Display* d = XOpenDisplay(display.c_str());
  int event, error, major, minor;
  if (d && XTestQueryExtension(d, &event, &error, &major, &minor)) return std::make_unique<TXTestInput>(d);
  if (d) XCloseDisplay(d);
  return nullptr;
}

bool WaitForWindowManager(const std::string& display) {
  Display* d = XOpenDisplay(display.c_str());
  if (!d) return false;
  const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
  bool running = false;
  for (int i = 0; i < 100 && !running; ++i) {
    int count = 0;
    Atom* atoms = XListProperties(d, DefaultRootWindow(d), &count);
    for (int j = 0; j < count; ++j) running |= atoms[j] == check;
    if (atoms) XFree(atoms);
    if (!running) usleep(50000);
  }
  XCloseDisplay(d);
  return running;
}

}  // namespace apptest
