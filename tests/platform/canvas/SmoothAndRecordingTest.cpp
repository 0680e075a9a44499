#include <gtest/gtest.h>

#include "PixelHelpers.h"
#include "platform/canvas/CairoCanvas.h"
#include "platform/canvas/RecordingCanvas.h"
#include "platform/text/FakeMeasurer.h"

namespace canvas {
namespace {

using namespace canvas::testing;

// Pixels that are neither the background nor the pen colour: anti-aliasing.
int Blended(const TBitmap& b) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) n += b.ColorAt(x, y) != clWhite && b.ColorAt(x, y) != clBlack;
  return n;
}

TEST(SmoothCalls, FollowTheSmoothingMode) {
  TBitmap on(60, 60), off(60, 60);
  off.Canvas().Smoothing = false;
  for (TBitmap* b : {&on, &off}) b->Canvas().SmoothBezier({2, 50}, {20, -20}, {40, 90}, {58, 10}, {0xFF000000, 2});
  EXPECT_GT(Blended(on), 20);
  EXPECT_EQ(Blended(off), 0);
  EXPECT_GT(CountInk(off), 50);
}

TEST(SmoothCalls, ZeroWidthIsAHairlineAndDashesScaleWithTheWidth) {
  TBitmap hair(40, 10), dashed(200, 20);
  hair.Canvas().Smoothing = false;
  hair.Canvas().SmoothLine({0, 4.5}, {40, 4.5}, {0xFF000000, 0});
  EXPECT_EQ(CountInk(hair), 40);
  dashed.Canvas().Smoothing = false;
  dashed.Canvas().SmoothLine({0, 5}, {200, 5}, {0xFF000000, 4, dsDash});  // dash 12, gap 4
  int inked = 0, runs = 0;
  for (int x = 0; x < 200; ++x) {
    bool ink = dashed.ColorAt(x, 5) != clWhite;
    if (ink && (x == 0 || dashed.ColorAt(x - 1, 5) == clWhite)) ++runs;
    inked += ink;
  }
  EXPECT_EQ(runs, 13);
  EXPECT_NEAR(inked, 150, 3);
}

TEST(SmoothCalls, ArcsRunClockwiseAndSweepZeroDrawsNothing) {
  TBitmap none(60, 60), lower(60, 60), pie(60, 60);
  none.Canvas().SmoothArc({5, 5, 50, 50}, 0, 0, {});
  EXPECT_EQ(CountInk(none), 0);
  lower.Canvas().SmoothArc({5, 5, 50, 50}, 0, 90, {});  // from the right to the bottom
  TRect ink = InkBounds(lower);
  EXPECT_GE(ink.Left, 28);
  EXPECT_GE(ink.Top, 28);
  TSmoothBrush red{0xFFFF0000};
  pie.Canvas().SmoothPie({5, 5, 50, 50}, 180, -90, nullptr, &red);  // from the left down to the bottom
  EXPECT_EQ(pie.ColorAt(18, 42), clRed);
  EXPECT_EQ(pie.ColorAt(18, 18), clWhite);
  EXPECT_EQ(pie.ColorAt(42, 42), clWhite);
}

TEST(SmoothCalls, PathsFillEvenOddAndTranslucentColoursBlend) {
  TBitmap b(60, 60);
  TSmoothBrush half{0x80000000};
  TPath ring;
  ring.ArcTo({5, 5, 50, 50}, 0, 360).Close().ArcTo({20, 20, 20, 20}, 0, 360).Close();
  b.Canvas().SmoothPath(ring, nullptr, &half);
  EXPECT_EQ(b.ColorAt(30, 30), clWhite);  // the hole
  EXPECT_EQ(b.ColorAt(10, 30), RGB(127, 127, 127));
}

TEST(RecordingCanvas, KeepsEveryCallWithTheStateInForce) {
  TRecordingCanvas c;
  c.Pen.Color = clRed;
  c.Pen.Mode = pmXor;
  c.Brush.Style = bsClear;
  c.Rectangle({1, 2, 3, 4});
  c.MoveTo(5, 6);
  c.LineTo(7, 8);
  c.Font.Name = "Ostinel Symbols";
  c.TextAlign = taBaseline;
  c.TextOutA(10, 20, "\x22");
  TSmoothPen pen{0xFF00FF00, 2, dsDot};
  c.SmoothBezier({0, 0}, {1, 1}, {2, 2}, {3, 3}, pen);
  ASSERT_EQ(c.Names(), (std::vector<std::string>{"Rectangle", "LineTo", "TextOutA", "SmoothPath"}));
  EXPECT_EQ(c.Calls[0].Args, (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(c.Calls[0].Pen.Mode, pmXor);
  EXPECT_EQ(c.Calls[0].Brush.Style, bsClear);
  EXPECT_EQ(c.Calls[1].Args, (std::vector<double>{5, 6, 7, 8}));
  EXPECT_EQ(c.Calls[2].Text, u"\x22");
  EXPECT_EQ(c.Calls[2].Font.Name, "Ostinel Symbols");
  EXPECT_EQ(c.Calls[2].TextAlign, taBaseline);
  EXPECT_EQ(c.Calls[3].Path.size(), 2u);
  EXPECT_EQ(c.Calls[3].SmoothPen, pen);
  EXPECT_FALSE(c.Calls[3].SmoothBrush.has_value());
}

TEST(RecordingCanvas, MeasuresWithTheInstalledMeasurer) {
  text::TFakeMeasurer fake;
  text::InstallMeasurer(&fake);
  TRecordingCanvas c;
  c.Font.SetSize(12);
  EXPECT_EQ(c.TextWidth(u"ab"), fake.TextWidthW({"Arial", 12, 0}, u"ab"));
  EXPECT_EQ(c.TextHeight(u"ab"), fake.TextHeight({"Arial", 12, 0}));
  EXPECT_EQ(c.TextWidthA("ab"), c.TextWidth(u"ab"));
  ASSERT_FALSE(fake.Queries.empty());
  EXPECT_EQ(fake.Queries.back().Font, (text::TFontSpec{"Arial", 12, 0}));
  text::InstallMeasurer(nullptr);
}

TEST(RecordingCanvas, TracksClipAndOriginThroughSaveAndRestore) {
  TRecordingCanvas c(100, 100);
  c.Save();
  c.SetOrigin({10, 10});
  c.IntersectClipRect({0, 0, 50, 50});
  EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 50, 50}));
  c.IntersectClipRect({40, 40, 90, 90});
  EXPECT_EQ(c.ClipRect(), (TRect{40, 40, 50, 50}));
  c.Restore();
  EXPECT_EQ(c.ClipRect(), (TRect{0, 0, 100, 100}));
  EXPECT_EQ(c.Origin(), (TPoint{0, 0}));
}

}  // namespace
}  // namespace canvas
