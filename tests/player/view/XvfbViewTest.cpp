// A shown score view in a real SDL2 window on a virtual X server: a corpus
// file's pages painted by a test painter that draws each page's paper
// through the view, photographed for people to look at
// (build/<flavour>/view-screenshot.png, view-scrolled.png and, zoomed,
// view-scroll-bars.png), and checked
// where the view's own geometry puts things: the flat scroll bars, the page
// edges, the cursor's column, and the pages 60 pixels higher after one
// notch of the wheel. Skipped with a message where no X server can start.

#include <gtest/gtest.h>

#include "platform/canvas/Canvas.h"
#include "platform/forms/Forms.h"
#include "platform/forms/ScrollBar.h"
#include "player/ScoreRenderer.h"
#include "player/ViewControl.h"
#include "player/Window.h"
#include "score/layout/page/PageRecords.h"
#include "score/model/Piece.h"
#include "score/model/Score.h"
#include "support/ShownView.h"
#include "support/XvfbApplication.h"
#include "support/sketch/ReviewImages.h"

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libX11.so\nleak:libxcb\nleak:libSDL2\nleak:libdbus-1.so\nleak:libfontconfig\n";
}

namespace {

// The grey of the control around the white pages, black page edges.
constexpr uint32_t Grey = 0xFF808080, White = 0xFFFFFFFF, Black = 0xFF000000;

// Paints the control grey, then each page's paper where the view arranges
// it, with the cursor taken off and put back.
class TPaperPainter : public TKVScoreRenderer {
public:
  explicit TPaperPainter(TKVWindow& View) : FView(View) {}
  void Paint() override {
    canvas::TCanvas& c = FView.Control()->Canvas();
    FView.DrawCursor(c, false);
    c.Brush = {FView.Color(), canvas::bsSolid};
    c.FillRect(FView.Control()->ClientRect());
    const canvas::TRect view = FView.GetViewRect();
    for (int32_t i = 0; i < FView.PageCount(); ++i) {
      const TKVPageRect r = FView.PageRect(i);
      c.Save();
      c.IntersectClipRect(view);
      const canvas::TPoint o = c.Origin();
      c.SetOrigin({o.X + view.Left + r.Left - FView.HorzPosition(), o.Y + view.Top + r.Top - FView.VertPosition()});
      FView.DrawPageBackground(c);
      c.Restore();
    }
    FView.DrawCursor(c, true);
  }
  void ShowCursor(bool Show) override { DrawCursorOnWindow(FView, Show); }
  void DrawHoverOverlay(bool) override {}
  void CalcRuleMarkers() override {}

private:
  TKVWindow& FView;
};

TEST(XvfbViewTest, ACorpusScoreShownInARealWindowIsWhereTheViewPutsIt) {
  test_support::TXvfbApplication x(1024, 768);
  if (!x.Skip().empty()) GTEST_SKIP() << x.Skip();
  TRealLayout layout;
  std::unique_ptr<TKVScore> file = LoadLaidOut(std::string(SONARID_CORPUS_DIR) + "/musicxml/01a-Pitches-Pitches.xml");
  TKVScore& score = *file;
  score.SetPages(true);
  score.SetUserPages(3);
  TKVViewControl* control = &test_support::ShowScoreInView(
      *x.App, [](TKVWindow& View) { return std::make_unique<TPaperPainter>(View); }, score);
  TKVWindow& view = control->View();
  view.GotoPosition(0, 1, true, 0);
  x.Settle();
  const auto shot = x.Display().Screenshot(std::string(SONARID_BINARY_DIR) + "/view-screenshot");
  ASSERT_FALSE(shot.Rgb.empty());

  // The bars where WMResize puts them, the control's grey beside them and
  // in the ruler strips.
  EXPECT_EQ(control->HorzScrollBar().BoundsRect(), (canvas::TRect{600, 583, 783, 600}));
  EXPECT_EQ(control->VertScrollBar().BoundsRect(), (canvas::TRect{783, 0, 800, 583}));
  EXPECT_EQ(shot.Pixel(595, 591), Grey);
  EXPECT_NE(shot.Pixel(605, 591), Grey);
  EXPECT_EQ(shot.Pixel(779, 300), Grey);
  EXPECT_NE(shot.Pixel(787, 300), Grey);
  EXPECT_EQ(shot.Pixel(300, 10), Grey);
  // Flat bars: the arrows and the thumb framed in the shadow colour, no
  // raised edge's highlight anywhere on them.
  const uint32_t shadow = canvas::PixelOf(canvas::ColorToRGB(canvas::clBtnShadow));
  const uint32_t face = canvas::PixelOf(canvas::ColorToRGB(canvas::clBtnFace));
  const uint32_t highlight = canvas::PixelOf(canvas::ColorToRGB(canvas::clBtnHighlight));
  for (auto [corner, inside] : {std::pair{canvas::TPoint{600, 583}, canvas::TPoint{601, 584}}, {{783, 0}, {784, 1}},
                                {{783, 17}, {784, 18}}})
    EXPECT_EQ(std::pair(shot.Pixel(corner.X, corner.Y), shot.Pixel(inside.X, inside.Y)), std::pair(shadow, face));
  for (const canvas::TRect& bar : {control->HorzScrollBar().BoundsRect(), control->VertScrollBar().BoundsRect()})
    for (int32_t y = bar.Top; y < bar.Bottom; ++y)
      for (int32_t x = bar.Left; x < bar.Right; ++x) ASSERT_NE(shot.Pixel(x, y), highlight) << x << "," << y;
  // Page 0 from the page table, past the 24-pixel rulers: black edges, white
  // inside, grey to its right.
  const TKVPageRect page = view.PageRect(0);
  ASSERT_EQ(page.Left, 0);
  ASSERT_LT(24 + page.Right, 760);
  const int32_t mid = 24 + page.Right / 2;
  EXPECT_EQ(shot.Pixel(mid, 24), Black);
  EXPECT_EQ(shot.Pixel(mid, 26), White);
  EXPECT_EQ(shot.Pixel(24 + page.Right - 1, 300), Black);
  EXPECT_EQ(shot.Pixel(24 + page.Right + 2, 300), Grey);
  // The cursor: yellow over the white paper is blue, at the tick's x less 3
  // pixels, from the staff's top down.
  const TKVMeasureRecord& r = *score.GetPiece(0)->Layout().MeasureRecords.at(1);
  const TKVStaffLineRecord& line = *r.System->Page->GetStaffLine(r.System->FirstStaffLine);
  const int32_t cursorX = 24 + (r.LeftX + int32_t(r.TickTable.at(size_t(view.CursorTick())))) / 8 - 3;
  const int32_t staffTop = 24 + line.Top / 8, staffBottom = 24 + line.Bottom / 8;
  for (int32_t y = staffTop; y < staffBottom; ++y) EXPECT_EQ(shot.Pixel(cursorX, y), 0xFF0000FF) << y;

  // One notch towards the user: everything 60 pixels higher.
  ASSERT_GT(view.PageRect(view.PageCount() - 1).Bottom + 24, 582 + 60);
  control->View().DoMouseWheel(0, -120, {300, 300});
  x.Settle();
  const auto scrolled = x.Display().Screenshot(std::string(SONARID_BINARY_DIR) + "/view-scrolled");
  ASSERT_FALSE(scrolled.Rgb.empty());
  EXPECT_EQ(control->VertScrollBar().Position(), 60);
  EXPECT_EQ(scrolled.Pixel(mid, 24 + page.Bottom - 1 - 60), Black);
  EXPECT_EQ(scrolled.Pixel(mid, 24 + page.Bottom - 3 - 60), White);
  EXPECT_EQ(scrolled.Pixel(mid, 24), White) << "page 0's top edge went up";
  for (int32_t y = staffTop - 60; y < staffBottom - 60; ++y) EXPECT_EQ(scrolled.Pixel(cursorX, y), 0xFF0000FF) << y;
  EXPECT_EQ(scrolled.Pixel(cursorX, staffBottom - 59), White);

  // Zoomed to 300 % both flat bars scroll, each thumb away from its arrows
  // (view-scroll-bars.png).
  view.SetZoom(300);
  control->HorzScrollBar().Scroll(forms::scPageDown);
  x.Settle();
  const auto bars = x.Display().Screenshot(std::string(SONARID_BINARY_DIR) + "/view-scroll-bars");
  ASSERT_FALSE(bars.Rgb.empty());
  EXPECT_EQ(bars.Pixel(617, 591), canvas::PixelOf(canvas::RGB(0xEA, 0xE8, 0xE4))) << "the track";

  view.SetScore(nullptr);
}

}  // namespace
