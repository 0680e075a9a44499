// The windows' frames on a virtual X server: the main window's skinned
// caption active and inactive, the tips window over it (English and
// Russian) with its two corners cut by its shape, the about box, and a
// message box's plain frame. Photographed into the build folder for people
// to look at (frames-*.png) and checked at known places.
#include <gtest/gtest.h>

#include "ProgramTestSupport.h"
#include "app/AboutModule.h"
#include "app/HelperModule.h"
#include "app/MessageBlock.h"
#include "app/Program.h"
#include "app/ProgramUnit.h"
#include "platform/threads/MainQueue.h"
#include "support/XvfbApplication.h"
#include "ui/help/ECXMLHelp.h"

namespace apptest {
namespace {

TEST(XvfbFramesTest, CaptionsButtonsAndShapesShowAsTheSkinDrawsThem) {
  test_support::TXvfbApplication x(1024, 768);
  if (!x.Skip().empty()) GTEST_SKIP() << x.Skip();
  test_support::TScratchDir scratch;
  StartScoreServices();
  InitializeProgramUnit({ProgramFile(), scratch.Path() + "/"});
  TFProgramModule* main = nullptr;
  x.App->CreateForm(main);
  main->Show();
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

}  // namespace
}  // namespace apptest
