// The main window in a real SDL2 window on a virtual X server after opening
// a Standard MIDI File of the corpus, photographed for people to look at
// (build/<flavour>/main-window-screenshot.png). Skipped with a message where
// Xvfb, xwd or ImageMagick's convert are missing, no X server can start or
// the MIDI corpus has not been fetched.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "ProgramTestSupport.h"
#include "app/Program.h"
#include "app/ProgramLog.h"
#include "app/ProgramUnit.h"
#include "platform/window/WindowSystem.h"
#include "support/XvfbApplication.h"

// X11, SDL and D-Bus keep allocations for the life of the process; only
// theirs are suppressed.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libX11.so\nleak:libxcb\nleak:libSDL2\nleak:libdbus-1.so\nleak:libfontconfig\n";
}

namespace apptest {
namespace {

TEST(XvfbProgramTest, TheMainWindowIsPhotographedAfterOpeningAMidiFile) {
  const std::string midi = CorpusMidi();
  if (midi.empty()) GTEST_SKIP() << "the MIDI corpus is not fetched (scripts/fetch-midi-corpus)";
  test_support::TXvfbApplication x(800, 560);
  if (!x.Skip().empty()) GTEST_SKIP() << x.Skip();
  std::unique_ptr<forms::TApplication>& app = x.App;
  test_support::TScratchDir scratch;
  const fs::path& folder = scratch.Dir();
  StartScoreServices();
  InitializeProgramUnit({ProgramFile(), folder.string() + "/"});
  TFProgramModule* main = nullptr;
  app->CreateForm(main);
  main->Show();
  ASSERT_NO_THROW(main->LoadFile(midi));
  main->UpdateActions();
  x.Settle();

  const auto shot = x.Display().Screenshot(std::string(SONARID_BINARY_DIR) + "/main-window-screenshot");
  ASSERT_FALSE(shot.Rgb.empty()) << "xwd or convert failed";
  auto at = [&](const forms::TControl* control, int x, int y) {
    const canvas::TPoint p = control->ClientToScreen({x, y});
    return shot.Pixel(p.X, p.Y);
  };
  // The score side is active; the level meter is black, the level bars white.
  EXPECT_EQ(at(main->PSource, 2, 2), canvas::PixelOf(canvas::ColorToRGB(15653074)));
  EXPECT_EQ(at(main->PDestination, 2, 2), canvas::PixelOf(canvas::ColorToRGB(15855340)));
  EXPECT_EQ(at(main->PMeter, main->PMeter->Width() / 2, main->PMeter->Height() / 2), 0xFF000000u);
  EXPECT_EQ(at(main->PLeftVolume, 5, 5), 0xFFFFFFFFu);
  EXPECT_NE(main->LSEndTime->Caption(), "00:00");
  delete main;
  FinalizeProgramUnit();
  app.reset();
}

// The program of the test below, in a process of its own: 0 when the loop
// ended through the lost display, kSkipped when no display could be made
// (the reason is in Folder/skipped).
constexpr int kSkipped = 77;
int RunUntilTheDisplayIsLost(const fs::path& folder) {
  try {
    test_support::TXvfbApplication x(800, 560);
    if (!x.Skip().empty()) {
      WriteText(folder / "skipped", x.Skip());
      return kSkipped;
    }
    StartScoreServices();
    InitializeProgramUnit({ProgramFile(), folder.string() + "/"});
    window::SetX11ErrorLog(WriteLog);
    TFProgramModule* main = nullptr;
    x.App->CreateForm(main);
    main->Show();
    x.App->ProcessMessages();
    RecordTake(main);
    fs::copy_file(main->RecordFile(), folder / "take");
    x.Display().Stop();
    x.App->Run();  // returns: the loop ends when the display is gone
    const bool lost = window::TWindowSystem::Current().DisplayLost();
    delete main;
    FinalizeProgramUnit();
    window::SetX11ErrorLog(nullptr);
    return lost ? 0 : 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  }
}

// Xlib and SDL keep a lost connection for the rest of the process, as the
// program that lost it ends: it is lost in a child, and the tests after
// this one still have displays.
TEST(XvfbProgramTest, ALostDisplayEndsTheProgramThroughItsShutDownKeepingTheTake) {
  test_support::TScratchDir scratch;
  const fs::path& folder = scratch.Dir();
  const pid_t child = fork();
  if (child == 0) _exit(RunUntilTheDisplayIsLost(folder));
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the program died: status " << status;
  if (WEXITSTATUS(status) == kSkipped) GTEST_SKIP() << ReadText(folder / "skipped");
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the window system did not see the display go";
  EXPECT_EQ(ReadText(folder / "Untitled.wav"), ReadText(folder / "take"));
  EXPECT_NE(ReadText(folder / "KorvaneSonarid.ini").find("Bounds="), std::string::npos);
  EXPECT_NE(ReadText(folder / "Sonarid.log").find("The connection to the X display was lost"), std::string::npos);
}

}  // namespace
}  // namespace apptest
