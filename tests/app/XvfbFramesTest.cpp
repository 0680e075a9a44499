// The windows' frames on a virtual X server: the main window's skinned
// caption active and inactive, the tips window over it (English and
// Russian) with its two corners cut by its shape, the about box, and a
// message box's plain frame. Photographed into the build folder for people
// to look at (frames-*.png) and checked at known places.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include "ProgramTestSupport.h"
#include "WalkInput.h"
#include "app/AboutModule.h"
#include "app/HelperModule.h"
#include "app/MessageBlock.h"
#include "app/Program.h"
#include "app/ProgramUnit.h"
#include "platform/forms/Timer.h"
#include "platform/threads/MainQueue.h"
#include "support/XvfbApplication.h"
#include "ui/help/ECXMLHelp.h"

namespace apptest {
namespace {

// The program's main window with its settings in Scratch.
TFProgramModule* StartProgram(test_support::TXvfbApplication& x, const test_support::TScratchDir& scratch) {
  StartScoreServices();
  InitializeProgramUnit({ProgramFile(), scratch.Path() + "/"});
  TFProgramModule* main = nullptr;
  x.App->CreateForm(main);
  main->Show();
  return main;
}

TEST(XvfbFramesTest, CaptionsButtonsAndShapesShowAsTheSkinDrawsThem) {
  test_support::TXvfbApplication x(1024, 768);
  if (!x.Skip().empty()) GTEST_SKIP() << x.Skip();
  test_support::TScratchDir scratch;
  TFProgramModule* main = StartProgram(x, scratch);
  test_support::TVirtualDisplay::TShot shot;
  auto photograph = [&](const std::string& name) {
    x.Settle();
    shot = x.Display().Screenshot(std::string(SONARID_BINARY_DIR) + "/frames-" + name);
    return !shot.Rgb.empty();
  };
  auto skin = [](const std::string& picture, int px, int py) {
    return canvas::PixelOf(SkinPicture(picture).ColorAt(px, py));
  };
  // A point of a form's caption bar, right of its title and left of its buttons.
  auto caption = [&](forms::TCustomForm* form, int fromRight) {
    return shot.Pixel(form->Left() + form->Width() - fromRight, form->Top() + 2);
  };

  TFHelperModule* tips = HelperModule();
  ASSERT_TRUE(tips);
  ASSERT_EQ(tips->HHelper->Pages(), std::vector<std::string>{"Start.xml"});
  ASSERT_TRUE(photograph("main-active"));
  EXPECT_EQ(caption(main, 80), skin("main-caption-center.png", 0, 2));
  EXPECT_EQ(caption(tips, 70), skin("tips-caption-center-inactive.png", 0, 2));
  // The tips window's shape: its top-right and bottom-left corners are not
  // drawn (the desktop shows), the pixels beside them are.
  const int right = tips->Left() + tips->Width() - 1, bottom = tips->Top() + tips->Height() - 1;
  EXPECT_EQ(shot.Pixel(right, tips->Top() + 2), 0xFF000000u);
  EXPECT_EQ(shot.Pixel(tips->Left() + 2, bottom), 0xFF000000u);
  EXPECT_NE(shot.Pixel(right, tips->Top() + 5), 0xFF000000u);
  EXPECT_NE(shot.Pixel(tips->Left() + 5, bottom), 0xFF000000u);

  tips->SetFocus();
  ASSERT_TRUE(photograph("main-inactive"));
  EXPECT_EQ(caption(main, 80), skin("main-caption-center-inactive.png", 0, 2));
  EXPECT_EQ(caption(tips, 70), skin("tips-caption-center.png", 0, 2));

  main->LanguageExecute(main->ARussian, "RUS");
  ShowHelper({"Start"});
  ASSERT_TRUE(photograph("tips-russian"));
  EXPECT_EQ(tips->HHelper->FileName(), ProgramPlace().ProgramFolder() + "KorvaneSonarid.RUS.xcf");
  main->LanguageExecute(main->AEnglish, "ENU");

  // The about box, then a message box, each photographed while it is up.
  uint32_t aboutCaption = 0, boxCaption = 0;
  TMainQueue::Instance().Post([&] {
    auto* about = dynamic_cast<TFAboutModule*>(forms::Screen->ActiveForm());
    ASSERT_TRUE(about);
    if (photograph("about-box")) aboutCaption = caption(about, 60);
    about->SetModalResult(forms::mrOk);
  });
  main->AAboutExecute();
  EXPECT_EQ(aboutCaption, skin("main-caption-center.png", 0, 2));
  TMainQueue::Instance().Post([&] {
    auto* box = dynamic_cast<TFMessageBlock*>(forms::Screen->ActiveForm());
    ASSERT_TRUE(box);
    if (photograph("message-box")) boxCaption = caption(box, 10);
    box->SetModalResult(forms::mrNo);
  });
  EXPECT_EQ(ShowMessageBlock("Plain caption", "A message box over the main window.", mpQuestion, mbYes | mbNo),
            forms::mrNo);
  EXPECT_EQ(boxCaption, canvas::PixelOf(canvas::ColorToRGB(canvas::clActiveCaption)));
  delete main;
  FinalizeProgramUnit();
  x.App.reset();
}

// Under a window manager, raising the tips window back over the window the
// user clicked must not hand it the keyboard, and the about box must get a
// click far outside it.
TEST(XvfbFramesTest, UnderAWindowManagerTheClickedWindowKeepsTheKeyboardAndTheAboutBoxGetsAClickOutside) {
  if (!test_support::OnPath("openbox")) GTEST_SKIP() << "openbox is not installed (scripts/install-deps installs it)";
  test_support::TXvfbApplication x(1024, 768);
  if (!x.Skip().empty()) GTEST_SKIP() << x.Skip();
  pid_t openbox = 0;
  const char* argv[] = {"openbox", nullptr};
  ASSERT_EQ(posix_spawnp(&openbox, "openbox", nullptr, nullptr, const_cast<char**>(argv), environ), 0);
  ASSERT_TRUE(WaitForWindowManager(x.Display().Display())) << "openbox did not start";
  std::unique_ptr<TWalkInput> in = XTestInput(x.Display().Display());
  ASSERT_TRUE(in);
  test_support::TScratchDir scratch;
  TFProgramModule* main = StartProgram(x, scratch);
  auto settleUntil = [&](const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done() && std::chrono::steady_clock::now() < until) x.Settle();
    return done();
  };
  auto click = [&](int sx, int sy) { in->Move(sx, sy), in->Button(true), in->Button(false); };
  ASSERT_TRUE(settleUntil([&] { return HelperModule() && HelperModule()->Visible(); }));
  const canvas::TPoint tips = HelperModule()->ClientToScreen({100, 100});
  click(tips.X, tips.Y);
  ASSERT_TRUE(settleUntil([&] { return forms::Screen->ActiveForm() == HelperModule(); }));
  const canvas::TPoint panel = main->PSource->ClientToScreen({150, 130});
  click(panel.X, panel.Y);
  EXPECT_TRUE(settleUntil([&] { return forms::Screen->ActiveForm() == main; }));
  x.Settle();
  EXPECT_EQ(forms::Screen->ActiveForm(), main) << "the keyboard went back to the tips window";

  // A click far from the about box closes it; a timer ends the box if not.
  bool closedByTimer = false;
  forms::TTimer fallback(nullptr);
  fallback.SetInterval(8000);
  fallback.OnTimer = [&](TObject*) {
    if (auto* about = dynamic_cast<TFAboutModule*>(forms::Screen->ActiveForm())) {
      closedByTimer = true;
      about->SetModalResult(forms::mrCancel);
    }
  };
  TMainQueue::Instance().Post([&] {
    settleUntil([] { return dynamic_cast<TFAboutModule*>(forms::Screen->ActiveForm()) != nullptr; });
    click(1000, 740);
  });
  main->AAboutExecute();
  EXPECT_FALSE(closedByTimer);
  fallback.SetEnabled(false);
  in.reset();
  delete main;
  FinalizeProgramUnit();
  kill(openbox, SIGTERM), waitpid(openbox, nullptr, 0);
  x.App.reset();
}

}  // namespace
}  // namespace apptest
