// The shown score view painted by the renderer in a real SDL2 window on a
// virtual X server: page 1 of a corpus file with both rulers in centimetres
// and the page-button bar, photographed for people to look at
// (build/<flavour>/view-rulers.png) and checked where the view's geometry
// and the page's margins put things. Skipped with a message where no X
// server can start.

#include <gtest/gtest.h>

#include "player/Rule.h"
#include "player/Window.h"
#include "render/page/ViewPainter.h"
#include "score/model/Page.h"
#include "score/model/Score.h"
#include "support/ShownView.h"
#include "support/XvfbApplication.h"
#include "support/sketch/ReviewImages.h"

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libX11.so\nleak:libxcb\nleak:libSDL2\nleak:libdbus-1.so\nleak:libfontconfig\n";
}

namespace {

uint32_t Shown(canvas::TColor Color) { return canvas::PixelOf(canvas::ColorToRGB(Color)); }

TEST(XvfbRulers, ACorpusPageWithRulersAndPageButtonsInARealWindow) {
  test_support::TXvfbApplication x(1024, 768);
  if (!x.Skip().empty()) GTEST_SKIP() << x.Skip();
  TRealLayout layout;
  std::unique_ptr<TKVScore> score = LoadLaidOut(std::string(SONARID_CORPUS_DIR) + "/musicxml/43a-PianoStaff.xml");
  score->SetPages(true);
  score->Page().SetMetrix(rmMM);
  TKVWindow& view = test_support::ShowScoreInView(
      *x.App, [](TKVWindow& View) { return std::make_unique<render::TKVViewPainter>(View); }, *score).View();
  x.Settle();
  const auto shot = x.Display().Screenshot(std::string(SONARID_BINARY_DIR) + "/view-rulers");
  ASSERT_FALSE(shot.Rgb.empty());

  // The page's printable band in pixels, past the 24-pixel rulers.
  TKVPage& page = score->Page();
  page.PushMetrix(rmPixels);
  const int left = 24 + int(page.LeftMargin() + 0.5), right = 24 + int(page.Width() - page.RightMargin() + 0.5);
  const int top = 24 + int(page.TopMargin() + 0.5), bottom = 24 + int(page.Height() - page.BottomMargin() + 0.5);
  page.PopMetrix();
  ASSERT_EQ(view.Rule().Width(), 24);
  ASSERT_LT(right, 780);
  // The strips in the button face around the bands; below the numbers (row
  // 17 of the top strip, column 6 of the left one) grey margins and white.
  const uint32_t face = Shown(canvas::clBtnFace), grey = 0xFF808080, white = 0xFFFFFFFF;
  EXPECT_EQ(shot.Pixel(300, 2), face);
  EXPECT_EQ(shot.Pixel(2, 300), face);
  EXPECT_EQ(shot.Pixel(left - 4, 17), grey);
  EXPECT_EQ(shot.Pixel(right + 4, 17), grey);
  for (int px = left + 2; px < right - 2; px += 7) EXPECT_EQ(shot.Pixel(px, 17), white) << px;
  EXPECT_EQ(shot.Pixel(6, top - 4), grey);
  for (int py = top + 2; py < std::min(bottom - 2, 560); py += 7) EXPECT_EQ(shot.Pixel(6, py), white) << py;
  // "1-1" in the text slot of the bar.
  const canvas::TRect slot = view.PageButtonRect[PageButton::Text];
  int ink = 0;
  for (int py = slot.Top; py < slot.Bottom; ++py)
    for (int px = slot.Left; px < slot.Right; ++px) ink += shot.Pixel(px, py) != face;
  EXPECT_GT(ink, 15);
  view.SetScore(nullptr);
}

}  // namespace
