// The main window in a real SDL2 window on a virtual X server after opening
// a Standard MIDI File of the corpus, photographed for people to look at
// (build/<flavour>/main-window-screenshot.png). Skipped with a message where
// Xvfb, xwd or ImageMagick's convert are missing, no X server can start or
// the MIDI corpus has not been fetched.
#include <gtest/gtest.h>

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

TEST(XvfbProgramTest, ALostDisplayEndsTheProgramThroughItsShutDownKeepingTheTake) {
  test_support::TXvfbApplication x(800, 560);
  if (!x.Skip().empty()) GTEST_SKIP() << x.Skip();
  test_support::TScratchDir scratch;
  const fs::path& folder = scratch.Dir();
  StartScoreServices();
  InitializeProgramUnit({ProgramFile(), folder.string() + "/"});
  window::SetX11ErrorLog(WriteLog);
  TFProgramModule* main = nullptr;
  x.App->CreateForm(main);
  main->Show();
  x.App->ProcessMessages();
  RecordTake(main);
  const std::string take = ReadText(main->RecordFile());
  x.Display().Stop();
  x.App->Run();  // returns: the loop ends when the display is gone
  EXPECT_TRUE(window::TWindowSystem::Current().DisplayLost());
  delete main;
  FinalizeProgramUnit();
  window::SetX11ErrorLog(nullptr);
  EXPECT_EQ(ReadText(folder / "Untitled.wav"), take);
  EXPECT_NE(ReadText(folder / "KorvaneSonarid.ini").find("Bounds="), std::string::npos);
  EXPECT_NE(ReadText(folder / "Sonarid.log").find("The connection to the X display was lost"), std::string::npos);
  x.App.reset();
}

}  // namespace
}  // namespace apptest
