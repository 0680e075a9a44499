// A window manager that starts while the program runs, as when a user logs
// in to a desktop with the program already started by a script: the skinned
// windows keep their one caption, modal boxes show above the main window,
// and a manager that comes and goes again and again leaves the program
// working. Photographed into the build folder (late-manager-*.png).
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "ProgramTestSupport.h"
#include "WalkInput.h"
#include "app/HelperModule.h"
#include "app/MessageBlock.h"
#include "app/Program.h"
#include "app/ProgramUnit.h"
#include "platform/threads/MainQueue.h"
#include "support/XvfbApplication.h"

namespace apptest {
namespace {

constexpr uint32_t kDesktop = 0xFF000000u;  // the virtual display's black root window

class XvfbLateManagerTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!test_support::OnPath("openbox")) GTEST_SKIP() << "openbox is not installed (scripts/install-deps installs it)";
    X = std::make_unique<test_support::TXvfbApplication>(1024, 768);
    if (!X->Skip().empty()) GTEST_SKIP() << X->Skip();
    StartScoreServices();
    InitializeProgramUnit({ProgramFile(), Scratch.Path() + "/"});
    X->App->CreateForm(Main);
    Main->Show();
    ASSERT_TRUE(SettleUntil([] { return HelperModule() && HelperModule()->Visible(); }));
  }
  void TearDown() override {
    if (!Main) return;
    delete Main;
    FinalizeProgramUnit();
    StopManager();
    X->App.reset();
  }

  bool SettleUntil(const std::function<bool()>& done, int seconds = 5) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done() && std::chrono::steady_clock::now() < until) X->Settle();
    return done();
  }
  // Openbox on the display, until the windows it found have settled in it.
  void StartManager() {
    const char* argv[] = {"openbox", nullptr};
    ASSERT_EQ(posix_spawnp(&Manager, "openbox", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    ASSERT_TRUE(WaitForWindowManager(X->Display().Display())) << "openbox did not start";
    SettleUntil([] { return false; }, 1);
  }
  void StopManager() {
    if (!Manager) return;
    kill(Manager, SIGTERM), waitpid(Manager, nullptr, 0);
    Manager = 0;
    X->Settle();
  }
  test_support::TVirtualDisplay::TShot Photograph(const std::string& name) {
    X->Settle();
    return X->Display().Screenshot(std::string(SONARID_BINARY_DIR) + "/late-manager-" + name);
  }
  // The main window's skinned caption, right of its title and left of its
  // buttons, and the desktop just above it, where a manager's title bar
  // would be.
  void ExpectOneCaption(const test_support::TVirtualDisplay::TShot& shot) {
    const int x = Main->Left() + Main->Width() - 80;
    // A manager starts without giving any window the keyboard.
    const std::string centre = Main->Active() ? "main-caption-center.png" : "main-caption-center-inactive.png";
    EXPECT_EQ(shot.Pixel(x, Main->Top() + 2), canvas::PixelOf(SkinPicture(centre).ColorAt(0, 2)));
    EXPECT_EQ(shot.Pixel(x, Main->Top() - 6), kDesktop) << "a second title bar above the skinned one";
  }
  // Runs Show while a message box is up, photographs it, answers Cancel and
  // says whether its caption was on the screen where the box is.
  bool BoxDrawn(const std::string& name, const std::function<void()>& show) {
    bool drawn = false, seen = false;
    TMainQueue::Instance().Post([&] {
      auto* box = dynamic_cast<TFMessageBlock*>(forms::Screen->ActiveForm());
      seen = box != nullptr;
      if (!box) return;
      const test_support::TVirtualDisplay::TShot shot = Photograph(name);
      if (!shot.Rgb.empty())
        drawn = shot.Pixel(box->Left() + box->Width() - 30, box->Top() + 5) ==
                canvas::PixelOf(canvas::ColorToRGB(canvas::clActiveCaption));
      box->SetModalResult(forms::mrCancel);
    });
    show();
    EXPECT_TRUE(seen) << "no message box came up";
    return drawn;
  }

  test_support::TScratchDir Scratch;
  std::unique_ptr<test_support::TXvfbApplication> X;
  TFProgramModule* Main = nullptr;
  pid_t Manager = 0;
};

TEST_F(XvfbLateManagerTest, AManagerStartedLaterAddsNoTitleBarAndTheExitQuestionShowsAboveTheWindow) {
  ExpectOneCaption(Photograph("1-before"));
  StartManager();
  const test_support::TVirtualDisplay::TShot managed = Photograph("2-managed");
  ASSERT_FALSE(managed.Rgb.empty());
  ExpectOneCaption(managed);
  EXPECT_FALSE(Main->ManagerFramed());

  ASSERT_TRUE(Main->OpenFile(CorpusXml("01a-Pitches-Pitches.xml")));
  RecordTake(Main);
  EXPECT_TRUE(BoxDrawn("3-exit-question", [&] { Main->AExitExecute(); }))
      << "the question about the unsaved take is hidden";
  EXPECT_TRUE(Main->Visible()) << "Cancel keeps the window";
}

TEST_F(XvfbLateManagerTest, AManagerThatComesAndGoesAgainAndAgainLeavesTheProgramWorking) {
  for (int round = 0; round < 4; ++round) {
    StartManager();
    if (HasFatalFailure()) return;
    EXPECT_TRUE(BoxDrawn("round-" + std::to_string(round), [] {
      ShowMessageBlock("Box", "Shown while a window manager runs.", mpQuestion, mbYes | mbNo | mbCancel);
    })) << "round " << round;
    StopManager();
  }
  const test_support::TVirtualDisplay::TShot alone = Photograph("after-rounds");
  ASSERT_FALSE(alone.Rgb.empty());
  ExpectOneCaption(alone);
  EXPECT_TRUE(BoxDrawn("after-rounds-box", [] {
    ShowMessageBlock("Box", "Shown with no window manager.", mpWarning, mbOk | mbCancel);
  }));
}

}  // namespace
}  // namespace apptest
