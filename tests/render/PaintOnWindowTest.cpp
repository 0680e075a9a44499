// The renderer's Paint on the headless window host with the real canvas:
// the view rectangle holds exactly the image composed off-screen, the
// cursor drawn over it comes and goes without a trace, repeated paints
// leave the same bytes, and a page drawer that raises leaves the overlays
// balanced.

#include <gtest/gtest.h>

#include "render/ViewOnWindow.h"
#include "render/page/ViewPainter.h"
#include "score/model/Score.h"
#include "support/sketch/ReviewImages.h"

namespace {

struct TRaisingPainter : render::TKVViewPainter {
  using TKVViewPainter::TKVViewPainter;
  void DrawPageContent(int32_t Page, canvas::TCanvas& Canvas, int32_t Scale, canvas::TPoint Origin) override {
    if (Raise) throw std::runtime_error("page");
    TKVViewPainter::DrawPageContent(Page, Canvas, Scale, Origin);
  }
  bool Raise = false;
};

class PaintOnWindow : public TViewOnWindow<TRaisingPainter> {
protected:
  PaintOnWindow() {
    score = LoadLaidOut(std::string(SONARID_CORPUS_DIR) + "/musicxml/01a-Pitches-Pitches.xml");
    control->View().SetScore(score.get());
    control->SetFocus();
    control->View().GotoPosition(0, 1, true, 0);
    Pump();
  }
  TRealLayout layout;
  std::unique_ptr<TKVScore> score;
};

TEST_F(PaintOnWindow, TheViewHoldsTheComposedImageUnderBalancedOverlays) {
  TKVWindow& view = control->View();
  ASSERT_EQ(view.CursorShowCounter(), 0) << "the cursor shows";
  const std::vector<uint32_t> shown = Window();
  view.ShowCursor(false);
  const canvas::TRect v = view.GetViewRect();
  const canvas::TBitmap image = Painter->ComposePages(v);
  const window::TPixelBuffer b = form->Window().GetDC();
  int64_t different = 0;
  for (int y = v.Top; y < v.Bottom; ++y)
    for (int x = v.Left; x < v.Right; ++x) different += b.Pixel(x, y) != image.Pixel(x - v.Left, y - v.Top);
  EXPECT_EQ(different, 0);
  EXPECT_NE(Window(), shown) << "the cursor was there";
  view.ShowCursor(true);
  EXPECT_EQ(Window(), shown);
  Repaint();
  Repaint();
  EXPECT_EQ(Window(), shown) << "each paint takes the cursor off and puts it back";
  Painter->Raise = true;
  EXPECT_THROW(Repaint(), std::runtime_error);
  EXPECT_EQ(view.CursorShowCounter(), 0);
  Painter->Raise = false;
  Repaint();
  EXPECT_EQ(Window(), shown);
}

}  // namespace
