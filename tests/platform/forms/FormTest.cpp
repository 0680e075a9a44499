// Forms on the headless host: closing, modal loops, timers, hints, painting
// and layout.
#include <fstream>

#include "support/forms/FormsTestSupport.h"
#include "platform/forms/Buttons.h"
#include "platform/forms/ExtCtrls.h"
#include "platform/forms/HintWindow.h"
#include "platform/forms/ImgList.h"
#include "platform/threads/MainQueue.h"

namespace forms::test {
namespace {

using FormTest = FormsTest;

TEST_F(FormTest, TheCloseQueryCanRefuseAndOnCloseDecidesWhatClosingDoes) {
  TForm* main = nullptr;
  App->CreateForm(main);
  main->Show();
  TForm* other = MakeForm();
  bool allow = false;
  int asked = 0;
  other->OnCloseQuery = [&](TObject*, bool& canClose) {
    ++asked;
    canClose = allow;
  };
  Host->RequestClose(other->Window());
  Pump();
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(other->Visible());
  allow = true;
  other->OnClose = [](TObject*, TCloseAction& action) { action = caFree; };
  Host->RequestClose(other->Window());
  Pump();
  EXPECT_EQ(App->ComponentCount(), 2);  // the hint timer and the main form
  // Closing the main form ends the program's loop.
  EXPECT_EQ(App->MainForm(), main);
  main->Close();
  EXPECT_TRUE(App->Terminated());
}

TEST_F(FormTest, AModalFormEndsWithTheModalResultOnlyWhenTheCloseQueryAgrees) {
  TForm* main = MakeForm();
  TForm box(nullptr);
  auto* ok = new TButton(&box);
  ok->SetParent(&box);
  ok->ModalResult = mrOk;
  auto* cancel = new TButton(&box);
  cancel->SetParent(&box);
  cancel->SetTop(40);
  cancel->Cancel = true;
  cancel->ModalResult = mrCancel;
  int queries = 0;
  box.OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++queries > 1; };
  // What the user does once the box is up: OK (refused), then OK again.
  TMainQueue::Instance().Post([&] {
    EXPECT_FALSE(main->Window().AcceptsInput());
    Click(ok);
    TMainQueue::Instance().Post([&] {
      EXPECT_TRUE(box.Visible());
      EXPECT_EQ(queries, 1);
      Click(ok);
    });
  });
  EXPECT_EQ(box.ShowModal(), mrOk);
  EXPECT_FALSE(box.Visible());
  EXPECT_TRUE(main->Window().AcceptsInput());
  TMainQueue::Instance().Post([&] { Key(window::VK_ESCAPE); });
  EXPECT_EQ(box.ShowModal(), mrCancel);
  EXPECT_EQ(queries, 3);
}

TEST_F(FormTest, AHintShowsAfterThePointerRestsAndGoesWithAPress) {
  TForm* form = MakeForm();
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetHint("Record|Records a take of the score");
  button->SetShowHint(true);
  std::vector<std::string> hints;
  App->OnHint = [&](TObject*) { hints.push_back(App->Hint()); };
  MoveTo(button, {10, 10});
  EXPECT_EQ(App->HintWindow(), nullptr);
  Host->AdvanceTime(App->HintPause);
  Pump();
  ASSERT_NE(App->HintWindow(), nullptr);
  EXPECT_EQ(App->HintWindow()->Text(), "Record");
  EXPECT_TRUE(App->HintWindow()->Visible());
  Click(button, {10, 10});
  EXPECT_EQ(App->HintWindow(), nullptr);
  MoveTo(form, {300, 250});
  EXPECT_EQ(hints, (std::vector<std::string>{"Records a take of the score", ""}));
}

TEST_F(FormTest, ControlsPaintInsideTheirParentsAndTheFrameBandAroundTheClientArea) {
  TForm* form = MakeForm();
  form->SetColor(0xEED8D2);
  form->SetFrameInsets({3, 20, 3, 3});
  form->OnPaintFrame = [](TObject*, canvas::TCanvas& c) {
    c.Brush.Color = canvas::clNavy;
    c.FillRect({0, 0, 400, 300});
  };
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  panel->SetBounds(10, 10, 100, 50);
  panel->SetBevelOuter(bvNone);
  panel->SetColor(canvas::clYellow);
  auto* inner = new TPanel(form);
  inner->SetParent(panel);
  inner->SetBounds(80, 30, 100, 100);  // sticks out of the panel
  inner->SetBevelOuter(bvNone);
  inner->SetColor(canvas::clRed);
  EXPECT_EQ(PixelAt(form, {-2, -10}), 0xFF000080u);
  EXPECT_EQ(PixelAt(form, {5, 5}), 0xFFD2D8EEu);
  EXPECT_EQ(PixelAt(panel, {5, 5}), 0xFFFFFF00u);
  EXPECT_EQ(PixelAt(inner, {5, 5}), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(inner, {5, 25}), 0xFFD2D8EEu);  // outside the panel: the form
  EXPECT_EQ(form->ClientWidth(), 394);
  panel->Hide();
  EXPECT_EQ(PixelAt(form, {15, 15}), 0xFFD2D8EEu);
}

TEST_F(FormTest, AlignedChildrenShareTheClientAreaAndAnchoredOnesFollowItsSize) {
  TForm* form = MakeForm();
  form->Constraints.MinWidth = 300;
  auto* bar = new TPanel(form);
  bar->SetParent(form);
  bar->SetHeight(30);
  bar->SetAlign(alTop);
  auto* side = new TPanel(form);
  side->SetParent(form);
  side->SetWidth(50);
  side->SetAlign(alLeft);
  auto* rest = new TPanel(form);
  rest->SetParent(form);
  rest->SetAlign(alClient);
  auto* corner = new TButton(form);
  corner->SetParent(form);
  corner->SetBounds(300, 250, 80, 25);
  corner->SetAnchors(akRight | akBottom);
  form->SetBounds(100, 100, 200, 400);  // narrower than allowed
  EXPECT_EQ(form->Width(), 300);
  EXPECT_EQ(bar->BoundsRect(), (TRect{0, 0, 300, 30}));
  EXPECT_EQ(side->BoundsRect(), (TRect{0, 30, 50, 400}));
  EXPECT_EQ(rest->BoundsRect(), (TRect{50, 30, 300, 400}));
  EXPECT_EQ(corner->BoundsRect(), (TRect{200, 350, 280, 375}));
}

TEST_F(FormTest, AnImageListCutsAStripAndDrawsImagesPlainDisabledOrAsSilhouettes) {
  canvas::TBitmap strip(40, 16, canvas::clRed);
  for (int y = 0; y < 16; ++y)  // the second image: transparent left half
    for (int x = 16; x < 24; ++x) strip.Pixels()[y * 40 + x] = 0;
  TImageList images(nullptr);
  int changes = 0;
  TChangeLink link;
  link.OnChange = [&](TObject*) { ++changes; };
  images.RegisterChanges(&link);
  EXPECT_EQ(images.AddStrip(strip), 0);
  EXPECT_EQ(images.Count(), 2);  // the last 8 columns make no image
  EXPECT_EQ(changes, 1);
  canvas::TBitmap target(64, 16, canvas::clWhite);
  images.Draw(target.Canvas(), 0, 0, 1);
  images.Draw(target.Canvas(), 20, 0, 1, false);
  images.DrawSilhouette(target.Canvas(), 40, 0, 1, canvas::clBlue);
  EXPECT_EQ(target.ColorAt(2, 5), canvas::clWhite);
  EXPECT_EQ(target.ColorAt(12, 5), canvas::clRed);
  // Disabled: red's grey (76) half way to white.
  EXPECT_EQ(target.ColorAt(32, 5), canvas::RGB(165, 165, 165));
  EXPECT_EQ(target.ColorAt(22, 5), canvas::clWhite);
  EXPECT_EQ(target.ColorAt(52, 5), canvas::clBlue);
  EXPECT_EQ(target.ColorAt(42, 5), canvas::clWhite);
  EXPECT_THROW(images.Image(2), EListError);

  // The same strip from a PNG file; a damaged file adds nothing.
  const std::string png = std::string(SONARID_BINARY_DIR) + "/forms-strip.png";
  strip.SaveToPngFile(png);
  EXPECT_EQ(images.LoadStripFromFile(png), 2);
  EXPECT_EQ(images.Image(3).Pixel(0, 0), 0u);
  EXPECT_EQ(images.Image(3).ColorAt(12, 0), canvas::clRed);
  std::ofstream(png, std::ios::binary) << "\x89PNG\r\n\x1a\n broken";
  EXPECT_THROW(images.LoadStripFromFile(png), canvas::EInvalidGraphic);
  EXPECT_EQ(images.Count(), 4);
}

}  // namespace
}  // namespace forms::test
