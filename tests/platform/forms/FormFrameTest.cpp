// The frame band of a form: what part a point is on, moving by the caption
// and resizing by the border within the constraints (real injected mouse
// input), and the plain frame of dialog boxes.
#include "support/forms/FormsTestSupport.h"
#include "platform/forms/DialogFrame.h"
#include "platform/threads/MainQueue.h"
#include "platform/window/WindowSystem.h"

namespace forms::test {
namespace {

struct THitCase {
  int X, Y;
  bool Sizeable;
  TFrameHit Hit;
};

void PrintTo(const THitCase& c, std::ostream* os) { *os << c.X << "," << c.Y << (c.Sizeable ? " sizeable" : ""); }

class FrameHitTest : public ::testing::TestWithParam<THitCase> {};

// A 200 x 100 window, bands of 4 left, 20 top (the caption), 5 right, 6 bottom.
TEST_P(FrameHitTest, NamesThePartOfTheWindowAPointIsOn) {
  const THitCase& c = GetParam();
  EXPECT_EQ(FrameHitAt({c.X, c.Y}, 200, 100, {4, 20, 5, 6}, c.Sizeable), c.Hit);
}

INSTANTIATE_TEST_SUITE_P(
    Points, FrameHitTest,
    ::testing::Values(THitCase{4, 20, true, TFrameHit::Client}, THitCase{194, 93, true, TFrameHit::Client},
                      THitCase{195, 50, true, TFrameHit::Right}, THitCase{3, 50, true, TFrameHit::Left},
                      THitCase{100, 94, true, TFrameHit::Bottom}, THitCase{7, 99, true, TFrameHit::BottomLeft},
                      THitCase{8, 99, true, TFrameHit::Bottom}, THitCase{192, 96, true, TFrameHit::BottomRight},
                      THitCase{0, 92, true, TFrameHit::BottomLeft}, THitCase{0, 91, true, TFrameHit::Left},
                      THitCase{100, 2, true, TFrameHit::Top}, THitCase{199, 0, true, TFrameHit::TopRight},
                      THitCase{0, 2, true, TFrameHit::TopLeft}, THitCase{100, 3, true, TFrameHit::Caption},
                      THitCase{0, 19, true, TFrameHit::Caption}, THitCase{100, 2, false, TFrameHit::Caption},
                      THitCase{3, 50, false, TFrameHit::Border}, THitCase{100, 99, false, TFrameHit::Border},
                      THitCase{200, 50, false, TFrameHit::Client}, THitCase{-1, 2, true, TFrameHit::Client}));

class FormFrameTest : public FormsTest {
protected:
  // A form whose band of 4 / 20 / 4 / 4 pixels behaves as the system's frame.
  TForm* FramedForm() {
    TForm* form = MakeForm();
    form->SetFrameInsets({4, 20, 4, 4});
    form->WindowHook = [form](window::TMessage& msg) {
      const bool mouse = msg.Kind == window::TMessageKind::MouseMove || msg.Kind == window::TMessageKind::MouseDown ||
                         msg.Kind == window::TMessageKind::MouseUp;
      if (!mouse || form->FrameHit({msg.Pos.X, msg.Pos.Y}) == TFrameHit::Client) return false;
      form->FrameMouse(msg);
      return true;
    };
    return form;
  }
  void Drag(TPoint from, TPoint to) {
    MoveToScreen(from);
    Host->PressButton();
    Pump();
    MoveToScreen({(from.X + to.X) / 2, (from.Y + to.Y) / 2});
    MoveToScreen(to);
    Host->ReleaseButton();
    Pump();
  }
};

TEST_F(FormFrameTest, ACaptionDragMovesTheWindowByThePointersMovement) {
  TForm* form = FramedForm();
  Drag({150, 110}, {187, 91});
  EXPECT_EQ(form->BoundsRect(), (TRect{137, 81, 537, 381}));
  EXPECT_FALSE(form->Dragging());
  EXPECT_EQ(window::TWindowSystem::Current().GetCapture(), nullptr);
  // Beyond the release the pointer moves alone.
  MoveToScreen({300, 300});
  EXPECT_EQ(form->Left(), 137);
}

TEST_F(FormFrameTest, ABorderDragResizesKeepingTheOtherEdgeAndStopsAtTheMinimumSize) {
  TForm* form = FramedForm();
  form->Constraints.MinWidth = 150;
  form->Constraints.MinHeight = 120;
  // The left edge, far to the right: the right edge (500) stays, 150 wide.
  Drag({101, 250}, {700, 250});
  EXPECT_EQ(form->BoundsRect(), (TRect{350, 100, 500, 400}));
  // The bottom-right corner out and up beyond the minimum height.
  MoveToScreen({498, 398});
  EXPECT_EQ(Host->CursorShape(), window::crSizeNWSE);
  Drag({498, 398}, {528, 130});
  EXPECT_EQ(form->BoundsRect(), (TRect{350, 100, 530, 220}));
  // The client area follows the window.
  EXPECT_EQ(form->ClientRect(), (TRect{0, 0, 172, 96}));
}

TEST_F(FormFrameTest, ADialogsPlainFrameShowsItsCaptionAndClosesByItsButtonOnlyWhenReleasedOverIt) {
  TForm* form = MakeForm();
  form->SetCaption("Plain caption");
  form->SetBorderStyle(bsDialog);
  form->SetClientWidth(300);
  form->SetClientHeight(100);
  form->SetFocus();
  EXPECT_EQ(form->FrameInsets(), TDialogFrame::Insets());
  EXPECT_EQ(form->BoundsRect(), (TRect{100, 100, 402, 220}));
  window::TScreenImage shot = Snapshot();
  const uint32_t caption = canvas::PixelOf(canvas::ColorToRGB(canvas::clActiveCaption));
  EXPECT_EQ(shot.Pixel(103, 103), caption);
  EXPECT_EQ(shot.Pixel(100, 150), canvas::PixelOf(canvas::ColorToRGB(canvas::clBtnShadow)));
  // With biSystemMenu a close button sits at the caption's right end.
  const canvas::TRect close = TDialogFrame(*form).CloseButton();
  EXPECT_EQ(close, (TRect{283, 3, 299, 17}));
  EXPECT_NE(shot.Pixel(100 + 290, 100 + 10), caption);
  Drag({100 + 290, 100 + 10}, {100 + 150, 100 + 10});
  EXPECT_TRUE(form->Visible());
  EXPECT_EQ(form->Left(), 100);  // a press on the button moves nothing
  Drag({100 + 290, 100 + 10}, {100 + 292, 100 + 9});
  EXPECT_FALSE(form->Visible());

  // The caption of a box that is not the active window.
  form->Show();
  MakeForm()->SetBounds(600, 500, 100, 100);
  EXPECT_EQ(Snapshot().Pixel(103, 103), canvas::PixelOf(canvas::ColorToRGB(canvas::clInactiveCaption)));
}

TEST_F(FormFrameTest, AModalBoxComesAboveAStayOnTopWindowCentresOnItsFormAndGivesTheActivationBack) {
  TForm* main = MakeForm();
  TForm* tips = MakeForm();
  tips->SetBounds(600, 500, 200, 150);
  tips->SetFormStyle(fsStayOnTop);
  main->SetFocus();
  TForm box(nullptr);
  box.Position = poOwnerFormCenter;
  box.SetBounds(0, 0, 100, 80);
  bool onTop = false;
  canvas::TRect placed;
  TMainQueue::Instance().Post([&] {
    onTop = window::TWindowSystem::Current().ZOrder().back() == &box.Window();
    placed = box.BoundsRect();
    box.SetModalResult(mrOk);
  });
  main->SetFocus();
  EXPECT_EQ(box.ShowModal(), mrOk);
  EXPECT_TRUE(onTop);
  EXPECT_EQ(placed, (TRect{250, 210, 350, 290}));  // on the main form, not on the tips window
  EXPECT_EQ(Screen->ActiveForm(), main);
  EXPECT_EQ(window::TWindowSystem::Current().ZOrder().back(), &tips->Window());
}

}  // namespace
}  // namespace forms::test
