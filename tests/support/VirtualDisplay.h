#pragma once
// A virtual X server for tests that show real windows: Xvfb on a display it
// picks itself (-displayfd), with a black root window, and screenshots of it taken with xwd and converted with
// ImageMagick (a PNG for people, raw RGB for the test). Tests skip when a tool is missing or no server starts.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char** environ;

namespace test_support {

inline bool OnPath(const std::string& tool) {
  return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// The first of Xvfb, xwd and convert that is not installed, "" when all are.
inline std::string MissingScreenshotTool() {
  for (const char* tool : {"Xvfb", "xwd", "convert"})
    if (!OnPath(tool)) return tool;
  return "";
}

class TVirtualDisplay {
public:
  TVirtualDisplay(int width, int height) : FWidth(width), FHeight(height) {
    int fds[2];
    if (pipe(fds) != 0) return;
    const std::string fd = std::to_string(fds[1]);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                          "-br", "-noreset", nullptr};
    // The server ends with the test's process, also one that crashed, and
    // does not hold its output open: CTest waits for that output to close,
    // and a crash would otherwise show as a timeout minutes later.
    const pid_t parent = getpid();
    FPid = fork();
    if (FPid == 0) {
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      if (getppid() != parent) _exit(1);
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 1), dup2(null, 2);
      close(fds[0]);
      execvp("Xvfb", const_cast<char**>(argv));
      _exit(127);
    }
    if (FPid < 0) FPid = 0;
    close(fds[1]);
    // Xvfb writes the display number once it accepts connections.
    pollfd p{fds[0], POLLIN, 0};
    char buf[16] = {};
    if (FPid && poll(&p, 1, 15000) == 1 && read(fds[0], buf, sizeof buf - 1) > 0)
      FDisplay = ":" + std::to_string(std::atoi(buf));
    // The server writes its display number again when it resets or ends; a
    // closed pipe there kills it before it removes its lock and socket, and
    // the next server on that display then takes no connections.
    FPipe = fds[0];
  }
  ~TVirtualDisplay() {
    Stop();
    close(FPipe);
  }
  // Ends the server, as when a display goes away under its programs.
  void Stop() {
    if (FPid) kill(FPid, SIGTERM), waitpid(FPid, nullptr, 0);
    FPid = 0;
  }
  TVirtualDisplay(const TVirtualDisplay&) = delete;
  TVirtualDisplay& operator=(const TVirtualDisplay&) = delete;

  // Empty when the server did not start.
  const std::string& Display() const { return FDisplay; }

  struct TShot {
    int Width = 0;
    std::vector<unsigned char> Rgb;
    uint32_t Pixel(int x, int y) const {
      const size_t i = (static_cast<size_t>(y) * Width + x) * 3;
      return 0xFF000000u | Rgb[i] << 16 | Rgb[i + 1] << 8 | Rgb[i + 2];
    }
  };
  // Photographs the whole screen into Base + ".png" and returns its pixels
  // (empty when a tool failed).
  TShot Screenshot(const std::string& base) const {
    const std::string grab = "xwd -display " + FDisplay + " -root -silent -out " + base + ".xwd && convert " + base +
                             ".xwd " + base + ".png && convert " + base + ".xwd -depth 8 rgb:" + base + ".rgb";
    TShot shot;
    if (std::system(grab.c_str()) != 0) return shot;
    std::ifstream in(base + ".rgb", std::ios::binary);
    shot.Rgb.assign(std::istreambuf_iterator<char>(in), {});
    if (shot.Rgb.size() != static_cast<size_t>(FWidth) * FHeight * 3) shot.Rgb.clear();
    shot.Width = FWidth;
    return shot;
  }

private:
  int FWidth, FHeight;
  pid_t FPid = 0;
  int FPipe = -1;
  std::string FDisplay;
};

}  // namespace test_support
