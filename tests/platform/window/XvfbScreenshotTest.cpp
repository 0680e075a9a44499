// A real SDL2 window with a rounded shape, a second one with a polygon shape
// and a pop-up over the first, drawn on a virtual X server (Xvfb started by
// the test on a free display), photographed with xwd and checked pixel by
// pixel, inside and outside the shapes. Skipped with a message where Xvfb,
// xwd or ImageMagick's convert are missing or no X server can start.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "WindowTestSupport.h"
#include "base/Exceptions.h"
#include "platform/window/SdlHost.h"

extern char** environ;

// libX11/libxcb, SDL and the D-Bus library SDL starts keep a few allocations
// for the life of the process (connection caches, first-use data);
// LeakSanitizer would report them when the test exits. Only allocations made
// inside those libraries are suppressed, and only in this test executable.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libX11.so\nleak:libxcb\nleak:libSDL2\nleak:libdbus-1.so\n";
}

namespace window::test {
namespace {

constexpr int kScreenW = 640, kScreenH = 480;

bool OnPath(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// Xvfb on a display it picks itself (-displayfd), with a black root window.
class TVirtualDisplay {
public:
  TVirtualDisplay() {
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string fd = std::to_string(fds[1]);
    const std::string screen = std::to_string(kScreenW) + "x" + std::to_string(kScreenH) + "x24";
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                          "-br", "-noreset", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&FPid, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ) != 0) FPid = 0;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    // Xvfb writes the display number once it accepts connections.
    pollfd p{fds[0], POLLIN, 0};
    char buf[16] = {};
    if (FPid && poll(&p, 1, 15000) == 1 && read(fds[0], buf, sizeof buf - 1) > 0) FDisplay = ":" + std::to_string(std::atoi(buf));
    // The server writes its display number again when it resets or ends; a
    // closed pipe there kills it before it removes its lock and socket, and
    // the next server on that display then takes no connections.
    FPipe = fds[0];
  }
  ~TVirtualDisplay() {
    if (FPid) {
      kill(FPid, SIGTERM);
      waitpid(FPid, nullptr, 0);
    }
    close(FPipe);
  }
  const std::string& Display() const { return FDisplay; }

private:
  pid_t FPid = 0;
  int FPipe = -1;
  std::string FDisplay;
};

struct TShot {
  std::vector<unsigned char> Rgb;
  uint32_t Pixel(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * kScreenW + x) * 3;
    return 0xFF000000u | Rgb[i] << 16 | Rgb[i + 1] << 8 | Rgb[i + 2];
  }
};

TEST(XvfbScreenshotTest, ShapedWindowsAndAPopUpShowTheirPixelsAndTheDesktopOutsideTheShapes) {
  for (const char* tool : {"Xvfb", "xwd", "convert"})
    if (!OnPath(tool)) GTEST_SKIP() << tool << " is not installed (scripts/install-deps installs it)";
  TVirtualDisplay display;
  if (display.Display().empty()) GTEST_SKIP() << "no X server could start";
  setenv("DISPLAY", display.Display().c_str(), 1);
  setenv("SDL_VIDEODRIVER", "x11", 1);

  std::unique_ptr<TWindowSystem> system;
  try {
    system = std::make_unique<TWindowSystem>(std::make_unique<TSdlHost>());
  } catch (const Exception& e) {
    GTEST_SKIP() << e.Message() << " on " << display.Display();
  }
  EXPECT_EQ(system->ScreenRect(), (TRect{0, 0, kScreenW, kScreenH}));
  TLog log;
  // A full-screen window below the others.
  auto desktop = std::make_unique<TLoggedWindow>(log, "Desk");
  desktop->SetBounds(0, 0, kScreenW, kScreenH);
  desktop->Colour = 0xFF808080;
  desktop->Show();
  auto main = std::make_unique<TLoggedWindow>(log, "M");
  main->SetBounds(40, 40, 200, 150);
  main->Colour = 0xFFFF0000;
  main->SetWindowRgn(TRegion::RoundRect({0, 0, 200, 150}, 60, 60));
  // The helper window's outline: notches at the top right and bottom left.
  const int W = 120, H = 100;
  auto helper = std::make_unique<TLoggedWindow>(log, "H");
  helper->SetBounds(300, 40, W, H);
  helper->Colour = 0xFF0000FF;
  helper->SetStayOnTop(true);
  helper->SetWindowRgn(TRegion::Polygon(
      {{0, 0}, {W - 1, 0}, {W - 1, 4}, {W, 4}, {W, H}, {4, H}, {4, H - 1}, {0, H - 1}, {0, 0}}, TPolyFillMode::Winding));
  auto popup = std::make_unique<TLoggedWindow>(log, "P", TWindowKind::PopUp, main.get());
  popup->SetBounds(200, 150, 100, 80);
  popup->Colour = 0xFF00FF00;
  main->Show();
  helper->Show();
  popup->Show();
  main->Activate();
  // The X server answers uncovered areas with expose events of its own
  // time; give it a few short rounds to deliver them.
  for (int i = 0; i < 10; ++i) {
    system->ProcessMessages();
    usleep(20000);
  }
  EXPECT_EQ(system->GetActiveWindow(), main.get());

  const std::string base = std::string(SONARID_BINARY_DIR) + "/window-screenshot";
  const std::string grab = "xwd -display " + display.Display() + " -root -silent -out " + base + ".xwd && convert " +
                           base + ".xwd " + base + ".png && convert " + base + ".xwd -depth 8 rgb:" + base + ".rgb";
  ASSERT_EQ(std::system(grab.c_str()), 0) << grab;
  std::ifstream in(base + ".rgb", std::ios::binary);
  TShot shot{std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {})};
  ASSERT_EQ(shot.Rgb.size(), static_cast<size_t>(kScreenW) * kScreenH * 3);

  const uint32_t grey = 0xFF808080, red = 0xFFFF0000, green = 0xFF00FF00, blue = 0xFF0000FF;
  EXPECT_EQ(shot.Pixel(140, 115), red);
  EXPECT_EQ(shot.Pixel(140, 40), red);     // top edge, between the rounded corners
  // Outside a shape the window draws nothing. (Xvfb without a window
  // manager leaves the uncovered pixels black rather than repainting the
  // window beneath, so only "not the window's colour" is checked there.)
  EXPECT_NE(shot.Pixel(41, 41), red);  // cut corners
  EXPECT_NE(shot.Pixel(41, 188), red);
  EXPECT_NE(shot.Pixel(238, 42), red);
  EXPECT_EQ(shot.Pixel(220, 170), green);  // the pop-up over the main window
  EXPECT_EQ(shot.Pixel(299, 229), green);
  EXPECT_NE(shot.Pixel(300 + W - 1, 41), blue);  // top-right notch
  EXPECT_EQ(shot.Pixel(300 + W - 2, 41), blue);
  EXPECT_EQ(shot.Pixel(300 + W - 1, 44), blue);
  EXPECT_NE(shot.Pixel(301, 40 + H - 1), blue);  // bottom-left notch
  EXPECT_EQ(shot.Pixel(304, 40 + H - 1), blue);
  EXPECT_EQ(shot.Pixel(600, 400), grey);
  EXPECT_EQ(shot.Pixel(270, 100), grey);  // between the windows

  popup.reset();
  helper.reset();
  main.reset();
  desktop.reset();
}

}  // namespace
}  // namespace window::test
