// The visible view's geometry: zoom, scroll ranges and positions, the
// repaint strips of scrolling, the bars and page buttons on a resize, and
// the view without window that the program plays with.

#include "ViewFixture.h"
#include "platform/forms/Application.h"
#include "score/model/Page.h"
#include "platform/text/TextMeasurer.h"

namespace {

class ViewGeometry : public ViewTest {
protected:
  int zoomEvents = 0;
};

// 2069 pixels high: the range of the vertical bar (the page less a view of
// 600 - 17 - 24 pixels) is 600 at zoom 56 and 1200 at zoom 85.
TEST_F(ViewGeometry, ZoomIsClampedAnnouncedOnceAndKeepsThePositionsProportional) {
  MakeScore(1);
  PageOfPixels(1000, 2069);
  view().OnZoomChanged = [&](TObject*) { ++zoomEvents; };
  view().SetZoom(10);
  EXPECT_EQ(view().Zoom(), 25);
  view().SetZoom(1000);
  view().SetZoom(975);
  EXPECT_EQ(view().Zoom(), 975);
  EXPECT_EQ(zoomEvents, 2);
  view().SetZoom(56);
  ASSERT_EQ(vert().Max() - vert().PageSize(), 600);
  EXPECT_EQ(horz().Max() - horz().PageSize(), 0) << "560 pixels fit the view";
  vert().SetPosition(300);
  view().SetZoom(85);
  EXPECT_EQ(vert().Max() - vert().PageSize(), 1200);
  EXPECT_EQ(vert().Position(), 600);
  EXPECT_EQ(horz().Position(), 0) << "from a range of 0";
  // Ctrl with the wheel: 25 at a time, never below 25.
  view().SetZoom(25);
  zoomEvents = 0;
  WheelAt({300, 300}, -120, window::ssCtrl);
  EXPECT_EQ(std::pair(view().Zoom(), zoomEvents), std::pair(25, 0));
  WheelAt({300, 300}, 120, window::ssCtrl);
  EXPECT_EQ(std::pair(view().Zoom(), zoomEvents), std::pair(50, 1));
}

// A notch towards the user scrolls 60 pixels down; positions stay within
// the range; each direction repaints the strip that comes into view (the
// bar itself repaints too).
TEST_F(ViewGeometry, WheelAndBarsScrollAndRepaintTheirStrip) {
  MakeScore(1);
  PageOfPixels(2000, 3000);
  WheelAt({300, 300}, -120);
  EXPECT_EQ(vert().Position(), 60);
  WheelAt({300, 300}, 120);
  EXPECT_EQ(vert().Position(), 0);
  int far = 100000;
  view().ScrollBarScroll(&vert(), forms::scPosition, far);
  EXPECT_EQ(vert().Position(), vert().Max() - vert().PageSize());
  EXPECT_EQ(far, vert().Position());
  struct {
    forms::TScrollBar* Bar;
    int To;
    window::TRect Painted;
  } steps[] = {{&horz(), 50, {0, 0, 783, 600}},   // on: all the content can fill
               {&horz(), 20, {24, 0, 783, 600}},  // back: the view rectangle
               {&vert(), 10, {0, 0, 800, 583}}};  // the view's height, and the bar
  for (auto& step : steps) {
    Pump();
    auto& paints = WatchPaints();
    int to = step.To;
    view().ScrollBarScroll(step.Bar, forms::scPosition, to);
    ASSERT_EQ(paints.size(), 1u) << "painted at once";
    EXPECT_EQ(paints[0], step.Painted) << step.To;
  }
}

// Dragging the thumb of the vertical bar shows the number of the page at
// its position at once.
TEST_F(ViewGeometry, DraggingTheThumbShowsThePageNumberAtOnce) {
  MakeScore(1);
  score->SetUserPages(5);
  Pump();
  ASSERT_GE(view().PageCount(), 5);
  const canvas::TPoint thumb{vert().Left() + 8, vert().Top() + 17 + 3};
  Press(thumb);
  for (int y = thumb.Y; y < vert().Top() + vert().Height() && vert().Position() < view().PageRect(2).Top; ++y)
    Move({thumb.X, y});
  ASSERT_LT(vert().Position(), view().PageRect(2).Bottom);
  EXPECT_EQ(vert().Hint(), "3");
  EXPECT_NE(forms::Application->HintWindow(), nullptr);
  EXPECT_EQ(forms::Application->Hint(), "3");
  Release();
}

// The horizontal bar takes the right quarter of the bottom strip, the
// vertical bar runs from VertOffset to the strip; the page buttons start
// at ButtonsOffset, 17 pixels each, the page text as wide as "12-12".
TEST_F(ViewGeometry, ResizePlacesTheBarsAndThePageButtons) {
  MakeScore(1);
  score->SetUserPages(12);
  score->SetOverwriteName("Overwrite");
  view().SetButtonsOffset(5);
  view().SetVertOffset(30);
  control->SetBounds(0, 0, 800, 600);
  EXPECT_EQ(horz().BoundsRect(), (canvas::TRect{600, 583, 783, 600}));
  EXPECT_EQ(vert().BoundsRect(), (canvas::TRect{783, 30, 800, 583}));
  control->SetBounds(0, 0, 640, 480);
  EXPECT_EQ(horz().BoundsRect(), (canvas::TRect{480, 463, 623, 480}));
  EXPECT_EQ(vert().BoundsRect(), (canvas::TRect{623, 30, 640, 463}));
  ASSERT_EQ(view().PageCount(), 12);
  const auto& r = view().PageButtonRect;
  const text::TFontSpec arial{"Arial", 10, 0};
  const int text = text::CurrentMeasurer().TextWidth(arial, "12-12");
  const int name = text::CurrentMeasurer().TextWidth(arial, "Overwrite");
  const std::vector<canvas::TRect> expected = {
      {41, 463, 41 + text, 480},          {5, 463, 22, 480},   {22, 463, 39, 480},
      {43 + text, 463, 60 + text, 480},   {60 + text, 463, 77 + text, 480}, {77 + text, 463, 94 + text, 480},
      {94 + text, 463, 111 + text, 480},  {111 + text, 463, 128 + text, 480},
      {128 + text, 463, 145 + text + name, 480}};
  EXPECT_EQ(std::vector<canvas::TRect>(r.begin(), r.end()), expected);
  // Back buttons on the first page, onward buttons on the last; the page
  // count buttons and the indicator always.
  using E = std::array<uint8_t, 9>;
  EXPECT_EQ(view().PageButtonEnabled, (E{0, 0, 0, 1, 1, 1, 1, 1, 1}));
  view().SetActivePage(11);
  EXPECT_EQ(view().PageButtonEnabled, (E{0, 1, 1, 1, 0, 0, 1, 1, 1}));
}

// The program's view: no control, so nothing is invalidated and no button
// laid out, while the page table is filled as for a shown view.
TEST_F(ViewGeometry, AViewWithoutWindowKeepsItsPagesAndShowsNothing) {
  MakeScore(1);
  score->SetUserPages(3);
  TKVWindow hidden;
  hidden.SetScore(score.get());
  EXPECT_EQ(hidden.PageCount(), 3);
  EXPECT_EQ(hidden.PageRect(2), view().PageRect(2));
  EXPECT_EQ(hidden.PageButtonRect[PageButton::First], canvas::TRect{});
  score->BeginUpdate();
  hidden.InvalidateScore();
  view().InvalidateScore();
  EXPECT_FALSE(hidden.ScoreInvalidationPending());
  EXPECT_TRUE(view().ScoreInvalidationPending());
  score->EndUpdate();
  hidden.SetZoom(200);
  EXPECT_GT(hidden.PageRect(0).Bottom, view().PageRect(0).Bottom);
  EXPECT_EQ(hidden.PageRect(1).Top, hidden.PageRect(0).Bottom);
  hidden.SetScore(nullptr);
}

}  // namespace
