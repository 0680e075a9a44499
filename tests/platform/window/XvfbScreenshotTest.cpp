// A real SDL2 window with a rounded shape, a second one with a polygon shape
// and a pop-up over the first, drawn on a virtual X server (Xvfb started by
// the test on a free display), photographed with xwd and checked pixel by
// pixel, inside and outside the shapes; none of them offers a program
// dragging a file over it to take the drop (the program opens files through
// its File menu only), as the X server says. Skipped with a message where Xvfb,
// xwd or ImageMagick's convert are missing or no X server can start.
#include "WindowTestSupport.h"
#include "base/Exceptions.h"
#include "platform/window/SdlHost.h"
#include "support/VirtualDisplay.h"

#include <X11/Xlib.h>

#include <algorithm>

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

TEST(XvfbScreenshotTest, ShapedWindowsAndAPopUpShowTheirPixelsAndTheDesktopOutsideTheShapes) {
  if (const std::string tool = test_support::MissingScreenshotTool(); !tool.empty())
    GTEST_SKIP() << tool << " is not installed (scripts/install-deps installs it)";
  test_support::TVirtualDisplay display(kScreenW, kScreenH);
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

  const auto shot = display.Screenshot(std::string(SONARID_BINARY_DIR) + "/window-screenshot");
  ASSERT_FALSE(shot.Rgb.empty()) << "xwd or convert failed";

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

  // No window is marked XdndAware: a file manager would take that for a
  // drop the program accepts, which then opens nothing.
  Display* x = XOpenDisplay(display.Display().c_str());
  ASSERT_NE(x, nullptr);
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count);
  EXPECT_GE(count, 4u);
  for (unsigned int i = 0; i < count; ++i) {
    int n = 0;
    Atom* names = XListProperties(x, children[i], &n);
    EXPECT_EQ(std::count(names, names + n, XInternAtom(x, "XdndAware", False)), 0) << children[i];
    if (names) XFree(names);
  }
  if (children) XFree(children);
  XCloseDisplay(x);

  popup.reset();
  helper.reset();
  main.reset();
  desktop.reset();
}

}  // namespace
}  // namespace window::test
