// Painting: what a Paint message asks for, what reaches the screen image,
// shapes, drawing outside a Paint message, resizing and window states.
#include "WindowTestSupport.h"

namespace window::test {
namespace {

using ::testing::ElementsAre;

class PaintTest : public HeadlessWindowTest {
protected:
  std::unique_ptr<TLoggedWindow> MakePainted(const std::string& name, TRect bounds, uint32_t colour) {
    auto w = std::make_unique<TLoggedWindow>(Log, name, TWindowKind::TopLevel, nullptr, true);
    w->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    w->Colour = colour;
    Log.clear();
    return w;
  }
};

TEST_F(PaintTest, AShownWindowIsPaintedWholeThenOnlyWhereInvalid) {
  auto w = MakePainted("W", {10, 20, 110, 70}, 0xFFFF0000);
  EXPECT_TRUE(Pump().empty());  // hidden windows are not painted
  w->Show();
  EXPECT_THAT(Pump(), ElementsAre("W Activate on", "W SetFocus", "W Paint 0,0 100,50"));
  TScreenImage shot = Host->Screenshot();
  EXPECT_EQ(shot.Pixel(10, 20), 0xFFFF0000);
  EXPECT_EQ(shot.Pixel(109, 69), 0xFFFF0000);
  EXPECT_EQ(shot.Pixel(110, 69), THeadlessHost::DesktopColour);
  EXPECT_EQ(shot.Pixel(9, 20), THeadlessHost::DesktopColour);

  w->Colour = 0xFF00FF00;
  w->InvalidateRect({5, 5, 10, 10});
  w->InvalidateRect({20, 8, 30, 12});
  w->InvalidateRect({90, 40, 300, 300});  // clipped to the window
  EXPECT_THAT(Pump(), ElementsAre("W Paint 5,5 100,50"));
  w->InvalidateRect({1, 1, 3, 3});
  w->Update();  // at once, not on the loop
  EXPECT_THAT(Log, ElementsAre("W Paint 1,1 3,3"));
  shot = Host->Screenshot();
  EXPECT_EQ(shot.Pixel(11, 21), 0xFF00FF00);
  EXPECT_EQ(shot.Pixel(13, 23), 0xFFFF0000);  // between the two painted rectangles
  EXPECT_EQ(shot.Pixel(15, 25), 0xFF00FF00);
}

TEST_F(PaintTest, OutsideItsShapeAWindowShowsWhatIsBeneath) {
  auto back = MakePainted("B", {0, 0, 200, 200}, 0xFF0000FF);
  auto shaped = MakePainted("S", {50, 50, 150, 150}, 0xFFFFFF00);
  shaped->SetWindowRgn(TRegion::RoundRect({0, 0, 100, 100}, 50, 50));
  auto popup = std::make_unique<TLoggedWindow>(Log, "P", TWindowKind::PopUp, back.get());
  popup->SetBounds(140, 140, 40, 40);
  popup->Colour = 0xFF00FF00;
  popup->Show();
  shaped->Show();
  back->Show();  // activated last, yet the pop-up stays on top
  Pump();
  const TScreenImage shot = Host->Screenshot();
  EXPECT_EQ(shot.Pixel(51, 51), 0xFF0000FF);   // cut corner
  EXPECT_EQ(shot.Pixel(100, 100), 0xFF0000FF);  // the shaped window went below when back was shown
  EXPECT_EQ(shot.Pixel(145, 145), 0xFF00FF00);
  EXPECT_EQ(shot.Pixel(250, 250), THeadlessHost::DesktopColour);

  shaped->Activate();
  Pump();
  const TScreenImage raised = Host->Screenshot();
  EXPECT_EQ(raised.Pixel(100, 100), 0xFFFFFF00);
  EXPECT_EQ(raised.Pixel(51, 51), 0xFF0000FF);
  EXPECT_EQ(raised.Pixel(100, 50), 0xFFFFFF00);
  EXPECT_EQ(raised.Pixel(145, 145), 0xFF00FF00);
  shaped->SetWindowRgn(std::nullopt);
  EXPECT_EQ(Host->Screenshot().Pixel(51, 51), 0xFFFFFF00);
}

TEST_F(PaintTest, DrawingOutsideAPaintMessageShowsOnlyWhatIsReleased) {
  auto w = MakePainted("W", {0, 0, 20, 20}, 0xFF000000);
  w->Show();
  Pump();
  TPixelBuffer dc = w->GetDC();
  ASSERT_EQ(dc.Width, 20);
  ASSERT_EQ(dc.Stride, 80);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) dc.Row(y)[x] = 0xFFFFFFFF;
  w->ReleaseDC({0, 0, 10, 10});
  const TScreenImage shot = Host->Screenshot();
  EXPECT_EQ(shot.Pixel(5, 5), 0xFFFFFFFF);
  EXPECT_EQ(shot.Pixel(15, 15), 0xFF000000);
}

TEST_F(PaintTest, ResizingSendsMoveAndSizeKeepsThePixelsAndRepaints) {
  auto w = MakePainted("W", {0, 0, 20, 20}, 0xFF112233);
  w->Show();
  Pump();
  w->SetBounds(5, 0, 30, 10);
  EXPECT_THAT(Log, ElementsAre("W Move 5,0", "W Size 30x10"));
  Log.clear();
  w->Colour = 0xFF445566;
  w->SetBounds(5, 0, 30, 10);  // unchanged: no message
  EXPECT_THAT(Pump(), ElementsAre("W Paint 0,0 30,10"));
  EXPECT_EQ(Host->Screenshot().Pixel(34, 9), 0xFF445566);
}

TEST_F(PaintTest, MaximiseFillsTheScreenRestoreReturnsMinimiseHidesFromTheScreenAndTheMouse) {
  auto w = MakePainted("W", {30, 40, 130, 90}, 0xFF102030);
  w->Show();
  Pump();
  w->SetWindowState(TWindowState::wsMaximized);
  EXPECT_EQ(w->BoundsRect(), System->ScreenRect());
  EXPECT_THAT(Log, ElementsAre("W Move 0,0", "W Size 1024x768"));
  w->SetWindowState(TWindowState::wsNormal);
  EXPECT_EQ(w->BoundsRect(), (TRect{30, 40, 130, 90}));
  Pump();
  w->SetWindowState(TWindowState::wsMinimized);
  EXPECT_EQ(Host->Screenshot().Pixel(50, 50), THeadlessHost::DesktopColour);
  EXPECT_EQ(System->GetActiveWindow(), nullptr);
  Host->Click({50, 50});
  EXPECT_THAT(Pump(), ElementsAre("W Activate off", "W KillFocus"));
  w->SetWindowState(TWindowState::wsNormal);
  EXPECT_EQ(w->BoundsRect(), (TRect{30, 40, 130, 90}));
  EXPECT_EQ(Host->Screenshot().Pixel(50, 50), 0xFF102030);
}

TEST_F(PaintTest, AWindowMinimisedByTheProgramIsGivenBackByTheHostInTheStateItHadAndTakesTheMouseAgain) {
  auto w = MakePainted("W", {30, 40, 130, 90}, 0xFF102030);
  w->Show();
  w->SetWindowState(TWindowState::wsMaximized);
  w->SetWindowState(TWindowState::wsMinimized);
  Pump();
  Host->RestoreFromTaskBar(*w);
  EXPECT_THAT(Pump(), ElementsAre("W Paint 0,0 1024,768"));
  EXPECT_EQ(w->WindowState(), TWindowState::wsMaximized);
  Host->Click({50, 50});
  EXPECT_THAT(Pump(), testing::Contains("W MouseDown 50,50 L s=8"));
}

TEST_F(PaintTest, CursorAndClipboardReachTheHost) {
  System->SetCursor(crHandPoint);
  EXPECT_EQ(Host->CursorShape(), crHandPoint);
  System->SetClipboardText("Запись");
  EXPECT_EQ(System->GetClipboardText(), "Запись");
}

}  // namespace
}  // namespace window::test
