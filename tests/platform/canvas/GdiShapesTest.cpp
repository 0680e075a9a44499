#include <gtest/gtest.h>

#include <functional>

#include "PixelHelpers.h"
#include "platform/canvas/CairoCanvas.h"

namespace canvas {
namespace {

using namespace canvas::testing;

struct TCallCase {
  const char* Name;
  std::function<void(TCanvas&)> Draw;
};

// The calls no other test draws with.
class EveryCall : public ::testing::TestWithParam<TCallCase> {};

TEST_P(EveryCall, DrawsIntoTheImage) {
  TBitmap b(120, 90);
  TCanvas& c = b.Canvas();
  c.Pen.Color = clBlue;
  c.Brush.Color = clRed;
  GetParam().Draw(c);
  EXPECT_GT(CountInk(b), 0);
}


INSTANTIATE_TEST_SUITE_P(
    Canvas, EveryCall,
    ::testing::Values(
        TCallCase{"FrameRect", [](TCanvas& c) { c.FrameRect({10, 10, 60, 50}); }},
        TCallCase{"RoundRect", [](TCanvas& c) { c.RoundRect({10, 10, 60, 50}, 12, 8); }},
        TCallCase{"SmoothPolyline",
                  [](TCanvas& c) {
                    TPointF p[] = {{5, 5}, {50, 60}, {90, 10}};
                    c.SmoothPolyline(p, {});
                  }},
        TCallCase{"SmoothPolygon",
                  [](TCanvas& c) {
                    TPointF p[] = {{5, 5}, {50, 60}, {90, 10}};
                    TSmoothBrush br;
                    c.SmoothPolygon(p, nullptr, &br);
                  }},
        TCallCase{"StretchDraw", [](TCanvas& c) { c.StretchDraw({5, 5, 50, 50}, TBitmap(10, 10, clLime)); }}),
    [](const ::testing::TestParamInfo<TCallCase>& info) { return std::string(info.param.Name); });

TEST(GdiRules, FillsLeaveOutTheRightColumnAndBottomRow) {
  TBitmap b(30, 30);
  b.Canvas().Brush.Color = clBlack;
  b.Canvas().FillRect({5, 6, 15, 16});
  EXPECT_EQ(InkBounds(b), (TRect{5, 6, 15, 16}));
  EXPECT_EQ(CountInk(b), 100);
  // Reversed corners mean the same rectangle.
  TBitmap r(30, 30);
  r.Canvas().Brush.Color = clBlack;
  r.Canvas().FillRect({15, 16, 5, 6});
  EXPECT_EQ(Snapshot(r), Snapshot(b));
}

TEST(GdiRules, RectangleOutlineAndInteriorStayInsideTheBox) {
  TBitmap b(30, 30);
  TCanvas& c = b.Canvas();
  c.Pen.Color = clBlack;
  c.Brush.Color = clRed;
  c.Rectangle({5, 5, 15, 12});
  EXPECT_EQ(InkBounds(b), (TRect{5, 5, 15, 12}));
  EXPECT_EQ(Count(b, clBlack, true), 2 * 10 + 2 * 5);  // the one-pixel frame
  EXPECT_EQ(Count(b, clRed, true), 8 * 5);
  // A clear pen leaves the outline out; the interior stays one pixel short.
  TBitmap n(30, 30);
  n.Canvas().Pen.Style = psClear;
  n.Canvas().Brush.Color = clRed;
  n.Canvas().Rectangle({5, 5, 15, 12});
  EXPECT_EQ(InkBounds(n), (TRect{5, 5, 14, 11}));
}

TEST(GdiRules, LineToLeavesOutItsLastPixelAndMovesThePen) {
  TBitmap b(30, 10);
  TCanvas& c = b.Canvas();
  c.MoveTo(2, 3);
  c.LineTo(12, 3);
  EXPECT_EQ(InkBounds(b), (TRect{2, 3, 12, 4}));
  EXPECT_EQ(c.PenPos, (TPoint{12, 3}));
}

TEST(GdiRules, PenWidthZeroIsOnePixelAndDashesOnlyOnThinPens) {
  TBitmap b(100, 20);
  TCanvas& c = b.Canvas();
  c.Pen.Width = 0;
  c.MoveTo(0, 2), c.LineTo(100, 2);
  EXPECT_EQ(CountInk(b), 100);
  c.Pen.Width = 1;
  c.Pen.Style = psDot;
  c.MoveTo(0, 6), c.LineTo(100, 6);
  int dotted = CountInk(b, clWhite, {0, 6, 100, 7});
  EXPECT_GT(dotted, 30);
  EXPECT_LT(dotted, 70);
  c.Pen.Width = 3;
  c.MoveTo(5, 14), c.LineTo(95, 14);  // wide pens draw solid
  EXPECT_EQ(CountInk(b, clWhite, {5, 14, 95, 15}), 90);
  c.Pen.Style = psClear;
  c.MoveTo(0, 18), c.LineTo(100, 18);
  EXPECT_EQ(CountInk(b, clWhite, {0, 17, 100, 20}), 0);
}

TEST(GdiRules, ArcWithEqualRadialsIsTheWholeEllipse) {
  TBitmap whole(60, 60), arc(60, 60), quarter(60, 60);
  whole.Canvas().Brush.Style = bsClear;
  whole.Canvas().Ellipse({5, 5, 55, 45});
  arc.Canvas().Arc({5, 5, 55, 45}, {55, 25}, {55, 25});
  EXPECT_EQ(Differences(Snapshot(whole), arc), 0);
  // From the right radial to the top one, counter-clockwise: the upper right quarter.
  quarter.Canvas().Arc({5, 5, 55, 45}, {55, 25}, {30, 5});
  TRect q = InkBounds(quarter);
  EXPECT_GE(q.Left, 29);
  EXPECT_LE(q.Bottom, 26);
}

TEST(GdiRules, PieAndChordAreFilledWithTheBrush) {
  TBitmap pie(60, 60), chord(60, 60);
  for (TBitmap* b : {&pie, &chord}) b->Canvas().Brush.Color = clRed;
  pie.Canvas().Pie({0, 0, 60, 60}, {60, 30}, {30, 0});
  chord.Canvas().Chord({0, 0, 60, 60}, {60, 30}, {30, 0});
  EXPECT_EQ(pie.ColorAt(40, 20), clRed);  // inside the quarter
  EXPECT_EQ(pie.ColorAt(20, 40), clWhite);
  EXPECT_EQ(chord.ColorAt(50, 12), clRed);  // between the arc and its chord
  EXPECT_EQ(chord.ColorAt(36, 24), clWhite);
}

TEST(GdiRules, PolygonsFillEvenOdd) {
  TBitmap b(60, 60);
  b.Canvas().Brush.Color = clRed;
  b.Canvas().Pen.Style = psClear;
  TPoint star[] = {{30, 2}, {48, 58}, {2, 22}, {58, 22}, {12, 58}};
  b.Canvas().Polygon(star);
  EXPECT_EQ(b.ColorAt(30, 33), clWhite);  // the centre of a pentagram is outside
  EXPECT_EQ(b.ColorAt(30, 12), clRed);
}

TEST(GdiRules, FontSizeFollowsMulDivAtTheFontsPixelsPerInch) {
  TFont f;
  f.SetSize(7);
  EXPECT_EQ(f.Height, -9);
  EXPECT_EQ(f.Size(), 7);
  f.SetSize(18);
  EXPECT_EQ(f.Height, -24);
  f.PixelsPerInch = 120;
  f.SetSize(18);
  EXPECT_EQ(f.Height, -30);
}

}  // namespace
}  // namespace canvas
