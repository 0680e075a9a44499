#pragma once
// An application of the forms layer whose windows are real SDL2 windows on
// a virtual X server of its own, for screenshot tests. Skip() says why none
// could be made (a missing tool, no server, no SDL display); the test skips
// with that reason.

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/forms/Application.h"
#include "platform/window/SdlHost.h"
#include "support/VirtualDisplay.h"

namespace test_support {

class TXvfbApplication {
public:
  TXvfbApplication(int width, int height) {
    // SDL keeps the connection to a display that went away (the program
    // ends then): a later test in the same process would draw nowhere.
    if (window::X11DisplayLost()) {
      FSkip = "an earlier test in this process lost its X display; run this test in a process of its own, as ctest does";
      return;
    }
    if (const std::string tool = MissingScreenshotTool(); !tool.empty()) {
      FSkip = tool + " is not installed (scripts/install-deps installs it)";
      return;
    }
    FDisplay = std::make_unique<TVirtualDisplay>(width, height);
    if (FDisplay->Display().empty()) {
      FSkip = "no X server could start";
      return;
    }
    setenv("DISPLAY", FDisplay->Display().c_str(), 1);
    setenv("SDL_VIDEODRIVER", "x11", 1);
    try {
      App = std::make_unique<forms::TApplication>(std::make_unique<window::TSdlHost>());
    } catch (const Exception& e) {
      FSkip = e.Message();
    }
  }

  // The windows go before their X server.
  ~TXvfbApplication() { App.reset(); }
  TXvfbApplication(const TXvfbApplication&) = delete;
  TXvfbApplication& operator=(const TXvfbApplication&) = delete;

  const std::string& Skip() const { return FSkip; }
  // The X server answers newly shown areas with expose events of its own
  // time; a few short rounds let them arrive.
  void Settle() {
    for (int i = 0; i < 10; ++i) {
      App->ProcessMessages();
      usleep(20000);
    }
  }
  TVirtualDisplay& Display() { return *FDisplay; }

  std::unique_ptr<forms::TApplication> App;

private:
  std::string FSkip;
  std::unique_ptr<TVirtualDisplay> FDisplay;
};

}  // namespace test_support
