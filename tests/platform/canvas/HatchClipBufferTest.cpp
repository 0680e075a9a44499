#include <gtest/gtest.h>

#include "PixelHelpers.h"
#include "platform/canvas/CairoCanvas.h"

namespace canvas {
namespace {

using namespace canvas::testing;

struct THatchCase {
  TBrushStyle Style;
  bool Row0, Col0, Diagonal, AntiDiagonal;  // which lines of an 8 x 8 cell are set
};

class HatchBrush : public ::testing::TestWithParam<THatchCase> {};

TEST_P(HatchBrush, DrawsItsLinesAndLeavesTheGapsTransparent) {
  TBitmap b(32, 32, clYellow);
  TCanvas& c = b.Canvas();
  c.Brush.Style = GetParam().Style;
  c.Brush.Color = clBlue;
  c.FillRect({0, 0, 32, 32});
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      int cx = x % 8, cy = y % 8;
      const THatchCase& h = GetParam();
      bool line = (h.Row0 && cy == 0) || (h.Col0 && cx == 0) || (h.Diagonal && cx == cy) ||
                  (h.AntiDiagonal && cx + cy == 7);
      ASSERT_EQ(b.ColorAt(x, y), line ? clBlue : clYellow) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Canvas, HatchBrush,
                         ::testing::Values(THatchCase{bsHorizontal, true, false, false, false},
                                           THatchCase{bsVertical, false, true, false, false},
                                           THatchCase{bsFDiagonal, false, false, true, false},
                                           THatchCase{bsBDiagonal, false, false, false, true},
                                           THatchCase{bsCross, true, true, false, false},
                                           THatchCase{bsDiagCross, false, false, true, true}));

TEST(HatchBrush, IsAlignedToTheDeviceWhateverTheOrigin) {
  TBitmap a(40, 40), b(40, 40);
  a.Canvas().Brush.Style = b.Canvas().Brush.Style = bsDiagCross;
  a.Canvas().FillRect({0, 0, 40, 40});
  b.Canvas().SetOrigin({3, 5});
  b.Canvas().FillRect({-3, -5, 37, 35});
  EXPECT_EQ(Differences(Snapshot(a), b), 0);
}

TEST(HatchBrush, SmoothHatchHasOpaqueWhiteBehind) {
  TBitmap b(16, 16, clRed);
  TSmoothBrush br{0xFF000000, hsCross, 0xFFFFFFFF};
  b.Canvas().SmoothRect({0, 0, 16, 16}, nullptr, &br);
  EXPECT_EQ(Count(b, clRed, true), 0);
  EXPECT_EQ(b.ColorAt(0, 3), clBlack);
  EXPECT_EQ(b.ColorAt(3, 3), clWhite);
}

TEST(Clipping, AClipRectangleHolds) {
  TBitmap b(50, 50);
  TCanvas& c = b.Canvas();
  c.IntersectClipRect({10, 10, 30, 20});
  EXPECT_EQ(c.ClipRect(), (TRect{10, 10, 30, 20}));
  c.Brush.Color = clBlack;
  c.FillRect({0, 0, 50, 50});
  c.MoveTo(0, 15), c.LineTo(50, 15);
  c.Font.SetSize(30);
  c.TextOut(0, 0, u"WWWW");
  c.SmoothLine({0, 0}, {50, 50}, {0xFFFF0000, 3});
  c.Draw(0, 0, TBitmap(50, 50, clRed));
  EXPECT_EQ(InkBounds(b), (TRect{10, 10, 30, 20}));
}

TEST(Clipping, NestsWithSaveAndRestoreAndFollowsTheOrigin) {
  TBitmap b(60, 60);
  TCanvas& c = b.Canvas();
  c.Brush.Color = clBlack;
  c.Save();
  c.SetOrigin({20, 20});
  c.IntersectClipRect({0, 0, 10, 10});  // device 20..30
  EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 10, 10}));
  c.Save();
  c.IntersectClipRect({5, 5, 40, 40});
  c.FillRect({-20, -20, 40, 40});
  EXPECT_EQ(InkBounds(b), (TRect{25, 25, 30, 30}));
  c.Restore();
  EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 10, 10}));
  c.Restore();
  EXPECT_EQ(c.Origin(), (TPoint{0, 0}));
  EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 60, 60}));
  c.Restore();  // nothing open: no effect
  c.FillRect({50, 50, 60, 60});
  EXPECT_EQ(b.ColorAt(55, 55), clBlack);
}

TEST(CallerBuffer, DrawingWritesIntoTheCallersPixels) {
  // A window's pixels: 30 x 20 with rows padded to 36 pixels.
  const int w = 30, h = 20, stridePixels = 36;
  std::vector<std::uint32_t> pixels(size_t(stridePixels) * h, 0xFF102030u);
  {
    TCairoCanvas c(pixels.data(), w, h, stridePixels * 4);
    EXPECT_EQ(c.Size(), (TSize{w, h}));
    c.Brush.Color = clRed;
    c.FillRect({5, 5, 10, 8});
    EXPECT_EQ(pixels[size_t(6) * stridePixels + 7], 0xFFFF0000u);  // written at once
    // What the owner writes in between is what the next call draws over.
    pixels[size_t(1) * stridePixels + 1] = 0xFF00FF00u;
    EXPECT_EQ(c.GetPixel(1, 1), clLime);
    c.Pen.Mode = pmXor;
    c.Pen.Color = clWhite;
    c.MoveTo(0, 1), c.LineTo(3, 1);
    EXPECT_EQ(pixels[size_t(1) * stridePixels + 1], 0xFFFF00FFu);
    c.Brush.Color = clBlue;
    c.FillRect({-10, -10, 100, 100});
  }
  for (int y = 0; y < h; ++y)
    for (int x = w; x < stridePixels; ++x) ASSERT_EQ(pixels[size_t(y) * stridePixels + x], 0xFF102030u);
  EXPECT_EQ(pixels[size_t(19) * stridePixels + 29], 0xFF0000FFu);
}

TEST(CallerBuffer, OwnImageStartsFilled) {
  TCairoCanvas c(4, 3, clNavy);
  EXPECT_EQ(c.GetPixel(3, 2), clNavy);
  EXPECT_EQ(c.GetPixel(4, 2), clNone);
  EXPECT_EQ(c.Pixels()[0], 0xFF000080u);
}

}  // namespace
}  // namespace canvas
