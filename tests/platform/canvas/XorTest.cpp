#include <gtest/gtest.h>

#include <functional>

#include "PixelHelpers.h"
#include "platform/canvas/CairoCanvas.h"
#include "platform/musicfont/EmmentalerFont.h"

namespace canvas {
namespace {

using namespace canvas::testing;

// A busy background: colours, smooth shapes and anti-aliased text, so that
// inversion meets partly covered pixels too.
void PaintBackground(TCanvas& c) {
  c.Brush.Color = RGB(40, 120, 200);
  c.FillRect({0, 0, 80, 120});
  TSmoothBrush br{0xFFE0A030};
  c.SmoothEllipse({60, 20, 90, 70}, nullptr, &br);
  c.Brush.Style = bsClear;
  c.Font.SetSize(20);
  c.TextOut(10, 60, u"Allegro моderato");
  c.Brush.Style = bsSolid;
}

struct TXorCase {
  const char* Name;
  std::function<void(TCanvas&)> Draw;
};

class XorPen : public ::testing::TestWithParam<TXorCase> {};

TEST_P(XorPen, DrawingTwiceRestoresTheImageExactly) {
  TBitmap b(220, 150);
  TCanvas& c = b.Canvas();
  PaintBackground(c);
  std::vector<std::uint32_t> before = Snapshot(b);
  c.Pen.Mode = pmXor;
  c.Pen.Color = clWhite;
  c.Brush.Style = bsClear;
  c.Font.Color = clWhite;
  GetParam().Draw(c);
  EXPECT_GT(Differences(before, b), 20) << "the first call shows the figure";
  GetParam().Draw(c);
  EXPECT_EQ(Differences(before, b), 0) << "the second call removes it";
}

TPoint kCurve[] = {{10, 140}, {40, 5}, {150, 5}, {210, 140}};
TPoint kTriangle[] = {{20, 20}, {200, 60}, {60, 140}};

INSTANTIATE_TEST_SUITE_P(
    Canvas, XorPen,
    ::testing::Values(
        TXorCase{"Line", [](TCanvas& c) { c.MoveTo(3, 4), c.LineTo(215, 141); }},
        TXorCase{"DottedLine", [](TCanvas& c) { c.Pen.Style = psDot, c.MoveTo(3, 70), c.LineTo(215, 71); }},
        TXorCase{"Rectangle", [](TCanvas& c) { c.Rectangle({15, 10, 190, 130}); }},
        TXorCase{"DottedRectangle", [](TCanvas& c) { c.Pen.Style = psDot, c.Rectangle({15, 10, 190, 130}); }},
        TXorCase{"Bezier", [](TCanvas& c) { c.PolyBezier(kCurve); }},
        TXorCase{"DottedBezier", [](TCanvas& c) { c.Pen.Style = psDot, c.PolyBezier(kCurve); }},
        TXorCase{"Polyline", [](TCanvas& c) { c.Polyline(kTriangle); }},
        TXorCase{"Polygon", [](TCanvas& c) { c.Polygon(kTriangle); }},
        TXorCase{"WidePen", [](TCanvas& c) { c.Pen.Width = 3, c.PolyBezier(kCurve); }},
        TXorCase{"Ellipse", [](TCanvas& c) { c.Ellipse({15, 10, 190, 130}); }},
        TXorCase{"Arc", [](TCanvas& c) { c.Arc({15, 10, 190, 130}, {190, 70}, {100, 10}); }},
        TXorCase{"Pie", [](TCanvas& c) { c.Pie({15, 10, 190, 130}, {190, 70}, {100, 10}); }},
        TXorCase{"Chord", [](TCanvas& c) { c.Chord({15, 10, 190, 130}, {190, 70}, {100, 10}); }},
        TXorCase{"FilledRectangle", [](TCanvas& c) { c.Brush.Style = bsSolid, c.Brush.Color = clWhite, c.Rectangle({15, 10, 190, 130}); }},
        TXorCase{"Text", [](TCanvas& c) { c.Font.SetSize(24), c.TextOut(5, 40, u"Tempo I — Темп"); }},
        TXorCase{"RotatedText",
                 [](TCanvas& c) { c.Font.SetSize(18), c.Font.Orientation = 450, c.TextOut(30, 130, u"rit."); }},
        TXorCase{"MusicGlyphs",
                 [](TCanvas& c) {
                   static musicfont::TEmmentalerFont font;
                   musicfont::InstallMusicFont(&font);
                   c.Font.Name = "Ostinel Symbols";
                   c.Font.SetSize(36);
                   c.TextAlign = taBaseline;
                   c.TextOutA(20, 90, "\x22\x35\x2D\x5A");
                   musicfont::InstallMusicFont(nullptr);
                 }}),
    [](const ::testing::TestParamInfo<TXorCase>& info) { return std::string(info.param.Name); });

TEST(XorPen, InvertsWhatItCovers) {
  TBitmap b(20, 5, RGB(10, 200, 60));
  b.Canvas().Pen.Mode = pmXor;
  b.Canvas().Pen.Color = clWhite;
  b.Canvas().MoveTo(0, 2);
  b.Canvas().LineTo(20, 2);
  EXPECT_EQ(b.ColorAt(5, 2), RGB(245, 55, 195));
  EXPECT_EQ(b.ColorAt(5, 1), RGB(10, 200, 60));
}

// A coloured pen gives each channel's exclusive-or, also where difference
// would not (0x80 twice would not come back to 0xFF).
TEST(XorPen, AColouredPenGivesTheExclusiveOrOfItsColour) {
  TBitmap b(20, 5, clWhite);
  for (TColor pen : {clYellow, TColor(0x808000)}) {
    b.Canvas().Pen = {pen, 2, psSolid, pmXor};
    b.Canvas().MoveTo(5, 0);
    b.Canvas().LineTo(5, 5);
    EXPECT_EQ(b.ColorAt(5, 2), pen == clYellow ? clBlue : RGB(255, 127, 127));
    b.Canvas().LineTo(5, 0);
    EXPECT_EQ(b.ColorAt(5, 2), clWhite);
  }
}

// The exclusive-or of a coloured pen or brush changes no pixel that a clip
// figure (a circle) leaves out, as a plain pen's inversion does not.
TEST(XorPen, AColouredPenOrBrushKeepsInsideAClipFigure) {
  for (bool fill : {false, true}) {
    TBitmap b(40, 40, clWhite);
    TCanvas& c = b.Canvas();
    c.IntersectClipPath(TPath().ArcTo({0, 0, 40, 40}, 0, 360).Close());
    c.Pen = {TColor(0x808000), 3, psSolid, pmXor};
    if (fill) c.Pen.Style = psClear, c.Brush.Color = TColor(0x808000), c.Rectangle({0, 0, 41, 9});
    else c.MoveTo(0, 3), c.LineTo(40, 3);
    EXPECT_EQ(b.ColorAt(20, 3), RGB(255, 127, 127)) << (fill ? "brush" : "pen");
    EXPECT_EQ(b.ColorAt(3, 3), clWhite) << (fill ? "brush" : "pen") << " outside the clip figure";
  }
}

// Smooth calls in a mix mode: exclusive-or of the brush's or the pen's
// colour, drawn twice, gives the image back bit for bit, and the pixels the
// clip (an ellipse) leaves out never change. Every figure runs through the
// corners, which the clip leaves out.
class MixedSmoothCall : public ::testing::TestWithParam<TXorCase> {};

TEST_P(MixedSmoothCall, ExclusiveOrTwiceRestoresTheImageInsideTheClip) {
  TBitmap b(220, 150);
  TCanvas& c = b.Canvas();
  PaintBackground(c);
  c.Save();
  c.IntersectClipPath(TPath().ArcTo({10, 10, 200, 130}, 0, 360).Close());
  const std::vector<std::uint32_t> before = Snapshot(b);
  c.SmoothMix = mmXorPen;
  GetParam().Draw(c);
  EXPECT_GT(Differences(before, b), 300) << "the first call shows the figure";
  for (TPoint corner : {TPoint{1, 1}, TPoint{218, 148}})
    EXPECT_EQ(b.Pixel(corner.X, corner.Y), before[std::size_t(corner.Y) * 220 + std::size_t(corner.X)]) << "outside the clip";
  GetParam().Draw(c);
  EXPECT_EQ(Differences(before, b), 0) << "the second call removes it";
}

const TPointF kDiagonal[] = {{0, 0}, {220, 150}};

INSTANTIATE_TEST_SUITE_P(
    Canvas, MixedSmoothCall,
    ::testing::Values(
        TXorCase{"SolidBrush", [](TCanvas& c) { TSmoothBrush br{0xFF3080C7}; c.SmoothRect({0, 0, 220, 150}, nullptr, &br); }},
        TXorCase{"HatchedBrush",
                 [](TCanvas& c) {
                   TSmoothBrush br{0xFF0000FF, hsDiagonalCross, 0xFFFFFF00};
                   c.SmoothRect({0, 0, 220, 150}, nullptr, &br);
                 }},
        TXorCase{"TexturedBrush",
                 [](TCanvas& c) {
                   static const TBitmap texture(3, 2, RGB(90, 15, 200));
                   TSmoothBrush br;
                   br.Texture = &texture;
                   c.SmoothEllipse({-20, -20, 240, 170}, nullptr, &br);
                 }},
        TXorCase{"WidePen", [](TCanvas& c) { c.SmoothPolyline(kDiagonal, TSmoothPen{0xFFF0A0C0, 9, dsSolid, lcRound}); }},
        TXorCase{"DashedPen", [](TCanvas& c) { c.SmoothPolyline(kDiagonal, TSmoothPen{0xFF20FF05, 5, dsDashDot}); }}),
    [](const ::testing::TestParamInfo<TXorCase>& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace canvas
